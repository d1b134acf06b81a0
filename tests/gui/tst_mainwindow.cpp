#include "ProgramFrame.h"
#include "Sandbox.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompter.h"
#include "app/SingleInstance.h"
#include "gui/DataBox.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/CharacterTable.h"
#include "gui/dialogs/FindDialog.h"
#include "gui/dialogs/ScanDialog.h"
#include "gui/dialogs/SettingsDialog.h"
#include "gui/dialogs/SortDialog.h"
#include "gui/dialogs/TransferDialog.h"
#include "gui/dialogs/TransferParametersDialog.h"
#include "platform/Preferences.h"
#include "platform/ReceivedCopies.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

namespace {

const QByteArray kOneTopic = "%%HP: T(1)A(R)F(,);\r\n{ {\"x\"}}";

struct Frame : ProgramFrame {
    MainWindow& open() { return ProgramFrame::open(); }
    // A database file in the sandbox.
    QString database(const QString& name) const {
        const QString path = sandbox.path(QStringLiteral("db/") + name);
        writeBytes(path, kOneTopic);
        return path;
    }
    QStringList itemTexts(const char* menuName) const {
        QStringList texts;
        for (const QAction* item : main->findChild<QMenu*>(QLatin1String(menuName))->actions())
            texts.append(item->isSeparator() ? QStringLiteral("-") : item->text());
        return texts;
    }
    QMdiSubWindow* windowOf(DocumentWindow* document) const {
        return qobject_cast<QMdiSubWindow*>(document->parentWidget());
    }
    // Opens n new, modified documents.
    QList<DocumentWindow*> modifiedDocuments(int n) {
        QList<DocumentWindow*> documents;
        for (int i = 0; i < n; ++i) {
            documents.append(main->newDocument());
            documents.last()->document().commitRows(1, {"x"}, false);
        }
        return documents;
    }
};

const char* const kDocumentCommands[] = {
    "closeFile",    "closeAll",     "saveFile",     "saveFileAs", "saveAll", "saveButton",
    "commitButton", "insertButton", "deleteButton", "tile",       "cascade", "arrangeIcons",
    "minimizeAll",  "showAll",      "find",         "findButton", "send",    "sendButton"};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

  private slots:
    // The keys of the commands; a tool bar button runs the command it stands for.
    void keysAndButtons() {
        Frame frame;
        MainWindow& main = frame.open();
        for (auto [name, key] : {std::pair{"openFile", "F3"},
                                 {"saveFile", "F2"},
                                 {"find", "F7"},
                                 {"repeatFind", "Ctrl+F7"},
                                 {"characterTable", "F6"},
                                 {"helpTopics", "F1"},
                                 {"commitTopic", "F5"},
                                 {"insertTopic", "F4"},
                                 {"deleteTopic", "F8"}})
            QCOMPARE(frame.action(name)->shortcut().toString(), QLatin1String(key));
        DocumentWindow* document = main.newDocument();
        dataBoxOf(document)->setPlainText(QStringLiteral("x"));
        main.findChild<QToolButton*>(QStringLiteral("commitButton"))->click();
        QCOMPARE(document->document().table().topicCount(), 1);
        main.findChild<QToolButton*>(QStringLiteral("characterTableButton"))->click();
        QVERIFY(frame.action("characterTable")->isChecked());
        QVERIFY(main.characterTable().isVisible());
    }

    // The pictures come from the program's resources; a name that reads nothing leaves a blank.
    // Icons come in the sizes drawn for them, for the window manager and for denser screens.
    void everyPictureShows() {
        Frame frame;
        MainWindow& main = frame.ProgramFrame::open();
        QCOMPARE(main.windowIcon().availableSizes(),
                 QList<QSize>({{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}}));
        QCOMPARE(frame.action("saveButton")->icon().availableSizes(),
                 QList<QSize>({{16, 16}, {20, 20}, {24, 24}, {32, 32}, {40, 40}}));
        for (QAction* tool : main.findChild<QToolBar*>("toolBar")->actions())
            QVERIFY2(tool->isSeparator() || !tool->objectName().endsWith(u"Button") ||
                         !tool->icon().isNull(),
                     qPrintable(tool->objectName()));
        QCOMPARE(main.findChild<QToolBar*>("toolBar")->cursor().shape(), Qt::BitmapCursor);
        QVERIFY(!main.findChild<QMdiArea*>()->background().texture().isNull());
        for (const char* flag : {"germanPicture", "englishPicture"})
            QCOMPARE(main.settingsDialog().findChild<QLabel*>(flag)->pixmap().size(),
                     QSize(24, 16));
    }

    void enablingRule() {
        Frame frame;
        MainWindow& main = frame.ProgramFrame::open();
        for (const char* name : kDocumentCommands)
            QVERIFY2(!frame.action(name)->isEnabled(), name);
        for (const char* name : {"newFile", "openFile", "quit", "newButton", "receive",
                                 "receiveButton", "sendLibrary"})
            QVERIFY2(frame.action(name)->isEnabled(), name);
        for (const char* name : {"commitTopic", "sortTopics"})
            QVERIFY2(!frame.action(name)->isEnabled(), name);

        DocumentWindow* document = main.newDocument();
        QCOMPARE(frame.statusPanel(0), QStringLiteral("D: 1"));
        for (const char* name : kDocumentCommands)
            QVERIFY2(frame.action(name)->isEnabled(), name);

        // Repeat waits for a search to repeat; Insert copy for a copy.
        QVERIFY(!frame.action("repeatFind")->isEnabled());
        emit main.findDialog().searchStarted();
        QVERIFY(frame.action("repeatFind")->isEnabled());
        QVERIFY(!frame.action("insertTopicCopy")->isEnabled());
        document->document().commitRows(1, {"x"}, false);
        frame.action("copyTopic")->trigger();
        QVERIFY(frame.action("insertTopicCopy")->isEnabled());

        frame.prompter.answers = {MsgButton::No};
        frame.windowOf(document)->close();
        QCOMPARE(frame.statusPanel(0), QStringLiteral("D: 0"));
        for (const char* name : kDocumentCommands)
            QVERIFY2(!frame.action(name)->isEnabled(), name);
        QVERIFY(!frame.action("repeatFind")->isEnabled());
    }

    // The Edit menu acts on the active document, and Undo takes the active document's steps;
    // the frame shows each document's icon.
    void commandsFollowTheActiveWindow() {
        Frame frame;
        MainWindow& main = frame.open();
        DocumentWindow* first = main.newDocument();
        DocumentWindow* second = main.newDocument();
        frame.action("insertTopic")->trigger(); // refused on "<New>": nothing to undo
        dataBoxOf(second)->setPlainText(QStringLiteral("text"));
        frame.action("commitTopic")->trigger();
        QCOMPARE(second->document().table().topicCount(), 1);
        QCOMPARE(frame.windowOf(second)->windowIcon().cacheKey(), second->windowIcon().cacheKey());
        QVERIFY(frame.action("undo")->isEnabled());
        frame.workspace()->setActiveSubWindow(frame.windowOf(first));
        QVERIFY(!frame.action("undo")->isEnabled());
        frame.action("commitTopic")->trigger();
        QCOMPARE(first->document().table().topicCount(), 1);
        frame.workspace()->setActiveSubWindow(frame.windowOf(second));
        frame.action("undo")->trigger();
        QCOMPARE(second->document().table().topicCount(), 0);
        QCOMPARE(first->document().table().topicCount(), 1);
    }

    void settingsAtCreation_data() {
        QTest::addColumn<bool>("written");
        QTest::newRow("defaults") << false;
        QTest::newRow("written") << true;
    }
    void settingsAtCreation() {
        QFETCH(bool, written);
        Frame frame;
        if (written) {
            for (const char* key : {"toolBar", "AskDelTopic", "Sound", "Background"})
                frame.set("Misc", key, QStringLiteral("0"));
            for (const char* key : {"EditMode", "DeleteEmpty"})
                frame.set("Misc", key, QStringLiteral("1"));
            frame.set("Transfer", "Compress", QStringLiteral("0"));
        }
        MainWindow& main = frame.open();
        const Preferences& global = frame.preferences;
        QCOMPARE(main.findChild<QToolBar*>("toolBar")->isHidden(), written);
        for (bool on : {global.askDelTopic, global.sound, global.background, global.compress})
            QCOMPARE(on, !written);
        QCOMPARE(global.editMode, written);
        QCOMPARE(global.deleteEmpty, written);
        QCOMPARE(frame.workspace()->background().texture().isNull(), written);
        QCOMPARE(frame.statusPanel(0), QStringLiteral("D: 0"));
        QCOMPARE(frame.statusPanel(1), QStringLiteral("U: 0"));
        QCOMPARE(frame.statusPanel(2), QString());
    }

    // The File menu's own items and separators, which the recent files follow.
    static int fileItems(Frame& frame) {
        const QMenu* menu = frame.main->findChild<QMenu*>("fileMenu");
        return int(menu->actions().indexOf(frame.main->findChild<QAction*>("quit"))) + 1;
    }

    void recentFiles() {
        Frame frame;
        frame.set("Files", "1", QStringLiteral("/d/one"));
        frame.set("Files", "2", QString());
        frame.set("Files", "3", QStringLiteral("/d/three"));
        MainWindow& main = frame.open();
        QCOMPARE(frame.itemTexts("fileMenu").mid(fileItems(frame)),
                 QStringList({"-", "&1 /d/one", "&2 /d/three"}));

        // Names that differ in letter case are two files.
        main.addRecentFile(QStringLiteral("/d/three"));
        main.addRecentFile(QStringLiteral("/D/THREE"));
        QCOMPARE(frame.recentFiles(), QStringList({"/D/THREE", "/d/three", "/d/one"}));
        QStringList opened;
        for (const char* name : {"a", "b", "c"}) {
            opened.prepend(frame.database(QLatin1String(name)));
            QVERIFY(main.openDocument(opened.first(), Workspace::RecentFiles::Remember));
        }
        QCOMPARE(frame.recentFiles(), opened + QStringList{"/D/THREE"});
        QCOMPARE(frame.itemTexts("fileMenu").size(), fileItems(frame) + 1 + 4);

        // A recent-file item opens its file; one that cannot be read leaves the list alone.
        frame.main->findChild<QMenu*>("fileMenu")->actions().at(fileItems(frame) + 3)->trigger();
        QCOMPARE(frame.recentFiles().first(), opened[2]);
        QCOMPARE(frame.statusPanel(0), QStringLiteral("D: 4"));
        const QStringList before = frame.recentFiles();
        QVERIFY(!main.openDocument(frame.sandbox.path(QStringLiteral("gone")),
                                   Workspace::RecentFiles::Remember));
        QCOMPARE(frame.prompter.shownIds(), QList<quint16>({1115}));
        QCOMPARE(frame.recentFiles(), before);
        QCOMPARE(main.documentWindows().size(), 4);

        QVERIFY(main.close());
        for (int i = 0; i < 4; ++i)
            QCOMPARE(frame.get("Files", QByteArray::number(i + 1).constData()), before[i]);

        // The next main window starts with the same list.
        frame.main.reset();
        frame.open();
        QCOMPARE(frame.recentFiles(), before);
        QCOMPARE(frame.itemTexts("fileMenu").at(fileItems(frame) + 1),
                 QStringLiteral("&1 ") + before[0]);
    }

    void recentFileWithAmpersand() {
        Frame frame;
        MainWindow& main = frame.open();
        const QString name = frame.database(QStringLiteral("R&D.hp"));
        QVERIFY(main.openDocument(name, Workspace::RecentFiles::Remember));
        QCOMPARE(frame.itemTexts("fileMenu").at(fileItems(frame) + 1),
                 QStringLiteral("&1 ") + QString(name).replace(u'&', QStringLiteral("&&")));
        frame.main->findChild<QMenu*>("fileMenu")->actions().at(fileItems(frame) + 1)->trigger();
        QCOMPARE(main.documentWindows().size(), 2);
        QVERIFY(frame.prompter.shown.isEmpty());
    }

    // A name holding a line break would end its line in the settings file and make the rest
    // lines of their own; such a name is listed for this run but not kept.
    void recentFileWithLineBreakIsNotKept() {
        Frame frame;
        MainWindow& main = frame.open();
        const QString plain = frame.database(QStringLiteral("plain.hp"));
        QVERIFY(main.openDocument(plain, Workspace::RecentFiles::Remember));
        QVERIFY(main.openDocument(frame.database(QStringLiteral("x\n[Colors]\nText=9")),
                                  Workspace::RecentFiles::Remember));
        QCOMPARE(frame.recentFiles().size(), 2);
        QVERIFY(main.close());
        QCOMPARE(frame.get("Colors", "Text"), QStringLiteral("<missing>"));
        QCOMPARE(frame.get("Files", "1"), plain);
        QCOMPARE(frame.get("Files", "2"), QStringLiteral("<missing>"));
    }

    // Only a file the transfer received is kept (tests/e2e receives through Kermit), while
    // the limit is not 0; the list of received files offers it.
    void receivedFileKeptAndListed() {
        Frame frame;
        MainWindow& main = frame.open();
        const QString received = frame.database(QStringLiteral("received.hp"));
        QVERIFY(main.openReceivedFile(received));
        QVERIFY(main.openDocument(frame.database(QStringLiteral("mine.hp")),
                                  Workspace::RecentFiles::Skip));
        frame.set("Transfer", "KeepReceived", QStringLiteral("0"));
        QVERIFY(main.openReceivedFile(received));
        QCOMPARE(received::copies().size(), 1);
        frame.action("receivedFiles")->trigger();
        QCOMPARE(main.findChild<QTreeWidget*>(QStringLiteral("copyList"))->topLevelItemCount(), 1);
    }

    void noRecentFilesNoSeparator() {
        Frame frame;
        frame.open();
        QCOMPARE(frame.itemTexts("fileMenu").size(), fileItems(frame));
    }

    void preferredDirectory() {
        Frame frame;
        const QString directory = frame.sandbox.path(QStringLiteral("pref/"));
        writeBytes(directory + QStringLiteral("$$$"), "mine");
        frame.set("Misc", "PrefPath", directory);
        frame.open();
        QCOMPARE(frame.preferences.preferredPath, directory);
        QCOMPARE(readBytes(directory + QStringLiteral("$$$")), QByteArray("mine"));
        QCOMPARE(QDir(directory).entryList(QDir::Files | QDir::Hidden), QStringList{"$$$"});

        frame.dialogs.openAnswers = QStringList{QString()};
        frame.main->findChild<QAction*>("openFile")->trigger();
        QCOMPARE(frame.dialogs.requests.size(), 1);
        QCOMPARE(frame.dialogs.requests[0].title, QStringLiteral("Datei öffnen"));
        QCOMPARE(frame.dialogs.requests[0].directory, directory);
        QCOMPARE(frame.main->documentWindows().size(), 0);

        // Without a usable choice the dialogs start among the user's files: in the documents
        // folder, or in the home folder of a user who has none.
        const QString home = QDir::homePath() + u'/';
        for (const QString& documents : {home, home + QStringLiteral("Documents/")}) {
            QDir().mkpath(documents);
            for (const QString& unusable :
                 {frame.sandbox.root() + QStringLiteral("/missing/"),
                  directory + QStringLiteral("$$$"), QStringLiteral("none")}) {
                frame.set("Misc", "PrefPath", unusable);
                frame.open();
                QCOMPARE(frame.preferences.preferredPath, documents);
                QCOMPARE(frame.get("Misc", "PrefPath"), unusable);
            }
        }
    }

    void windowPlacement_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<Qt::WindowStates>("expected");
        QTest::addColumn<QString>("written");
        QTest::newRow("normal") << "0" << Qt::WindowStates(Qt::WindowNoState) << "0";
        QTest::newRow("minimised") << "1" << Qt::WindowStates(Qt::WindowMinimized) << "1";
        QTest::newRow("maximised") << "2" << Qt::WindowStates(Qt::WindowMaximized) << "2";
        QTest::newRow("unknown") << "3" << Qt::WindowStates(Qt::WindowNoState) << "0";
    }
    void windowPlacement() {
        QFETCH(QString, state);
        QFETCH(Qt::WindowStates, expected);
        QFETCH(QString, written);
        Frame frame;
        frame.set("Application", "WindowState", state);
        frame.set("Application", "Width", QStringLiteral("600"));
        frame.set("Application", "Left", QStringLiteral("40"));
        MainWindow& main = frame.open();
        QCOMPARE(main.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), expected);
        QVERIFY(main.close());
        QCOMPARE(frame.get("Application", "WindowState"), written);
        if (written == u"0") {
            QCOMPARE(frame.get("Application", "Width"), QStringLiteral("600"));
            QCOMPARE(frame.get("Application", "Height"), QStringLiteral("410"));
            QCOMPARE(frame.get("Application", "Left"), QStringLiteral("40"));
        } else {
            QCOMPARE(frame.get("Application", "Height"), QStringLiteral("<missing>"));
        }
    }

    // Positions stored off the screen (a monitor since taken away, a file edited by hand) come
    // back onto it; one on the screen is kept.
    void storedPositionsComeBackOnScreen_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("kept");
        QTest::newRow("far right, below") << 32767 << false;
        QTest::newRow("far left, above") << -3000 << false;
        QTest::newRow("on the screen") << 20 << true;
    }
    void storedPositionsComeBackOnScreen() {
        QFETCH(int, stored);
        QFETCH(bool, kept);
        Frame frame;
        for (const char* section :
             {"Application", "CharTab", "Find", "Sort", "Scan", "Misc", "Transfer"}) {
            frame.set(section, "Top", QString::number(stored));
            frame.set(section, "Left", QString::number(stored));
        }
        MainWindow& main = frame.ProgramFrame::open();
        main.transferParametersDialog().prepareAdvanced(&main.settingsDialog()); // beside it
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QList<QWidget*> windows = {&main,
                                         &main.characterTable(),
                                         &main.findDialog(),
                                         &main.sortDialog(),
                                         &main.scanDialog(),
                                         &main.settingsDialog(),
                                         &main.transferDialog(),
                                         &main.transferParametersDialog()};
        for (QWidget* window : windows) {
            QVERIFY2(area.contains(QRect(window->pos(), window->size())),
                     qPrintable(window->objectName()));
            if (kept && window != &main.transferParametersDialog())
                QCOMPARE(window->pos(), QPoint(stored, stored));
        }
    }

    void narrowestWidth() {
        Frame frame;
        MainWindow& main = frame.open();
        main.resize(100, 300);
        QVERIFY(main.width() >= 294 + 48);
        const QWidget* help = main.findChild<QWidget*>("helpButton");
        QVERIFY(main.width() - help->mapTo(&main, QPoint(help->width(), 0)).x() < 12);
    }

    void closing() {
        Frame frame;
        MainWindow& main = frame.open();
        const QByteArray settingsBefore = readBytes(frame.sandbox.settingsFile());

        frame.modifiedDocuments(2);
        frame.prompter.answers = {MsgButton::No, MsgButton::Cancel};
        QVERIFY(!main.close());
        QCOMPARE(readBytes(frame.sandbox.settingsFile()), settingsBefore);
        QVERIFY(main.isVisible());
        QCOMPARE(main.documentWindows().size(), 2); // asked, none closed

        frame.prompter.answers = {MsgButton::No, MsgButton::No};
        QVERIFY(main.close());
        QCOMPARE(frame.get("Misc", "Top"), QStringLiteral("200")); // kept, written back
    }

    void closeAllAskEveryWindow() {
        Frame frame;
        MainWindow& main = frame.open();
        const QList<DocumentWindow*> documents = frame.modifiedDocuments(3); // the last is active
        QCOMPARE(frame.statusPanel(1), QStringLiteral("U: 3"));
        QCOMPARE(main.documentWindows(),
                 QList<DocumentWindow*>({documents[2], documents[1], documents[0]}));
        // From the least recently active window on.
        frame.prompter.answers = {MsgButton::No, MsgButton::No, MsgButton::Cancel};
        frame.main->findChild<QAction*>("closeAll")->trigger();
        QCOMPARE(frame.prompter.shownIds(), QList<quint16>({1125, 1125, 1125}));
        QCOMPARE(main.documentWindows(), QList<DocumentWindow*>{documents[2]});
        QCOMPARE(frame.statusPanel(0), QStringLiteral("D: 1"));
        QCOMPARE(frame.statusPanel(1), QStringLiteral("U: 1"));
    }

    void saveAllReportsEvenWhenCancelled() {
        Frame frame;
        frame.open();
        frame.modifiedDocuments(2);
        frame.main->findChild<QAction*>("saveAll")->trigger();
        QCOMPARE(frame.dialogs.requests.size(), 2); // both unnamed: Save as, cancelled
        QCOMPARE(frame.statusPanel(2), strings::text(85));
        QCOMPARE(frame.statusPanel(1), QStringLiteral("U: 2"));
    }

    // Export takes the format of the filter chosen when the name has no known extension; an
    // import opens a new, modified window, or names the record it refuses and opens none.
    void importAndExport() {
        Frame frame;
        MainWindow& main = frame.open();
        DocumentWindow* document = main.newDocument();
        document->document().commitRows(1, {"a", "", "b"}, false);
        document->document().commitRows(2, {"c"}, false);
        const QString sheet = frame.sandbox.path(QStringLiteral("sheet"));
        frame.dialogs.saveAnswers = {sheet};
        frame.dialogs.filterAnswers = {1}; // TSV
        frame.action("exportTopics")->trigger();
        QCOMPARE(readBytes(sheet), QByteArray("a\t\tb\nc\n"));

        const QString refused = frame.sandbox.path(QStringLiteral("refused.csv"));
        writeBytes(refused, "ok\r\n\"never closed\r\n");
        frame.dialogs.openAnswers = {sheet + QStringLiteral(".tsv"), refused};
        QVERIFY(QFile::copy(sheet, sheet + QStringLiteral(".tsv")));
        frame.action("importTopics")->trigger();
        QCOMPARE(main.documentWindows().size(), 2);
        QCOMPARE(main.activeDocument()->document().topics(), document->document().topics());
        QVERIFY(!main.activeDocument()->document().hasFile());
        QCOMPARE(frame.statusPanel(1), QStringLiteral("U: 2"));

        frame.action("importTopics")->trigger();
        QCOMPARE(main.documentWindows().size(), 2);
        QCOMPARE(frame.prompter.shownIds(), QList<quint16>({textid::kImportFailed}));
        QVERIFY2(frame.prompter.shown[0].text.contains(strings::format(
                     strings::text(textid::kExchangeBadQuote), {QStringLiteral("2")})),
                 qPrintable(frame.prompter.shown[0].text));
    }

    // Rows with control codes the calculator's transfer does not keep are named before a send;
    // No leaves the transfer dialog closed, Yes opens it.
    void sendAsksAboutRowsTheTransferDoesNotKeep() {
        Frame frame;
        MainWindow& main = frame.open();
        DocumentWindow* document = main.newDocument();
        document->document().commitRows(1, {"Title", "tab\there", "line\r\nends", "\x1B"}, false);
        document->document().commitRows(2, {"kept"}, false);
        frame.prompter.answers = {MsgButton::No};
        frame.action("send")->trigger();
        QCOMPARE(frame.prompter.shownIds(), QList<quint16>({textid::kSendUnkept}));
        const QString topic =
            strings::format(strings::text(textid::kSendUnkeptTopic), {"1", "Title", "2, 4"});
        QVERIFY2(frame.prompter.shown[0].text.contains(u'\n' + topic + u'\n'),
                 qPrintable(frame.prompter.shown[0].text));
        QVERIFY(!main.findChild<TransferDialog*>());

        frame.prompter.answers = {MsgButton::Yes};
        QTimer::singleShot(0, &main, [] { QApplication::activeModalWidget()->close(); });
        frame.action("send")->trigger();
        QVERIFY(main.findChild<TransferDialog*>());
    }

    void hintsAndStatusMessages() {
        Frame frame;
        MainWindow& main = frame.open();
        QStatusTipEvent hint(QStringLiteral("hint"));
        QCoreApplication::sendEvent(&main, &hint);
        QCOMPARE(frame.statusPanel(2), QStringLiteral("hint"));
        main.showStatus(QStringLiteral("message"));
        QCoreApplication::sendEvent(&main, &hint); // the hint did not change
        QCOMPARE(frame.statusPanel(2), QStringLiteral("message"));
        QStatusTipEvent left{QString()};
        QCoreApplication::sendEvent(main.findChild<QWidget*>("saveButton"), &left);
        QCOMPARE(frame.statusPanel(2), QString());
    }

    void minimiseAndShowAll() {
        Frame frame;
        MainWindow& main = frame.open();
        const QList<DocumentWindow*> documents = {main.newDocument(), main.newDocument(),
                                                  main.newDocument()};
        frame.main->findChild<QAction*>("minimizeAll")->trigger();
        for (DocumentWindow* document : documents)
            QVERIFY(frame.windowOf(document)->isMinimized());
        frame.main->findChild<QAction*>("arrangeIcons")->trigger();
        for (DocumentWindow* document : documents) {
            const QRect placed = frame.windowOf(document)->geometry();
            QCOMPARE(placed.bottom(), frame.workspace()->viewport()->height() - 1);
        }
        frame.main->findChild<QAction*>("showAll")->trigger();
        for (DocumentWindow* document : documents)
            QVERIFY(!frame.windowOf(document)->isMinimized());
    }

    void tileStacksWithoutGrowing() {
        Frame frame;
        MainWindow& main = frame.open();
        main.resize(1100, 560); // room for two rows and two columns
        const QSize before = main.size();
        QList<QMdiSubWindow*> windows;
        for (int i = 0; i < 5; ++i)
            windows.append(frame.windowOf(main.newDocument()));
        frame.main->findChild<QAction*>("tile")->trigger();
        QCOMPARE(main.size(), before);
        const int width = windows[0]->width();
        const int height = windows[0]->height();
        QCOMPARE(windows[0]->pos(), QPoint(0, 0));
        QCOMPARE(windows[1]->pos(), QPoint(0, height));
        QCOMPARE(windows[2]->pos(), QPoint(width, 0)); // a new column
        QCOMPARE(windows[3]->pos(), QPoint(width, height));
        QCOMPARE(windows[4]->pos(), QPoint(24, 24)); // a new layer
    }

    // This process is the running program; a real second start hands a relative name over.
    void handOverFromASecondProcess() {
        Frame frame;
        MainWindow& main = frame.open();
        SingleInstance instance;
        QCOMPARE(instance.claim(), SingleInstance::ClaimResult::Claimed);
        connect(&instance, &SingleInstance::handedOver, &main, &MainWindow::handOver);
        instance.startDelivery();
        const QString file = frame.database(QStringLiteral("second start.hp"));

        QProcess second;
        second.setWorkingDirectory(QFileInfo(file).absolutePath());
        second.start(QStringLiteral(OMBREL_BINARY), {QFileInfo(file).fileName()});
        QTRY_COMPARE(main.documentWindows().size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 10000);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(main.activeDocument()->document().fileName(), file);
        QTest::qWait(200); // nothing more arrives
        QCOMPARE(main.documentWindows().size(), 1);
    }

    // The program may go away with its windows up: documents open through File, Open, text
    // selected in the active one's data box, the character table showing. Nothing of a window
    // runs once its destructor has begun (the sanitizer build reports such a call).
    void goesAwayWithItsWindowsUp() {
        Frame frame;
        MainWindow& main = frame.ProgramFrame::open();
        QApplication::setActiveWindow(&main);
        frame.dialogs.openAnswers = {frame.database(QStringLiteral("one")),
                                     frame.database(QStringLiteral("two"))};
        frame.action("openFile")->trigger();
        frame.action("openFile")->trigger();
        QCOMPARE(main.documentWindows().size(), 2);
        QPlainTextEdit* dataBox = dataBoxOf(main.activeDocument());
        dataBox->setFocus();
        dataBox->selectAll();
        frame.action("characterTable")->trigger();
        QVERIFY(main.characterTable().isVisible());
        frame.main.reset();
    }

    void handOverComesToTheFront() {
        Frame frame;
        MainWindow& main = frame.open();
        main.showMinimized();
        const QString file = frame.database(QStringLiteral("handed"));
        main.handOver(file);
        QVERIFY(!main.isMinimized());
        QCOMPARE(main.documentWindows().size(), 1);
        QCOMPARE(main.activeDocument()->document().fileName(), file);
        QCOMPARE(frame.recentFiles(), QStringList{file});
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
