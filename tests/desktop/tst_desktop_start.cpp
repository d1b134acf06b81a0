// Starting and ending the real program the way a user does, from homes that hold only what a
// new user's home holds.
#include "DesktopSession.h"
#include "Sandbox.h"
#include "SpecialFiles.h"
#include "XScreen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

const QString kErrorBox = QStringLiteral("^Fehler$");

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

// Where the window manager has put a window's frame, once it stays there.
QRect settledFrame(const QString& window) {
    QRect frame = xscreen::frameGeometry(window);
    for (int look = 0; look < 20; ++look) {
        QTest::qWait(150);
        const QRect now = xscreen::frameGeometry(window);
        if (now == frame)
            break;
        frame = now;
    }
    return frame;
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
    void cancelledFirstStartLeavesNothing();
    void handOverDuringTheInstallerOpensAfterIt();
    void startWithoutRuntimeFolder();
    void linkedWorkFolderIsRefused();
    void splashClosedBeforeItsTime();
    void failedHandOversLeaveTheProgramWorking();
    void unansweredHandOverIsReported();
    void dialogsMadeAfterTheMainWindowSpeakItsLanguage();
    void windowsComeBackWhereTheyWere();
    void settingsAfterNulBytesCount();
    void settingsFileThatIsAPipe();
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

// Cancel in the installer of a new user's first start: the program ends and leaves no folder,
// neither in the runtime folder of a login session nor in the home without one.
void DesktopStart::cancelledFirstStartLeavesNothing() {
    for (const bool runtimeDir : {true, false}) {
        DesktopSession session({.runtimeDir = runtimeDir, .installed = false});
        QVERIFY(session.start());
        const QString installer = session.waitForWindow(QStringLiteral("^Installation$"));
        QVERIFY(!installer.isEmpty());
        session.keys(installer, {QStringLiteral("Escape")});
        QCOMPARE(session.waitForExit(), 0);
        for (const QString& folder : {session.home(), session.runtimeDir()}) {
            const QStringList left =
                QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
            QVERIFY2(left.isEmpty(), qPrintable(folder + u' ' + left.join(u' ')));
        }
    }
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
    const QString splash =
        session.waitForWindowOfSize(QStringLiteral("^Ombrel$"), screen::size("splash"));
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

// A running program that hangs does not take a file handed over: the second start says so
// instead of ending silently, and the file opens once the program goes on.
void DesktopStart::unansweredHandOverIsReported() {
    DesktopSession session;
    const QString file = writeDatabase(session, QStringLiteral("late.hp"));
    QVERIFY(session.start());
    const QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    session.freeze(true);
    QProcess* second = session.startInstance(QStringLiteral("runtime"), {file});
    const QString box = session.waitForWindow(kErrorBox, 20000);
    session.freeze(false);
    QVERIFY(!box.isEmpty());
    session.keys(box, {QStringLiteral("Return")});
    second->waitForFinished(10000);
    QCOMPARE(second->state(), QProcess::NotRunning);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY(session.answers(main));
    session.keys(main, quit());
    QCOMPARE(session.waitForExit(), 0);
    QVERIFY(remembers(session, file));
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

// Under a window manager the main window, the settings dialog and the scanner come back at the
// next start where they were, each wholly on the screen: a main window stored a little too low
// for its frame moves up.
void DesktopStart::windowsComeBackWhereTheyWere() {
    DesktopSession session({.runtimeDir = true, .installed = true, .windowManager = true});
    writeBytes(session.settingsFile(), settings(session).replace("Top=0", "Top=200"));
    const QRect wholeScreen(QPoint(), screen::size("screen"));
    const QList<QStringList> dialogs = {{"alt+o", "s", "^Settings$"}, {"alt+s", "a", "^Scanner$"}};
    QList<QRect> lastRun;
    for (int run = 1; run <= 2; ++run) {
        QVERIFY(session.start());
        const QString main = session.waitForMainWindow();
        QVERIFY(!main.isEmpty());
        QList<QRect> frames = {settledFrame(main)};
        for (const QStringList& dialog : dialogs) {
            session.keys(main, dialog.mid(0, 2));
            const QString window = session.waitForWindow(dialog[2]);
            QVERIFY2(!window.isEmpty(), qPrintable(dialog[2]));
            frames.append(settledFrame(window));
            session.keys(window, {QStringLiteral("Escape")});
            QVERIFY(session.windowGone(window));
        }
        for (const QRect& frame : frames)
            QVERIFY(wholeScreen.contains(frame));
        session.keys(main, quit());
        QCOMPARE(session.waitForExit(), 0);
        if (run == 2)
            QCOMPARE(frames, lastRun);
        lastRun = frames;
    }
}

// A settings file that a crash left beginning with NUL bytes still counts: the program starts
// without the installer. The complete temporary file of a settings write that was killed before
// its rename goes.
void DesktopStart::settingsAfterNulBytesCount() {
    DesktopSession session;
    const QByteArray installed = settings(session);
    writeBytes(session.settingsFile(), QByteArray(64, '\0') + installed);
    const QString leftover = session.home() + QStringLiteral("/.config/.Ombrel.ini.~ombrel-Xy12Zw");
    writeBytes(leftover, installed);
    ageFile(leftover, 120);
    QVERIFY(session.start());
    const QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    QVERIFY(session.windows(QStringLiteral("^Installation$")).isEmpty());
    QVERIFY(!QFile::exists(leftover));
    session.keys(main, quit());
    QCOMPARE(session.waitForExit(), 0);
}

// A pipe in the place of the settings file holds nothing up: the installer asks at once, and
// the pipe stays a pipe.
void DesktopStart::settingsFileThatIsAPipe() {
    DesktopSession session({.runtimeDir = true, .installed = false});
    QDir().mkpath(QFileInfo(session.settingsFile()).path());
    makePipe(session.settingsFile());
    QVERIFY(session.start());
    QVERIFY2(!session.waitForWindow(QStringLiteral("^Installation$")).isEmpty(),
             session.errorOutput().constData());
    QVERIFY(isPipe(session.settingsFile()));
}

QTEST_GUILESS_MAIN(DesktopStart)
#include "tst_desktop_start.moc"
