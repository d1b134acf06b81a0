// Undo and redo in the real windows, judged by the bytes a save writes and the modified mark.

#include "ProgramFrame.h"
#include "core/HpFile.h"
#include "gui/DataBox.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/TopicList.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QAction>
#include <QDialog>
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
        table.commitRows(table.entryCount(), {title, "row 2"}, false);
    return formatHpFile(table, table.topicCount(), true, false);
}

struct Program : ProgramFrame {
    Program() {
        writeBytes(sandbox.settingsFile(), "[Application]\nLanguage=1\n");
        open();
        QApplication::setActiveWindow(main.get());
    }
    ~Program() { DocumentWindow::setMenuRunner(nullptr); }
    DocumentWindow* openFile(const QString& name, const QByteArray& bytes) {
        writeBytes(sandbox.path(name), bytes);
        return main->openDocument(sandbox.path(name), Workspace::RecentFiles::Skip);
    }
};

// A key on the topic list, so that the data box keeps none of it.
void press(DocumentWindow* document, QKeyCombination key) {
    QTest::keyClick(document->topicList(), key.key(), key.keyboardModifiers());
}
const QKeyCombination kUndo = Qt::CTRL | Qt::Key_Z;
const QKeyCombination kRedo = Qt::CTRL | Qt::SHIFT | Qt::Key_Z;

QAction* item(QObject* owner, const char* name) {
    return owner->findChild<QAction*>(QString::fromLatin1(name));
}

QList<int> topicCounts(DocumentWindow* first, DocumentWindow* second) {
    return {first->table().topicCount(), second->table().topicCount()};
}

void chooseOnDrop(const QString& choice) {
    DocumentWindow::setMenuRunner(
        [choice](QMenu& menu, const QPoint&) { return menu.findChild<QAction*>(choice); });
}

// An Edit menu command on the entry, or a drag of the entry with that choice of the drop menu.
void perform(const Program& program, DocumentWindow* document, const QString& command, int entry) {
    document->selectEntry(1);
    item(document, "copyTopic")->trigger();
    document->dataBox()->setPlainText(QStringLiteral("changed"));
    document->selectEntry(entry);
    if (command.startsWith(QLatin1String("drop"))) {
        chooseOnDrop(command);
        document->dropFrom(document, entry, entry == 1 ? 4 : 1, QPoint());
        return;
    }
    QTimer::singleShot(0, document, [] { // the sort dialog's Start
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    item(document, command.toLatin1().constData())->trigger();
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
        QTEST(item(document, "undo")->text(), "label");
        press(document, kUndo);
        QVERIFY(!document->table().modified);
        QCOMPARE(program.main->statusPanelText(1), QStringLiteral("U: 0"));
        QCOMPARE(document->selectedEntry(), shownEntry);
        QCOMPARE(document->dataBox()->lines().first().toLatin1(), kTitles[shownEntry - 1]);

        press(document, kRedo);
        QVERIFY(document->save());
        const QByteArray changed = readBytes(file);
        press(document, kUndo);
        QVERIFY(document->table().modified);
        QVERIFY(document->save());
        QCOMPARE(readBytes(file), fileOf(kTitles));
        press(document, Qt::CTRL | Qt::Key_Y);
        QVERIFY(document->save());
        QCOMPARE(readBytes(file), changed);
        QVERIFY(changed != fileOf(kTitles));
    }

    // A move between windows is one step of the target, taken back from both; it waits for a
    // later change of the source, and survives the source window.
    void moveBetweenWindows() {
        Program program;
        DocumentWindow* source = program.openFile(QStringLiteral("a.hp"), fileOf(kTitles));
        DocumentWindow* target = program.openFile(QStringLiteral("b.hp"), fileOf({"b1"}));
        chooseOnDrop(QStringLiteral("dropMove"));
        QVERIFY(target->dropFrom(source, 2, 2, QPoint()));
        press(target, kUndo);
        QCOMPARE(source->document().topics().value(1)[0], kTitles[1]);
        QCOMPARE(topicCounts(source, target), QList<int>({4, 1}));
        QCOMPARE(source->dataBox()->lines().first().toLatin1(), kTitles[1]);
        QCOMPARE(program.main->statusPanelText(1), QStringLiteral("U: 0"));

        press(target, kRedo);
        source->selectEntry(1); // the data box still shows entry 2
        source->commitTopic();
        press(target, kUndo);
        QCOMPARE(program.prompter.shownIds(), QList<quint16>{textid::kStepOutdated});
        QCOMPARE(topicCounts(source, target), QList<int>({3, 2}));

        program.prompter.answers = {MsgButton::No};
        const QPointer<DocumentWindow> closed(source);
        QVERIFY(qobject_cast<QMdiSubWindow*>(source->parentWidget())->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(closed.isNull());
        press(target, kUndo);
        QCOMPARE(target->table().topicCount(), 1);
        press(target, kRedo);
        QCOMPARE(target->table().topicCount(), 2);
    }

    // The items follow the language; a document no file holds stays modified after an undo.
    void languageAndReceivedDocument() {
        Program program;
        DocumentWindow* document = program.openFile(QStringLiteral("r.hp"), fileOf(kTitles));
        document->setModified(true); // as a document received from the calculator
        item(document, "insertTopic")->trigger();
        strings::setLanguage(strings::kGerman);
        applyLanguage();
        const QStringList labels{item(document, "undo")->text(), item(document, "redo")->text(),
                                 item(program.main->menuBar(), "undo")->text()};
        strings::setLanguage(strings::kEnglish);
        QCOMPARE(labels,
                 QStringList({QStringLiteral("&Rückgängig: Topic einfügen"),
                              QStringLiteral("&Wiederherstellen"), QStringLiteral("&Rückgängig")}));
        press(document, kUndo);
        QCOMPARE(document->table().topicCount(), 4);
        QVERIFY(document->table().modified);
    }

    // No file holds a restored recovery copy either: undoing back to it keeps the mark, so
    // closing still asks to save the recovered edits.
    void restoredCopyStaysModified() {
        Program program;
        writeBytes(program.sandbox.path(QStringLiteral("copy.hp")), fileOf(kTitles));
        DocumentWindow* document = program.main->newDocument();
        QVERIFY(document->restoreFrom(program.sandbox.path(QStringLiteral("copy.hp")),
                                      program.sandbox.path(QStringLiteral("original.hp"))));
        item(document, "insertTopic")->trigger();
        press(document, kUndo);
        QCOMPARE(document->table().topicCount(), 4);
        QVERIFY(document->table().modified);
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
