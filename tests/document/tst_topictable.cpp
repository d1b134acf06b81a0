#include "core/TopicTable.h"

#include <QTest>

namespace {

// A table whose topic t has "T<t>" in row 1.
TopicTable Numbered(int topics) {
    TopicTable table;
    QList<TopicRows> filled;
    for (int t = 1; t <= topics; ++t) {
        TopicRows rows;
        rows[0] = "T" + QByteArray::number(t);
        filled.append(rows);
    }
    table.Fill(filled);
    return table;
}

QByteArray Order(const TopicTable& table) {
    QByteArrayList titles;
    for (int t = 1; t <= table.TopicCount(); ++t)
        titles.append(table.Row(t, 1).mid(1));
    return titles.join(',');
}

bool TailIsEmpty(const TopicTable& table) {
    for (int slot = table.TopicCount() + 1; slot <= MaxTopics; ++slot) {
        for (const QByteArray& row : table.Topic(slot)) {
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
        QCOMPARE(table.TopicCount(), 0);
        QCOMPARE(table.EntryCount(), 1);
        QVERIFY(table.IsPseudoTopic(1));
        QVERIFY(!table.Modified);
        QCOMPARE(table.FileName, QStringLiteral("none"));
        QVERIFY(table.Title(1).isEmpty());
    }

    void commitStoresTenLinesAndAppendsOnTheNewEntry() {
        TopicTable table;
        QCOMPARE(table.CommitRows(1, {}, false), refusal::kNone);
        QCOMPARE(table.TopicCount(), 1);
        QCOMPARE(table.EntryCount(), 2);
        QVERIFY(table.Modified);
        QCOMPARE(table.Selection, 1);

        QList<QByteArray> twelve;
        for (int line = 1; line <= 12; ++line)
            twelve.append("line" + QByteArray::number(line));
        table.CommitRows(1, twelve, false);
        QCOMPARE(table.Row(1, 10), QByteArray("line10"));
        QCOMPARE(table.TopicCount(), 1);

        table.CommitRows(1, {"a", "b", "c"}, false);
        QCOMPARE(table.Row(1, 3), QByteArray("c"));
        for (int row = 4; row <= 10; ++row)
            QVERIFY(table.Row(1, row).isEmpty());
        QVERIFY(TailIsEmpty(table));
    }

    void quickEditModeMovesToTheNextEntry() {
        TopicTable table = Numbered(3);
        table.CommitRows(4, {"new"}, true);
        QCOMPARE(table.TopicCount(), 4);
        QCOMPARE(table.Selection, 5);
        QVERIFY(table.IsPseudoTopic(table.Selection));
        table.CommitRows(2, {"two"}, true);
        QCOMPARE(table.Selection, 3);
        table.CommitRows(4, {"last"}, true);
        QVERIFY(table.IsPseudoTopic(table.Selection));
    }

    void insertShiftsTopicsDown() {
        TopicTable table = Numbered(3);
        QCOMPARE(table.InsertEmptyTopic(1), refusal::kNone);
        QCOMPARE(table.TopicCount(), 4);
        QCOMPARE(Order(table), QByteArray(",1,2,3"));
        QCOMPARE(table.Selection, 1);
        QVERIFY(table.Modified);
    }

    void deleteKeepsTheSelectionPlace() {
        TopicTable table = Numbered(3);
        QCOMPARE(table.DeleteTopic(2), refusal::kNone);
        QCOMPARE(Order(table), QByteArray("1,3"));
        QCOMPARE(table.Selection, 2);
        table.DeleteTopic(2);
        QVERIFY(table.IsPseudoTopic(table.Selection));
        QVERIFY(TailIsEmpty(table));
    }

    void theNewEntryRefusesInsertDeleteAndCopy() {
        TopicTable table = Numbered(2);
        table.Modified = false;
        TopicCopyBuffer buffer;
        QCOMPARE(table.InsertEmptyTopic(3), refusal::kInsertBeforeNew);
        QCOMPARE(table.DeleteTopic(3), refusal::kDeleteNew);
        QCOMPARE(table.CopyTopic(3, buffer), refusal::kCopyNew);
        QCOMPARE(Order(table), QByteArray("1,2"));
        QVERIFY(!table.Modified);
    }

    // No selection (entry 0) or an entry past the list: every operation refuses and reads or
    // writes nothing outside the table.
    void entriesOutsideTheListAreRefused() {
        for (const int entry : {0, -1, 5, MaxTopics + 1}) {
            TopicTable table = Numbered(3);
            TopicTable other = Numbered(3);
            TopicCopyBuffer buffer;
            QCOMPARE(table.CommitRows(entry, {"x"}, false), refusal::kNoEntry);
            QCOMPARE(table.InsertEmptyTopic(entry), refusal::kNoEntry);
            QCOMPARE(table.DeleteTopic(entry), refusal::kNoEntry);
            QCOMPARE(table.CopyTopic(entry, buffer), refusal::kNoEntry);
            QCOMPARE(table.InsertTopicCopy(entry, TopicRows()), refusal::kNoEntry);
            QCOMPARE(TopicTable::MoveTopic(table, entry, other, 1, DragMode::Move),
                     refusal::kNoEntry);
            QCOMPARE(TopicTable::MoveTopic(other, 1, table, entry, DragMode::Copy),
                     refusal::kNoEntry);
            QCOMPARE(TopicTable::MoveTopic(table, 4, table, 1, DragMode::Move), // the "<New>" entry
                     refusal::kNoEntry);
            QCOMPARE(Order(table), QByteArray("1,2,3"));
            QCOMPARE(Order(other), QByteArray("1,2,3"));
            QVERIFY(!table.Modified);
            QVERIFY(table.Row(entry, 1).isEmpty());
        }
    }

    void aFullTableRefusesEveryNewTopic() {
        TopicTable table = Numbered(MaxTopicCount);
        table.Modified = false;
        TopicTable other = Numbered(1);
        const QByteArray before = Order(table);
        QCOMPARE(table.CommitRows(200, {"x"}, false), refusal::kTableFull);
        QCOMPARE(table.InsertEmptyTopic(1), refusal::kTableFull);
        QCOMPARE(table.InsertTopicCopy(1, TopicRows()), refusal::kTableFull);
        QCOMPARE(TopicTable::MoveTopic(other, 1, table, 1, DragMode::Move), refusal::kTableFull);
        QCOMPARE(TopicTable::MoveTopic(table, 1, table, 5, DragMode::Copy), refusal::kTableFull);
        QCOMPARE(Order(table), before);
        QCOMPARE(other.TopicCount(), 1);
        QVERIFY(!table.Modified);
        QVERIFY(!other.Modified);
        QVERIFY(TailIsEmpty(table));
        // Committing onto an existing topic and moving within the table still work.
        QCOMPARE(table.CommitRows(1, {"T1x"}, false), refusal::kNone);
        QCOMPARE(TopicTable::MoveTopic(table, 199, table, 1, DragMode::Move), refusal::kNone);
        QCOMPARE(table.Row(1, 1), QByteArray("T199"));
        QCOMPARE(table.TopicCount(), MaxTopicCount);
        QVERIFY(TailIsEmpty(table));
    }

    void copyKeepsThirtyFiveCharactersARow() {
        TopicTable table;
        const QByteArray fifty(50, 'w');
        table.CommitRows(1, {fifty, "short"}, false);
        TopicCopyBuffer buffer;
        QCOMPARE(table.CopyTopic(1, buffer), refusal::kNone);
        QCOMPARE(buffer.rows[0], QByteArray(35, 'w'));
        QCOMPARE(buffer.rows[1], QByteArray("short"));
        table.InsertTopicCopy(2, buffer.rows);
        QCOMPARE(table.Row(2, 1).size(), 35);
        QCOMPARE(table.Row(1, 1), fifty);
        QCOMPARE(table.Selection, 2);
    }

    void dragMoveWithinOneList() {
        TopicTable table = Numbered(6);
        TopicTable::MoveTopic(table, 5, table, 2, DragMode::Move);
        QCOMPARE(Order(table), QByteArray("1,5,2,3,4,6"));
        QCOMPARE(table.Selection, 2);

        table = Numbered(6);
        TopicTable::MoveTopic(table, 2, table, 5, DragMode::Move);
        QCOMPARE(Order(table), QByteArray("1,3,4,2,5,6"));
        QCOMPARE(table.Selection, 4);

        table = Numbered(3);
        TopicTable::MoveTopic(table, 1, table, 4, DragMode::Move); // onto "<New>"
        QCOMPARE(Order(table), QByteArray("2,3,1"));
        QCOMPARE(table.Selection, 3);
    }

    void dragOntoItselfOrItsSuccessor() {
        TopicTable table = Numbered(4);
        table.Modified = false;
        TopicTable::MoveTopic(table, 2, table, 2, DragMode::Copy);
        QCOMPARE(Order(table), QByteArray("1,2,3,4"));
        QVERIFY(!table.Modified);
        QVERIFY(!TopicTable::MoveChangesOrder(table, 2, table, 3));
        QVERIFY(!TopicTable::MoveChangesOrder(table, 2, table, 2));
        QVERIFY(TopicTable::MoveChangesOrder(table, 2, table, 1));
        TopicTable::MoveTopic(table, 2, table, 3, DragMode::Copy);
        QCOMPARE(Order(table), QByteArray("1,2,2,3,4"));
    }

    void dragBetweenTwoLists() {
        TopicTable source = Numbered(3);
        TopicTable target = Numbered(2);
        const QByteArray longRow(60, 'L');
        source.SetRow(2, 2, longRow);

        TopicTable::MoveTopic(source, 2, target, 1, DragMode::Copy);
        QCOMPARE(Order(target), QByteArray("2,1,2"));
        QCOMPARE(target.Row(1, 2).size(), CopyRowLength);
        QCOMPARE(source.Selection, 2);
        QCOMPARE(target.Selection, 1);
        QVERIFY(!source.Modified);
        QVERIFY(target.Modified);

        TopicTable::MoveTopic(source, 2, target, 4, DragMode::Move);
        QCOMPARE(Order(source), QByteArray("1,3"));
        QCOMPARE(Order(target), QByteArray("2,1,2,2"));
        QCOMPARE(target.Row(4, 2), longRow); // a move carries the full rows
        QCOMPARE(source.Selection, 2);
        QCOMPARE(target.Selection, 4);
        QVERIFY(source.Modified);
        QVERIFY(TailIsEmpty(source));
    }

    void topicLineOnlyChangesTitles() {
        TopicTable table;
        table.CommitRows(1, {"first", "second", "third"}, false);
        table.Modified = false;
        table.TopicLine = 3;
        QCOMPARE(table.Title(1), QByteArray("third"));
        QVERIFY(!table.Modified);
    }

    void clearTableForgetsEverything() {
        TopicTable table = Numbered(5);
        table.FileName = QStringLiteral("/tmp/x.hp");
        table.Modified = true;
        table.ClearTable();
        QCOMPARE(table.TopicCount(), 0);
        QCOMPARE(table.FileName, QStringLiteral("none"));
        QVERIFY(!table.Modified);
        QVERIFY(TailIsEmpty(table));
    }
};

QTEST_GUILESS_MAIN(TestTopicTable)
#include "tst_topictable.moc"
