// The first start: the installer, what it makes and what it records, in a sandboxed home with a
// copy of the program directory.
#include "StartFrame.h"
#include "gui/Hp48Font.h"
#include "gui/Localizer.h"
#include "gui/dialogs/HelpWindow.h"
#include "install/DesktopIntegration.h"
#include "platform/Paths.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"
#include "platform/Version.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>

namespace {

// The user's entries are named with the program's version.
const QString kVersion = QLatin1String(version::kText);
const QString kRemovalEntry =
    QStringLiteral("data/applications/ombrel-%1-removal.desktop").arg(kVersion);

// The files an installation with every option makes, besides the mime database's own.
const QStringList kEveryOptionFiles = {
    "config/Ombrel.ini",
    "config/mimeapps.list",
    kRemovalEntry,
    QStringLiteral("data/applications/ombrel-%1.desktop").arg(kVersion),
    "data/applications/ombrel-hpfile.desktop",
    "data/fonts/HP48.TTF",
    "data/mime/packages/ombrel-hpfile.xml",
    QStringLiteral("home/Desktop/ombrel-%1.desktop").arg(kVersion),
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
};

void TestInstall::installerShowsItsTextsAndSwitchesLanguage() {
    Home home;
    strings::setLanguage(strings::kGerman);
    InstallerDialog installer(home.settings);
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
    QCOMPARE(text("welcome"),
             QStringLiteral("Willkommen zur Einrichtung von Ombrel %1 !").arg(kVersion));
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
    QCOMPARE(text("welcome"),
             QStringLiteral("Welcome to the installation of Ombrel %1 !").arg(kVersion));
    QCOMPARE(text("cancelAborts"), QStringLiteral("or <Cancel> to abort installation."));
    QCOMPARE(text("optionsBox"), QStringLiteral("Options"));
    QCOMPARE(text("fileAssociation"), QStringLiteral("Link to HP-files"));
    QCOMPARE(text("helpButton"), QStringLiteral("Help"));
    QCOMPARE(text("languageGerman"), QStringLiteral("deutsch"));
    QVERIFY(!QFileInfo::exists(home.ini())); // the choice waits for the installation

    installer.showInstallHelp(); // help in the language chosen here, not the file's
    QVERIFY(HelpWindow::instance() && HelpWindow::instance()->isVisible());
    QCOMPARE(HelpWindow::instance()->findChild<QTextBrowser*>()->source().fragment(),
             QStringLiteral("en-inst"));
    QCOMPARE(text("pressOk"), QStringLiteral("Press <OK> to continue"));
    QVERIFY(home.prompter.shown.isEmpty());
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
    QCOMPARE(start.read(kAppVersion), kVersion);
    QCOMPARE(start.read(kLanguage), QStringLiteral("1"));
    QCOMPARE(start.read(kSound), QStringLiteral("1")); // the defaults are there
    QCOMPARE(start.read(kInstalledFont), QStringLiteral("1"));
    QVERIFY(QFontDatabase::families().contains(hp48font::kFamily)); // the windows can use it
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
        QString::fromUtf8(readBytes(home.sandbox.root() + u'/' + kRemovalEntry));
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
             QStringList({"config/Ombrel.ini", "config/mimeapps.list", kRemovalEntry,
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
    QFile::remove(home.programDir + QStringLiteral("HP48.TTF"));
    const QStringList before = home.files();
    {
        Start start;
        QVERIFY(!start.run());
        QCOMPARE(start.prompter.shownIds(), QList<quint16>({textid::kFontMissing}));
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
    QVERIFY(QFile::copy(home.programDir + QStringLiteral("HP48.TTF"), users));
    QProcess::execute(QStringLiteral("fc-cache"), {QFileInfo(users).absolutePath()});
    {
        Start start;
        QVERIFY(start.run());
        QCOMPARE(start.prompter.shownIds(), QList<quint16>({textid::kFontRegistered}));
        QCOMPARE(start.prompter.shown[0].icon, MsgIcon::Information);
        QCOMPARE(start.read(settings::key::kInstalledFont), QStringLiteral("<missing>"));
        QVERIFY(!QFileInfo::exists(desktop::fontFile()));
    }
    Start removal;
    removal.prompter.answers = {MsgButton::Yes};
    QVERIFY(!removal.run({kRemovalSwitch}));
    QVERIFY(QFileInfo::exists(users));
}

void TestInstall::uncopyableFontEndsWithoutSettings() {
    Home home;
    writeBytes(home.path("data/fonts"), "a file where the font folder should be");
    Start start;
    QVERIFY(!start.run());
    QCOMPARE(start.prompter.shownIds(), QList<quint16>({textid::kFileNotCopied}));
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
    QVERIFY(!removal.run({kRemovalSwitch}));
    QCOMPARE(removal.prompter.shownIds(), QList<quint16>({textid::kConfirmRemoval}));
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
    QCOMPARE(start.prompter.shownIds(), QList<quint16>({textid::kCannotWriteFile}));
    {
        const auto main = start.makeMainWindow();
        main->show();
        start.splash->timeUp();
        QVERIFY(main->close()); // quit; the windows go as the program ends
    }
    QCOMPARE(start.prompter.shownIds(),
             QList<quint16>({textid::kCannotWriteFile, textid::kCannotWriteFile}));
}

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
