#include "core/SendCheck.h"

#include <algorithm>

namespace sendcheck {

bool keptBySend(uchar code) {
    return code >= 32 || code == '\n' || code == '\r';
}

QList<RowPlace> rowsNotKept(const TopicTable& table, int topicCount) {
    QList<RowPlace> places;
    for (int topic = 1; topic <= topicCount; ++topic) {
        for (int row = 1; row <= kRowsPerTopic; ++row) {
            const QByteArray& bytes = table.row(topic, row);
            if (!std::all_of(bytes.cbegin(), bytes.cend(),
                             [](char byte) { return keptBySend(static_cast<uchar>(byte)); }))
                places.append({topic, row});
        }
    }
    return places;
}

} // namespace sendcheck
