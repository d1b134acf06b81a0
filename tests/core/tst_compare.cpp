// Two documents compared topic by topic, and the takes that merge one into the other.

#include "core/Compare.h"

#include <QRegularExpression>
#include <QTest>

namespace {

using compare::Side;
using compare::State;

// Topics written as "title|row 2|...": each string one topic.
QList<TopicRows> topicsOf(const QStringList& topics) {
    QList<TopicRows> list;
    for (const QString& topic : topics) {
        TopicRows rows;
        const QStringList parts = topic.split(u'|');
        for (qsizetype row = 0; row < parts.size(); ++row)
            rows[row] = parts[row].toLatin1();
        list.append(rows);
    }
    return list;
}

QStringList writtenOut(const QList<TopicRows>& topics) {
    QStringList list;
    for (const TopicRows& rows : topics) {
        qsizetype last = kRowsPerTopic;
        while (last > 1 && rows[last - 1].isEmpty())
            --last;
        QStringList parts;
        for (qsizetype row = 0; row < last; ++row)
            parts.append(QString::fromLatin1(rows[row]));
        list.append(parts.join(u'|'));
    }
    return list;
}

// Each pair as "=a,b", "~a,b:rows", "<a" (only in A) or ">b" (only in B).
QStringList pairsOf(const QList<compare::Pair>& pairs) {
    QStringList list;
    for (const compare::Pair& pair : pairs) {
        switch (pair.state) {
        case State::Same:
            list.append(QStringLiteral("=%1,%2").arg(pair.a).arg(pair.b));
            break;
        case State::Changed: {
            QString rows;
            for (int row = 0; row < kRowsPerTopic; ++row) {
                if (pair.changedRows & (1U << row))
                    rows += QString::number(row + 1);
            }
            list.append(QStringLiteral("~%1,%2:%3").arg(pair.a).arg(pair.b).arg(rows));
            break;
        }
        case State::OnlyInA:
            list.append(QStringLiteral("<%1").arg(pair.a));
            break;
        case State::OnlyInB:
            list.append(QStringLiteral(">%1").arg(pair.b));
            break;
        }
    }
    return list;
}

} // namespace

class TestCompare : public QObject {
    Q_OBJECT

  private slots:
    void pairs_data() {
        QTest::addColumn<QStringList>("a");
        QTest::addColumn<QStringList>("b");
        QTest::addColumn<int>("titleRow");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("both empty") << QStringList{} << QStringList{} << 1 << QStringList{};
        QTest::newRow("order alone")
            << QStringList{"x|1", "y|2", "z"} << QStringList{"z", "x|1", "y|2"} << 1
            << QStringList{"=1,2", "=2,3", "=3,1"};
        QTest::newRow("rows changed")
            << QStringList{"x|1|2|3"} << QStringList{"x|1|two|3|4"} << 1 << QStringList{"~1,1:35"};
        // B's own topics follow the pair of the topic B holds before them
        QTest::newRow("only one side")
            << QStringList{"a", "b", "c"} << QStringList{"new", "a", "c", "late"} << 1
            << QStringList{">1", "=1,2", "<2", "=3,3", ">4"};
        QTest::newRow("renamed") << QStringList{"old|body|more"} << QStringList{"new|body|more"}
                                 << 1 << QStringList{"~1,1:1"};
        // equal rows pair first, the rest of one title in order
        QTest::newRow("same titles")
            << QStringList{"x|1", "x|2", "x|4"} << QStringList{"x|2", "x|3"} << 1
            << QStringList{"~1,2:2", "=2,1", "<3"};
        QTest::newRow("title in row 2")
            << QStringList{"1|key|a", "2|other"} << QStringList{"9|key|b", "2|other|c"} << 2
            << QStringList{"~1,1:13", "~2,2:3"};
        QTest::newRow("empty titles pair by nothing else")
            << QStringList{"|a"} << QStringList{"|b"} << 1 << QStringList{">1", "<1"};
    }
    void pairs() {
        QFETCH(QStringList, a);
        QFETCH(QStringList, b);
        QFETCH(int, titleRow);
        QFETCH(QStringList, expected);
        const auto pairs = compare::compareTopics(topicsOf(a), topicsOf(b), titleRow);
        QCOMPARE(pairsOf(pairs), expected);
        QCOMPARE(compare::allSame(pairs), expected.filter(QRegularExpression("^[<>~]")).isEmpty());
    }

    void takes_data() {
        QTest::addColumn<QStringList>("a");
        QTest::addColumn<QStringList>("b");
        QTest::addColumn<bool>("intoA");
        QTest::addColumn<QList<int>>("pairs");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("expected");
        const QStringList a{"a|1", "b", "c|3"};
        const QStringList b{"new", "a|one", "c|3", "late"};
        // pairs: >1 "new", ~1,2 "a", <2 "b", =3,3 "c", >4 "late"
        const int all = compare::kAllRows;
        QTest::newRow("changed into A")
            << a << b << true << QList<int>{1} << all << QStringList{"a|one", "b", "c|3"};
        QTest::newRow("only in B into A, in B's places")
            << a << b << true << QList<int>{0, 4} << all
            << QStringList{"new", "a|1", "b", "c|3", "late"};
        QTest::newRow("only in A goes when B is taken")
            << a << b << true << QList<int>{2} << all << QStringList{"a|1", "c|3"};
        QTest::newRow("everything into A makes A like B")
            << a << b << true << QList<int>{0, 1, 2, 3, 4} << all << writtenOut(topicsOf(b));
        QTest::newRow("only in A into B") << a << b << false << QList<int>{2} << all
                                          << QStringList{"new", "a|one", "b", "c|3", "late"};
        QTest::newRow("one row of a changed topic")
            << QStringList{"t|1|2"} << QStringList{"t|one|two"} << true << QList<int>{0} << 0b100
            << QStringList{"t|1|two"};
    }
    void takes() {
        QFETCH(QStringList, a);
        QFETCH(QStringList, b);
        QFETCH(bool, intoA);
        QFETCH(QList<int>, pairs);
        QFETCH(int, rows);
        QFETCH(QStringList, expected);
        const QList<TopicRows> topicsA = topicsOf(a);
        const QList<TopicRows> topicsB = topicsOf(b);
        const auto compared = compare::compareTopics(topicsA, topicsB);
        QList<compare::Take> takes;
        for (const int pair : pairs)
            takes.append({pair, quint16(rows)});
        QList<TopicRows> result;
        QVERIFY(
            compare::merged(topicsA, topicsB, compared, intoA ? Side::A : Side::B, takes, result));
        QCOMPARE(writtenOut(result), expected);
    }

    // A take that would hold more topics than a document can is refused whole.
    void takeBeyondTheLastTopicIsRefused() {
        QStringList full;
        for (int topic = 1; topic <= kMaxTopicCount; ++topic)
            full.append(QStringLiteral("t%1").arg(topic));
        const QList<TopicRows> a = topicsOf(full);
        const QList<TopicRows> b = topicsOf({"one more"});
        const auto pairs = compare::compareTopics(a, b);
        QList<TopicRows> result = a;
        QCOMPARE(pairs.first().state, State::OnlyInB);
        QVERIFY(!compare::merged(a, b, pairs, Side::A, {{0}}, result));
        QCOMPARE(result, a);
    }
};

QTEST_GUILESS_MAIN(TestCompare)
#include "tst_compare.moc"
