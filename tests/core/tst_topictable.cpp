#include "Sandbox.h"
#include "core/Document.h"
#include "core/HpFile.h"

#include <QSignalSpy>
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

QByteArray order(const TopicTable& table);

// A document holding such topics, the first entry selected.
struct Numbered : Document {
    explicit Numbered(int topics) { putBack(numbered(topics).topics(), 1); }
};

QByteArray order(const Document& document) {
    return order(document.table());
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
    void aNewDocumentHasOnlyTheNewEntry() {
        Document document;
        QCOMPARE(document.table().topicCount(), 0);
        QCOMPARE(document.table().entryCount(), 1);
        QVERIFY(document.table().isPseudoTopic(1));
        QVERIFY(!document.isModified());
        QVERIFY(!document.hasFile());
        QVERIFY(document.title(1).isEmpty());
    }

    void commitStoresTenLinesAndAppendsOnTheNewEntry() {
        Document document;
        QCOMPARE(document.commitRows(1, {}, false), refusal::kNone);
        QCOMPARE(document.table().topicCount(), 1);
        QCOMPARE(document.table().entryCount(), 2);
        QVERIFY(document.isModified());
        QCOMPARE(document.selection(), 1);

        QList<QByteArray> twelve;
        for (int line = 1; line <= 12; ++line)
            twelve.append("line" + QByteArray::number(line));
        document.commitRows(1, twelve, false);
        QCOMPARE(document.table().row(1, 10), QByteArray("line10"));
        QCOMPARE(document.table().topicCount(), 1);

        document.commitRows(1, {"a", "b", "c"}, false);
        QCOMPARE(document.table().row(1, 3), QByteArray("c"));
        for (int row = 4; row <= 10; ++row)
            QVERIFY(document.table().row(1, row).isEmpty());
        QVERIFY(tailIsEmpty(document.table()));
    }

    void quickEditModeMovesToTheNextEntry() {
        Numbered document(3);
        document.commitRows(4, {"new"}, true);
        QCOMPARE(document.table().topicCount(), 4);
        QCOMPARE(document.selection(), 5);
        QVERIFY(document.table().isPseudoTopic(document.selection()));
        document.commitRows(2, {"two"}, true);
        QCOMPARE(document.selection(), 3);
        document.commitRows(4, {"last"}, true);
        QVERIFY(document.table().isPseudoTopic(document.selection()));
    }

    void insertShiftsTopicsDown() {
        Numbered document(3);
        document.select(2);
        QCOMPARE(document.insertEmptyTopic(1), refusal::kNone);
        QCOMPARE(order(document), QByteArray(",1,2,3"));
        QCOMPARE(document.selection(), 1);
    }

    void deleteKeepsTheSelectionPlace() {
        Numbered document(3);
        QCOMPARE(document.deleteTopic(2), refusal::kNone);
        QCOMPARE(order(document), QByteArray("1,3"));
        QCOMPARE(document.selection(), 2);
        document.deleteTopic(2);
        QVERIFY(document.table().isPseudoTopic(document.selection()));
        QVERIFY(tailIsEmpty(document.table()));
    }

    void theNewEntryRefusesInsertDeleteAndCopy() {
        Numbered document(2);
        const QSignalSpy changes(&document, &Document::topicsChanged);
        TopicCopyBuffer buffer;
        QCOMPARE(document.insertEmptyTopic(3), refusal::kInsertBeforeNew);
        QCOMPARE(document.deleteTopic(3), refusal::kDeleteNew);
        QCOMPARE(document.copyTopic(3, buffer), refusal::kCopyNew);
        QCOMPARE(order(document), QByteArray("1,2"));
        QCOMPARE(changes.count(), 0);
    }

    // Modified while the topics differ from what the file holds: a change taken back by hand
    // leaves it unmodified, and it turns only when it changes. A document no file holds stays
    // modified until it is saved.
    void modifiedFollowsWhatTheFileHolds() {
        Sandbox sandbox;
        const QString file = sandbox.path(QStringLiteral("kept.hp"));
        QVERIFY(writeHpFile(file, numbered(2), 2, true, false));
        Document document;
        const QSignalSpy turns(&document, &Document::modifiedChanged);
        QCOMPARE(document.load(file), 2);
        const QList<TopicRows> saved = document.topics();
        document.commitRows(1, {"T1"}, false); // the rows it held
        QVERIFY(!document.isModified());
        document.insertEmptyTopic(1);
        document.deleteTopic(2);
        QVERIFY(document.isModified());
        document.putBack(saved, 1);
        QVERIFY(!document.isModified());
        QCOMPARE(turns.count(), 2);

        document.forgetFile();
        QVERIFY(document.isModified() && !document.hasFile());
        QVERIFY(document.save(file, false));
        QVERIFY(!document.isModified());
        QCOMPARE(document.restore(file, QString()), 2);
        QVERIFY(document.isModified() && !document.hasFile());
    }

    // No selection (entry 0) or an entry past the list: every operation refuses and reads or
    // writes nothing outside the table.
    void entriesOutsideTheListAreRefused() {
        for (const int entry : {0, -1, 5, kMaxTopics + 1}) {
            TopicTable table = numbered(3);
            TopicTable other = numbered(3);
            TopicCopyBuffer buffer;
            QCOMPARE(table.commitRows(entry, {"x"}), refusal::kNoEntry);
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
            QVERIFY(table.row(entry, 1).isEmpty());
        }
    }

    void aFullTableRefusesEveryNewTopic() {
        TopicTable table = numbered(kMaxTopicCount);
        TopicTable other = numbered(1);
        const QByteArray before = order(table);
        QCOMPARE(table.commitRows(200, {"x"}), refusal::kTableFull);
        QCOMPARE(table.insertEmptyTopic(1), refusal::kTableFull);
        QCOMPARE(table.insertTopicCopy(1, TopicRows()), refusal::kTableFull);
        QCOMPARE(TopicTable::moveTopic(other, 1, table, 1, DragMode::Move), refusal::kTableFull);
        QCOMPARE(TopicTable::moveTopic(table, 1, table, 5, DragMode::Copy), refusal::kTableFull);
        QCOMPARE(order(table), before);
        QCOMPARE(other.topicCount(), 1);
        QVERIFY(tailIsEmpty(table));
        // Committing onto an existing topic and moving within the table still work.
        QCOMPARE(table.commitRows(1, {"T1x"}), refusal::kNone);
        QCOMPARE(TopicTable::moveTopic(table, 199, table, 1, DragMode::Move), refusal::kNone);
        QCOMPARE(table.row(1, 1), QByteArray("T199"));
        QCOMPARE(table.topicCount(), kMaxTopicCount);
        QVERIFY(tailIsEmpty(table));
    }

    void copyKeepsThirtyFiveCharactersARow() {
        Document document;
        const QByteArray fifty(50, 'w');
        document.commitRows(1, {fifty, "short"}, false);
        TopicCopyBuffer buffer;
        QCOMPARE(document.copyTopic(1, buffer), refusal::kNone);
        QCOMPARE(buffer.rows[0], QByteArray(35, 'w'));
        QCOMPARE(buffer.rows[1], QByteArray("short"));
        document.insertTopicCopy(2, buffer.rows);
        QCOMPARE(document.table().row(2, 1).size(), 35);
        QCOMPARE(document.table().row(1, 1), fifty);
        QCOMPARE(document.selection(), 2);
    }

    void dragMoveWithinOneList_data() {
        QTest::addColumn<int>("topics");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QByteArray>("order");
        QTest::addColumn<int>("selection");
        QTest::newRow("up") << 6 << 5 << 2 << QByteArray("1,5,2,3,4,6") << 2;
        QTest::newRow("down") << 6 << 2 << 5 << QByteArray("1,3,4,2,5,6") << 4;
        QTest::newRow("onto <New>") << 3 << 1 << 4 << QByteArray("2,3,1") << 3;
    }

    void dragMoveWithinOneList() {
        QFETCH(int, topics);
        Numbered document(topics);
        QFETCH(int, from);
        QFETCH(int, to);
        Document::moveTopic(document, from, document, to, DragMode::Move);
        QTEST(order(document), "order");
        QTEST(document.selection(), "selection");
    }

    void dragOntoItselfOrItsSuccessor() {
        Numbered document(4);
        const QSignalSpy changes(&document, &Document::topicsChanged);
        Document::moveTopic(document, 2, document, 2, DragMode::Copy);
        QCOMPARE(order(document), QByteArray("1,2,3,4"));
        QCOMPARE(changes.count(), 0);
        const TopicTable& table = document.table();
        QVERIFY(!TopicTable::moveChangesOrder(table, 2, table, 3));
        QVERIFY(!TopicTable::moveChangesOrder(table, 2, table, 2));
        QVERIFY(TopicTable::moveChangesOrder(table, 2, table, 1));
        Document::moveTopic(document, 2, document, 3, DragMode::Copy);
        QCOMPARE(order(document), QByteArray("1,2,2,3,4"));
    }

    void dragBetweenTwoLists() {
        Numbered source(3);
        Numbered target(2);
        const QByteArray longRow(60, 'L');
        TopicRows second = source.table().topic(2);
        second[1] = longRow;
        source.commitRows(2, QList<QByteArray>(second.cbegin(), second.cend()), false);
        source.select(1);
        const QSignalSpy sourceChanges(&source, &Document::topicsChanged);

        Document::moveTopic(source, 2, target, 1, DragMode::Copy);
        QCOMPARE(order(target), QByteArray("2,1,2"));
        QCOMPARE(target.table().row(1, 2).size(), kCopyRowLength);
        QCOMPARE(source.selection(), 2);
        QCOMPARE(target.selection(), 1);
        QCOMPARE(sourceChanges.count(), 0);

        Document::moveTopic(source, 2, target, 4, DragMode::Move);
        QCOMPARE(order(source), QByteArray("1,3"));
        QCOMPARE(order(target), QByteArray("2,1,2,2"));
        QCOMPARE(target.table().row(4, 2), longRow); // a move carries the full rows
        QCOMPARE(source.selection(), 2);
        QCOMPARE(target.selection(), 4);
        QVERIFY(tailIsEmpty(source.table()));
    }

    void titleRowOnlyChangesTitles() {
        Document document;
        document.commitRows(1, {"first", "second", "third"}, false);
        const QSignalSpy changes(&document, &Document::topicsChanged);
        document.setTitleRow(3);
        QCOMPARE(document.title(1), QByteArray("third"));
        QCOMPARE(changes.count(), 0);
    }

    void clearTableForgetsEverything() {
        TopicTable table = numbered(5);
        table.clearTable();
        QCOMPARE(table.topicCount(), 0);
        QVERIFY(tailIsEmpty(table));
    }
};

QTEST_GUILESS_MAIN(TestTopicTable)
#include "tst_topictable.moc"
