// The real program as a user starts it, on the virtual X server this test runs under
// (xvfb-run): later starts hand it files, and its windows are found by their titles and
// answered with real key presses (xdotool). Every home is a sandbox.
#include "Sandbox.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QTest>

namespace {

constexpr int kWaitMs = 30000;
constexpr int kSplashMs = 3000; // the main window may not close while the splash shows
const QByteArray kInstalled = "[Application]\nName=Ombrel\nVersion=2.7\n";

QString Tool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished(kWaitMs);
    return QString::fromLatin1(tool.readAllStandardOutput()).trimmed();
}

// The id of the visible window with exactly this title, or an empty string.
QString FindWindow(const QString& title) {
    const QString ids = Tool({"search", "--onlyvisible", "--name", u'^' + title + u'$'});
    return ids.section(u'\n', 0, 0);
}

QString WaitForWindow(const QString& title) {
    const QDeadlineTimer deadline(kWaitMs);
    QString window;
    while ((window = FindWindow(title)).isEmpty() && !deadline.hasExpired())
        QTest::qWait(200);
    return window;
}

void Press(const QString& window, const QStringList& keys) {
    Tool({"windowfocus", "--sync", window});
    Tool(QStringList{"key", "--delay", "150"} + keys);
}

QProcessEnvironment OnTheDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return environment;
}

// The exit code of a start that hands its parameter over, or -1 when it did not end normally.
int SecondStart(const QString& parameter) {
    QProcess second;
    second.setProcessEnvironment(OnTheDisplay());
    second.start(QStringLiteral(OMBREL_BINARY), {parameter});
    if (!second.waitForFinished(kWaitMs) || second.exitStatus() != QProcess::NormalExit) {
        second.kill();
        return -1;
    }
    return second.exitCode();
}

// The running program; killed if a test leaves it running.
class Program {
  public:
    Program() {
        process_.setProcessEnvironment(OnTheDisplay());
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral(OMBREL_BINARY), {});
    }
    ~Program() {
        process_.kill();
        process_.waitForFinished();
    }
    bool Running() { return !process_.waitForFinished(500); }
    // True when the program ended normally with exit code 0.
    bool Ended() {
        return process_.waitForFinished(kWaitMs) && process_.exitStatus() == QProcess::NormalExit &&
               process_.exitCode() == 0;
    }
    // File, Quit, once the splash is gone; true when the program ended normally.
    bool Quit() {
        QTest::qWait(kSplashMs);
        Press(FindWindow(QStringLiteral("Ombrel")), {"alt+d", "b"});
        return Ended();
    }

  private:
    QProcess process_;
};

// A sandboxed home where the program runs from its build folder.
struct Home {
    Sandbox sandbox;

    Home() { qunsetenv("OMBREL_PROGDIR"); } // the sandbox puts it back
    QString File(const QString& name, const QByteArray& bytes) const {
        const QString path = sandbox.Path(QStringLiteral("db/") + name);
        WriteBytes(path, bytes);
        return path;
    }
    QString Good() const { return File(QStringLiteral("good"), Database({{"Hello"}})); }
    QString FirstRecentFile() const {
        const QStringList lines = QString::fromUtf8(ReadBytes(sandbox.SettingsFile())).split(u'\n');
        const qsizetype files = lines.indexOf(QStringLiteral("[Files]"));
        return files < 0 || files + 1 >= lines.size() ? QString() : lines[files + 1];
    }
};

} // namespace

class TestStartupDesktop : public QObject {
    Q_OBJECT

  private slots:
    // A file that fails to open is reported by the running program, which goes on.
    void failedHandOversLeaveTheProgramRunning() {
        Home home;
        WriteBytes(home.sandbox.SettingsFile(), kInstalled);
        Program program;
        QVERIFY(!WaitForWindow(QStringLiteral("Ombrel")).isEmpty());
        const QStringList failing = {home.sandbox.Path(QStringLiteral("missing")),
                                     home.File(QStringLiteral("plain.txt"), "just text\n"),
                                     QStringLiteral("/$UnInstalCompleteApp$")};
        for (const QString& parameter : failing) {
            QCOMPARE(SecondStart(parameter), 0);
            const QString box = WaitForWindow(QStringLiteral("Fehler"));
            QVERIFY2(!box.isEmpty(), qPrintable(parameter));
            Press(box, {"Escape"});
            QVERIFY2(program.Running(), qPrintable(parameter));
        }
        const QString good = home.Good();
        QCOMPARE(SecondStart(good), 0);
        QVERIFY(program.Quit());
        QCOMPARE(home.FirstRecentFile(), "1=" + good);
    }

    // A file handed over while the installer asks waits for the main window.
    void handOverDuringTheInstallerOpensAfterIt() {
        Home home;
        Program program;
        const QString installer = WaitForWindow(QStringLiteral("Installation"));
        QVERIFY(!installer.isEmpty());
        const QString good = home.Good();
        QCOMPARE(SecondStart(good), 0);
        Press(installer, {"Return"});
        QVERIFY(!WaitForWindow(QStringLiteral("Ombrel")).isEmpty());
        QVERIFY(program.Quit());
        QCOMPARE(home.FirstRecentFile(), "1=" + good);
    }

    // su, ssh without a session, containers: no runtime folder and no cache folder yet.
    void withoutRuntimeAndCacheFoldersTheProgramRuns() {
        Home home;
        WriteBytes(home.sandbox.SettingsFile(), kInstalled);
        qunsetenv("XDG_RUNTIME_DIR");
        qunsetenv("XDG_CACHE_HOME");
        Program program;
        QVERIFY(!WaitForWindow(QStringLiteral("Ombrel")).isEmpty());
        QVERIFY(FindWindow(QStringLiteral("Information")).isEmpty()); // not "already running"
        const QString good = home.Good();
        QCOMPARE(SecondStart(good), 0);
        QVERIFY(program.Quit());
        QCOMPARE(home.FirstRecentFile(), "1=" + good);
        QCOMPARE(QFile::permissions(home.sandbox.Root() + "/home/.cache/ombrel") & 0x0077,
                 QFile::Permissions());
    }

    // A work folder that leads elsewhere is refused with an error; nothing goes there.
    void linkedWorkFolderIsRefused() {
        Home home;
        WriteBytes(home.sandbox.SettingsFile(), kInstalled);
        qunsetenv("XDG_RUNTIME_DIR");
        const QString elsewhere = home.sandbox.Path(QStringLiteral("elsewhere/"));
        QVERIFY(QFile::link(elsewhere, home.sandbox.Root() + QStringLiteral("/cache/ombrel")));
        Program program;
        const QString box = WaitForWindow(QStringLiteral("Fehler"));
        QVERIFY(!box.isEmpty());
        QVERIFY(FindWindow(QStringLiteral("Ombrel")).isEmpty());
        Press(box, {"Escape"});
        QVERIFY(program.Ended());
        QVERIFY(QDir(elsewhere).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System));
    }
};

QTEST_GUILESS_MAIN(TestStartupDesktop)
#include "tst_startup_desktop.moc"
