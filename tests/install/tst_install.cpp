// Start-up checks, the installer and the removal, each start made as main() makes it, in a
// sandboxed home with a copy of the program directory. The installer is answered from a timer
// while it waits modally; every message box is scripted.
#include "Sandbox.h"
#include "ScriptedPrompter.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "app/StartupChecks.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/InstallerDialog.h"
#include "gui/dialogs/SplashScreen.h"
#include "install/DesktopIntegration.h"
#include "install/Removal.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "platform/Settings.h"
#include "platform/SettingsFile.h"
#include "platform/StringTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <functional>

namespace {

const QString kBuildDir = QFileInfo(QStringLiteral(OMBREL_BINARY)).absolutePath();
const QString kSwitch = QStringLiteral("/$UnInstalCompleteApp$");

// A sandboxed home and a copy of the program directory, which removal may empty.
struct Home {
    Sandbox sandbox;
    QString progDir;

    Home() {
        progDir = sandbox.path(QStringLiteral("prog/"));
        for (const char* name : {"HP48.TTF", "HP48-LICENSE.txt", "omhelp.html", "file_id.diz"})
            QFile::copy(kBuildDir + u'/' + QLatin1String(name), progDir + QLatin1String(name));
        writeBytes(progDir + QStringLiteral("kermit"), "#!/bin/sh\nexit 0\n");
        QFile::setPermissions(progDir + QStringLiteral("kermit"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("OMBREL_PROGDIR", QFile::encodeName(progDir)); // the sandbox puts it back
        QDir().mkpath(path("home/Desktop"));
    }
    QString path(const char* relative) const {
        return sandbox.root() + u'/' + QLatin1String(relative);
    }
    QString ini() const { return sandbox.settingsFile(); }
    void writeIni(const QByteArray& text) const { writeBytes(ini(), text); }

    // Every file and folder under home, data, config and the program directory, with the
    // start of each file's contents; the caches and the runtime directory are the system's.
    QStringList tree() const { return sandbox.tree({"home", "data", "config", "prog"}, 24); }
    // The files of Tree() without contents, leaving out what update-mime-database makes.
    QStringList files() const {
        QStringList files;
        for (const QString& line : tree()) {
            const QString path = line.section(u' ', 0, 0);
            if (line.contains(u' ') && (!path.startsWith(QStringLiteral("data/mime/")) ||
                                        path.startsWith(QStringLiteral("data/mime/packages/"))))
                files.append(path);
        }
        return files;
    }
};

using InstallerAnswer = std::function<void(InstallerDialog&)>;

void answerOk(InstallerDialog& installer) {
    installer.install();
}
void answerCancel(InstallerDialog& installer) {
    installer.cancelInstallation();
}
void untick(InstallerDialog& installer, const char* name) {
    installer.findChild<QCheckBox*>(QLatin1String(name))->setChecked(false);
}

// One start of the program as main() makes it, up to the end of the start-up checks.
struct Start {
    SettingsFile settings{paths::settingsFile()};
    Preferences preferences{settings};
    ScriptedPrompter prompter;
    SingleInstance instance;
    QPointer<SplashScreen> splash;
    InstallerAnswer answer = answerOk;
    bool installerShown = false;
    QStringList helpShown; // the anchors the help window was opened at

    ~Start() { delete splash.data(); }

    // True when start-up goes on to the windows.
    bool run(const QStringList& parameters = {}) {
        if (claimTheProgram(parameters, settings, instance) != StartRole::First)
            return false;
        QTimer watch;
        watch.setInterval(10);
        QObject::connect(&watch, &QTimer::timeout, [this] { actOnOpenWindows(); });
        watch.start();
        splash = startupChecks(parameters, settings);
        return !splash.isNull();
    }

    void actOnOpenWindows() {
        if (HelpWindow* help = HelpWindow::instance(); help && help->isVisible()) {
            helpShown.append(help->browser()->source().fragment());
            help->close();
        }
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* installer = qobject_cast<InstallerDialog*>(window);
            if (installer && installer->isVisible() && !installerShown) {
                installerShown = true;
                answer(*installer);
            }
        }
    }
    // The main window as the program makes it after the checks: it waits for the splash.
    std::unique_ptr<MainWindow> makeMainWindow() {
        auto main = std::make_unique<MainWindow>(preferences);
        if (splash)
            QObject::connect(splash, &SplashScreen::gone, main.get(), &MainWindow::splashGone);
        return main;
    }
    QString read(settings::Key key) const {
        return settings::readString(settings, key, QStringLiteral("<missing>"));
    }
};

// The files an installation with every option makes, besides the mime database's own.
const QStringList kEveryOptionFiles = {
    "config/Ombrel.ini",
    "config/mimeapps.list",
    "data/applications/ombrel-2.7-removal.desktop",
    "data/applications/ombrel-2.7.desktop",
    "data/applications/ombrel-hpfile.desktop",
    "data/fonts/HP48.TTF",
    "data/mime/packages/ombrel-hpfile.xml",
    "home/Desktop/ombrel-2.7.desktop",
};

QStringList added(const QStringList& after, const QStringList& before) {
    QStringList added;
    for (const QString& file : after) {
        if (!before.contains(file))
            added.append(file);
    }
    return added;
}

QString query(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("xdg-mime"), arguments);
    process.waitForFinished(60000);
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT

  private slots:
    void installerShowsItsTextsAndSwitchesLanguage();
    void cancelWritesNothingAndAsksAgain();
    void installWithEveryOption();
    void installWithOnlyTheAssociation();
    void missingFontEndsWithoutSettings();
    void knownFontIsLeftAlone();
    void uncopyableFontEndsWithoutSettings();
    void shortcutWithoutDesktopIsRecordedFalse();
    void secondStartGoesToTheSplash();
    void newHomeWithoutSettingsFolder();
    void unwritableSettingsAreReportedOnce();
    void otherInstalledVersionStopsTheStart();
    void missingCompanionFileStopsTheStart();
    void leftoversGoAtEveryStart();
    void removalSwitchIsExact();
    void removalDeclinedRemovesNothing();
    void removalLeavesTheHomeAsBefore();
    void removalDeletesTheProgramBesideItsFiles_data();
    void removalDeletesTheProgramBesideItsFiles();
};

void TestInstall::installerShowsItsTextsAndSwitchesLanguage() {
    Home home;
    ScriptedPrompter prompter;
    SettingsFile settings(home.ini());
    strings::setLanguage(strings::kGerman);
    InstallerDialog installer(settings);
    applyLanguage();
    installer.show();
    const auto text = [&](const char* name) {
        QWidget* widget = installer.findChild<QWidget*>(QLatin1String(name));
        if (auto* label = qobject_cast<QLabel*>(widget))
            return label->text();
        if (auto* box = qobject_cast<QGroupBox*>(widget))
            return box->title();
        return qobject_cast<QAbstractButton*>(widget)->text();
    };
    QCOMPARE(installer.windowTitle(), QStringLiteral("Installation"));
    QCOMPARE(text("welcome"), QStringLiteral("Willkommen zur Einrichtung von Ombrel 2.7 !"));
    QCOMPARE(text("programsMenu"), QStringLiteral("Eintrag im Startmenü <PROGS>"));
    QCOMPARE(text("cancelButton"), QStringLiteral("Abbruch"));
    QCOMPARE(text("languageBox"), QStringLiteral("Sprache"));
    QCOMPARE(text("languageGerman"), QStringLiteral("deutsch")); // not items of the frame
    QCOMPARE(text("languageEnglish"), QStringLiteral("english"));
    QVERIFY(installer.findChild<QRadioButton*>("languageGerman")->isChecked());
    for (const char* name : {"fileAssociation", "desktopShortcut", "programsMenu"})
        QVERIFY(installer.findChild<QCheckBox*>(name)->isChecked());
    for (const char* name : {"startMenuRoot", "quickLaunch"}) {
        QVERIFY(!installer.findChild<QCheckBox*>(name)->isChecked());
        QVERIFY(!installer.findChild<QCheckBox*>(name)->isEnabled());
    }

    installer.findChild<QRadioButton*>("languageEnglish")->click();
    QCOMPARE(strings::language(), strings::kEnglish);
    QCOMPARE(text("welcome"), QStringLiteral("Welcome to the installation of Ombrel 2.7 !"));
    QCOMPARE(text("cancelAborts"), QStringLiteral("or <Cancel> to abort installation."));
    QCOMPARE(text("optionsBox"), QStringLiteral("Options"));
    QCOMPARE(text("fileAssociation"), QStringLiteral("Link to HP-files"));
    QCOMPARE(text("helpButton"), QStringLiteral("Help"));
    QCOMPARE(text("languageGerman"), QStringLiteral("deutsch"));
    QVERIFY(!QFileInfo::exists(home.ini())); // the choice waits for the installation

    installer.showInstallHelp(); // help in the language chosen here, not the file's
    QVERIFY(HelpWindow::instance() && HelpWindow::instance()->isVisible());
    QCOMPARE(HelpWindow::instance()->browser()->source().fragment(), QStringLiteral("en-inst"));
    QCOMPARE(text("pressOk"), QStringLiteral("Press <OK> to continue"));
    QVERIFY(prompter.shown.isEmpty());
}

void TestInstall::cancelWritesNothingAndAsksAgain() {
    Home home;
    const QStringList before = home.files();
    for (int attempt = 0; attempt < 2; ++attempt) {
        Start start;
        start.answer = answerCancel;
        QVERIFY(!start.run());
        QVERIFY(start.installerShown);
        QVERIFY(!QFileInfo::exists(home.ini()));
    }
    QCOMPARE(home.files(), before);
}

void TestInstall::installWithEveryOption() {
    Home home;
    const QStringList before = home.files();
    Start start;
    start.answer = [](InstallerDialog& installer) {
        installer.findChild<QRadioButton*>("languageEnglish")->click();
        installer.install();
    };
    QVERIFY(start.run());
    QVERIFY(start.installerShown);
    QCOMPARE(start.prompter.shownIds(), QList<quint16>());
    QCOMPARE(added(home.files(), before), kEveryOptionFiles);

    using namespace settings::key;
    QCOMPARE(start.read(kAppName), QStringLiteral("Ombrel"));
    QCOMPARE(start.read(kAppVersion), QStringLiteral("2.7"));
    QCOMPARE(start.read(kLanguage), QStringLiteral("1"));
    QCOMPARE(start.read(kSound), QStringLiteral("1")); // the defaults are there
    QCOMPARE(start.read(kInstalledFont), QStringLiteral("1"));
    QCOMPARE(start.read(kInstalledProgramsMenu), QStringLiteral("1"));
    QCOMPARE(start.read(kInstalledDesktop), QStringLiteral("1"));
    QCOMPARE(start.read(kInstalledClass), QStringLiteral("1"));
    QCOMPARE(start.read(kInstalledStartMenu), QStringLiteral("<missing>"));
    QCOMPARE(start.read(kInstalledQuickLaunch), QStringLiteral("<missing>"));

    QCOMPARE(query({"query", "default", desktop::kMimeType}), desktop::kHandlerName);
    const QString database = home.sandbox.path(QStringLiteral("db/topics"));
    writeBytes(database, "%%HP: T(1)A(R)F(,);\r\n{ {\"x\"}}");
    QCOMPARE(query({"query", "filetype", database}), desktop::kMimeType);
    const QString handler = QString::fromUtf8(readBytes(desktop::handlerFile()));
    QVERIFY2(handler.contains(QStringLiteral("\nExec=") + desktop::execArgument(paths::exeFile()) +
                              QStringLiteral(" %f\n")),
             qPrintable(handler));
    const QString removal =
        QString::fromUtf8(readBytes(home.path("data/applications/ombrel-2.7-removal.desktop")));
    QVERIFY2(removal.contains(QStringLiteral("\nExec=") + desktop::execArgument(paths::exeFile()) +
                              QStringLiteral(" \"/\\\\$UnInstalCompleteApp\\\\$\"\n")),
             qPrintable(removal));
}

void TestInstall::installWithOnlyTheAssociation() {
    Home home;
    const QStringList before = home.files();
    Start start;
    start.answer = [](InstallerDialog& installer) {
        untick(installer, "desktopShortcut");
        untick(installer, "programsMenu");
        installer.install();
    };
    QVERIFY(start.run());
    QCOMPARE(added(home.files(), before),
             QStringList({"config/Ombrel.ini", "config/mimeapps.list",
                          "data/applications/ombrel-2.7-removal.desktop",
                          "data/applications/ombrel-hpfile.desktop", "data/fonts/HP48.TTF",
                          "data/mime/packages/ombrel-hpfile.xml"}));
    using namespace settings::key;
    QCOMPARE(start.read(kInstalledFont), QStringLiteral("1"));
    QCOMPARE(start.read(kInstalledClass), QStringLiteral("1"));
    for (settings::Key key :
         {kInstalledProgramsMenu, kInstalledDesktop, kInstalledStartMenu, kInstalledQuickLaunch})
        QCOMPARE(start.read(key), QStringLiteral("<missing>"));
    QCOMPARE(start.read(kLanguage), QStringLiteral("0"));
}

void TestInstall::missingFontEndsWithoutSettings() {
    Home home;
    QFile::remove(home.progDir + QStringLiteral("HP48.TTF"));
    const QStringList before = home.files();
    {
        Start start;
        QVERIFY(!start.run());
        QCOMPARE(start.prompter.shownIds(), QList<quint16>({1175}));
        QCOMPARE(start.prompter.shown[0].icon, MsgIcon::Error);
    }
    QCOMPARE(home.files(), before); // nothing was made
    Start again;
    again.answer = answerCancel;
    QVERIFY(!again.run());
    QVERIFY(again.installerShown);
}

// A font of family HP48 that the user installed: the installation uses it and never records
// it, so the removal leaves it.
void TestInstall::knownFontIsLeftAlone() {
    Home home;
    const QString users = home.path("home/.fonts/HP48.TTF");
    QDir().mkpath(QFileInfo(users).absolutePath());
    QVERIFY(QFile::copy(home.progDir + QStringLiteral("HP48.TTF"), users));
    QProcess::execute(QStringLiteral("fc-cache"), {QFileInfo(users).absolutePath()});
    {
        Start start;
        QVERIFY(start.run());
        QCOMPARE(start.prompter.shownIds(), QList<quint16>({1180}));
        QCOMPARE(start.prompter.shown[0].icon, MsgIcon::Information);
        QCOMPARE(start.read(settings::key::kInstalledFont), QStringLiteral("<missing>"));
        QVERIFY(!QFileInfo::exists(desktop::fontFile()));
    }
    Start removal;
    removal.prompter.answers = {MsgButton::Yes};
    QVERIFY(!removal.run({kSwitch}));
    QVERIFY(QFileInfo::exists(users));
}

void TestInstall::uncopyableFontEndsWithoutSettings() {
    Home home;
    writeBytes(home.path("data/fonts"), "a file where the font folder should be");
    Start start;
    QVERIFY(!start.run());
    QCOMPARE(start.prompter.shownIds(), QList<quint16>({1170}));
    QCOMPARE(start.prompter.shown[0].icon, MsgIcon::Information);
    QVERIFY(!QFileInfo::exists(home.ini()));
}

void TestInstall::shortcutWithoutDesktopIsRecordedFalse() {
    Home home;
    QDir(home.path("home/Desktop")).removeRecursively();
    Start start;
    QVERIFY(start.run());
    QCOMPARE(start.read(settings::key::kInstalledDesktop), QStringLiteral("0"));
    QCOMPARE(start.read(settings::key::kInstalledProgramsMenu), QStringLiteral("1"));
    QVERIFY(!QFileInfo::exists(home.path("home/Desktop")));
}

void TestInstall::secondStartGoesToTheSplash() {
    Home home;
    {
        Start first;
        QVERIFY(first.run());
    }
    Start second;
    second.answer = answerCancel;
    QVERIFY(second.run({}));
    QVERIFY(!second.installerShown);
    QVERIFY(second.prompter.shown.isEmpty());
    QVERIFY(second.splash->isVisible());
}

// Nothing else makes the settings folder when the association is left out: the program makes
// it, so that the settings stay, the next start finds the installation and removal its record.
void TestInstall::newHomeWithoutSettingsFolder() {
    Home home;
    const QStringList before = home.tree();
    {
        Start install;
        install.answer = [](InstallerDialog& installer) {
            untick(installer, "fileAssociation");
            installer.install();
        };
        QVERIFY(install.run());
        const auto main = install.makeMainWindow();
        main->show();
        install.splash->timeUp();
        QVERIFY(main->close()); // quit
        QCOMPARE(install.prompter.shownIds(), QList<quint16>());
    }
    QCOMPARE(QFile::permissions(home.sandbox.configDir()) & 0x0777, QFile::Permissions(0x0700));
    {
        Start second;
        second.answer = answerCancel;
        QVERIFY(second.run());
        QVERIFY(!second.installerShown);
        QCOMPARE(second.prompter.shownIds(), QList<quint16>());
    }
    Start removal;
    removal.prompter.answers = {MsgButton::Yes};
    QVERIFY(!removal.run({kSwitch}));
    QCOMPARE(removal.prompter.shownIds(), QList<quint16>({1155}));
    const auto outsideProgram = [](QStringList tree) {
        tree.removeIf([](const QString& line) { return line.startsWith(u"prog"); });
        return tree;
    };
    QCOMPARE(outsideProgram(home.tree()), outsideProgram(before));
}

// A settings file that cannot be written is reported once by the installation and once by
// each exit, however many windows keep their settings.
void TestInstall::unwritableSettingsAreReportedOnce() {
    Home home;
    writeBytes(home.sandbox.configDir(), "a file where the settings folder should be");
    Start start;
    start.answer = [](InstallerDialog& installer) {
        untick(installer, "fileAssociation"); // the association lists itself in that folder too
        installer.install();
    };
    QVERIFY(start.run());
    QCOMPARE(start.prompter.shownIds(), QList<quint16>({1200}));
    {
        const auto main = start.makeMainWindow();
        main->createLongLivedWindows();
        main->show();
        start.splash->timeUp();
        QVERIFY(main->close()); // quit; the windows go as the program ends
    }
    QCOMPARE(start.prompter.shownIds(), QList<quint16>({1200, 1200}));
}

void TestInstall::otherInstalledVersionStopsTheStart() {
    Home home;
    struct Case {
        QByteArray application;
        QList<quint16> shown;
    };
    const QList<Case> cases = {
        {"Name=Ombrel\nVersion=2.10\n", {1150}}, // compared as text: older
        {"Name=Ombrel\nVersion=2.8\n", {1145}},
        {"Name=Ombrel\n", {}}, // no version: the program's own
        {"Name=Ombrel\nVersion=2.7\n", {}},
    };
    for (const Case& c : cases) {
        home.writeIni("[Application]\n" + c.application);
        Start start;
        QCOMPARE(start.run(), c.shown.isEmpty());
        QCOMPARE(start.prompter.shownIds(), c.shown);
        QVERIFY(!start.installerShown);
        if (c.shown.isEmpty())
            continue;
        const MessageRequest& box = start.prompter.shown[0];
        QCOMPARE(box.icon, MsgIcon::Information);
        QCOMPARE(box.buttons, QList<MsgButton>({MsgButton::Cancel}));
        if (c.shown[0] == 1150)
            QCOMPARE(box.text, QStringLiteral("Ombrel Version 2.10 wurde gefunden.\nBitte alle "
                                              "anderen Versionen vor der Einrichtung\nvon Ombrel "
                                              "2.7 deinstallieren !"));
    }
}

void TestInstall::missingCompanionFileStopsTheStart() {
    Home home;
    home.writeIni("[Application]\nName=Ombrel\nLanguage=1\n");
    QFile::remove(home.progDir + QStringLiteral("kermit"));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(home.sandbox.path(QStringLiteral("emptybin"))));
    {
        Start start;
        start.prompter.answers = {MsgButton::Help, MsgButton::Cancel};
        const bool ran = start.run();
        qputenv("PATH", path);
        QVERIFY(!ran);
        QCOMPARE(start.prompter.shownIds(), QList<quint16>({1140, 1140}));
        const MessageRequest& box = start.prompter.shown[0];
        QCOMPARE(box.icon, MsgIcon::Error);
        QCOMPARE(box.buttons, QList<MsgButton>({MsgButton::Cancel, MsgButton::Help}));
        QVERIFY(box.text.startsWith(QStringLiteral("Unfortunately, some files are missing.")));
        QCOMPARE(start.helpShown, QStringList({"en-ctx555"}));
    }
    writeBytes(home.progDir + QStringLiteral("kermit"), "#!/bin/sh\n");
    QFile::setPermissions(home.progDir + QStringLiteral("kermit"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::remove(home.progDir + QStringLiteral("omhelp.html"));
    Start start;
    QVERIFY(!start.run());
    QCOMPARE(start.prompter.shownIds(), QList<quint16>({1140}));
}

void TestInstall::leftoversGoAtEveryStart() {
    Home home;
    home.writeIni("[Application]\nName=Ombrel\n");
    const QString work = home.sandbox.runtimeDir() + QStringLiteral("/ombrel/");
    QDir().mkpath(work);
    QFile::setPermissions(work, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writeBytes(work + QStringLiteral("~recv.tmp"), "x");
    writeBytes(work + QStringLiteral("~send.tmp"), "x");
    {
        Start start;
        QVERIFY(start.run());
    }
    QVERIFY(!QFileInfo::exists(work + QStringLiteral("~recv.tmp")));
    QVERIFY(!QFileInfo::exists(work + QStringLiteral("~send.tmp")));

    QDir().mkpath(work + QStringLiteral("~task.tmp/inside")); // cannot be deleted as a file
    Start start;
    QVERIFY(!start.run());
    QCOMPARE(start.prompter.shownIds(), QList<quint16>({1195}));
}

// Only the exact switch as the first parameter removes; anything else is a file to open.
void TestInstall::removalSwitchIsExact() {
    Home home;
    home.writeIni("[Application]\nName=Ombrel\n");
    for (const QStringList& parameters :
         {QStringList{"/$uninstalcompleteapp$"}, QStringList{"a.hp", kSwitch}}) {
        Start start;
        QVERIFY(start.run(parameters));
        QVERIFY(start.prompter.shown.isEmpty());
        const auto main = start.makeMainWindow();
        start.splash->timeUp(); // the splash goes: the first parameter opens
        QTRY_COMPARE(start.prompter.shownIds(), QList<quint16>({1115})); // no such file
    }
    QVERIFY(QFileInfo::exists(home.ini()));
}

void TestInstall::removalDeclinedRemovesNothing() {
    Home home;
    {
        Start install;
        QVERIFY(install.run());
    }
    const QStringList installed = home.tree();
    Start removal;
    removal.prompter.answers = {MsgButton::No};
    QVERIFY(!removal.run({kSwitch}));
    QCOMPARE(removal.prompter.shownIds(), QList<quint16>({1155}));
    QCOMPARE(removal.prompter.shown[0].buttons, QList<MsgButton>({MsgButton::Yes, MsgButton::No}));
    QCOMPARE(removal.prompter.shown[0].text,
             QStringLiteral("Hiermit wird Ombrel 2.7 vollständig von Ihrem PC entfernt.\n"
                            "Deinstallation fortsetzen ?"));
    QCOMPARE(home.tree(), installed);
}

// What the user made stays: a database, the Tarvo library, an entry of another program and the
// defaults it set, the Kermit on the search path.
void TestInstall::removalLeavesTheHomeAsBefore() {
    Home home;
    const QString bin = home.sandbox.path(QStringLiteral("bin/kermit"));
    writeBytes(bin, "#!/bin/sh\n");
    QFile::remove(home.progDir + QStringLiteral("kermit"));
    QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(QFileInfo(bin).absolutePath()) + ':' + path);
    writeBytes(home.path("config/mimeapps.list"),
               "[Default Applications]\ntext/x-other=other.desktop\n");
    writeBytes(home.path("home/Desktop/notes.txt"), "mine");
    const QStringList before = home.tree();
    {
        Start install;
        QVERIFY(install.run());
    }
    writeBytes(home.progDir + QStringLiteral("tarvo.lib"), "library");
    const QString made = home.path("data/applications/other.desktop");
    writeBytes(made, "[Desktop Entry]\n");

    Start removal;
    removal.prompter.answers = {MsgButton::Yes};
    const bool ran = removal.run({kSwitch});
    qputenv("PATH", path);
    QVERIFY(!ran);
    QCOMPARE(removal.prompter.shownIds(), QList<quint16>({1155}));
    QStringList after = home.tree();
    QVERIFY(after.removeAll(QStringLiteral("prog/tarvo.lib ") +
                            QString::fromLatin1(QByteArray("library").toHex())));
    QVERIFY(after.removeAll(QStringLiteral("data/applications/other.desktop ") +
                            QString::fromLatin1(QByteArray("[Desktop Entry]\n").toHex().left(48))));
    QVERIFY(after.removeAll(QStringLiteral("data/applications")));
    // The mime lists were rewritten by the desktop tools; what they say is the same.
    const QString list = QString::fromUtf8(readBytes(home.path("config/mimeapps.list")));
    QVERIFY2(list.contains(QStringLiteral("text/x-other=other.desktop")), qPrintable(list));
    QVERIFY2(!list.contains(QStringLiteral("ombrel")), qPrintable(list));
    // The program went with its companion files; the lists were compared above.
    const auto untouched = [](QStringList tree) {
        tree.removeIf([](const QString& line) {
            return line.startsWith(u"config/mimeapps.list") || line.startsWith(u"prog/");
        });
        return tree;
    };
    QCOMPARE(untouched(after), untouched(before));
    QCOMPARE(QDir(home.progDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"tarvo.lib"}));
    QVERIFY(QFileInfo::exists(bin));
    QVERIFY(!QFileInfo::exists(home.sandbox.runtimeDir() + QStringLiteral("/ombrel")));
}

void TestInstall::removalDeletesTheProgramBesideItsFiles_data() {
    QTest::addColumn<bool>("packaged");
    QTest::newRow("unpacked copy") << false;
    QTest::newRow("installed by a package") << true;
}

// The files a package installed stay, even where the user could delete them.
void TestInstall::removalDeletesTheProgramBesideItsFiles() {
    QFETCH(bool, packaged);
    Home home;
    if (packaged)
        writeBytes(home.progDir + QStringLiteral("installed-by-package"), "");
    const auto entries = [&home] {
        QStringList names = QDir(home.progDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        names.sort();
        return names;
    };
    QStringList programFiles = entries() << QStringLiteral("ombrel");
    programFiles.sort();
    {
        Start install;
        QVERIFY(install.run());
    }
    const SettingsFile record(home.ini());
    const QString programFile = home.progDir + QStringLiteral("ombrel");
    writeBytes(programFile, "program");
    install::removeInstallation(record, programFile, QStringLiteral("2.7"));
    QCOMPARE(entries(), packaged ? programFiles : QStringList());
    QVERIFY(!QFileInfo::exists(home.ini()));
}

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
