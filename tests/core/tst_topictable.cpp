#include "core/TopicTable.h"

#include <QTest>

namespace {

// A table whose topic t has "T<t>" in row 1.
TopicTable numbered(int topics) {
    TopicTable table;
    QList<TopicRows> filled;
    for (int t = 1; t <= topics; ++t) {
        TopicRows rows;
        rows[0] = "T" + QByteArray::number(t);
        filled.append(rows);
    }
    table.fill(filled);
    return table;
}

QByteArray order(const TopicTable& table) {
    QByteArrayList titles;
    for (int t = 1; t <= table.topicCount(); ++t)
        titles.append(table.row(t, 1).mid(1));
    return titles.join(',');
}

bool tailIsEmpty(const TopicTable& table) {
    for (int slot = table.topicCount() + 1; slot <= kMaxTopics; ++slot) {
        for (const QByteArray& row : table.topic(slot)) {
            if (!row.isEmpty())
                return false;
        }
    }
    return true;
}

} // namespace

class TestTopicTable : public QObject {
    Q_OBJECT

  private slots:
    void newTableHasOnlyTheNewEntry() {
        TopicTable table;
        QCOMPARE(table.topicCount(), 0);
        QCOMPARE(table.entryCount(), 1);
        QVERIFY(table.isPseudoTopic(1));
        QVERIFY(!table.modified);
        QCOMPARE(table.fileName, QStringLiteral("none"));
        QVERIFY(table.title(1).isEmpty());
    }

    void commitStoresTenLinesAndAppendsOnTheNewEntry() {
        TopicTable table;
        QCOMPARE(table.commitRows(1, {}, false), refusal::kNone);
        QCOMPARE(table.topicCount(), 1);
        QCOMPARE(table.entryCount(), 2);
        QVERIFY(table.modified);
        QCOMPARE(table.selection, 1);

        QList<QByteArray> twelve;
        for (int line = 1; line <= 12; ++line)
            twelve.append("line" + QByteArray::number(line));
        table.commitRows(1, twelve, false);
        QCOMPARE(table.row(1, 10), QByteArray("line10"));
        QCOMPARE(table.topicCount(), 1);

        table.commitRows(1, {"a", "b", "c"}, false);
        QCOMPARE(table.row(1, 3), QByteArray("c"));
        for (int row = 4; row <= 10; ++row)
            QVERIFY(table.row(1, row).isEmpty());
        QVERIFY(tailIsEmpty(table));
    }

    void quickEditModeMovesToTheNextEntry() {
        TopicTable table = numbered(3);
        table.commitRows(4, {"new"}, true);
        QCOMPARE(table.topicCount(), 4);
        QCOMPARE(table.selection, 5);
        QVERIFY(table.isPseudoTopic(table.selection));
        table.commitRows(2, {"two"}, true);
        QCOMPARE(table.selection, 3);
        table.commitRows(4, {"last"}, true);
        QVERIFY(table.isPseudoTopic(table.selection));
    }

    void insertShiftsTopicsDown() {
        TopicTable table = numbered(3);
        QCOMPARE(table.insertEmptyTopic(1), refusal::kNone);
        QCOMPARE(table.topicCount(), 4);
        QCOMPARE(order(table), QByteArray(",1,2,3"));
        QCOMPARE(table.selection, 1);
        QVERIFY(table.modified);
    }

    void deleteKeepsTheSelectionPlace() {
        TopicTable table = numbered(3);
        QCOMPARE(table.deleteTopic(2), refusal::kNone);
        QCOMPARE(order(table), QByteArray("1,3"));
        QCOMPARE(table.selection, 2);
        table.deleteTopic(2);
        QVERIFY(table.isPseudoTopic(table.selection));
        QVERIFY(tailIsEmpty(table));
    }

    void theNewEntryRefusesInsertDeleteAndCopy() {
        TopicTable table = numbered(2);
        table.modified = false;
        TopicCopyBuffer buffer;
        QCOMPARE(table.insertEmptyTopic(3), refusal::kInsertBeforeNew);
        QCOMPARE(table.deleteTopic(3), refusal::kDeleteNew);
        QCOMPARE(table.copyTopic(3, buffer), refusal::kCopyNew);
        QCOMPARE(order(table), QByteArray("1,2"));
        QVERIFY(!table.modified);
    }

    // No selection (entry 0) or an entry past the list: every operation refuses and reads or
    // writes nothing outside the table.
    void entriesOutsideTheListAreRefused() {
        for (const int entry : {0, -1, 5, kMaxTopics + 1}) {
            TopicTable table = numbered(3);
            TopicTable other = numbered(3);
            TopicCopyBuffer buffer;
            QCOMPARE(table.commitRows(entry, {"x"}, false), refusal::kNoEntry);
            QCOMPARE(table.insertEmptyTopic(entry), refusal::kNoEntry);
            QCOMPARE(table.deleteTopic(entry), refusal::kNoEntry);
            QCOMPARE(table.copyTopic(entry, buffer), refusal::kNoEntry);
            QCOMPARE(table.insertTopicCopy(entry, TopicRows()), refusal::kNoEntry);
            QCOMPARE(TopicTable::moveTopic(table, entry, other, 1, DragMode::Move),
                     refusal::kNoEntry);
            QCOMPARE(TopicTable::moveTopic(other, 1, table, entry, DragMode::Copy),
                     refusal::kNoEntry);
            QCOMPARE(TopicTable::moveTopic(table, 4, table, 1, DragMode::Move), // the "<New>" entry
                     refusal::kNoEntry);
            QCOMPARE(order(table), QByteArray("1,2,3"));
            QCOMPARE(order(other), QByteArray("1,2,3"));
            QVERIFY(!table.modified);
            QVERIFY(table.row(entry, 1).isEmpty());
        }
    }

    void aFullTableRefusesEveryNewTopic() {
        TopicTable table = numbered(kMaxTopicCount);
        table.modified = false;
        TopicTable other = numbered(1);
        const QByteArray before = order(table);
        QCOMPARE(table.commitRows(200, {"x"}, false), refusal::kTableFull);
        QCOMPARE(table.insertEmptyTopic(1), refusal::kTableFull);
        QCOMPARE(table.insertTopicCopy(1, TopicRows()), refusal::kTableFull);
        QCOMPARE(TopicTable::moveTopic(other, 1, table, 1, DragMode::Move), refusal::kTableFull);
        QCOMPARE(TopicTable::moveTopic(table, 1, table, 5, DragMode::Copy), refusal::kTableFull);
        QCOMPARE(order(table), before);
        QCOMPARE(other.topicCount(), 1);
        QVERIFY(!table.modified);
        QVERIFY(!other.modified);
        QVERIFY(tailIsEmpty(table));
        // Committing onto an existing topic and moving within the table still work.
        QCOMPARE(table.commitRows(1, {"T1x"}, false), refusal::kNone);
        QCOMPARE(TopicTable::moveTopic(table, 199, table, 1, DragMode::Move), refusal::kNone);
        QCOMPARE(table.row(1, 1), QByteArray("T199"));
        QCOMPARE(table.topicCount(), kMaxTopicCount);
        QVERIFY(tailIsEmpty(table));
    }

    void copyKeepsThirtyFiveCharactersARow() {
        TopicTable table;
        const QByteArray fifty(50, 'w');
        table.commitRows(1, {fifty, "short"}, false);
        TopicCopyBuffer buffer;
        QCOMPARE(table.copyTopic(1, buffer), refusal::kNone);
        QCOMPARE(buffer.rows[0], QByteArray(35, 'w'));
        QCOMPARE(buffer.rows[1], QByteArray("short"));
        table.insertTopicCopy(2, buffer.rows);
        QCOMPARE(table.row(2, 1).size(), 35);
        QCOMPARE(table.row(1, 1), fifty);
        QCOMPARE(table.selection, 2);
    }

    void dragMoveWithinOneList() {
        TopicTable table = numbered(6);
        TopicTable::moveTopic(table, 5, table, 2, DragMode::Move);
        QCOMPARE(order(table), QByteArray("1,5,2,3,4,6"));
        QCOMPARE(table.selection, 2);

        table = numbered(6);
        TopicTable::moveTopic(table, 2, table, 5, DragMode::Move);
        QCOMPARE(order(table), QByteArray("1,3,4,2,5,6"));
        QCOMPARE(table.selection, 4);

        table = numbered(3);
        TopicTable::moveTopic(table, 1, table, 4, DragMode::Move); // onto "<New>"
        QCOMPARE(order(table), QByteArray("2,3,1"));
        QCOMPARE(table.selection, 3);
    }

    void dragOntoItselfOrItsSuccessor() {
        TopicTable table = numbered(4);
        table.modified = false;
        TopicTable::moveTopic(table, 2, table, 2, DragMode::Copy);
        QCOMPARE(order(table), QByteArray("1,2,3,4"));
        QVERIFY(!table.modified);
        QVERIFY(!TopicTable::moveChangesOrder(table, 2, table, 3));
        QVERIFY(!TopicTable::moveChangesOrder(table, 2, table, 2));
        QVERIFY(TopicTable::moveChangesOrder(table, 2, table, 1));
        TopicTable::moveTopic(table, 2, table, 3, DragMode::Copy);
        QCOMPARE(order(table), QByteArray("1,2,2,3,4"));
    }

    void dragBetweenTwoLists() {
        TopicTable source = numbered(3);
        TopicTable target = numbered(2);
        const QByteArray longRow(60, 'L');
        source.setRow(2, 2, longRow);

        TopicTable::moveTopic(source, 2, target, 1, DragMode::Copy);
        QCOMPARE(order(target), QByteArray("2,1,2"));
        QCOMPARE(target.row(1, 2).size(), kCopyRowLength);
        QCOMPARE(source.selection, 2);
        QCOMPARE(target.selection, 1);
        QVERIFY(!source.modified);
        QVERIFY(target.modified);

        TopicTable::moveTopic(source, 2, target, 4, DragMode::Move);
        QCOMPARE(order(source), QByteArray("1,3"));
        QCOMPARE(order(target), QByteArray("2,1,2,2"));
        QCOMPARE(target.row(4, 2), longRow); // a move carries the full rows
        QCOMPARE(source.selection, 2);
        QCOMPARE(target.selection, 4);
        QVERIFY(source.modified);
        QVERIFY(tailIsEmpty(source));
    }

    void topicLineOnlyChangesTitles() {
        TopicTable table;
        table.commitRows(1, {"first", "second", "third"}, false);
        table.modified = false;
        table.topicLine = 3;
        QCOMPARE(table.title(1), QByteArray("third"));
        QVERIFY(!table.modified);
    }

    void clearTableForgetsEverything() {
        TopicTable table = numbered(5);
        table.fileName = QStringLiteral("/tmp/x.hp");
        table.modified = true;
        table.clearTable();
        QCOMPARE(table.topicCount(), 0);
        QCOMPARE(table.fileName, QStringLiteral("none"));
        QVERIFY(!table.modified);
        QVERIFY(tailIsEmpty(table));
    }
};

QTEST_GUILESS_MAIN(TestTopicTable)
#include "tst_topictable.moc"
