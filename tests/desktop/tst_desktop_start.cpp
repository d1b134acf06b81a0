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

QStringList quit() {
    return {QStringLiteral("alt+f"), QStringLiteral("q")};
}

QStringList quitGerman() {
    return {QStringLiteral("alt+d"), QStringLiteral("b")};
}

QByteArray settings(const DesktopSession& session) {
    QFile file(session.settingsFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The recent files the program wrote when it ended: the files it had open.
bool remembers(const DesktopSession& session, const QString& file) {
    return settings(session).contains("=" + QFile::encodeName(file) + "\n");
}

QString writeDatabase(const DesktopSession& session, const QString& name) {
    const QString file = session.path(name);
    writeBytes(file, database({{"first topic"}}));
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
    void dialogsMadeAfterTheMainWindowSpeakItsLanguage();
};

// A new user's home has no ~/.config: the installer writes the settings there, quitting shows
// no error, and the next start goes straight to the program.
void DesktopStart::firstStartWithoutConfigFolder() {
    DesktopSession session({.runtimeDir = true, .installed = false});
    QVERIFY(session.start());
    const QString installer = session.waitForWindow(QStringLiteral("^Installation$"));
    QVERIFY(!installer.isEmpty());
    session.keys(installer, {QStringLiteral("Return")});
    const QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    QVERIFY(session.waitForWindow(kErrorBox, 1000).isEmpty());
    session.keys(main, quitGerman());
    QVERIFY(session.waitForWindow(kErrorBox, 1000).isEmpty());
    QCOMPARE(session.waitForExit(), 0);
    QVERIFY(settings(session).contains("Name=Ombrel"));

    QVERIFY(session.start());
    QVERIFY(!session.waitForMainWindow().isEmpty());
    QVERIFY(session.waitForWindow(QStringLiteral("^Installation$"), 500).isEmpty());
}

// A file handed over while the installer still asks waits for the main window.
void DesktopStart::handOverDuringTheInstallerOpensAfterIt() {
    DesktopSession session({.runtimeDir = true, .installed = false});
    QVERIFY(session.start());
    const QString installer = session.waitForWindow(QStringLiteral("^Installation$"));
    QVERIFY(!installer.isEmpty());
    const QString file = writeDatabase(session, QStringLiteral("early.hp"));
    QCOMPARE(session.runToEnd({file}), 0);
    session.keys(installer, {QStringLiteral("Return")});
    const QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    session.keys(main, quitGerman());
    QCOMPARE(session.waitForExit(), 0);
    QVERIFY(remembers(session, file));
}

// Without $XDG_RUNTIME_DIR (su, ssh, containers) and without ~/.cache the program still starts,
// opens the file it is given and takes hand-overs, through a private folder of its own.
void DesktopStart::startWithoutRuntimeFolder() {
    DesktopSession session({.runtimeDir = false, .installed = true});
    const QString file = writeDatabase(session, QStringLiteral("given.hp"));
    const QString later = writeDatabase(session, QStringLiteral("later.hp"));
    QVERIFY(session.start({file}));
    const QString main = session.waitForMainWindow();
    QVERIFY2(!main.isEmpty(), session.errorOutput().constData());
    QVERIFY(session.windows(QStringLiteral("^Information$")).isEmpty()); // not "already running"
    QCOMPARE(session.runToEnd({later}), 0);
    QVERIFY(session.answers(main));
    session.keys(main, quit());
    QCOMPARE(session.waitForExit(), 0);
    QVERIFY(remembers(session, file));
    QVERIFY(remembers(session, later));
    QCOMPARE(QFile::permissions(session.home() + QStringLiteral("/.cache/ombrel")) & 0x0077,
             QFile::Permissions());
}

// A work folder that leads elsewhere is refused with an error box; nothing goes there.
void DesktopStart::linkedWorkFolderIsRefused() {
    DesktopSession session({.runtimeDir = false, .installed = true});
    const QString elsewhere = session.path(QStringLiteral("elsewhere/"));
    QDir().mkpath(session.home() + QStringLiteral("/.cache"));
    QVERIFY(QFile::link(elsewhere, session.home() + QStringLiteral("/.cache/ombrel")));
    QVERIFY(session.start());
    const QString box = session.waitForWindow(kErrorBox);
    QVERIFY(!box.isEmpty());
    QVERIFY(session.windows(QStringLiteral("^Ombrel$")).isEmpty());
    session.keys(box, {QStringLiteral("Escape")});
    QCOMPARE(session.waitForExit(), 0);
    QVERIFY(QDir(elsewhere).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System));
}

// The splash closed by the window manager before its timer: the program goes on as if the time
// were up: the given file opens and the program can be quit.
void DesktopStart::splashClosedBeforeItsTime() {
    DesktopSession session;
    const QString file = writeDatabase(session, QStringLiteral("given.hp"));
    QVERIFY(session.start({file}));
    const QString splash = session.waitForWindowOfSize(QStringLiteral("^Ombrel$"), kSplashSize);
    QVERIFY(!splash.isEmpty());
    session.close(splash);
    const QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    session.keys(main, quit());
    QCOMPARE(session.waitForExit(), 0);
    QVERIFY(remembers(session, file));
}

// Files handed over by a second start that cannot be opened (missing, not a database, the
// removal switch) are reported by the running program, which then goes on working.
void DesktopStart::failedHandOversLeaveTheProgramWorking() {
    DesktopSession session;
    const QString first = writeDatabase(session, QStringLiteral("first.hp"));
    const QString later = writeDatabase(session, QStringLiteral("later.hp"));
    const QString text = session.path(QStringLiteral("notes.txt"));
    writeBytes(text, "not a database\n");
    QVERIFY(session.start({first}));
    const QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());

    for (const QString& bad : {session.path(QStringLiteral("missing.hp")), text,
                               QStringLiteral("/$UnInstalCompleteApp$")}) {
        QCOMPARE(session.runToEnd({bad}), 0);
        const QString box = session.waitForWindow(kErrorBox);
        QVERIFY2(!box.isEmpty(), qPrintable(bad));
        session.keys(box, {QStringLiteral("Return")});
        QVERIFY2(session.answers(main), session.errorOutput().constData());
    }
    QCOMPARE(session.runToEnd({later}), 0);
    QTest::qWait(500);
    session.keys(main, quit());
    QCOMPARE(session.waitForExit(), 0);
    QVERIFY(remembers(session, later));
}

// The long-lived dialogs are made once the main window has painted itself, and still get the
// program's texts: the transfer dialog's caption comes from its tag alone.
void DesktopStart::dialogsMadeAfterTheMainWindowSpeakItsLanguage() {
    DesktopSession session;
    QVERIFY(session.start());
    const QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    session.keys(main, {QStringLiteral("alt+t"), QStringLiteral("r")}); // Transmit, Receive
    const QString transfer = session.waitForWindow(QStringLiteral("^KERMIT Transfer$"), 5000);
    QVERIFY(!transfer.isEmpty());
    session.keys(transfer, {QStringLiteral("Escape")});
    QVERIFY(session.windowGone(transfer));
    session.keys(main, quit());
    QCOMPARE(session.waitForExit(), 0);
}

QTEST_GUILESS_MAIN(DesktopStart)
#include "tst_desktop_start.moc"
