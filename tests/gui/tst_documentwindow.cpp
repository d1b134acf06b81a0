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
#include "gui/OpenFailures.h"
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
        open();
        QApplication::setActiveWindow(main.get());
    }
    DocumentWindow* newDocument() { return main->newDocument(); }
    // A window on a database file of these topics, as its file holds them.
    DocumentWindow* openTopics(const QList<QList<QByteArray>>& topics) {
        const QString file = sandbox.path(QStringLiteral("db%1.hp").arg(++files));
        writeBytes(file, database(topics));
        return main->openDocument(file, Workspace::RecentFiles::Skip);
    }
    int files = 0;
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

// The document window's entries as the list shows them.
QString titles(DocumentWindow* document);

// Types text key by key, as a keyboard with any layout would.
void type(DocumentWindow* document, const QString& text) {
    dataBoxOf(document)->setFocus();
    for (QChar character : text)
        QTest::sendKeyEvent(QTest::Click, dataBoxOf(document), Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
}

void pressKey(DocumentWindow* document, Qt::Key key,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(dataBoxOf(document), key, modifiers);
}

QString titles(DocumentWindow* document) {
    QStringList titles;
    for (int row = 0; row < topicListOf(document)->count(); ++row)
        titles.append(topicListOf(document)->item(row)->text());
    return titles.join(u',');
}

using MenuChoice = PopupChoice;

} // namespace

class TestDocumentWindow : public QObject {
    Q_OBJECT

  private slots:
    void aNewWindow() {
        Program program;
        DocumentWindow* document = program.newDocument();
        QCOMPARE(document->windowTitle(), QStringLiteral("Unnamed"));
        QCOMPARE(topicListOf(document)->count(), 1);
        QCOMPARE(document->document().selection(), 1);
        QCOMPARE(panelText(document, "topicPosition"), QStringLiteral("New /0"));
        QCOMPARE(panelText(document, "rowCounter"), QStringLiteral("0/0"));
        QCOMPARE(panelText(document, "rowLength"), QStringLiteral("0"));
        QCOMPARE(panelText(document, "titleRow"), QStringLiteral("1"));
        QCOMPARE(program.statusPanel(0), QStringLiteral("D: 1"));
        QCOMPARE(document->size(), QSize(481, 162));
        QCOMPARE(topicListOf(document)->statusTip(),
                 QStringLiteral("Select a topic or add a new one"));
    }

    void editCommitSaveAndReopen() {
        Program program;
        DocumentWindow* document = program.newDocument();
        type(document, QStringLiteral("Alpha"));
        pressKey(document, Qt::Key_Return);
        type(document, QStringLiteral("say \"hi\""));
        pressKey(document, Qt::Key_F5);
        QCOMPARE(document->document().table().topicCount(), 1);
        QCOMPARE(program.statusPanel(2), QStringLiteral("Data commited"));
        QCOMPARE(program.statusPanel(1), QStringLiteral("U: 1"));
        QCOMPARE(panelText(document, "topicPosition"), QStringLiteral("1/1"));

        document->document().select(2);
        dataBoxOf(document)->setPlainText(QStringLiteral(u"x\u0304 \u2192 \u03C0"));
        pressKey(document, Qt::Key_F5);
        QCOMPARE(document->document().table().row(2, 1), QByteArray("\x81 \x8d \x87"));
        QCOMPARE(titles(document), QStringLiteral(u"Alpha,x\u0304 \u2192 \u03C0,"));

        const QString file = program.sandbox.path(QStringLiteral("db/new.hp"));
        program.dialogs.saveAnswers = {file};
        pressKey(document, Qt::Key_F2);
        QCOMPARE(program.dialogs.requests.size(), 1);
        QCOMPARE(program.dialogs.requests[0].fileName, QStringLiteral("Unnamed"));
        QCOMPARE(readBytes(file), QByteArray("%%HP: T(1)A(R)F(,);\r\n{ {\"Alpha\"\r\n"
                                             "C$ 8 say \"hi\"}\r\n{\"\x81 \x8d \x87\"}\r\n}\r\n"));
        QCOMPARE(document->windowTitle(), QStringLiteral("new.hp"));
        QVERIFY(!document->document().isModified());
        QCOMPARE(program.statusPanel(1), QStringLiteral("U: 0"));
        QCOMPARE(program.recentFiles().value(0), file);

        QVERIFY(program.main->openDocument(file, Workspace::RecentFiles::Remember));
        DocumentWindow* reopened = program.main->activeDocument();
        QVERIFY(reopened != document);
        for (int row = 1; row <= 2; ++row)
            QCOMPARE(reopened->document().table().row(2, row),
                     document->document().table().row(2, row));
        QCOMPARE(dataBoxOf(reopened)->toPlainText(), QStringLiteral("Alpha\nsay \"hi\""));
    }

    void countersTurnRed() {
        Program program;
        DocumentWindow* document = program.newDocument();
        dataBoxOf(document)->setPlainText(QStringLiteral("1\n2\n3\n4\n5\n6\n7"));
        QCOMPARE(panelText(document, "rowCounter"), QStringLiteral("1/7"));
        QVERIFY(!panelIsRed(document, "rowCounter"));
        dataBoxOf(document)->setPlainText(QStringLiteral("1\n2\n3\n4\n5\n6\n7\n8\n"));
        dataBoxOf(document)->moveCursor(QTextCursor::End);
        QCOMPARE(panelText(document, "rowCounter"), QStringLiteral("8/8"));
        QVERIFY(panelIsRed(document, "rowCounter"));

        dataBoxOf(document)->setPlainText(QString(22, u'a'));
        dataBoxOf(document)->moveCursor(QTextCursor::End);
        QCOMPARE(panelText(document, "rowLength"), QStringLiteral("22"));
        QVERIFY(!panelIsRed(document, "rowLength"));
        type(document, QStringLiteral(u"x\u0304"));
        QCOMPARE(panelText(document, "rowLength"), QStringLiteral("23")); // one code
        QVERIFY(panelIsRed(document, "rowLength"));
        dataBoxOf(document)->selectAll();
        QCOMPARE(panelText(document, "rowLength"), QStringLiteral("0"));

        // Lines past the tenth are not stored, and the status line says so in red.
        auto* status = program.main->findChild<QLabel*>(QStringLiteral("statusPanel2"));
        dataBoxOf(document)->setPlainText(QStringLiteral("1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11"));
        pressKey(document, Qt::Key_F5);
        QCOMPARE(document->document().table().row(1, 10), QByteArray("10"));
        QCOMPARE(dataBoxOf(document)->toPlainText(),
                 QStringLiteral("1\n2\n3\n4\n5\n6\n7\n8\n9\n10")); // what was stored
        QCOMPARE(program.statusPanel(2),
                 QStringLiteral("Data committed; lines past the tenth were not stored"));
        QCOMPARE(status->palette().color(QPalette::WindowText), QColor(Qt::red));
        dataBoxOf(document)->setPlainText(QStringLiteral("1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n"));
        pressKey(document, Qt::Key_F5);
        QCOMPARE(program.statusPanel(2), QStringLiteral("Data commited"));
        QVERIFY(status->palette().color(QPalette::WindowText) != QColor(Qt::red));
    }

    void refusalsOnTheNewEntry() {
        Program program;
        DocumentWindow* document = program.newDocument();
        pressKey(document, Qt::Key_F4);
        pressKey(document, Qt::Key_F8);
        program.action("copyTopic")->trigger();
        QCOMPARE(program.prompter.shownIds(), (QList<quint16>{1100, 1105, 1110}));
        QCOMPARE(program.prompter.shown[0].text,
                 QStringLiteral("Function <Insert> is necessary only between\nexisting topics, "
                                "to append a new topic to the list's end,\njust enter data and "
                                "commit with F5."));
        QCOMPARE(program.prompter.beeps.size(), 3); // Sound is on by default
        QCOMPARE(document->document().table().topicCount(), 0);
        QVERIFY(!document->document().isModified());
    }

    // A file as a calculator writes it in mode 3 is saved in mode 3 again, with its header:
    // only the row committed changes. Save as writes the mode chosen.
    void aCalculatorFileKeepsItsMode() {
        Program program;
        TopicTable table;
        table.fill({{"\x8d one", "b", "c\\d"}, {"\xab x \xbb"}});
        hpfile::Header header;
        header.translation = 3;
        header.angle = 'D';
        header.fraction = '.';
        const QByteArray original = formatHpFile(table, 2, true, false, header);
        const QString file = program.sandbox.path(QStringLiteral("calc.hp"));
        writeBytes(file, original);
        DocumentWindow* document = program.main->openDocument(file, Workspace::RecentFiles::Skip);
        QVERIFY(program.prompter.shown.isEmpty());
        QCOMPARE(dataBoxOf(document)->toPlainText(), QStringLiteral(u"\u2192 one\nb\nc\\d"));
        dataBoxOf(document)->setPlainText(QStringLiteral(u"\u2192 one\n\u221e\u00e4\nc\\d"));
        pressKey(document, Qt::Key_F5);
        pressKey(document, Qt::Key_F2);
        QCOMPARE(readBytes(file), QByteArray(original).replace("\"b\"", "\"\\oo\\228\""));

        const QString copy = program.sandbox.path(QStringLiteral("copy.hp"));
        program.dialogs.saveAnswers = {copy};
        program.dialogs.filterAnswers = {0};
        QVERIFY(document->saveAs());
        QCOMPARE(program.dialogs.requests.last().offered, 1);
        QCOMPARE(program.dialogs.requests.last().filter,
                 QStringLiteral("Characters 128-255 as calculator bytes (mode 1) (*)\n"
                                "Characters 128-255 as 7-bit codes (mode 3), for e-mail, forums "
                                "and SD cards (*)"));
        QVERIFY(readBytes(copy).startsWith("%%HP: T(1)A(D)F(.);\r\n{ {\"\x8d one\"\r\n"));
        QCOMPARE(document->document().header().translation, 1);
    }

    // What a read leaves out is said once, with counts, before a save writes the file without.
    void aLoadThatLeavesSomethingOutSaysSo() {
        Program program;
        const QString file = program.sandbox.path(QStringLiteral("calc.hp"));
        writeBytes(file, "%%HP: T(0)A(R)F(.);\n{ { \"1\" \"2\" \"3\" \"4\" \"5\" \"6\" \"7\" \"8\" "
                         "\"9\" \"10\" \"11\" 12 } }\x1a\n");
        DocumentWindow* document = program.main->openDocument(file, Workspace::RecentFiles::Skip);
        QVERIFY(document);
        QCOMPARE(program.prompter.shownIds(), QList<quint16>{6045});
        QCOMPARE(
            program.prompter.shown[0].text,
            QStringLiteral("Reading \"calc.hp\":\nRows past the tenth of a topic, left out: 1\n"
                           "Entries that are not text, left out: 1\nBytes after the end mark "
                           "(code 26), left out: 1\nSaving writes the file without them."));
        QCOMPARE(document->document().header().translation, 0);
    }

    void aCharacterWithoutCodeIsNotCommitted() {
        Program program;
        DocumentWindow* document = program.newDocument();
        dataBoxOf(document)->setPlainText(QStringLiteral(u"fine\nab\u20AC"));
        pressKey(document, Qt::Key_F5);
        QCOMPARE(program.prompter.shownIds(), QList<quint16>{1220});
        QCOMPARE(program.prompter.shown[0].text,
                 QStringLiteral("The character in row 2, column 3 has no HP48 code."));
        QCOMPARE(document->document().table().topicCount(), 0);
        QVERIFY(!document->document().isModified());
        QCOMPARE(dataBoxOf(document)->textCursor().position(), 7); // at the euro sign

        // The HP49 and 50 have it as code 160.
        Program hp49("[Application]\nLanguage=1\n[Misc]\nCalculator=49\n");
        DocumentWindow* euro = hp49.newDocument();
        dataBoxOf(euro)->setPlainText(QStringLiteral(u"5\u20AC"));
        pressKey(euro, Qt::Key_F5);
        QCOMPARE(euro->document().table().row(1, 1), QByteArray("5\xa0"));
        QCOMPARE(titles(euro), QStringLiteral(u"5\u20AC,"));
    }

    // A clipboard that holds nothing at all (a fresh session) or text: the paste key and the
    // Edit menu's paste insert what there is and nothing else.
    void pasteFromAnEmptyOrTextClipboard() {
        Program program;
        DocumentWindow* document = program.newDocument();
        dataBoxOf(document)->setPlainText(QStringLiteral("kept"));
        QApplication::clipboard()->setMimeData(new QMimeData);
        pressKey(document, Qt::Key_Insert, Qt::ShiftModifier);
        program.action("pasteText")->trigger();
        QCOMPARE(dataBoxOf(document)->toPlainText(), QStringLiteral("kept"));
        QApplication::clipboard()->setText(QStringLiteral("!"));
        pressKey(document, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(dataBoxOf(document)->toPlainText(), QStringLiteral("!kept"));
    }

    void aFullDocumentTakesNoMoreTopics() {
        Program program;
        const QString file = program.sandbox.path(QStringLiteral("full.hp"));
        writeBytes(file, database(QList<QList<QByteArray>>(kMaxTopicCount, {"t"})));
        QVERIFY(program.main->openDocument(file, Workspace::RecentFiles::Remember));
        DocumentWindow* document = program.main->activeDocument();
        program.action("copyTopic")->trigger();
        document->document().select(200);
        dataBoxOf(document)->setPlainText(QStringLiteral("one more"));
        pressKey(document, Qt::Key_F5);
        document->document().select(1);
        pressKey(document, Qt::Key_F4);
        program.action("insertTopicCopy")->trigger();
        QCOMPARE(program.prompter.shownIds(), (QList<quint16>{1215, 1215, 1215}));
        QCOMPARE(program.prompter.shown[0].text,
                 QStringLiteral("The file already holds 199 topics, no more can be added."));
        QCOMPARE(document->document().table().topicCount(), kMaxTopicCount);
        QVERIFY(!document->document().isModified());
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
                                "read.\n\n") +
                     tooLarge);
        QVERIFY(program.main->documentWindows().isEmpty());
        QVERIFY(program.recentFiles().isEmpty());
        QVERIFY(isPipe(pipe));

        // The files of one drop: one box, each message once, with ten names and a count below.
        program.prompter.shown.clear();
        QStringList texts;
        {
            const OpenFailures batch;
            for (int n = 1; n <= 12; ++n) {
                texts.append(program.sandbox.path(QStringLiteral("text%1.txt").arg(n)));
                writeBytes(texts.last(), "just text");
                QVERIFY(!program.main->openDocument(texts.last(), Workspace::RecentFiles::Skip));
            }
            QVERIFY(!program.main->openDocument(pipe, Workspace::RecentFiles::Skip));
            QVERIFY(program.prompter.shown.isEmpty());
        }
        QCOMPARE(program.prompter.shownIds(), QList<quint16>{1120});
        QCOMPARE(
            program.prompter.shown.last().text,
            QStringLiteral("Sorry, file is not in HP format\nor it is just a HP binary !\n\n") +
                texts.mid(0, 10).join(u'\n') +
                QStringLiteral("\n\u2026 and 2 more\n\nThis is not a regular file but a "
                               "folder, a device or a pipe.\n\n") +
                pipe);
    }

    void savingOntoAPipeLeavesIt() {
        Program program;
        DocumentWindow* document = program.newDocument();
        document->document().commitRows(1, {"x"}, false);
        const QString pipe = program.sandbox.path(QStringLiteral("pipe.hp"));
        makePipe(pipe);
        program.dialogs.saveAnswers = {pipe};
        QVERIFY(!document->save());
        QCOMPARE(program.prompter.shownIds(), QList<quint16>{1200});
        QVERIFY(isPipe(pipe));
        QVERIFY(document->document().isModified());
        QCOMPARE(document->windowTitle(), QStringLiteral("Unnamed"));
    }

    void deleteAsksFirst() {
        Program program;
        DocumentWindow* document = program.openTopics({{"a"}, {"b"}});
        program.prompter.answers = {MsgButton::No, MsgButton::Yes};
        pressKey(document, Qt::Key_F8);
        QCOMPARE(document->document().table().topicCount(), 2);
        QTest::keyClick(topicListOf(document), Qt::Key_Delete);
        QCOMPARE(document->document().table().topicCount(), 1);
        QCOMPARE(document->document().table().row(1, 1), QByteArray("b"));
        QCOMPARE(program.prompter.shownIds(), (QList<quint16>{1205, 1205}));
        QCOMPARE(program.prompter.beeps, (QList<Beep>{Beep::Question, Beep::Question}));
        QVERIFY(document->document().isModified());

        program.preferences.askDelTopic = false;
        document->document().select(1);
        pressKey(document, Qt::Key_F8);
        QCOMPARE(document->document().table().topicCount(), 0);
        QCOMPARE(program.prompter.shown.size(), 2);
    }

    void insertShowsAnEmptyTopic() {
        Program program;
        DocumentWindow* document = program.newDocument();
        for (const char* text : {"one", "two", "three"})
            document->document().commitRows(document->document().table().entryCount(), {text},
                                            false);
        document->document().select(1);
        QTest::keyClick(topicListOf(document), Qt::Key_Insert);
        QCOMPARE(titles(document), QStringLiteral(",one,two,three,"));
        QCOMPARE(document->document().selection(), 1);
        QVERIFY(dataBoxOf(document)->toPlainText().isEmpty());
        QCOMPARE(program.statusPanel(2), QStringLiteral("New topic inserted"));
    }

    void closeQueries() {
        Program program;
        const QString file = program.sandbox.path(QStringLiteral("kept.hp"));
        DocumentWindow* document = program.newDocument();
        document->document().commitRows(1, {"x"}, false);
        QMdiSubWindow* window = program.workspace()->activeSubWindow();

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
        QCOMPARE(program.statusPanel(0), QStringLiteral("D: 0"));
    }

    void unsavedCountAcrossWindows() {
        Program program;
        DocumentWindow* first = program.newDocument();
        DocumentWindow* second = program.newDocument();
        for (DocumentWindow* document : {first, second}) {
            dataBoxOf(document)->setPlainText(QStringLiteral("data"));
            document->commitTopic();
        }
        QCOMPARE(program.statusPanel(1), QStringLiteral("U: 2"));
        program.prompter.answers = {MsgButton::No};
        QVERIFY(qobject_cast<QMdiSubWindow*>(first->parentWidget())->close());
        QCOMPARE(program.statusPanel(1), QStringLiteral("U: 1"));
        program.dialogs.saveAnswers = {program.sandbox.path(QStringLiteral("second.hp"))};
        QVERIFY(second->save());
        QCOMPARE(program.statusPanel(1), QStringLiteral("U: 0"));
    }

    void quickEditModeMovesOn() {
        Program program("[Application]\nLanguage=1\n[Misc]\nEditMode=1\n");
        DocumentWindow* document = program.newDocument();
        dataBoxOf(document)->setPlainText(QStringLiteral("first"));
        pressKey(document, Qt::Key_F5);
        QCOMPARE(document->document().selection(), 2);
        QVERIFY(dataBoxOf(document)->toPlainText().isEmpty());
        QCOMPARE(panelText(document, "topicPosition"), QStringLiteral("New /1"));
    }

    void savingWithDeleteEmptyReloads() {
        Program program("[Application]\nLanguage=1\n[Misc]\nDeleteEmpty=1\n");
        DocumentWindow* document = program.newDocument();
        for (const char* text : {"kept", "", ""})
            document->document().commitRows(document->document().table().entryCount(), {text},
                                            false);
        document->document().select(3);
        program.dialogs.saveAnswers = {program.sandbox.path(QStringLiteral("trim.hp"))};
        QVERIFY(document->save());
        QCOMPARE(document->document().table().topicCount(), 1);
        QCOMPARE(document->document().selection(), 1);
        QCOMPARE(program.statusPanel(2), QStringLiteral("File saved"));
    }

    // The frame's Insert copy stays disabled until a topic was copied in any window; the copy
    // goes into the active document alone.
    void copyAndInsertCopyAcrossWindows() {
        Program program;
        DocumentWindow* source = program.openTopics({{QByteArray(50, 'w')}});
        QVERIFY(!program.action("insertTopicCopy")->isEnabled());
        program.action("copyTopic")->trigger();
        QCOMPARE(program.statusPanel(2), QStringLiteral("Topic-copy created"));
        DocumentWindow* target = program.newDocument();
        QVERIFY(program.action("insertTopicCopy")->isEnabled());
        program.action("insertTopicCopy")->trigger();
        QCOMPARE(target->document().table().row(1, 1), QByteArray(35, 'w'));
        QVERIFY(target->document().isModified());
        QCOMPARE(source->document().table().row(1, 1).size(), 50);
        QVERIFY(!source->document().isModified());
    }

    void theListMenuOnTheNewEntry() {
        Program program;
        DocumentWindow* document = program.openTopics({{"a"}});
        MenuChoice choice("");
        QListWidget* list = topicListOf(document);
        const QPoint newEntry = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, newEntry);
        QCOMPARE(choice.shown, 1);
        QCOMPARE(choice.enabled, QStringList{});
        QCOMPARE(document->document().selection(), 2);
        QCOMPARE(dataBoxOf(document)->toPlainText(), QStringLiteral("a")); // not shown

        program.action("copyTopic")->trigger(); // the pseudo-topic: refused
        document->document().select(1);
        program.action("copyTopic")->trigger();
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, newEntry);
        QCOMPARE(choice.enabled, QStringList{QStringLiteral("listInsertTopicCopy")});
    }

    void titleRowMenu() {
        Program program;
        DocumentWindow* document = program.openTopics({{"r1", "r2", "r3"}, {"s1"}});
        actionOf(document, "titleRow3")->trigger();
        QCOMPARE(titles(document), QStringLiteral("r3,,"));
        QCOMPARE(panelText(document, "titleRow"), QStringLiteral("3"));
        QVERIFY(actionOf(document, "titleRow3")->isChecked());
        QVERIFY(!document->document().isModified());
    }

    void dragWithinOneList() {
        Program program;
        DocumentWindow* document = program.openTopics({{"1"}, {"2"}, {"3"}, {"4"}, {"5"}, {"6"}});
        MenuChoice move("dropMove");
        dropTopic(document, 5, document, 2);
        QCOMPARE(titles(document), QStringLiteral("1,5,2,3,4,6,"));
        QCOMPARE(document->document().selection(), 2);
        QCOMPARE(dataBoxOf(document)->toPlainText(), QStringLiteral("5"));
        QVERIFY(document->document().isModified());

        MenuChoice copy("dropCopy");
        dropTopic(document, 3, document, 4);
        QVERIFY(!copy.enabled.contains(QStringLiteral("dropMove")));
        QCOMPARE(titles(document), QStringLiteral("1,5,2,2,3,4,6,"));
        dropTopic(document, 3, document, 3); // on itself: no menu
        QCOMPARE(copy.shown, 1);

        MenuChoice cancel("dropCancel");
        dropTopic(document, 1, document, 5);
        QCOMPARE(titles(document), QStringLiteral("1,5,2,2,3,4,6,"));
        QCOMPARE(document->document().selection(), 1);
    }

    void dragBetweenTwoWindows() {
        Program program;
        DocumentWindow* source = program.openTopics({{"a1"}, {"a2"}, {"a3"}});
        DocumentWindow* target = program.openTopics({{"b1"}});
        source->document().select(2);
        MenuChoice move("dropMove");
        dropTopic(source, 2, target, 2);
        QCOMPARE(titles(source), QStringLiteral("a1,a3,"));
        QCOMPARE(titles(target), QStringLiteral("b1,a2,"));
        // Each window shows its selected topic: the source the one that moved up.
        QCOMPARE(source->document().selection(), 2);
        QCOMPARE(dataBoxOf(source)->toPlainText(), QStringLiteral("a3"));
        QCOMPARE(target->document().selection(), 2);
        QCOMPARE(dataBoxOf(target)->toPlainText(), QStringLiteral("a2"));
        QVERIFY(source->document().isModified() && target->document().isModified());
        QCOMPARE(program.statusPanel(1), QStringLiteral("U: 2"));
    }
};

QTEST_MAIN(TestDocumentWindow)
#include "tst_documentwindow.moc"
