// Undo and redo in the real windows, judged by the bytes a save writes and the modified mark.

#include "ProgramFrame.h"
#include "core/HpFile.h"
#include "gui/DataBox.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/TopicList.h"
#include "gui/dialogs/CompareWindow.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QAction>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

namespace {

const QByteArrayList kTitles{"delta", "bravo", "charlie", "alpha"};

// A file as the program writes it, so that saving the same topics gives the same bytes.
QByteArray fileOf(const QByteArrayList& titles) {
    TopicTable table;
    for (const QByteArray& title : titles)
        table.commitRows(table.entryCount(), {title, "row 2"});
    return formatHpFile(table, table.topicCount(), true, false);
}

struct Program : ProgramFrame {
    Program() {
        writeBytes(sandbox.settingsFile(), "[Application]\nLanguage=1\n");
        open();
        QApplication::setActiveWindow(main.get());
    }
    DocumentWindow* openFile(const QString& name, const QByteArray& bytes) {
        writeBytes(sandbox.path(name), bytes);
        return main->openDocument(sandbox.path(name), Workspace::RecentFiles::Skip);
    }
};

// A key on the topic list, so that the data box keeps none of it.
void press(DocumentWindow* document, QKeyCombination key) {
    QTest::keyClick(topicListOf(document), key.key(), key.keyboardModifiers());
}
const QKeyCombination kUndo = Qt::CTRL | Qt::Key_Z;
const QKeyCombination kRedo = Qt::CTRL | Qt::SHIFT | Qt::Key_Z;

QList<int> topicCounts(DocumentWindow* first, DocumentWindow* second) {
    return {first->document().table().topicCount(), second->document().table().topicCount()};
}

// An Edit menu command on the entry, or a drag of the entry with that choice of the drop menu.
void perform(const Program& program, DocumentWindow* document, const QString& command, int entry) {
    document->document().select(1);
    program.action("copyTopic")->trigger();
    document->document().select(entry);
    dataBoxOf(document)->setPlainText(QStringLiteral("changed"));
    if (command.startsWith(QLatin1String("drop"))) {
        const PopupChoice choice(command.toLatin1().constData());
        dropTopic(document, entry, document, entry == 1 ? 4 : 1);
    } else {
        QTimer::singleShot(0, document, [] { // the sort dialog's Start
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->accept();
        });
        program.action(command.toLatin1().constData())->trigger();
    }
    // The keys go to the main window again once the menu or dialog has gone.
    QApplication::setActiveWindow(program.main.get());
}

} // namespace

class TestUndo : public QObject {
    Q_OBJECT

  private slots:
    void eachOperation_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("shownEntry"); // after the undo
        QTest::newRow("commit") << "commitTopic" << 2 << "&Undo commit topic" << 2;
        QTest::newRow("insert") << "insertTopic" << 2 << "&Undo insert topic" << 2;
        QTest::newRow("delete") << "deleteTopic" << 2 << "&Undo delete topic" << 2;
        QTest::newRow("insert copy") << "insertTopicCopy" << 3 << "&Undo insert copy" << 3;
        QTest::newRow("drag move") << "dropMove" << 1 << "&Undo move topic" << 1;
        QTest::newRow("drag copy") << "dropCopy" << 4 << "&Undo copy topic by drag" << 1;
        QTest::newRow("sort") << "sortTopics" << 1 << "&Undo sort topics" << 1;
    }

    // Undo back to the file clears the mark, an undo after a save sets it; saves after undo and
    // redo write the file as it was before and after.
    void eachOperation() {
        QFETCH(QString, command);
        QFETCH(int, entry);
        QFETCH(int, shownEntry);
        Program program;
        DocumentWindow* document = program.openFile(QStringLiteral("db.hp"), fileOf(kTitles));
        const QString file = document->document().fileName();
        perform(program, document, command, entry);
        QTEST(program.action("undo")->text(), "label");
        press(document, kUndo);
        QVERIFY(!document->document().isModified());
        QCOMPARE(program.statusPanel(1), QStringLiteral("U: 0"));
        QCOMPARE(document->document().selection(), shownEntry);
        QCOMPARE(dataBoxOf(document)->lines().first().toLatin1(), kTitles[shownEntry - 1]);

        press(document, kRedo);
        QVERIFY(document->save());
        const QByteArray changed = readBytes(file);
        press(document, kUndo);
        QVERIFY(document->document().isModified());
        QVERIFY(document->save());
        QCOMPARE(readBytes(file), fileOf(kTitles));
        press(document, Qt::CTRL | Qt::Key_Y);
        QVERIFY(document->save());
        QCOMPARE(readBytes(file), changed);
        QVERIFY(changed != fileOf(kTitles));
    }

    // A move between windows is one step of the target, taken back from both; it waits for a
    // later change of the source. Once the source is saved and closed the step can no longer
    // be taken back: the moved topic stays where it is, and a file holds it.
    void moveBetweenWindows() {
        Program program;
        DocumentWindow* source = program.openFile(QStringLiteral("a.hp"), fileOf(kTitles));
        DocumentWindow* target = program.openFile(QStringLiteral("b.hp"), fileOf({"b1"}));
        {
            const PopupChoice move("dropMove");
            dropTopic(source, 2, target, 2);
        }
        QApplication::setActiveWindow(program.main.get());
        press(target, kUndo);
        QCOMPARE(source->document().topics().value(1)[0], kTitles[1]);
        QCOMPARE(topicCounts(source, target), QList<int>({4, 1}));
        QCOMPARE(dataBoxOf(source)->lines().first().toLatin1(), kTitles[1]);
        QCOMPARE(program.statusPanel(1), QStringLiteral("U: 0"));

        press(target, kRedo);
        dataBoxOf(source)->setPlainText(QStringLiteral("edited"));
        source->commitTopic();
        press(target, kUndo);
        QCOMPARE(program.prompter.shownIds(), QList<quint16>{textid::kStepOutdated});
        QCOMPARE(topicCounts(source, target), QList<int>({3, 2}));

        const QString sourceFile = source->document().fileName();
        QVERIFY(source->save());
        QVERIFY(qobject_cast<QMdiSubWindow*>(source->parentWidget())->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        press(target, kUndo);
        QCOMPARE(target->document().table().topicCount(), 2);
        QVERIFY(!program.action("undo")->isEnabled());
        QCOMPARE(program.statusPanel(1), QStringLiteral("U: 1"));
        QVERIFY(target->save());
        QVERIFY(readBytes(target->document().fileName()).contains(kTitles[1]));
        QVERIFY(!readBytes(sourceFile).contains(kTitles[1]));
    }

    // Takes from the compare window are steps of the document they change: a topic into A and
    // a topic into B, each taken back by its own document's Undo, leave both files as they
    // were, byte for byte.
    void takesFromTheComparisonUndone() {
        Program program;
        QByteArray otherBytes = fileOf({"bravo", "echo"});
        otherBytes.replace("row 2", "row two");
        DocumentWindow* a = program.openFile(QStringLiteral("a.hp"), fileOf(kTitles));
        DocumentWindow* b = program.openFile(QStringLiteral("b.hp"), otherBytes);
        CompareWindow& compare = program.main->compareWindow();
        compare.compare(a, b);
        // delta <1, bravo ~2,1, echo >2, charlie <3, alpha <4: the first difference is chosen
        QCOMPARE(compare.pairs().size(), 5);
        QCOMPARE(compare.currentPair(), 0);
        compare.takeTopic(compare::Side::B); // delta into B
        compare.setCurrentPair(1);
        QCOMPARE(compare.pairs()[1].state, compare::State::Changed);
        compare.takeTopic(compare::Side::A); // B's bravo into A
        QVERIFY(a->save());
        QVERIFY(b->save());
        QCOMPARE(readBytes(b->document().fileName()).count("delta"), 1);
        QCOMPARE(readBytes(a->document().fileName()).count("row two"), 1);

        for (DocumentWindow* document : {a, b}) {
            program.workspace()->setActiveSubWindow(
                qobject_cast<QMdiSubWindow*>(document->parentWidget()));
            press(document, kUndo);
        }
        QVERIFY(a->save());
        QVERIFY(b->save());
        QCOMPARE(readBytes(a->document().fileName()), fileOf(kTitles));
        QCOMPARE(readBytes(b->document().fileName()), otherBytes);
        QCOMPARE(compare.pairs().size(), 5); // the comparison followed the undo
    }

    // The items follow the language; a document no file holds stays modified after an undo.
    void languageAndReceivedDocument() {
        Program program;
        DocumentWindow* document = program.openFile(QStringLiteral("r.hp"), fileOf(kTitles));
        document->takeReceived(); // as a document received from the calculator
        program.action("insertTopic")->trigger();
        strings::setLanguage(strings::kGerman);
        applyLanguage();
        const QStringList labels{program.action("undo")->text(), program.action("redo")->text()};
        strings::setLanguage(strings::kEnglish);
        QCOMPARE(labels, QStringList({QStringLiteral("&Rückgängig: Topic einfügen"),
                                      QStringLiteral("&Wiederherstellen")}));
        press(document, kUndo);
        QCOMPARE(document->document().table().topicCount(), 4);
        QVERIFY(document->document().isModified());
    }

    // No file holds a restored recovery copy either: undoing back to it keeps the mark, so
    // closing still asks to save the recovered edits.
    void restoredCopyStaysModified() {
        Program program;
        writeBytes(program.sandbox.path(QStringLiteral("copy.hp")), fileOf(kTitles));
        DocumentWindow* document = program.main->newDocument();
        QVERIFY(document->restoreFrom(program.sandbox.path(QStringLiteral("copy.hp")),
                                      program.sandbox.path(QStringLiteral("original.hp"))));
        program.action("insertTopic")->trigger();
        press(document, kUndo);
        QCOMPARE(document->document().table().topicCount(), 4);
        QVERIFY(document->document().isModified());
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
