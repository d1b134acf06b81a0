// The document window driven offscreen inside the real main window: editing, committing,
// saving, closing and the operations on the topic list.

#include "ProgramFrame.h"
#include "Sandbox.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompter.h"
#include "SpecialFiles.h"
#include "app/Startup.h"
#include "core/HpFile.h"
#include "gui/DataBox.h"
#include "gui/DocumentWindow.h"
#include "gui/MainWindow.h"
#include "gui/TopicList.h"
#include "platform/Paths.h"
#include "platform/SettingsFile.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>

namespace {

// One program: its settings, its global state and its main window, in a sandbox.
struct Program : ProgramFrame {
    explicit Program(const QByteArray& settingsText = "[Application]\nLanguage=1\n") {
        writeBytes(sandbox.settingsFile(), settingsText);
        open(Dialogs::Without);
        QApplication::setActiveWindow(main.get());
    }
    ~Program() { DocumentWindow::setMenuRunner(nullptr); }

    DocumentWindow* newDocument() { return main->newDocument(); }
};

QLabel* panel(DocumentWindow* document, const char* name) {
    return document->findChild<QLabel*>(QLatin1String(name));
}

QString panelText(DocumentWindow* document, const char* name) {
    return panel(document, name)->text();
}

bool panelIsRed(DocumentWindow* document, const char* name) {
    return panel(document, name)->palette().color(QPalette::WindowText) == QColor(Qt::red);
}

QAction* actionOf(QObject* owner, const char* name) {
    return owner->findChild<QAction*>(QString::fromLatin1(name));
}

// Types text key by key, as a keyboard with any layout would.
void type(DocumentWindow* document, const QString& text) {
    document->dataBox()->setFocus();
    for (QChar character : text)
        QTest::sendKeyEvent(QTest::Click, document->dataBox(), Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
}

void pressKey(DocumentWindow* document, Qt::Key key,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(document->dataBox(), key, modifiers);
}

QString titles(DocumentWindow* document) {
    QStringList titles;
    for (int row = 0; row < document->topicList()->count(); ++row)
        titles.append(document->topicList()->item(row)->text());
    return titles.join(u',');
}

// Chooses the menu item of the given name instead of showing the menu, and notes which items
// were enabled.
struct MenuChoice {
    explicit MenuChoice(const char* choice) : name(QString::fromLatin1(choice)) {
        DocumentWindow::setMenuRunner([this](QMenu& menu, const QPoint&) -> QAction* {
            enabled.clear();
            for (QAction* item : menu.actions()) {
                if (item->isEnabled() && !item->isSeparator())
                    enabled.append(item->objectName());
            }
            ++shown;
            return menu.findChild<QAction*>(name);
        });
    }
    QString name;
    QStringList enabled;
    int shown = 0;
};

} // namespace

class TestDocumentWindow : public QObject {
    Q_OBJECT

  private slots:
    void aNewWindow() {
        Program program;
        DocumentWindow* document = program.newDocument();
        QCOMPARE(document->windowTitle(), QStringLiteral("Unnamed"));
        QCOMPARE(document->topicList()->count(), 1);
        QCOMPARE(document->selectedEntry(), 1);
        QCOMPARE(panelText(document, "topicPosition"), QStringLiteral("New /0"));
        QCOMPARE(panelText(document, "rowCounter"), QStringLiteral("0/0"));
        QCOMPARE(panelText(document, "rowLength"), QStringLiteral("0"));
        QCOMPARE(panelText(document, "titleRow"), QStringLiteral("1"));
        QCOMPARE(program.main->statusPanelText(0), QStringLiteral("D: 1"));
        QCOMPARE(document->size(), QSize(481, 162));
        QCOMPARE(document->topicList()->statusTip(),
                 QStringLiteral("Select a topic or add a new one"));
    }

    void editCommitSaveAndReopen() {
        Program program;
        DocumentWindow* document = program.newDocument();
        type(document, QStringLiteral("Alpha"));
        pressKey(document, Qt::Key_Return);
        type(document, QStringLiteral("say \"hi\""));
        pressKey(document, Qt::Key_F5);
        QCOMPARE(document->table().topicCount(), 1);
        QCOMPARE(program.main->statusPanelText(2), QStringLiteral("Data commited"));
        QCOMPARE(program.main->statusPanelText(1), QStringLiteral("U: 1"));
        QCOMPARE(panelText(document, "topicPosition"), QStringLiteral("1/1"));

        document->selectEntry(2);
        document->showTopic();
        document->dataBox()->setPlainText(QStringLiteral(u"x\u0304 \u2192 \u03C0"));
        pressKey(document, Qt::Key_F5);
        QCOMPARE(document->table().row(2, 1), QByteArray("\x81 \x8d \x87"));
        QCOMPARE(titles(document), QStringLiteral(u"Alpha,x\u0304 \u2192 \u03C0,"));

        const QString file = program.sandbox.path(QStringLiteral("db/new.hp"));
        program.dialogs.saveAnswers = {file};
        pressKey(document, Qt::Key_F2);
        QCOMPARE(program.dialogs.requests.size(), 1);
        QCOMPARE(program.dialogs.requests[0].fileName, QStringLiteral("Unnamed"));
        QCOMPARE(readBytes(file), QByteArray("%%HP: T(1)A(R)F(,);\r\n{ {\"Alpha\"\r\n"
                                             "C$ 8 say \"hi\"}\r\n{\"\x81 \x8d \x87\"}\r\n}\r\n"));
        QCOMPARE(document->windowTitle(), QStringLiteral("new.hp"));
        QVERIFY(!document->table().modified);
        QCOMPARE(program.main->statusPanelText(1), QStringLiteral("U: 0"));
        QCOMPARE(program.main->recentFiles().value(0), file);

        QVERIFY(program.main->openDocument(file, Workspace::RecentFiles::Remember));
        DocumentWindow* reopened = program.main->activeDocument();
        QVERIFY(reopened != document);
        for (int row = 1; row <= 2; ++row)
            QCOMPARE(reopened->table().row(2, row), document->table().row(2, row));
        QCOMPARE(reopened->dataBox()->toPlainText(), QStringLiteral("Alpha\nsay \"hi\""));
    }

    void countersTurnRed() {
        Program program;
        DocumentWindow* document = program.newDocument();
        document->dataBox()->setPlainText(QStringLiteral("1\n2\n3\n4\n5\n6\n7"));
        QCOMPARE(panelText(document, "rowCounter"), QStringLiteral("1/7"));
        QVERIFY(!panelIsRed(document, "rowCounter"));
        document->dataBox()->setPlainText(QStringLiteral("1\n2\n3\n4\n5\n6\n7\n8\n"));
        document->dataBox()->moveCursor(QTextCursor::End);
        QCOMPARE(panelText(document, "rowCounter"), QStringLiteral("8/8"));
        QVERIFY(panelIsRed(document, "rowCounter"));

        document->dataBox()->setPlainText(QString(22, u'a'));
        document->dataBox()->moveCursor(QTextCursor::End);
        QCOMPARE(panelText(document, "rowLength"), QStringLiteral("22"));
        QVERIFY(!panelIsRed(document, "rowLength"));
        type(document, QStringLiteral(u"x\u0304"));
        QCOMPARE(panelText(document, "rowLength"), QStringLiteral("23")); // one code
        QVERIFY(panelIsRed(document, "rowLength"));
        document->dataBox()->selectAll();
        QCOMPARE(panelText(document, "rowLength"), QStringLiteral("0"));
    }

    void refusalsOnTheNewEntry() {
        Program program;
        DocumentWindow* document = program.newDocument();
        pressKey(document, Qt::Key_F4);
        pressKey(document, Qt::Key_F8);
        actionOf(document, "copyTopic")->trigger();
        QCOMPARE(program.prompter.shownIds(), (QList<quint16>{1100, 1105, 1110}));
        QCOMPARE(program.prompter.shown[0].text,
                 QStringLiteral("Function <Insert> is necessary only between\nexisting topics, "
                                "to append a new topic to the list's end,\njust enter data and "
                                "commit with F5."));
        QCOMPARE(program.prompter.beeps.size(), 3); // Sound is on by default
        QCOMPARE(document->table().topicCount(), 0);
        QVERIFY(!document->table().modified);
    }

    void aCharacterWithoutCodeIsNotCommitted() {
        Program program;
        DocumentWindow* document = program.newDocument();
        document->dataBox()->setPlainText(QStringLiteral(u"fine\nab\u20AC"));
        pressKey(document, Qt::Key_F5);
        QCOMPARE(program.prompter.shownIds(), QList<quint16>{1220});
        QCOMPARE(program.prompter.shown[0].text,
                 QStringLiteral("The character in row 2, column 3 has no HP48 code."));
        QCOMPARE(document->table().topicCount(), 0);
        QVERIFY(!document->table().modified);
        QCOMPARE(document->dataBox()->textCursor().position(), 7); // at the euro sign
    }

    // A clipboard that holds nothing at all (a fresh session) or text: the paste key and the
    // Edit menu's paste insert what there is and nothing else.
    void pasteFromAnEmptyOrTextClipboard() {
        Program program;
        DocumentWindow* document = program.newDocument();
        document->dataBox()->setPlainText(QStringLiteral("kept"));
        QApplication::clipboard()->setMimeData(new QMimeData);
        pressKey(document, Qt::Key_Insert, Qt::ShiftModifier);
        actionOf(document->editMenu(), "pasteText")->trigger();
        QCOMPARE(document->dataBox()->toPlainText(), QStringLiteral("kept"));
        QApplication::clipboard()->setText(QStringLiteral("!"));
        pressKey(document, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(document->dataBox()->toPlainText(), QStringLiteral("!kept"));
    }

    void aFullDocumentTakesNoMoreTopics() {
        Program program;
        const QString file = program.sandbox.path(QStringLiteral("full.hp"));
        writeBytes(file, database(QList<QList<QByteArray>>(kMaxTopicCount, {"t"})));
        QVERIFY(program.main->openDocument(file, Workspace::RecentFiles::Remember));
        DocumentWindow* document = program.main->activeDocument();
        actionOf(document, "copyTopic")->trigger();
        document->selectEntry(200);
        document->dataBox()->setPlainText(QStringLiteral("one more"));
        pressKey(document, Qt::Key_F5);
        document->selectEntry(1);
        pressKey(document, Qt::Key_F4);
        actionOf(document, "insertTopicCopy")->trigger();
        QCOMPARE(program.prompter.shownIds(), (QList<quint16>{1215, 1215, 1215}));
        QCOMPARE(program.prompter.shown[0].text,
                 QStringLiteral("The file already holds 199 topics, no more can be added."));
        QCOMPARE(document->table().topicCount(), kMaxTopicCount);
        QVERIFY(!document->table().modified);
    }

    void loadFailuresCloseTheNewWindow() {
        Program program;
        const QString notHp = program.sandbox.path(QStringLiteral("notes.txt"));
        writeBytes(notHp, "just text");
        const QString pipe = program.sandbox.path(QStringLiteral("pipe.hp"));
        makePipe(pipe);
        const QString zeroLink = program.sandbox.path(QStringLiteral("zero.hp"));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zeroLink));
        const QString tooLarge = program.sandbox.path(QStringLiteral("large.hp"));
        makeSparseFile(tooLarge, database({{"a"}}), hpfile::kMaxFileSize + 1);
        for (const QString& file :
             {notHp, program.sandbox.path(QStringLiteral("gone.hp")), pipe, zeroLink, tooLarge})
            QVERIFY(!program.main->openDocument(file, Workspace::RecentFiles::Remember));
        QCOMPARE(program.prompter.shownIds(), (QList<quint16>{1120, 1115, 1230, 1230, 1225}));
        QCOMPARE(program.prompter.shown.last().text,
                 QStringLiteral("The file is larger than 16 MB, too large for an HP48, and is not "
                                "read."));
        QVERIFY(program.main->documentWindows().isEmpty());
        QVERIFY(program.main->recentFiles().isEmpty());
        QVERIFY(isPipe(pipe));
    }

    void savingOntoAPipeLeavesIt() {
        Program program;
        DocumentWindow* document = program.newDocument();
        document->document().commitRows(1, {"x"}, false);
        document->setModified(true);
        const QString pipe = program.sandbox.path(QStringLiteral("pipe.hp"));
        makePipe(pipe);
        program.dialogs.saveAnswers = {pipe};
        QVERIFY(!document->save());
        QCOMPARE(program.prompter.shownIds(), QList<quint16>{1200});
        QVERIFY(isPipe(pipe));
        QVERIFY(document->table().modified);
        QCOMPARE(document->windowTitle(), QStringLiteral("Unnamed"));
    }

    void deleteAsksFirst() {
        Program program;
        DocumentWindow* document = program.newDocument();
        document->document().commitRows(1, {"a"}, false);
        document->document().commitRows(2, {"b"}, false);
        document->setModified(false);
        document->selectEntry(1);
        program.prompter.answers = {MsgButton::No, MsgButton::Yes};
        pressKey(document, Qt::Key_F8);
        QCOMPARE(document->table().topicCount(), 2);
        QTest::keyClick(document->topicList(), Qt::Key_Delete);
        QCOMPARE(document->table().topicCount(), 1);
        QCOMPARE(document->table().row(1, 1), QByteArray("b"));
        QCOMPARE(program.prompter.shownIds(), (QList<quint16>{1205, 1205}));
        QCOMPARE(program.prompter.beeps, (QList<Beep>{Beep::Question, Beep::Question}));
        QVERIFY(document->table().modified);

        program.preferences.askDelTopic = false;
        document->selectEntry(1);
        pressKey(document, Qt::Key_F8);
        QCOMPARE(document->table().topicCount(), 0);
        QCOMPARE(program.prompter.shown.size(), 2);
    }

    void insertShowsAnEmptyTopic() {
        Program program;
        DocumentWindow* document = program.newDocument();
        for (const char* text : {"one", "two", "three"})
            document->document().commitRows(document->table().entryCount(), {text}, false);
        document->selectEntry(1);
        document->showTopic();
        QTest::keyClick(document->topicList(), Qt::Key_Insert);
        QCOMPARE(titles(document), QStringLiteral(",one,two,three,"));
        QCOMPARE(document->selectedEntry(), 1);
        QVERIFY(document->dataBox()->toPlainText().isEmpty());
        QCOMPARE(program.main->statusPanelText(2), QStringLiteral("New topic inserted"));
    }

    void closeQueries() {
        Program program;
        const QString file = program.sandbox.path(QStringLiteral("kept.hp"));
        DocumentWindow* document = program.newDocument();
        document->document().commitRows(1, {"x"}, false);
        document->setModified(true);
        QMdiSubWindow* window = program.main->workspace()->activeSubWindow();

        program.prompter.answers = {MsgButton::Cancel};
        QVERIFY(!window->close());
        QCOMPARE(program.prompter.shown.last().text,
                 QStringLiteral("Save changes to \"Unnamed\" ?"));
        QCOMPARE(program.prompter.beeps.last(), Beep::Exclamation);

        program.prompter.answers = {MsgButton::Yes}; // and then the save dialog is cancelled
        QVERIFY(!window->close());
        QCOMPARE(program.dialogs.requests.size(), 1);

        program.prompter.answers = {MsgButton::Yes};
        program.dialogs.saveAnswers = {file};
        QVERIFY(window->close());
        QCOMPARE(readBytes(file), QByteArray("%%HP: T(1)A(R)F(,);\r\n{ {\"x\"}\r\n}\r\n"));
        QTRY_VERIFY(program.main->documentWindows().isEmpty());
        QCOMPARE(program.main->statusPanelText(0), QStringLiteral("D: 0"));
    }

    void unsavedCountAcrossWindows() {
        Program program;
        DocumentWindow* first = program.newDocument();
        DocumentWindow* second = program.newDocument();
        for (DocumentWindow* document : {first, second}) {
            document->dataBox()->setPlainText(QStringLiteral("data"));
            document->commitTopic();
        }
        QCOMPARE(program.main->statusPanelText(1), QStringLiteral("U: 2"));
        program.prompter.answers = {MsgButton::No};
        QVERIFY(qobject_cast<QMdiSubWindow*>(first->parentWidget())->close());
        QCOMPARE(program.main->statusPanelText(1), QStringLiteral("U: 1"));
        program.dialogs.saveAnswers = {program.sandbox.path(QStringLiteral("second.hp"))};
        QVERIFY(second->save());
        QCOMPARE(program.main->statusPanelText(1), QStringLiteral("U: 0"));
    }

    void quickEditModeMovesOn() {
        Program program("[Application]\nLanguage=1\n[Misc]\nEditMode=1\n");
        DocumentWindow* document = program.newDocument();
        document->dataBox()->setPlainText(QStringLiteral("first"));
        pressKey(document, Qt::Key_F5);
        QCOMPARE(document->selectedEntry(), 2);
        QVERIFY(document->dataBox()->toPlainText().isEmpty());
        QCOMPARE(panelText(document, "topicPosition"), QStringLiteral("New /1"));
    }

    void savingWithDeleteEmptyReloads() {
        Program program("[Application]\nLanguage=1\n[Misc]\nDeleteEmpty=1\n");
        DocumentWindow* document = program.newDocument();
        for (const char* text : {"kept", "", ""})
            document->document().commitRows(document->table().entryCount(), {text}, false);
        document->selectEntry(3);
        program.dialogs.saveAnswers = {program.sandbox.path(QStringLiteral("trim.hp"))};
        QVERIFY(document->save());
        QCOMPARE(document->table().topicCount(), 1);
        QCOMPARE(document->selectedEntry(), 1);
        QCOMPARE(program.main->statusPanelText(2), QStringLiteral("File saved"));
    }

    void copyAndInsertCopyAcrossWindows() {
        Program program;
        DocumentWindow* source = program.newDocument();
        source->document().commitRows(1, {QByteArray(50, 'w')}, false);
        source->setModified(false);
        source->selectEntry(1);
        DocumentWindow* target = program.newDocument();
        QVERIFY(!actionOf(target, "insertTopicCopy")->isEnabled());
        program.main->workspace()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow*>(source->parentWidget()));
        actionOf(source, "copyTopic")->trigger();
        QVERIFY(!actionOf(target, "insertTopicCopy")->isEnabled()); // until it is activated
        QCOMPARE(program.main->statusPanelText(2), QStringLiteral("Topic-copy created"));
        QVERIFY(actionOf(source, "insertTopicCopy")->isEnabled());
        program.main->workspace()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow*>(target->parentWidget()));
        QVERIFY(actionOf(target, "insertTopicCopy")->isEnabled());
        actionOf(target, "insertTopicCopy")->trigger();
        QCOMPARE(target->table().row(1, 1), QByteArray(35, 'w'));
        QVERIFY(target->table().modified);
        QCOMPARE(source->table().row(1, 1).size(), 50);
        QVERIFY(!source->table().modified);
    }

    void theListMenuOnTheNewEntry() {
        Program program;
        DocumentWindow* document = program.newDocument();
        document->document().commitRows(1, {"a"}, false);
        document->selectEntry(1);
        document->showTopic();
        document->setTitleRow(1); // rebuilds the list with the topic committed behind its back
        MenuChoice choice("");
        QListWidget* list = document->topicList();
        const QPoint newEntry = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, newEntry);
        QCOMPARE(choice.shown, 1);
        QCOMPARE(choice.enabled, QStringList{});
        QCOMPARE(document->selectedEntry(), 2);
        QCOMPARE(document->dataBox()->toPlainText(), QStringLiteral("a")); // not shown

        actionOf(document, "copyTopic")->trigger(); // the pseudo-topic: refused
        document->selectEntry(1);
        actionOf(document, "copyTopic")->trigger();
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, newEntry);
        QCOMPARE(choice.enabled, QStringList{QStringLiteral("listInsertTopicCopy")});
    }

    void titleRowMenu() {
        Program program;
        DocumentWindow* document = program.newDocument();
        document->document().commitRows(1, {"r1", "r2", "r3"}, false);
        document->document().commitRows(2, {"s1"}, false);
        document->setModified(false);
        actionOf(document, "titleRow3")->trigger();
        QCOMPARE(titles(document), QStringLiteral("r3,,"));
        QCOMPARE(panelText(document, "titleRow"), QStringLiteral("3"));
        QVERIFY(actionOf(document, "titleRow3")->isChecked());
        QVERIFY(!document->table().modified);
    }

    void dragWithinOneList() {
        Program program;
        DocumentWindow* document = program.newDocument();
        for (int t = 1; t <= 6; ++t)
            document->document().commitRows(t, {QByteArray::number(t)}, false);
        document->setTitleRow(1);
        MenuChoice move("dropMove");
        QVERIFY(document->dropFrom(document, 5, 2, QPoint()));
        QCOMPARE(titles(document), QStringLiteral("1,5,2,3,4,6,"));
        QCOMPARE(document->selectedEntry(), 2);
        QCOMPARE(document->dataBox()->toPlainText(), QStringLiteral("5"));
        QVERIFY(document->table().modified);

        MenuChoice copy("dropCopy");
        QVERIFY(document->dropFrom(document, 3, 4, QPoint()));
        QVERIFY(!copy.enabled.contains(QStringLiteral("dropMove")));
        QCOMPARE(titles(document), QStringLiteral("1,5,2,2,3,4,6,"));
        QVERIFY(!document->dropFrom(document, 3, 3, QPoint()));
        QCOMPARE(copy.shown, 1);

        MenuChoice cancel("dropCancel");
        document->dropFrom(document, 1, 5, QPoint());
        QCOMPARE(titles(document), QStringLiteral("1,5,2,2,3,4,6,"));
        QCOMPARE(document->selectedEntry(), 1);
    }

    void dragBetweenTwoWindows() {
        Program program;
        DocumentWindow* source = program.newDocument();
        DocumentWindow* target = program.newDocument();
        for (int t = 1; t <= 3; ++t)
            source->document().commitRows(t, {"a" + QByteArray::number(t)}, false);
        target->document().commitRows(1, {"b1"}, false);
        source->setTitleRow(1);
        target->setTitleRow(1);
        source->setModified(false);
        target->setModified(false);
        MenuChoice move("dropMove");
        QVERIFY(target->dropFrom(source, 2, 2, QPoint()));
        QCOMPARE(titles(source), QStringLiteral("a1,a3,"));
        QCOMPARE(titles(target), QStringLiteral("b1,a2,"));
        QCOMPARE(source->selectedEntry(), 2);
        QCOMPARE(target->selectedEntry(), 2);
        QVERIFY(source->table().modified && target->table().modified);
        QCOMPARE(program.main->statusPanelText(1), QStringLiteral("U: 2"));
    }

    // Over a list the entry under the mouse becomes its selection, and below the last entry
    // there is none; a drag that no list takes returns the source list to the dragged topic.
    void dragOverAndAbandon() {
        Program program;
        DocumentWindow* source = program.newDocument();
        DocumentWindow* target = program.newDocument();
        for (int t = 1; t <= 3; ++t)
            source->document().commitRows(t, {QByteArray::number(t)}, false);
        target->document().commitRows(1, {"b"}, false);
        source->setTitleRow(2);
        target->setTitleRow(1);
        target->topicList()->dragOverEntry(0);
        QCOMPARE(target->selectedEntry(), 0);
        target->topicList()->dragOverEntry(2);
        QCOMPARE(target->selectedEntry(), 2);
        source->topicList()->dragOverEntry(3);
        source->topicList()->endDrag(2, false);
        QCOMPARE(source->selectedEntry(), 2);

        MenuChoice copy("dropCopy");
        QVERIFY(target->dropFrom(source, 2, 2, QPoint()));
        QCOMPARE(titles(target), QStringLiteral("b,2,"));
        QCOMPARE(source->selectedEntry(), 2);
    }
};

QTEST_MAIN(TestDocumentWindow)
#include "tst_documentwindow.moc"
