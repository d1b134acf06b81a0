#include "core/Compare.h"

#include <QHash>

#include <algorithm>

namespace compare {
namespace {

// The topics of one side not yet paired, by a key, each key's topics in their order.
using Waiting = QHash<QByteArray, QList<int>>;

QByteArray wholeKey(const TopicRows& rows) {
    QByteArray key;
    for (const QByteArray& row : rows) {
        key += QByteArray::number(row.size());
        key += ':';
        key += row;
    }
    return key;
}

// An empty title names no topic.
QByteArray titleKey(const TopicRows& rows, int titleRow) {
    const QByteArray& title = rows[titleRow - 1];
    return title.isEmpty() ? QByteArray() : QByteArray("t") + title;
}

// The rows besides the title; a topic with nothing besides its title has no such key.
QByteArray restKey(const TopicRows& rows, int titleRow) {
    TopicRows rest = rows;
    rest[titleRow - 1].clear();
    const bool empty = std::all_of(rest.cbegin(), rest.cend(),
                                   [](const QByteArray& row) { return row.isEmpty(); });
    return empty ? QByteArray() : wholeKey(rest);
}

// Pairs each unpaired topic of B with the first unpaired topic of A of the same key.
template <typename KeyOf>
void pairBy(const QList<TopicRows>& a, const QList<TopicRows>& b, QList<int>& partnerOfA,
            QList<int>& partnerOfB, KeyOf keyOf) {
    Waiting waiting;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (partnerOfA[i] == 0) {
            const QByteArray key = keyOf(a[i]);
            if (!key.isNull())
                waiting[key].append(int(i));
        }
    }
    for (qsizetype j = 0; j < b.size(); ++j) {
        if (partnerOfB[j] != 0)
            continue;
        const QByteArray key = keyOf(b[j]);
        auto found = key.isNull() ? waiting.end() : waiting.find(key);
        if (found == waiting.end() || found->isEmpty())
            continue;
        const int i = found->takeFirst();
        partnerOfA[i] = int(j) + 1;
        partnerOfB[j] = i + 1;
    }
}

} // namespace

quint16 differingRows(const TopicRows& a, const TopicRows& b) {
    quint16 rows = 0;
    for (int row = 0; row < kRowsPerTopic; ++row) {
        if (a[row] != b[row])
            rows |= quint16(1U << row);
    }
    return rows;
}

QList<Pair> compareTopics(const QList<TopicRows>& a, const QList<TopicRows>& b, int titleRow) {
    titleRow = std::clamp(titleRow, 1, kMaxTopicLine);
    QList<int> partnerOfA(a.size(), 0); // 1-based topic of the other side, 0 for none
    QList<int> partnerOfB(b.size(), 0);
    pairBy(a, b, partnerOfA, partnerOfB, wholeKey);
    pairBy(a, b, partnerOfA, partnerOfB,
           [titleRow](const TopicRows& rows) { return titleKey(rows, titleRow); });
    pairBy(a, b, partnerOfA, partnerOfB,
           [titleRow](const TopicRows& rows) { return restKey(rows, titleRow); });

    // A topic only in B follows the pair of the topic B holds before it: sorted by the A topic
    // it follows, then by its place in B.
    struct Placed {
        Pair pair;
        int afterA;
        int inB;
    };
    QList<Placed> placed;
    placed.reserve(a.size() + b.size());
    for (qsizetype i = 0; i < a.size(); ++i) {
        Pair pair{State::OnlyInA, int(i) + 1, partnerOfA[i], 0};
        if (pair.b != 0) {
            pair.changedRows = differingRows(a[i], b[pair.b - 1]);
            pair.state = pair.changedRows == 0 ? State::Same : State::Changed;
        }
        placed.append({pair, int(i) + 1, 0});
    }
    int lastA = 0;
    for (qsizetype j = 0; j < b.size(); ++j) {
        if (partnerOfB[j] != 0) {
            lastA = partnerOfB[j];
            continue;
        }
        placed.append({{State::OnlyInB, 0, int(j) + 1, 0}, lastA, int(j) + 1});
    }
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& x, const Placed& y) {
        return x.afterA != y.afterA ? x.afterA < y.afterA : x.inB < y.inB;
    });
    QList<Pair> pairs;
    pairs.reserve(placed.size());
    for (const Placed& entry : placed)
        pairs.append(entry.pair);
    return pairs;
}

bool isDifference(const Pair& pair) {
    return pair.state != State::Same;
}

bool allSame(const QList<Pair>& pairs) {
    return std::none_of(pairs.cbegin(), pairs.cend(), isDifference);
}

bool merged(const QList<TopicRows>& a, const QList<TopicRows>& b, const QList<Pair>& pairs,
            Side into, const QList<Take>& takes, QList<TopicRows>& result) {
    const QList<TopicRows>& target = into == Side::A ? a : b;
    const QList<TopicRows>& source = into == Side::A ? b : a;
    const Side from = into == Side::A ? Side::B : Side::A;
    QHash<int, quint16> taken; // pair index: rows
    for (const Take& take : takes) {
        if (take.pair >= 0 && take.pair < pairs.size())
            taken[take.pair] |= take.rows;
    }
    // Each topic of the target with its pair, and the pairs only the source holds, placed
    // after the target topic of the pair before them (0: at the start).
    QList<int> pairOfTarget(target.size(), -1);
    QHash<int, QList<int>> insertedAfter;
    int lastTarget = 0;
    for (qsizetype p = 0; p < pairs.size(); ++p) {
        const int own = pairs[p].on(into);
        if (own > 0 && own <= target.size()) {
            pairOfTarget[own - 1] = int(p);
            lastTarget = std::max(lastTarget, own);
        } else if (taken.contains(int(p)) && pairs[p].on(from) > 0) {
            insertedAfter[lastTarget].append(int(p));
        }
    }
    QList<TopicRows> out;
    out.reserve(target.size() + pairs.size());
    auto insertAfter = [&](int topic) {
        for (const int p : insertedAfter.value(topic)) {
            TopicRows rows; // a topic the target lacks takes only the rows taken
            const TopicRows& other = source[pairs[p].on(from) - 1];
            for (int row = 0; row < kRowsPerTopic; ++row)
                rows[row] = taken[p] & (1U << row) ? other[row] : QByteArray();
            out.append(rows);
        }
    };
    insertAfter(0);
    for (qsizetype t = 0; t < target.size(); ++t) {
        const int p = pairOfTarget[t];
        if (p < 0 || !taken.contains(p)) {
            out.append(target[t]);
        } else if (const int other = pairs[p].on(from); other > 0) {
            TopicRows rows = target[t];
            for (int row = 0; row < kRowsPerTopic; ++row) {
                if (taken[p] & (1U << row))
                    rows[row] = source[other - 1][row];
            }
            out.append(rows);
        } // else the topic only the target holds goes
        insertAfter(int(t) + 1);
    }
    if (out.size() > kMaxTopicCount)
        return false;
    result = out;
    return true;
}

} // namespace compare
