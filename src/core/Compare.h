#pragma once

#include "core/TopicTable.h"

#include <QList>

// Two documents' topics compared topic by topic. A topic of A and one of B form a pair when
// they hold the same rows; the rest pair by their title row, in the order each side holds
// them; what is left pairs by the rows besides the title (a renamed topic). The order of the
// topics alone is no difference.
namespace compare {

enum class State : quint8 { Same, Changed, OnlyInA, OnlyInB };
enum class Side : quint8 { A, B };

struct Pair {
    State state = State::Same;
    int a = 0; // the topic's number in A (1..n); 0 when A holds none
    int b = 0;
    // Bit r (0..9) is set when row r + 1 differs; only a changed pair has any.
    quint16 changedRows = 0;

    int on(Side side) const { return side == Side::A ? a : b; }
    bool operator==(const Pair&) const = default;
};

// The pairs in A's order, each topic only in B after the pair of the topic B holds before it.
// titleRow is the row (1 to 7) that titles the topics.
QList<Pair> compareTopics(const QList<TopicRows>& a, const QList<TopicRows>& b, int titleRow = 1);

bool isDifference(const Pair& pair);
bool allSame(const QList<Pair>& pairs);
quint16 differingRows(const TopicRows& a, const TopicRows& b);

// One take: the pair whose other side goes into `into`, with the rows taken (bit r for row
// r + 1; kAllRows for the whole topic). A pair whose other side holds no topic takes the
// topic out of `into`; one that only the other side holds is put in after the topic of `into`
// in the pair before it.
constexpr quint16 kAllRows = (1U << kRowsPerTopic) - 1;
struct Take {
    int pair = 0; // index into the pairs
    quint16 rows = kAllRows;
};

// The topics of side `into` once the takes are made; false when more than kMaxTopicCount
// topics would result (nothing is made then).
bool merged(const QList<TopicRows>& a, const QList<TopicRows>& b, const QList<Pair>& pairs,
            Side into, const QList<Take>& takes, QList<TopicRows>& result);

} // namespace compare
