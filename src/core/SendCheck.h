#pragma once

#include "core/TopicTable.h"

#include <QList>

// What the calculator's ASCII transfer would not keep of a document. The calculator reads a
// sent database as text: the line ends the writer puts between rows itself (LF and CR) come
// through, every other control code below 32 in a row does not arrive as it stands.
namespace sendcheck {

struct RowPlace {
    int topic = 0; // 1-based
    int row = 0;   // 1-based

    friend bool operator==(const RowPlace&, const RowPlace&) = default;
};

bool keptBySend(uchar code);
// The rows of topics 1..topicCount that hold a code the transfer does not keep, in order.
QList<RowPlace> rowsNotKept(const TopicTable& table, int topicCount);

} // namespace sendcheck
