// The document window driven offscreen inside the real main window: editing, committing,
// saving, closing and the operations on the topic list.

#include "core/HpFile.h"
#include "platform/Paths.h"
#include "ProgramFrame.h"
#include "Sandbox.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompter.h"
#include "platform/SettingsFile.h"
#include "SpecialFiles.h"
#include "app/Startup.h"
#include "platform/Preferences.h"
#include "gui/DocumentWindow.h"
#include "gui/MainWindow.h"

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
        WriteBytes(sandbox.SettingsFile(), settingsText);
        Open(Dialogs::Without);
        QApplication::setActiveWindow(main.get());
    }
    ~Program() { DocumentWindow::SetMenuRunner(nullptr); }

    DocumentWindow* NewDocument() { return main->NeueDatei1Click(); }
};

QString PanelText(DocumentWindow* document, const char* name) {
    return document->Panel(name)->text();
}

bool PanelIsRed(DocumentWindow* document, const char* name) {
    return document->Panel(name)->palette().color(QPalette::WindowText) == QColor(Qt::red);
}

QAction* ActionOf(QObject* owner, const char* name) {
    return owner->findChild<QAction*>(QString::fromLatin1(name));
}

// Types text key by key, as a keyboard with any layout would.
void Type(DocumentWindow* document, const QString& text) {
    document->DataBox()->setFocus();
    for (QChar character : text)
        QTest::sendKeyEvent(QTest::Click, document->DataBox(), Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
}

void PressKey(DocumentWindow* document, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(document->DataBox(), key, modifiers);
}

QString Titles(DocumentWindow* document) {
    QStringList titles;
    for (int row = 0; row < document->TopicBox()->count(); ++row)
        titles.append(document->TopicBox()->item(row)->text());
    return titles.join(u',');
}

// Chooses the menu item of the given name instead of showing the menu, and notes which items
// were enabled.
struct MenuChoice {
    explicit MenuChoice(const char* choice) : name(QString::fromLatin1(choice)) {
        DocumentWindow::SetMenuRunner([this](QMenu& menu, const QPoint&) -> QAction* {
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
        DocumentWindow* document = program.NewDocument();
        QCOMPARE(document->windowTitle(), QStringLiteral("Unnamed"));
        QCOMPARE(document->TopicBox()->count(), 1);
        QCOMPARE(document->SelectedEntry(), 1);
        QCOMPARE(PanelText(document, "Panel9"), QStringLiteral("New /0"));
        QCOMPARE(PanelText(document, "Panel6"), QStringLiteral("0/0"));
        QCOMPARE(PanelText(document, "Panel10"), QStringLiteral("0"));
        QCOMPARE(PanelText(document, "Panel1"), QStringLiteral("1"));
        QCOMPARE(program.main->StatusPanelText(0), QStringLiteral("D: 1"));
        QCOMPARE(document->size(), QSize(481, 162));
        QCOMPARE(document->TopicBox()->statusTip(),
                 QStringLiteral("Select a topic or add a new one"));
    }

    void editCommitSaveAndReopen() {
        Program program;
        DocumentWindow* document = program.NewDocument();
        Type(document, QStringLiteral("Alpha"));
        PressKey(document, Qt::Key_Return);
        Type(document, QStringLiteral("say \"hi\""));
        PressKey(document, Qt::Key_F5);
        QCOMPARE(document->Table().TopicCount(), 1);
        QCOMPARE(program.main->StatusPanelText(2), QStringLiteral("Data commited"));
        QCOMPARE(program.main->StatusPanelText(1), QStringLiteral("U: 1"));
        QCOMPARE(PanelText(document, "Panel9"), QStringLiteral("1/1"));

        document->SelectEntry(2);
        document->ShowTopic();
        document->DataBox()->setPlainText(QStringLiteral(u"x\u0304 \u2192 \u03C0"));
        PressKey(document, Qt::Key_F5);
        QCOMPARE(document->Table().Row(2, 1), QByteArray("\x81 \x8d \x87"));
        QCOMPARE(Titles(document), QStringLiteral(u"Alpha,x\u0304 \u2192 \u03C0,"));

        const QString file = program.sandbox.Path(QStringLiteral("db/new.hp"));
        program.dialogs.saveAnswers = {file};
        PressKey(document, Qt::Key_F2);
        QCOMPARE(program.dialogs.requests.size(), 1);
        QCOMPARE(program.dialogs.requests[0].fileName, QStringLiteral("Unnamed"));
        QCOMPARE(ReadBytes(file), QByteArray("%%HP: T(1)A(R)F(,);\r\n{ {\"Alpha\"\r\n"
                                             "C$ 8 say \"hi\"}\r\n{\"\x81 \x8d \x87\"}\r\n}\r\n"));
        QCOMPARE(document->windowTitle(), QStringLiteral("new.hp"));
        QVERIFY(!document->Table().Modified);
        QCOMPARE(program.main->StatusPanelText(1), QStringLiteral("U: 0"));
        QCOMPARE(program.main->RecentFiles().value(0), file);

        QVERIFY(program.main->OpenFileByName(file));
        DocumentWindow* reopened = program.main->ActiveDocument();
        QVERIFY(reopened != document);
        for (int row = 1; row <= 2; ++row)
            QCOMPARE(reopened->Table().Row(2, row), document->Table().Row(2, row));
        QCOMPARE(reopened->DataBox()->toPlainText(), QStringLiteral("Alpha\nsay \"hi\""));
    }

    void countersTurnRed() {
        Program program;
        DocumentWindow* document = program.NewDocument();
        document->DataBox()->setPlainText(QStringLiteral("1\n2\n3\n4\n5\n6\n7"));
        QCOMPARE(PanelText(document, "Panel6"), QStringLiteral("1/7"));
        QVERIFY(!PanelIsRed(document, "Panel6"));
        document->DataBox()->setPlainText(QStringLiteral("1\n2\n3\n4\n5\n6\n7\n8\n"));
        document->DataBox()->moveCursor(QTextCursor::End);
        QCOMPARE(PanelText(document, "Panel6"), QStringLiteral("8/8"));
        QVERIFY(PanelIsRed(document, "Panel6"));

        document->DataBox()->setPlainText(QString(22, u'a'));
        document->DataBox()->moveCursor(QTextCursor::End);
        QCOMPARE(PanelText(document, "Panel10"), QStringLiteral("22"));
        QVERIFY(!PanelIsRed(document, "Panel10"));
        Type(document, QStringLiteral(u"x\u0304"));
        QCOMPARE(PanelText(document, "Panel10"), QStringLiteral("23")); // one code
        QVERIFY(PanelIsRed(document, "Panel10"));
        document->DataBox()->selectAll();
        QCOMPARE(PanelText(document, "Panel10"), QStringLiteral("0"));
    }

    void refusalsOnTheNewEntry() {
        Program program;
        DocumentWindow* document = program.NewDocument();
        PressKey(document, Qt::Key_F4);
        PressKey(document, Qt::Key_F8);
        ActionOf(document, "Topickopieren1")->trigger();
        QCOMPARE(program.prompter.ShownIds(), (QList<quint16>{1100, 1105, 1110}));
        QCOMPARE(program.prompter.shown[0].text,
                 QStringLiteral("Function <Insert> is necessary only between\nexisting topics, "
                                "to append a new topic to the list's end,\njust enter data and "
                                "commit with F5."));
        QCOMPARE(program.prompter.beeps.size(), 3); // Sound is on by default
        QCOMPARE(document->Table().TopicCount(), 0);
        QVERIFY(!document->Table().Modified);
    }

    void aCharacterWithoutCodeIsNotCommitted() {
        Program program;
        DocumentWindow* document = program.NewDocument();
        document->DataBox()->setPlainText(QStringLiteral(u"fine\nab\u20AC"));
        PressKey(document, Qt::Key_F5);
        QCOMPARE(program.prompter.ShownIds(), QList<quint16>{1220});
        QCOMPARE(program.prompter.shown[0].text,
                 QStringLiteral("The character in row 2, column 3 has no HP48 code."));
        QCOMPARE(document->Table().TopicCount(), 0);
        QVERIFY(!document->Table().Modified);
        QCOMPARE(document->DataBox()->textCursor().position(), 7); // at the euro sign
    }

    // A clipboard that holds nothing at all (a fresh session) or text: the paste key and the
    // Edit menu's paste insert what there is and nothing else.
    void pasteFromAnEmptyOrTextClipboard() {
        Program program;
        DocumentWindow* document = program.NewDocument();
        document->DataBox()->setPlainText(QStringLiteral("kept"));
        QApplication::clipboard()->setMimeData(new QMimeData);
        PressKey(document, Qt::Key_Insert, Qt::ShiftModifier);
        ActionOf(document->EditMenu(), "Dateneinfgen1")->trigger();
        QCOMPARE(document->DataBox()->toPlainText(), QStringLiteral("kept"));
        QApplication::clipboard()->setText(QStringLiteral("!"));
        PressKey(document, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(document->DataBox()->toPlainText(), QStringLiteral("!kept"));
    }

    void aFullDocumentTakesNoMoreTopics() {
        Program program;
        const QString file = program.sandbox.Path(QStringLiteral("full.hp"));
        WriteBytes(file, Database(QList<QList<QByteArray>>(MaxTopicCount, {"t"})));
        QVERIFY(program.main->OpenFileByName(file));
        DocumentWindow* document = program.main->ActiveDocument();
        ActionOf(document, "Topickopieren1")->trigger();
        document->SelectEntry(200);
        document->DataBox()->setPlainText(QStringLiteral("one more"));
        PressKey(document, Qt::Key_F5);
        document->SelectEntry(1);
        PressKey(document, Qt::Key_F4);
        ActionOf(document, "Kopieeinfgen1")->trigger();
        QCOMPARE(program.prompter.ShownIds(), (QList<quint16>{1215, 1215, 1215}));
        QCOMPARE(program.prompter.shown[0].text,
                 QStringLiteral("The file already holds 199 topics, no more can be added."));
        QCOMPARE(document->Table().TopicCount(), MaxTopicCount);
        QVERIFY(!document->Table().Modified);
    }

    void loadFailuresCloseTheNewWindow() {
        Program program;
        const QString notHp = program.sandbox.Path(QStringLiteral("notes.txt"));
        WriteBytes(notHp, "just text");
        const QString pipe = program.sandbox.Path(QStringLiteral("pipe.hp"));
        MakePipe(pipe);
        const QString zeroLink = program.sandbox.Path(QStringLiteral("zero.hp"));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zeroLink));
        const QString tooLarge = program.sandbox.Path(QStringLiteral("large.hp"));
        MakeSparseFile(tooLarge, Database({{"a"}}), hpfile::kMaxFileSize + 1);
        for (const QString& file :
             {notHp, program.sandbox.Path(QStringLiteral("gone.hp")), pipe, zeroLink, tooLarge})
            QVERIFY(!program.main->OpenFileByName(file));
        QCOMPARE(program.prompter.ShownIds(), (QList<quint16>{1120, 1115, 1230, 1230, 1225}));
        QCOMPARE(program.prompter.shown.last().text,
                 QStringLiteral("The file is larger than 16 MB, too large for an HP48, and is not "
                                "read."));
        QVERIFY(program.main->DocumentWindows().isEmpty());
        QVERIFY(program.main->RecentFiles().isEmpty());
        QVERIFY(IsPipe(pipe));
    }

    void savingOntoAPipeLeavesIt() {
        Program program;
        DocumentWindow* document = program.NewDocument();
        document->Table().CommitRows(1, {"x"}, false);
        document->SetModified(true);
        const QString pipe = program.sandbox.Path(QStringLiteral("pipe.hp"));
        MakePipe(pipe);
        program.dialogs.saveAnswers = {pipe};
        QVERIFY(!document->Dateispeichern());
        QCOMPARE(program.prompter.ShownIds(), QList<quint16>{1200});
        QVERIFY(IsPipe(pipe));
        QVERIFY(document->Table().Modified);
        QCOMPARE(document->windowTitle(), QStringLiteral("Unnamed"));
    }

    void deleteAsksFirst() {
        Program program;
        DocumentWindow* document = program.NewDocument();
        document->Table().CommitRows(1, {"a"}, false);
        document->Table().CommitRows(2, {"b"}, false);
        document->Table().Modified = false;
        document->SelectEntry(1);
        program.prompter.answers = {MsgButton::No, MsgButton::Yes};
        PressKey(document, Qt::Key_F8);
        QCOMPARE(document->Table().TopicCount(), 2);
        QTest::keyClick(document->TopicBox(), Qt::Key_Delete);
        QCOMPARE(document->Table().TopicCount(), 1);
        QCOMPARE(document->Table().Row(1, 1), QByteArray("b"));
        QCOMPARE(program.prompter.ShownIds(), (QList<quint16>{1205, 1205}));
        QCOMPARE(program.prompter.beeps, (QList<Beep>{Beep::Question, Beep::Question}));
        QVERIFY(document->Table().Modified);

        Glob().AskDelTopic = false;
        document->SelectEntry(1);
        PressKey(document, Qt::Key_F8);
        QCOMPARE(document->Table().TopicCount(), 0);
        QCOMPARE(program.prompter.shown.size(), 2);
    }

    void insertShowsAnEmptyTopic() {
        Program program;
        DocumentWindow* document = program.NewDocument();
        for (const char* text : {"one", "two", "three"})
            document->Table().CommitRows(document->Table().EntryCount(), {text}, false);
        document->SelectEntry(1);
        document->ShowTopic();
        QTest::keyClick(document->TopicBox(), Qt::Key_Insert);
        QCOMPARE(Titles(document), QStringLiteral(",one,two,three,"));
        QCOMPARE(document->SelectedEntry(), 1);
        QVERIFY(document->DataBox()->toPlainText().isEmpty());
        QCOMPARE(program.main->StatusPanelText(2), QStringLiteral("New topic inserted"));
    }

    void closeQueries() {
        Program program;
        const QString file = program.sandbox.Path(QStringLiteral("kept.hp"));
        DocumentWindow* document = program.NewDocument();
        document->Table().CommitRows(1, {"x"}, false);
        document->SetModified(true);
        QMdiSubWindow* window = program.main->Workspace()->activeSubWindow();

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
        QCOMPARE(ReadBytes(file), QByteArray("%%HP: T(1)A(R)F(,);\r\n{ {\"x\"}\r\n}\r\n"));
        QTRY_VERIFY(program.main->DocumentWindows().isEmpty());
        QCOMPARE(program.main->StatusPanelText(0), QStringLiteral("D: 0"));
    }

    void unsavedCountAcrossWindows() {
        Program program;
        DocumentWindow* first = program.NewDocument();
        DocumentWindow* second = program.NewDocument();
        for (DocumentWindow* document : {first, second}) {
            document->DataBox()->setPlainText(QStringLiteral("data"));
            document->Datenbernehmen1Click();
        }
        QCOMPARE(program.main->StatusPanelText(1), QStringLiteral("U: 2"));
        program.prompter.answers = {MsgButton::No};
        QVERIFY(qobject_cast<QMdiSubWindow*>(first->parentWidget())->close());
        QCOMPARE(program.main->StatusPanelText(1), QStringLiteral("U: 1"));
        program.dialogs.saveAnswers = {program.sandbox.Path(QStringLiteral("second.hp"))};
        QVERIFY(second->Dateispeichern());
        QCOMPARE(program.main->StatusPanelText(1), QStringLiteral("U: 0"));
    }

    void quickEditModeMovesOn() {
        Program program("[Application]\nLanguage=1\n[Misc]\nEditMode=1\n");
        DocumentWindow* document = program.NewDocument();
        document->DataBox()->setPlainText(QStringLiteral("first"));
        PressKey(document, Qt::Key_F5);
        QCOMPARE(document->SelectedEntry(), 2);
        QVERIFY(document->DataBox()->toPlainText().isEmpty());
        QCOMPARE(PanelText(document, "Panel9"), QStringLiteral("New /1"));
    }

    void savingWithDeleteEmptyReloads() {
        Program program("[Application]\nLanguage=1\n[Misc]\nDeleteEmpty=1\n");
        DocumentWindow* document = program.NewDocument();
        for (const char* text : {"kept", "", ""})
            document->Table().CommitRows(document->Table().EntryCount(), {text}, false);
        document->SelectEntry(3);
        program.dialogs.saveAnswers = {program.sandbox.Path(QStringLiteral("trim.hp"))};
        QVERIFY(document->Dateispeichern());
        QCOMPARE(document->Table().TopicCount(), 1);
        QCOMPARE(document->SelectedEntry(), 1);
        QCOMPARE(program.main->StatusPanelText(2), QStringLiteral("File saved"));
    }

    void copyAndInsertCopyAcrossWindows() {
        Program program;
        DocumentWindow* source = program.NewDocument();
        source->Table().CommitRows(1, {QByteArray(50, 'w')}, false);
        source->Table().Modified = false;
        source->SelectEntry(1);
        DocumentWindow* target = program.NewDocument();
        QVERIFY(!ActionOf(target, "Kopieeinfgen1")->isEnabled());
        program.main->Workspace()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow*>(source->parentWidget()));
        ActionOf(source, "Topickopieren1")->trigger();
        QVERIFY(!ActionOf(target, "Kopieeinfgen1")->isEnabled()); // until it is activated
        QCOMPARE(program.main->StatusPanelText(2), QStringLiteral("Topic-copy created"));
        QVERIFY(ActionOf(source, "Kopieeinfgen1")->isEnabled());
        program.main->Workspace()->setActiveSubWindow(
            qobject_cast<QMdiSubWindow*>(target->parentWidget()));
        QVERIFY(ActionOf(target, "Kopieeinfgen1")->isEnabled());
        ActionOf(target, "Kopieeinfgen1")->trigger();
        QCOMPARE(target->Table().Row(1, 1), QByteArray(35, 'w'));
        QVERIFY(target->Table().Modified);
        QCOMPARE(source->Table().Row(1, 1).size(), 50);
        QVERIFY(!source->Table().Modified);
    }

    void theListMenuOnTheNewEntry() {
        Program program;
        DocumentWindow* document = program.NewDocument();
        document->Table().CommitRows(1, {"a"}, false);
        document->SelectEntry(1);
        document->ShowTopic();
        document->RowClick(1); // rebuilds the list with the topic committed behind its back
        MenuChoice choice("");
        QListWidget* list = document->TopicBox();
        const QPoint newEntry = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, newEntry);
        QCOMPARE(choice.shown, 1);
        QCOMPARE(choice.enabled, QStringList{});
        QCOMPARE(document->SelectedEntry(), 2);
        QCOMPARE(document->DataBox()->toPlainText(), QStringLiteral("a")); // not shown

        ActionOf(document, "Topickopieren1")->trigger(); // the pseudo-topic: refused
        document->SelectEntry(1);
        ActionOf(document, "Topickopieren1")->trigger();
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, newEntry);
        QCOMPARE(choice.enabled, QStringList{QStringLiteral("Kopieeinfgen2")});
    }

    void titleRowMenu() {
        Program program;
        DocumentWindow* document = program.NewDocument();
        document->Table().CommitRows(1, {"r1", "r2", "r3"}, false);
        document->Table().CommitRows(2, {"s1"}, false);
        document->Table().Modified = false;
        ActionOf(document, "N31")->trigger();
        QCOMPARE(Titles(document), QStringLiteral("r3,,"));
        QCOMPARE(PanelText(document, "Panel1"), QStringLiteral("3"));
        QVERIFY(ActionOf(document, "N31")->isChecked());
        QVERIFY(!document->Table().Modified);
    }

    void dragWithinOneList() {
        Program program;
        DocumentWindow* document = program.NewDocument();
        for (int t = 1; t <= 6; ++t)
            document->Table().CommitRows(t, {QByteArray::number(t)}, false);
        document->RowClick(1);
        MenuChoice move("Hierherverschieben1");
        QVERIFY(document->DropFrom(document, 5, 2, QPoint()));
        QCOMPARE(Titles(document), QStringLiteral("1,5,2,3,4,6,"));
        QCOMPARE(document->SelectedEntry(), 2);
        QCOMPARE(document->DataBox()->toPlainText(), QStringLiteral("5"));
        QVERIFY(document->Table().Modified);

        MenuChoice copy("Hierherkopieren1");
        QVERIFY(document->DropFrom(document, 3, 4, QPoint()));
        QVERIFY(!copy.enabled.contains(QStringLiteral("Hierherverschieben1")));
        QCOMPARE(Titles(document), QStringLiteral("1,5,2,2,3,4,6,"));
        QVERIFY(!document->DropFrom(document, 3, 3, QPoint()));
        QCOMPARE(copy.shown, 1);

        MenuChoice cancel("Abbrechen1");
        document->DropFrom(document, 1, 5, QPoint());
        QCOMPARE(Titles(document), QStringLiteral("1,5,2,2,3,4,6,"));
        QCOMPARE(document->SelectedEntry(), 1);
    }

    void dragBetweenTwoWindows() {
        Program program;
        DocumentWindow* source = program.NewDocument();
        DocumentWindow* target = program.NewDocument();
        for (int t = 1; t <= 3; ++t)
            source->Table().CommitRows(t, {"a" + QByteArray::number(t)}, false);
        target->Table().CommitRows(1, {"b1"}, false);
        source->RowClick(1);
        target->RowClick(1);
        source->Table().Modified = target->Table().Modified = false;
        MenuChoice move("Hierherverschieben1");
        QVERIFY(target->DropFrom(source, 2, 2, QPoint()));
        QCOMPARE(Titles(source), QStringLiteral("a1,a3,"));
        QCOMPARE(Titles(target), QStringLiteral("b1,a2,"));
        QCOMPARE(source->SelectedEntry(), 2);
        QCOMPARE(target->SelectedEntry(), 2);
        QVERIFY(source->Table().Modified && target->Table().Modified);
        QCOMPARE(program.main->StatusPanelText(1), QStringLiteral("U: 2"));
    }

    // Over a list the entry under the mouse becomes its selection, and below the last entry
    // there is none; a drag that no list takes returns the source list to the dragged topic.
    void dragOverAndAbandon() {
        Program program;
        DocumentWindow* source = program.NewDocument();
        DocumentWindow* target = program.NewDocument();
        for (int t = 1; t <= 3; ++t)
            source->Table().CommitRows(t, {QByteArray::number(t)}, false);
        target->Table().CommitRows(1, {"b"}, false);
        source->RowClick(2);
        target->RowClick(1);
        target->DragOverEntry(0);
        QCOMPARE(target->SelectedEntry(), 0);
        target->DragOverEntry(2);
        QCOMPARE(target->SelectedEntry(), 2);
        source->DragOverEntry(3);
        source->EndDrag(2, false);
        QCOMPARE(source->SelectedEntry(), 2);

        std::unique_ptr<QMimeData> data(source->DragData());
        QVERIFY(data->hasFormat(QString::fromLatin1(DocumentWindow::kTopicMimeType)));
        MenuChoice copy("Hierherkopieren1");
        QVERIFY(target->DropFrom(source, 2, 2, QPoint()));
        QCOMPARE(Titles(target), QStringLiteral("b,2,"));
        QCOMPARE(source->SelectedEntry(), 2);
    }
};

QTEST_MAIN(TestDocumentWindow)
#include "tst_documentwindow.moc"
