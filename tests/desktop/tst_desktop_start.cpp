// Starting and ending the real program the way a user does, from homes that hold only what a
// new user's home holds.
#include "DesktopSession.h"
#include "Sandbox.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

const QString kErrorBox = QStringLiteral("^Fehler$");
constexpr QSize kSplashSize{292, 180};

QStringList Quit() {
    return {QStringLiteral("alt+f"), QStringLiteral("q")};
}

QStringList QuitGerman() {
    return {QStringLiteral("alt+d"), QStringLiteral("b")};
}

QByteArray Settings(const DesktopSession& session) {
    QFile file(session.SettingsFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The recent files the program wrote when it ended: the files it had open.
bool Remembers(const DesktopSession& session, const QString& file) {
    return Settings(session).contains("=" + QFile::encodeName(file) + "\n");
}

QString WriteDatabase(const DesktopSession& session, const QString& name) {
    const QString file = session.Path(name);
    WriteBytes(file, Database({{"first topic"}}));
    return file;
}

} // namespace

class DesktopStart : public QObject {
    Q_OBJECT

  private slots:
    void firstStartWithoutConfigFolder();
    void handOverDuringTheInstallerOpensAfterIt();
    void startWithoutRuntimeFolder();
    void linkedWorkFolderIsRefused();
    void splashClosedBeforeItsTime();
    void failedHandOversLeaveTheProgramWorking();
};

// A new user's home has no ~/.config: the installer writes the settings there, quitting shows
// no error, and the next start goes straight to the program.
void DesktopStart::firstStartWithoutConfigFolder() {
    DesktopSession session({.runtimeDir = true, .installed = false});
    QVERIFY(session.Start());
    const QString installer = session.WaitForWindow(QStringLiteral("^Installation$"));
    QVERIFY(!installer.isEmpty());
    session.Keys(installer, {QStringLiteral("Return")});
    const QString main = session.WaitForMainWindow();
    QVERIFY(!main.isEmpty());
    QVERIFY(session.WaitForWindow(kErrorBox, 1000).isEmpty());
    session.Keys(main, QuitGerman());
    QVERIFY(session.WaitForWindow(kErrorBox, 1000).isEmpty());
    QCOMPARE(session.WaitForExit(), 0);
    QVERIFY(Settings(session).contains("Name=Ombrel"));

    QVERIFY(session.Start());
    QVERIFY(!session.WaitForMainWindow().isEmpty());
    QVERIFY(session.WaitForWindow(QStringLiteral("^Installation$"), 500).isEmpty());
}

// A file handed over while the installer still asks waits for the main window.
void DesktopStart::handOverDuringTheInstallerOpensAfterIt() {
    DesktopSession session({.runtimeDir = true, .installed = false});
    QVERIFY(session.Start());
    const QString installer = session.WaitForWindow(QStringLiteral("^Installation$"));
    QVERIFY(!installer.isEmpty());
    const QString file = WriteDatabase(session, QStringLiteral("early.hp"));
    QCOMPARE(session.RunToEnd({file}), 0);
    session.Keys(installer, {QStringLiteral("Return")});
    const QString main = session.WaitForMainWindow();
    QVERIFY(!main.isEmpty());
    session.Keys(main, QuitGerman());
    QCOMPARE(session.WaitForExit(), 0);
    QVERIFY(Remembers(session, file));
}

// Without $XDG_RUNTIME_DIR (su, ssh, containers) and without ~/.cache the program still starts,
// opens the file it is given and takes hand-overs, through a private folder of its own.
void DesktopStart::startWithoutRuntimeFolder() {
    DesktopSession session({.runtimeDir = false, .installed = true});
    const QString file = WriteDatabase(session, QStringLiteral("given.hp"));
    const QString later = WriteDatabase(session, QStringLiteral("later.hp"));
    QVERIFY(session.Start({file}));
    const QString main = session.WaitForMainWindow();
    QVERIFY2(!main.isEmpty(), session.ErrorOutput().constData());
    QVERIFY(session.Windows(QStringLiteral("^Information$")).isEmpty()); // not "already running"
    QCOMPARE(session.RunToEnd({later}), 0);
    QVERIFY(session.Answers(main));
    session.Keys(main, Quit());
    QCOMPARE(session.WaitForExit(), 0);
    QVERIFY(Remembers(session, file));
    QVERIFY(Remembers(session, later));
    QCOMPARE(QFile::permissions(session.Home() + QStringLiteral("/.cache/ombrel")) & 0x0077,
             QFile::Permissions());
}

// A work folder that leads elsewhere is refused with an error box; nothing goes there.
void DesktopStart::linkedWorkFolderIsRefused() {
    DesktopSession session({.runtimeDir = false, .installed = true});
    const QString elsewhere = session.Path(QStringLiteral("elsewhere/"));
    QDir().mkpath(session.Home() + QStringLiteral("/.cache"));
    QVERIFY(QFile::link(elsewhere, session.Home() + QStringLiteral("/.cache/ombrel")));
    QVERIFY(session.Start());
    const QString box = session.WaitForWindow(kErrorBox);
    QVERIFY(!box.isEmpty());
    QVERIFY(session.Windows(QStringLiteral("^Ombrel$")).isEmpty());
    session.Keys(box, {QStringLiteral("Escape")});
    QCOMPARE(session.WaitForExit(), 0);
    QVERIFY(QDir(elsewhere).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System));
}

// The splash closed by the window manager before its timer: the program goes on as if the time
// were up: the given file opens and the program can be quit.
void DesktopStart::splashClosedBeforeItsTime() {
    DesktopSession session;
    const QString file = WriteDatabase(session, QStringLiteral("given.hp"));
    QVERIFY(session.Start({file}));
    const QString splash = session.WaitForWindowOfSize(QStringLiteral("^Ombrel$"), kSplashSize);
    QVERIFY(!splash.isEmpty());
    session.Close(splash);
    const QString main = session.WaitForMainWindow();
    QVERIFY(!main.isEmpty());
    session.Keys(main, Quit());
    QCOMPARE(session.WaitForExit(), 0);
    QVERIFY(Remembers(session, file));
}

// Files handed over by a second start that cannot be opened (missing, not a database, the
// removal switch) are reported by the running program, which then goes on working.
void DesktopStart::failedHandOversLeaveTheProgramWorking() {
    DesktopSession session;
    const QString first = WriteDatabase(session, QStringLiteral("first.hp"));
    const QString later = WriteDatabase(session, QStringLiteral("later.hp"));
    const QString text = session.Path(QStringLiteral("notes.txt"));
    WriteBytes(text, "not a database\n");
    QVERIFY(session.Start({first}));
    const QString main = session.WaitForMainWindow();
    QVERIFY(!main.isEmpty());

    for (const QString& bad : {session.Path(QStringLiteral("missing.hp")), text,
                               QStringLiteral("/$UnInstalCompleteApp$")}) {
        QCOMPARE(session.RunToEnd({bad}), 0);
        const QString box = session.WaitForWindow(kErrorBox);
        QVERIFY2(!box.isEmpty(), qPrintable(bad));
        session.Keys(box, {QStringLiteral("Return")});
        QVERIFY2(session.Answers(main), session.ErrorOutput().constData());
    }
    QCOMPARE(session.RunToEnd({later}), 0);
    QTest::qWait(500);
    session.Keys(main, Quit());
    QCOMPARE(session.WaitForExit(), 0);
    QVERIFY(Remembers(session, later));
}

QTEST_GUILESS_MAIN(DesktopStart)
#include "tst_desktop_start.moc"
