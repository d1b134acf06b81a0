#include "core/Find.h"

#include "core/Hp48Codec.h"
#include "core/TopicTable.h"

#include <QtGlobal>

namespace {

// Only the ASCII letters change case; every other code, accented letters included, stays.
QByteArray upperAscii(QByteArray bytes) {
    for (char& byte : bytes) {
        if (byte >= 'a' && byte <= 'z')
            byte = static_cast<char>(byte - 'a' + 'A');
    }
    return bytes;
}

} // namespace

void TopicSearch::start(const QString& text, bool matchCase, int stopTopic) {
    matchCase_ = matchCase;
    const hp48::EncodedRow encoded = hp48::encodeRow(text);
    codes_ = !encoded.ok() ? QByteArray() : matchCase ? encoded.bytes : upperAscii(encoded.bytes);
    stopTopic_ = stopTopic;
    searchRow_ = 0;
    matchOffset_ = 0;
}

// An entry beyond the stop entry (selected after the search was started, or in another
// document) would otherwise run past the table.
FindHit TopicSearch::findFrom(const TopicTable& table, int entry) {
    const int lastEntry = table.entryCount();
    for (int topic = qMin(entry, lastEntry);; ++topic) {
        if (searchRow_ == kRowsPerTopic)
            searchRow_ = 0;
        int position = 0;
        do {
            ++searchRow_;
            position = searchNextRow(table, topic);
        } while (position == 0 && searchRow_ != kRowsPerTopic);
        if (position != 0)
            return {topic, searchRow_, position};
        if (topic == stopTopic_ || topic >= lastEntry)
            return {};
    }
}

// Searches the next row, or, while an occurrence is pending, the rest of its row after the
// occurrence's first character.
int TopicSearch::searchNextRow(const TopicTable& table, int entry) {
    int position = 0;
    if (matchOffset_ == 0) {
        position = positionIn(table.row(entry, searchRow_), 0);
    } else {
        searchRow_ = searchRow_ == 1 ? kRowsPerTopic : searchRow_ - 1;
        position = positionIn(table.row(entry, searchRow_), matchOffset_);
    }
    matchOffset_ = position;
    return position;
}

// The 1-based position of the search text in the row at or after the 0-based index `from`;
// 0 when it is not there. An empty search text is never found.
int TopicSearch::positionIn(const QByteArray& row, int from) const {
    if (codes_.isEmpty())
        return 0;
    const qsizetype index = (matchCase_ ? row : upperAscii(row)).indexOf(codes_, from);
    return index < 0 ? 0 : static_cast<int>(index) + 1;
}
