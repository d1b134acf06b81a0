#include "gui/Localizer.h"
#include "ProgramFrame.h"
#include "Sandbox.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompter.h"
#include "platform/Settings.h"
#include "app/SingleInstance.h"
#include "gui/dialogs/TransferDialog.h"
#include "gui/dialogs/CharacterTable.h"
#include "gui/dialogs/FindDialog.h"
#include "platform/Preferences.h"
#include "gui/DocumentWindow.h"
#include "gui/dialogs/TransferParametersDialog.h"
#include "gui/dialogs/SettingsDialog.h"
#include "gui/dialogs/ScanDialog.h"
#include "gui/dialogs/SortDialog.h"
#include "gui/MainWindow.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>

#include <memory>

namespace {

const QByteArray kOneTopic = "%%HP: T(1)A(R)F(,);\r\n{ {\"x\"}}";

struct Frame : ProgramFrame {
    MainWindow& Open() { return ProgramFrame::Open(Dialogs::Without); }
    // A database file in the sandbox.
    QString Database(const QString& name) const {
        const QString path = sandbox.Path(QStringLiteral("db/") + name);
        WriteBytes(path, kOneTopic);
        return path;
    }
    QStringList ItemTexts(const char* menuName) const {
        QStringList texts;
        for (const QAction* item : main->findChild<QMenu*>(QLatin1String(menuName))->actions())
            texts.append(item->isSeparator() ? QStringLiteral("-") : item->text());
        return texts;
    }
    QMdiSubWindow* WindowOf(DocumentWindow* document) const {
        return qobject_cast<QMdiSubWindow*>(document->parentWidget());
    }
    // Opens n new, modified documents.
    QList<DocumentWindow*> ModifiedDocuments(int n) {
        QList<DocumentWindow*> documents;
        for (int i = 0; i < n; ++i) {
            documents.append(main->NeueDatei1Click());
            documents.last()->SetModified(true);
        }
        return documents;
    }
};

const char* const kDocumentCommands[] = {
    "Schliesen1",  "Alleschlieen1",    "Dateispeichern1", "Speichernunter1", "Allesspeichern1",
    "SaveButton",  "F5Button",         "InsertButton",    "DeleteButton",    "Nebeneinander1",
    "berlappend1", "Symboleanordnen1", "Alleminimieren1", "Alledarstellen1", "Suchen2",
    "FindButton",  "Senden1",          "ToHPButton"};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

  private slots:
    void menusToolBarAndTheirTexts() {
        Frame frame;
        MainWindow& main = frame.Open();
        QCOMPARE(main.windowTitle(), QStringLiteral("Ombrel"));
        QStringList menus;
        for (const QAction* menu : main.menuBar()->actions())
            menus.append(menu->menu()->objectName());
        QCOMPARE(menus, QStringList({"Datei1", "Bearbeiten1", "Suchen1", "bertragen1", "Optionen1",
                                     "Fenster1", "Hilfe1"}));
        QCOMPARE(frame.ItemTexts("Datei1"),
                 QStringList({"&Neue Datei", "&Datei öffnen", "Schl&ießen", "A&lle schließen", "-",
                              "&Speichern", "Speichern &unter...", "&Alles speichern", "-",
                              "&Beenden"}));
        QCOMPARE(frame.ItemTexts("Fenster1").size(), 6);
        QCOMPARE(frame.Action("Dateiffnen1")->statusTip(), Tx(2510));
        for (auto [name, key] : {std::pair{"Dateiffnen1", "F3"},
                                 {"Dateispeichern1", "F2"},
                                 {"Suchen2", "F7"},
                                 {"Wiederholen1", "Ctrl+F7"},
                                 {"Zeichentabelle1", "F6"},
                                 {"Index1", "F1"},
                                 {"Datenbernehmen1", "F5"},
                                 {"Topiclschen1", "F8"}})
            QCOMPARE(frame.Action(name)->shortcut().toString(), QLatin1String(key));

        QStringList tools;
        for (QAction* tool : main.findChild<QToolBar*>("ToolBar")->actions()) {
            const QWidget* widget = main.findChild<QToolBar*>("ToolBar")->widgetForAction(tool);
            tools.append(tool->objectName().isEmpty() ? widget->objectName() : tool->objectName());
        }
        QCOMPARE(tools,
                 QStringList({"NewButton", "OpenButton", "SaveButton", "", "F5Button",
                              "InsertButton", "DeleteButton", "", "FindButton", "CharTabButton", "",
                              "ToHPButton", "ToPCButton", "Label1", "HelpButton"}));
        QCOMPARE(frame.Action("SaveButton")->statusTip(), Tx(510));
        QVERIFY(frame.Action("CharTabButton")->isCheckable());
    }

    void enablingRule() {
        Frame frame;
        MainWindow& main = frame.Open();
        for (const char* name : kDocumentCommands)
            QVERIFY2(!frame.Action(name)->isEnabled(), name);
        for (const char* name : {"NeueDatei1", "Dateiffnen1", "Beenden1", "NewButton", "Empfangen1",
                                 "ToPCButton", "Tarvokopieren1"})
            QVERIFY2(frame.Action(name)->isEnabled(), name);
        for (const char* name : {"Datenbernehmen1", "Sortieren1"})
            QVERIFY2(!frame.Action(name)->isEnabled(), name);

        DocumentWindow* document = main.NeueDatei1Click();
        QCOMPARE(main.StatusPanelText(0), QStringLiteral("D: 1"));
        for (const char* name : kDocumentCommands)
            QVERIFY2(frame.Action(name)->isEnabled(), name);

        // Repeat keeps the state the find gave it until a find was confirmed.
        main.RepeatAction()->setEnabled(true);
        main.EnableDocumentCommands(false);
        QVERIFY(main.RepeatAction()->isEnabled());
        Glob().FindDone = true;
        main.EnableDocumentCommands(false);
        QVERIFY(!main.RepeatAction()->isEnabled());

        main.EnableDocumentCommands(true);
        frame.WindowOf(document)->close();
        QCOMPARE(main.StatusPanelText(0), QStringLiteral("D: 0"));
        for (const char* name : kDocumentCommands)
            QVERIFY2(!frame.Action(name)->isEnabled(), name);
    }

    void activeDocumentBringsItsEditMenu() {
        Frame frame;
        MainWindow& main = frame.Open();
        QMenuBar* bar = main.menuBar();
        DocumentWindow* first = main.NeueDatei1Click();
        DocumentWindow* second = main.NeueDatei1Click();
        QCOMPARE(bar->actions().at(1), second->EditMenu()->menuAction());
        QCOMPARE(bar->actions().size(), 7);
        second->SetModified(true); // the frame shows the document's icon
        QCOMPARE(frame.WindowOf(second)->windowIcon().cacheKey(), second->windowIcon().cacheKey());
        second->SetModified(false);
        main.Workspace()->setActiveSubWindow(frame.WindowOf(first));
        QCOMPARE(bar->actions().at(1), first->EditMenu()->menuAction());
        QCOMPARE(first->EditMenu()->title(), Tx(2145));
        main.findChild<QAction*>("Alleschlieen1")->trigger();
        QCOMPARE(bar->actions().at(1)->menu()->objectName(), QStringLiteral("Bearbeiten1"));
        QCOMPARE(bar->actions().at(1)->menu()->parent(), bar);
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
            for (const char* key : {"ToolBar", "AskDelTopic", "Sound", "Background"})
                frame.Set("Misc", key, QStringLiteral("0"));
            for (const char* key : {"EditMode", "DeleteEmpty"})
                frame.Set("Misc", key, QStringLiteral("1"));
            frame.Set("Transfer", "Compress", QStringLiteral("0"));
        }
        Glob().FindDone = Glob().CopyBufferFilled = Glob().DefaultsRestored = true;
        MainWindow& main = frame.Open();
        const TGlobal& global = Glob();
        QCOMPARE(main.findChild<QToolBar*>("ToolBar")->isHidden(), written);
        for (bool on : {global.AskDelTopic, global.Sound, global.Background, global.Compress})
            QCOMPARE(on, !written);
        QCOMPARE(global.EditMode, written);
        QCOMPARE(global.DeleteEmpty, written);
        QVERIFY(!global.FindDone && !global.CopyBufferFilled && !global.DefaultsRestored);
        QCOMPARE(main.Workspace()->background().texture().isNull(), written);
        QCOMPARE(main.StatusPanelText(0), QStringLiteral("D: 0"));
        QCOMPARE(main.StatusPanelText(1), QStringLiteral("U: 0"));
        QCOMPARE(main.StatusPanelText(2), QString());
    }

    void recentFiles() {
        Frame frame;
        frame.Set("Files", "1", QStringLiteral("/d/one"));
        frame.Set("Files", "2", QString());
        frame.Set("Files", "3", QStringLiteral("/d/three"));
        MainWindow& main = frame.Open();
        QCOMPARE(frame.ItemTexts("Datei1").mid(10), QStringList({"-", "&1 /d/one", "&2 /d/three"}));

        main.AddRecentFile(QStringLiteral("/D/THREE"));
        QCOMPARE(main.RecentFiles(), QStringList({"/D/THREE", "/d/one"}));
        QStringList opened;
        for (const char* name : {"a", "b", "c"}) {
            opened.prepend(frame.Database(QLatin1String(name)));
            QVERIFY(main.OpenFileByName(opened.first()));
        }
        QCOMPARE(main.RecentFiles(), opened + QStringList{"/D/THREE"});
        QCOMPARE(frame.ItemTexts("Datei1").size(), 10 + 1 + 4);

        // A recent-file item opens its file; one that cannot be read leaves the list alone.
        frame.main->findChild<QMenu*>("Datei1")->actions().at(13)->trigger();
        QCOMPARE(main.RecentFiles().first(), opened[2]);
        QCOMPARE(main.StatusPanelText(0), QStringLiteral("D: 4"));
        const QStringList before = main.RecentFiles();
        QVERIFY(!main.OpenFileByName(frame.sandbox.Path(QStringLiteral("gone"))));
        QCOMPARE(frame.prompter.ShownIds(), QList<quint16>({1115}));
        QCOMPARE(main.RecentFiles(), before);
        QCOMPARE(main.DocumentWindows().size(), 4);

        QVERIFY(main.close());
        for (int i = 0; i < 4; ++i)
            QCOMPARE(frame.Get("Files", QByteArray::number(i + 1).constData()), before[i]);

        // The next main window starts with the same list.
        frame.main.reset();
        frame.Open();
        QCOMPARE(frame.main->RecentFiles(), before);
        QCOMPARE(frame.ItemTexts("Datei1").at(11), QStringLiteral("&1 ") + before[0]);
    }

    void recentFileWithAmpersand() {
        Frame frame;
        MainWindow& main = frame.Open();
        const QString name = frame.Database(QStringLiteral("R&D.hp"));
        QVERIFY(main.OpenFileByName(name));
        QCOMPARE(frame.ItemTexts("Datei1").at(11),
                 QStringLiteral("&1 ") + QString(name).replace(u'&', QStringLiteral("&&")));
        frame.main->findChild<QMenu*>("Datei1")->actions().at(11)->trigger();
        QCOMPARE(main.DocumentWindows().size(), 2);
        QVERIFY(frame.prompter.shown.isEmpty());
    }

    // A name holding a line break would end its line in the settings file and make the rest
    // lines of their own; such a name is listed for this run but not kept.
    void recentFileWithLineBreakIsNotKept() {
        Frame frame;
        MainWindow& main = frame.Open();
        const QString plain = frame.Database(QStringLiteral("plain.hp"));
        QVERIFY(main.OpenFileByName(plain));
        QVERIFY(main.OpenFileByName(frame.Database(QStringLiteral("x\n[Colors]\nText=9"))));
        QCOMPARE(main.RecentFiles().size(), 2);
        QVERIFY(main.close());
        QCOMPARE(frame.Get("Colors", "Text"), QStringLiteral("<missing>"));
        QCOMPARE(frame.Get("Files", "1"), plain);
        QCOMPARE(frame.Get("Files", "2"), QStringLiteral("<missing>"));
    }

    void noRecentFilesNoSeparator() {
        Frame frame;
        frame.Open();
        QCOMPARE(frame.ItemTexts("Datei1").size(), 10);
    }

    void preferredDirectory() {
        Frame frame;
        const QString directory = frame.sandbox.Path(QStringLiteral("pref/"));
        WriteBytes(directory + QStringLiteral("$$$"), "mine");
        frame.Set("Misc", "PrefPath", directory);
        frame.Open();
        QCOMPARE(Glob().PrefPath, directory);
        QCOMPARE(ReadBytes(directory + QStringLiteral("$$$")), QByteArray("mine"));
        QCOMPARE(QDir(directory).entryList(QDir::Files | QDir::Hidden), QStringList{"$$$"});

        frame.dialogs.openAnswers = QStringList{QString()};
        frame.main->findChild<QAction*>("Dateiffnen1")->trigger();
        QCOMPARE(frame.dialogs.requests.size(), 1);
        QCOMPARE(frame.dialogs.requests[0].title, QStringLiteral("Datei öffnen"));
        QCOMPARE(frame.dialogs.requests[0].directory, directory);
        QCOMPARE(frame.main->DocumentWindows().size(), 0);

        for (const QString& unusable :
             {frame.sandbox.Root() + QStringLiteral("/missing/"), directory + QStringLiteral("$$$"),
              QStringLiteral("none")}) {
            frame.Set("Misc", "PrefPath", unusable);
            frame.Open();
            QCOMPARE(Glob().PrefPath, Glob().ProgDir);
            QCOMPARE(frame.Get("Misc", "PrefPath"), unusable);
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
        frame.Set("Application", "WindowState", state);
        frame.Set("Application", "Width", QStringLiteral("600"));
        frame.Set("Application", "Left", QStringLiteral("40"));
        MainWindow& main = frame.Open();
        QCOMPARE(main.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), expected);
        QVERIFY(main.close());
        QCOMPARE(frame.Get("Application", "WindowState"), written);
        if (written == u"0") {
            QCOMPARE(frame.Get("Application", "Width"), QStringLiteral("600"));
            QCOMPARE(frame.Get("Application", "Height"), QStringLiteral("410"));
            QCOMPARE(frame.Get("Application", "Left"), QStringLiteral("40"));
        } else {
            QCOMPARE(frame.Get("Application", "Height"), QStringLiteral("<missing>"));
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
            frame.Set(section, "Top", QString::number(stored));
            frame.Set(section, "Left", QString::number(stored));
        }
        MainWindow& main = frame.ProgramFrame::Open(ProgramFrame::Dialogs::With);
        main.transferParametersDialog()->PrepareAdvanced(main.settingsDialog()); // beside the settings
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QList<QWidget*> windows = {&main,
                                         main.characterTable(),
                                         main.findDialog(),
                                         main.sortDialog(),
                                         main.scanDialog(),
                                         main.settingsDialog(),
                                         main.transferDialog(),
                                         main.transferParametersDialog()};
        for (QWidget* window : windows) {
            QVERIFY2(area.contains(QRect(window->pos(), window->size())),
                     qPrintable(window->objectName()));
            if (kept && window != main.transferParametersDialog())
                QCOMPARE(window->pos(), QPoint(stored, stored));
        }
    }

    void narrowestWidth() {
        Frame frame;
        MainWindow& main = frame.Open();
        main.resize(100, 300);
        QVERIFY(main.width() >= 294 + 48);
        const QWidget* help = main.findChild<QWidget*>("HelpButton");
        QVERIFY(main.width() - help->mapTo(&main, QPoint(help->width(), 0)).x() < 12);
    }

    void closing() {
        Frame frame;
        MainWindow& main = frame.Open();
        const QByteArray settingsBefore = ReadBytes(frame.sandbox.SettingsFile());

        Glob().SplashDone = false;
        QVERIFY(!main.close());
        Glob().SplashDone = true;
        frame.ModifiedDocuments(2);
        frame.prompter.answers = {MsgButton::No, MsgButton::Cancel};
        QVERIFY(!main.close());
        QCOMPARE(ReadBytes(frame.sandbox.SettingsFile()), settingsBefore);
        QVERIFY(main.isVisible());
        QCOMPARE(main.DocumentWindows().size(), 2); // asked, none closed

        frame.prompter.answers = {MsgButton::No, MsgButton::No};
        QVERIFY(main.close());
        QCOMPARE(frame.Get("Misc", "Top"), QStringLiteral("200")); // kept, written back
    }

    void closeAllAskEveryWindow() {
        Frame frame;
        MainWindow& main = frame.Open();
        const QList<DocumentWindow*> documents = frame.ModifiedDocuments(3); // the last is active
        QCOMPARE(main.StatusPanelText(1), QStringLiteral("U: 3"));
        QCOMPARE(main.DocumentWindows(), QList<DocumentWindow*>({documents[2], documents[1], documents[0]}));
        // From the least recently active window on.
        frame.prompter.answers = {MsgButton::No, MsgButton::No, MsgButton::Cancel};
        frame.main->findChild<QAction*>("Alleschlieen1")->trigger();
        QCOMPARE(frame.prompter.ShownIds(), QList<quint16>({1125, 1125, 1125}));
        QCOMPARE(main.DocumentWindows(), QList<DocumentWindow*>{documents[2]});
        QCOMPARE(main.StatusPanelText(0), QStringLiteral("D: 1"));
        QCOMPARE(main.StatusPanelText(1), QStringLiteral("U: 1"));
    }

    void saveAllReportsEvenWhenCancelled() {
        Frame frame;
        MainWindow& main = frame.Open();
        frame.ModifiedDocuments(2);
        frame.main->findChild<QAction*>("Allesspeichern1")->trigger();
        QCOMPARE(frame.dialogs.requests.size(), 2); // both unnamed: Save as, cancelled
        QCOMPARE(main.StatusPanelText(2), Tx(85));
        QCOMPARE(main.StatusPanelText(1), QStringLiteral("U: 2"));
    }

    void hintsAndStatusMessages() {
        Frame frame;
        MainWindow& main = frame.Open();
        QStatusTipEvent hint(QStringLiteral("hint"));
        QCoreApplication::sendEvent(&main, &hint);
        QCOMPARE(main.StatusPanelText(2), QStringLiteral("hint"));
        main.SetStatusText(QStringLiteral("message"));
        QCoreApplication::sendEvent(&main, &hint); // the hint did not change
        QCOMPARE(main.StatusPanelText(2), QStringLiteral("message"));
        QStatusTipEvent left{QString()};
        QCoreApplication::sendEvent(main.findChild<QWidget*>("SaveButton"), &left);
        QCOMPARE(main.StatusPanelText(2), QString());
    }

    void minimiseAndShowAll() {
        Frame frame;
        MainWindow& main = frame.Open();
        const QList<DocumentWindow*> documents = {main.NeueDatei1Click(), main.NeueDatei1Click(),
                                         main.NeueDatei1Click()};
        frame.main->findChild<QAction*>("Alleminimieren1")->trigger();
        for (DocumentWindow* document : documents)
            QVERIFY(frame.WindowOf(document)->isMinimized());
        frame.main->findChild<QAction*>("Symboleanordnen1")->trigger();
        for (DocumentWindow* document : documents) {
            const QRect placed = frame.WindowOf(document)->geometry();
            QCOMPARE(placed.bottom(), main.Workspace()->viewport()->height() - 1);
        }
        frame.main->findChild<QAction*>("Alledarstellen1")->trigger();
        for (DocumentWindow* document : documents)
            QVERIFY(!frame.WindowOf(document)->isMinimized());
    }

    void tileStacksWithoutGrowing() {
        Frame frame;
        MainWindow& main = frame.Open();
        main.resize(1100, 560); // room for two rows and two columns
        const QSize before = main.size();
        QList<QMdiSubWindow*> windows;
        for (int i = 0; i < 5; ++i)
            windows.append(frame.WindowOf(main.NeueDatei1Click()));
        frame.main->findChild<QAction*>("Nebeneinander1")->trigger();
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
        MainWindow& main = frame.Open();
        SingleInstance instance;
        QCOMPARE(instance.Claim(), SingleInstance::ClaimResult::Claimed);
        connect(&instance, &SingleInstance::HandedOver, &main, &MainWindow::HandOver);
        instance.StartDelivery();
        const QString file = frame.Database(QStringLiteral("second start.hp"));

        QProcess second;
        second.setWorkingDirectory(QFileInfo(file).absolutePath());
        second.start(QStringLiteral(OMBREL_BINARY), {QFileInfo(file).fileName()});
        QTRY_COMPARE(main.DocumentWindows().size(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 10000);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(main.ActiveDocument()->Table().FileName, file);
        QTest::qWait(200); // nothing more arrives
        QCOMPARE(main.DocumentWindows().size(), 1);
    }

    // The program may go away with its windows up: documents open through File, Open, text
    // selected in the active one's data box, the character table showing. Nothing of a window
    // runs once its destructor has begun (the sanitizer build reports such a call).
    void goesAwayWithItsWindowsUp() {
        Frame frame;
        MainWindow& main = frame.ProgramFrame::Open(ProgramFrame::Dialogs::With);
        QApplication::setActiveWindow(&main);
        frame.dialogs.openAnswers = {frame.Database(QStringLiteral("one")),
                                     frame.Database(QStringLiteral("two"))};
        frame.Action("Dateiffnen1")->trigger();
        frame.Action("Dateiffnen1")->trigger();
        QCOMPARE(main.DocumentWindows().size(), 2);
        QPlainTextEdit* dataBox = main.ActiveDocument()->DataBox();
        dataBox->setFocus();
        dataBox->selectAll();
        frame.Action("Zeichentabelle1")->trigger();
        QVERIFY(main.characterTable()->isVisible());
        frame.main.reset();
        QCOMPARE(MainWindow::Instance(), nullptr);
    }

    void handOverComesToTheFront() {
        Frame frame;
        MainWindow& main = frame.Open();
        main.showMinimized();
        const QString file = frame.Database(QStringLiteral("handed"));
        main.HandOver(file);
        QVERIFY(!main.isMinimized());
        QCOMPARE(main.DocumentWindows().size(), 1);
        QCOMPARE(main.ActiveDocument()->Table().FileName, file);
        QCOMPARE(main.RecentFiles(), QStringList{file});
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
