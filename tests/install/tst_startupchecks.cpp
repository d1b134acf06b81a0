// The checks of every later start and the removal, each start made as main() makes it, in a
// sandboxed home with a copy of the program directory.
#include "EnvironmentOverride.h"
#include "StartFrame.h"
#include "install/Removal.h"
#include "platform/TextIds.h"
#include "platform/Version.h"

#include <QDir>
#include <QTest>

class TestStartupChecks : public QObject {
    Q_OBJECT

  private slots:
    void otherInstalledVersionStopsTheStart();
    void missingCompanionFileStopsTheStart();
    void leftoversGoAtEveryStart();
    void removalSwitchIsExact();
    void removalDeclinedRemovesNothing();
    void removalLeavesTheHomeAsBefore();
    void removalDeletesTheProgramBesideItsFiles_data();
    void removalDeletesTheProgramBesideItsFiles();
};

void TestStartupChecks::otherInstalledVersionStopsTheStart() {
    Home home;
    struct Case {
        QByteArray application;
        QList<quint16> shown;
    };
    const QList<Case> cases = {
        {"Name=Ombrel\nVersion=2.10\n", {textid::kOtherInstalled}}, // compared as text: older
        {"Name=Ombrel\nVersion=2.8\n", {textid::kNewerInstalled}},
        {"Name=Ombrel\n", {}}, // no version: the program's own
        {"Name=Ombrel\nVersion=" + QByteArray(version::kText) + "\n", {}},
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
        if (c.shown[0] == textid::kOtherInstalled)
            QCOMPARE(box.text,
                     QStringLiteral("Ombrel Version 2.10 wurde gefunden.\nBitte alle "
                                    "anderen Versionen vor der Einrichtung\nvon Ombrel ") +
                         QLatin1String(version::kText) + QStringLiteral(" deinstallieren !"));
    }
}

void TestStartupChecks::missingCompanionFileStopsTheStart() {
    Home home;
    home.writeIni("[Application]\nName=Ombrel\nLanguage=1\n");
    QFile::remove(home.programDir + QStringLiteral("kermit"));
    {
        const EnvironmentOverride path(
            "PATH", QFile::encodeName(home.sandbox.path(QStringLiteral("emptybin"))));
        Start start;
        start.prompter.answers = {MsgButton::Help, MsgButton::Cancel};
        QVERIFY(!start.run());
        QCOMPARE(start.prompter.shownIds(),
                 QList<quint16>({textid::kFilesMissing, textid::kFilesMissing}));
        const MessageRequest& box = start.prompter.shown[0];
        QCOMPARE(box.icon, MsgIcon::Error);
        QCOMPARE(box.buttons, QList<MsgButton>({MsgButton::Cancel, MsgButton::Help}));
        QVERIFY(box.text.startsWith(QStringLiteral("Unfortunately, some files are missing.")));
        QCOMPARE(start.helpShown, QStringList({"en-ctx555"}));
    }
    writeBytes(home.programDir + QStringLiteral("kermit"), "#!/bin/sh\n");
    QFile::setPermissions(home.programDir + QStringLiteral("kermit"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::remove(home.programDir + QStringLiteral("omhelp.html"));
    Start start;
    QVERIFY(!start.run());
    QCOMPARE(start.prompter.shownIds(), QList<quint16>({textid::kFilesMissing}));
}

void TestStartupChecks::leftoversGoAtEveryStart() {
    Home home;
    home.writeIni("[Application]\nName=Ombrel\n");
    const QString work = home.sandbox.runtimeDir() + QStringLiteral("/ombrel/");
    QDir().mkpath(work);
    QFile::setPermissions(work, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writeBytes(work + QStringLiteral("~recv.tmp"), "x");
    writeBytes(work + QStringLiteral("~send.tmp"), "x");
    // Kermit's backups of several received files, and a receive that never ended.
    writeBytes(work + QStringLiteral("~recv.tmp.~1~"), "x");
    writeBytes(work + QStringLiteral("~recv.tmp.d/DATA"), "x");
    {
        Start start;
        QVERIFY(start.run());
    }
    QCOMPARE(QDir(work).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());

    QDir().mkpath(work + QStringLiteral("~task.tmp/inside")); // cannot be deleted as a file
    Start start;
    QVERIFY(!start.run());
    QCOMPARE(start.prompter.shownIds(), QList<quint16>({textid::kLeftoverStays}));
}

// Only the exact switch as the first parameter removes; anything else is a file to open.
void TestStartupChecks::removalSwitchIsExact() {
    Home home;
    home.writeIni("[Application]\nName=Ombrel\n");
    for (const QStringList& parameters :
         {QStringList{"/$uninstalcompleteapp$"}, QStringList{"a.hp", kRemovalSwitch}}) {
        Start start;
        QVERIFY(start.run(parameters));
        QVERIFY(start.prompter.shown.isEmpty());
        const auto main = start.makeMainWindow();
        start.splash->timeUp(); // the splash goes: the first parameter opens
        QTRY_COMPARE(start.prompter.shownIds(),
                     QList<quint16>({textid::kCannotOpen})); // no such file
    }
    QVERIFY(QFileInfo::exists(home.ini()));
}

void TestStartupChecks::removalDeclinedRemovesNothing() {
    Home home;
    {
        Start install;
        QVERIFY(install.run());
    }
    const QStringList installed = home.tree();
    Start removal;
    removal.prompter.answers = {MsgButton::No};
    QVERIFY(!removal.run({kRemovalSwitch}));
    QCOMPARE(removal.prompter.shownIds(), QList<quint16>({textid::kConfirmRemoval}));
    QCOMPARE(removal.prompter.shown[0].buttons, QList<MsgButton>({MsgButton::Yes, MsgButton::No}));
    QCOMPARE(
        removal.prompter.shown[0].text,
        QStringLiteral("Hiermit wird Ombrel ") + QLatin1String(version::kText) +
            QStringLiteral(" vollständig von Ihrem PC entfernt.\nDeinstallation fortsetzen ?"));
    QCOMPARE(home.tree(), installed);
}

// What the user made stays: a database, the Tarvo library, an entry of another program and the
// defaults it set, the Kermit on the search path.
void TestStartupChecks::removalLeavesTheHomeAsBefore() {
    Home home;
    const QString bin = home.sandbox.path(QStringLiteral("bin/kermit"));
    writeBytes(bin, "#!/bin/sh\n");
    QFile::remove(home.programDir + QStringLiteral("kermit"));
    QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const EnvironmentOverride path("PATH", QFile::encodeName(QFileInfo(bin).absolutePath()) + ':' +
                                               qgetenv("PATH"));
    writeBytes(home.path("config/mimeapps.list"),
               "[Default Applications]\ntext/x-other=other.desktop\n");
    writeBytes(home.path("home/Desktop/notes.txt"), "mine");
    const QStringList before = home.tree();
    {
        Start install;
        QVERIFY(install.run());
    }
    writeBytes(home.programDir + QStringLiteral("tarvo.lib"), "library");
    const QString made = home.path("data/applications/other.desktop");
    writeBytes(made, "[Desktop Entry]\n");

    Start removal;
    removal.prompter.answers = {MsgButton::Yes};
    QVERIFY(!removal.run({kRemovalSwitch}));
    QCOMPARE(removal.prompter.shownIds(), QList<quint16>({textid::kConfirmRemoval}));
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
    QCOMPARE(QDir(home.programDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"tarvo.lib"}));
    QVERIFY(QFileInfo::exists(bin));
    QVERIFY(!QFileInfo::exists(home.sandbox.runtimeDir() + QStringLiteral("/ombrel")));
}

void TestStartupChecks::removalDeletesTheProgramBesideItsFiles_data() {
    QTest::addColumn<bool>("packaged");
    QTest::newRow("unpacked copy") << false;
    QTest::newRow("installed by a package") << true;
}

// The files a package installed stay, even where the user could delete them.
void TestStartupChecks::removalDeletesTheProgramBesideItsFiles() {
    QFETCH(bool, packaged);
    Home home;
    if (packaged)
        writeBytes(home.programDir + QStringLiteral("installed-by-package"), "");
    const auto entries = [&home] {
        QStringList names =
            QDir(home.programDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
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
    const QString programFile = home.programDir + QStringLiteral("ombrel");
    writeBytes(programFile, "program");
    install::removeInstallation(record, programFile, settings::versionText());
    QCOMPARE(entries(), packaged ? programFiles : QStringList());
    QVERIFY(!QFileInfo::exists(home.ini()));
}

QTEST_MAIN(TestStartupChecks)
#include "tst_startupchecks.moc"
