// The find search over a topic table: where Start and each Repeat find the text, where they
// stop, and how letter case and characters without a code count.

#include "Sandbox.h"
#include "core/Find.h"
#include "core/TopicTable.h"

#include <QTest>

namespace {

using Topics = QList<QList<QByteArray>>;

// Starts the search at the entry, then repeats it from the entry of each hit (the entry the
// document then selects) `searches` times in all: "entry:row:position" per hit, "-" per miss.
QStringList hits(TopicSearch& search, const TopicTable& table, int entry, int searches) {
    QStringList found;
    for (int i = 0; i < searches; ++i) {
        const FindHit hit = search.findFrom(table, entry);
        if (!hit.found()) {
            found.append(QStringLiteral("-"));
            continue;
        }
        found.append(QStringLiteral("%1:%2:%3").arg(hit.entry).arg(hit.row).arg(hit.position));
        entry = hit.entry;
    }
    return found;
}

} // namespace

class TestTopicSearch : public QObject {
    Q_OBJECT

  private slots:
    void searchesAndRepeats_data() {
        QTest::addColumn<Topics>("topics");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("allTopics");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("two in a row, then none, then the first again")
            << Topics{{"zz"}, {"one", "two", "an ab and ab"}, {"ab"}} << 2 << "ab" << false << false
            << QStringList{"2:3:4", "2:3:11", "-", "2:3:4"};
        QTest::newRow("occurrences overlap") << Topics{{"xaaaa"}} << 1 << "aa" << false << false
                                             << QStringList{"1:1:2", "1:1:3", "1:1:4"};
        Topics needleEarlier(9, {"plain"});
        needleEarlier[1] = {"the needle"};
        QTest::newRow("nothing before the entry")
            << needleEarlier << 5 << "needle" << true << false << QStringList{"-"};
        Topics rowTen(6, {"t"});
        rowTen[3] = {"r1", "", "", "", "", "", "", "", "", "a needle"};
        rowTen[4] = {"needle first"};
        QTest::newRow("row 10, then row 1 of the next, then the list's end")
            << rowTen << 1 << "needle" << true << false << QStringList{"4:10:3", "5:1:1", "-"};
        const Topics cases{{"ABC"}, {"aBc"}, {"\xC4"}, {"\xE4"}};
        QTest::newRow("without case")
            << cases << 1 << "abc" << true << false << QStringList{"1:1:1", "2:1:1"};
        QTest::newRow("with case") << cases << 1 << "aBc" << true << true << QStringList{"2:1:1"};
        QTest::newRow("only a to z fold")
            << cases << 1 << QStringLiteral(u"\u00E4") << true << false << QStringList{"4:1:1"};
        QTest::newRow("no text") << cases << 1 << "" << true << false << QStringList{"-"};
        QTest::newRow("a character without code")
            << cases << 1 << QStringLiteral(u"\u20AC") << true << false << QStringList{"-"};
    }
    void searchesAndRepeats() {
        QFETCH(Topics, topics);
        QFETCH(int, entry);
        QFETCH(QString, text);
        QFETCH(bool, allTopics);
        QFETCH(bool, matchCase);
        QFETCH(QStringList, expected);
        const TopicTable table = tableOf(topics);
        TopicSearch search;
        search.start(text, matchCase, allTopics ? table.entryCount() : entry);
        QCOMPARE(hits(search, table, entry, int(expected.size())), expected);
    }

    // A search in the current topic, repeated from a later entry or in a longer list, goes on
    // to the end of that list and stops there.
    void repeatBeyondTheStopEntryEndsAtTheListsEnd() {
        const TopicTable table = tableOf({{"a"}, {"b"}, {"c"}, {"d"}, {"x"}});
        TopicSearch search;
        search.start(QStringLiteral("x"), false, 2);
        QCOMPARE(hits(search, table, 2, 1), QStringList{"-"});
        QCOMPARE(hits(search, table, 4, 2), QStringList({"5:1:1", "-"}));
        Topics longer(150, {"y"});
        longer[120] = {"x"};
        QCOMPARE(hits(search, tableOf(longer), 130, 1), QStringList{"-"});
    }
};

QTEST_GUILESS_MAIN(TestTopicSearch)
#include "tst_topicsearch.moc"
