#include "ChildProcess.h"
#include "Sandbox.h"
#include "ScriptedPrompter.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "platform/Paths.h"
#include "platform/SettingsFile.h"
#include "platform/StringTable.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QTest>

#include <unistd.h>

namespace {

constexpr int kWaitMs = 10000;

// The first instance (instance_peer), run as a child process in the sandbox.
class Peer {
  public:
    Peer() {
        process_.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        endWithTest(process_);
        process_.start(QStringLiteral(OMBREL_PEER_BINARY), {});
    }
    ~Peer() { kill(); }

    // True once the peer printed `line`.
    bool waitForLine(const QString& line) {
        const QDeadlineTimer deadline(kWaitMs);
        while (!lines().contains(line) && !deadline.hasExpired()) {
            if (!process_.waitForReadyRead(100) && process_.state() == QProcess::NotRunning)
                return lines().contains(line);
        }
        return lines().contains(line);
    }

    // Every complete line printed so far.
    QStringList lines() {
        output_ += process_.readAllStandardOutput();
        QStringList lines = QString::fromUtf8(output_).split(u'\n');
        lines.removeLast();
        return lines;
    }

    // Hands over a file named "quit" and returns everything the peer printed.
    QStringList quit(const QString& directory) {
        SingleInstance::handOver(directory + QStringLiteral("/quit"));
        process_.waitForFinished(kWaitMs);
        return lines();
    }

    void kill() {
        process_.kill(); // SIGKILL: no clean-up at all
        process_.waitForFinished(kWaitMs);
    }
    bool running() const { return process_.state() == QProcess::Running; }

  private:
    QProcess process_;
    QByteArray output_;
};

// The exit code of a second start of the real program, or -1 when it did not end normally.
int startProgram(const QStringList& parameters, const QString& workingDirectory) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(workingDirectory);
    program.start(QStringLiteral(OMBREL_BINARY), parameters);
    if (!program.waitForFinished(kWaitMs) || program.exitStatus() != QProcess::NormalExit) {
        program.kill();
        return -1;
    }
    return program.exitCode();
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

  private slots:
    void firstStartWithoutSettingsFile();
    void settingsWriteFailureIsReported();
    void secondStartsHandOverAbsolutePaths();
    void secondStartWithoutParameterSaysSo();
    void killedInstanceLeavesNoLock();
    void unusableFoldersAreRefused_data();
    void unusableFoldersAreRefused();
    void sharedRuntimeFolderIsNotUsed();
};

void TestSingleInstance::firstStartWithoutSettingsFile() {
    Sandbox sandbox;
    SettingsFile settings(paths::settingsFile());
    ScriptedPrompter prompter;
    SingleInstance instance;
    QCOMPARE(claimTheProgram({QStringLiteral("a.txt")}, settings, instance), StartRole::First);
    QCOMPARE(strings::language(), strings::kGerman);
    QCOMPARE(settings.fileName(), sandbox.settingsFile());
    QVERIFY(prompter.shown.isEmpty());
    QVERIFY(!QFile::exists(sandbox.settingsFile()));
}

void TestSingleInstance::settingsWriteFailureIsReported() {
    Sandbox sandbox;
    const QString blocker = sandbox.path(QStringLiteral("blocker"));
    writeBytes(blocker, "a file where the settings directory should be");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker)); // the sandbox puts it back
    SettingsFile settings(paths::settingsFile());
    ScriptedPrompter prompter;
    SingleInstance instance;
    QCOMPARE(claimTheProgram({}, settings, instance), StartRole::First);
    strings::setLanguage(strings::kEnglish);
    prompter.setSoundOn(true);

    settings.writeInteger("Misc", "Sound", 1);
    settings.writeInteger("Misc", "Sound", 0); // the program went on
    QCOMPARE(prompter.shownIds(), QList<quint16>({1200, 1200}));
    QCOMPARE(prompter.shown[0].text,
             "I/O-Error: Unable to write file !\n" + blocker + "/Ombrel.ini");
    QCOMPARE(prompter.shown[0].icon, MsgIcon::Error);
    QCOMPARE(prompter.shown[0].buttons, QList<MsgButton>({MsgButton::Cancel}));
    QCOMPARE(prompter.beeps, QList<Beep>({Beep::Hand, Beep::Hand}));
}

void TestSingleInstance::secondStartsHandOverAbsolutePaths() {
    Sandbox sandbox;
    Peer peer;
    QVERIFY(peer.waitForLine(QStringLiteral("ready")));
    const QString workDir = sandbox.path(QStringLiteral("work dir/"));
    const QString absolute = sandbox.path(QStringLiteral("elsewhere/b.txt"));

    QCOMPARE(startProgram({QStringLiteral("db/Topics file.txt")}, workDir), 0);
    QCOMPARE(startProgram({absolute, QStringLiteral("ignored.txt")}, workDir), 0);

    QVERIFY(peer.waitForLine(absolute));
    QCOMPARE(peer.quit(sandbox.root()), QStringList({"ready", workDir + "db/Topics file.txt",
                                                     absolute, sandbox.root() + "/quit"}));
}

// The program shows 1160 in a modal box, so this start runs in the test process.
void TestSingleInstance::secondStartWithoutParameterSaysSo() {
    Sandbox sandbox;
    writeBytes(sandbox.settingsFile(), "[Application]\nLanguage=1\n[Misc]\nSound=1\n");
    Peer peer;
    QVERIFY(peer.waitForLine(QStringLiteral("ready")));
    {
        SettingsFile settings(paths::settingsFile());
        ScriptedPrompter prompter;
        SingleInstance instance;
        QCOMPARE(claimTheProgram({}, settings, instance), StartRole::AlreadyRunning);
        QCOMPARE(prompter.shownIds(), QList<quint16>({1160}));
        QCOMPARE(prompter.shown[0].text,
                 QStringLiteral("There is already running an instance of Ombrel !"));
        QCOMPARE(prompter.shown[0].icon, MsgIcon::Information);
        QVERIFY(prompter.beeps.isEmpty()); // whatever the Sound setting
    }
    QVERIFY(peer.running());
    QCOMPARE(peer.quit(sandbox.root()), QStringList({"ready", sandbox.root() + "/quit"}));
}

void TestSingleInstance::killedInstanceLeavesNoLock() {
    Sandbox sandbox;
    {
        Peer first;
        QVERIFY(first.waitForLine(QStringLiteral("ready")));
    } // killed
    Peer second;
    QVERIFY(second.waitForLine(QStringLiteral("ready")));
    const QString name = sandbox.path(QStringLiteral("x.txt"));
    QCOMPARE(startProgram({name}, sandbox.root()), 0);
    QVERIFY(second.waitForLine(name));
    QCOMPARE(second.quit(sandbox.root()), QStringList({"ready", name, sandbox.root() + "/quit"}));
}

enum class Unusable { Link, OpenToOthers, OtherOwner, NoRoomForTheChannel };
Q_DECLARE_METATYPE(Unusable)

// A folder the program needs that others could enter, or that it cannot set up, ends the
// start with an error naming it; the folder is left as it was.
void TestSingleInstance::unusableFoldersAreRefused_data() {
    QTest::addColumn<Unusable>("fault");
    QTest::addColumn<QString>("folder"); // relative to the sandbox
    QTest::addColumn<quint16>("id");
    QTest::newRow("work folder is a link") << Unusable::Link << "runtime/ombrel" << quint16(1235);
    QTest::newRow("work folder open to others")
        << Unusable::OpenToOthers << "runtime/ombrel" << quint16(1235);
    QTest::newRow("fallback folder is a link") << Unusable::Link << "cache/ombrel" << quint16(1235);
    QTest::newRow("fallback folder of another user")
        << Unusable::OtherOwner << "cache/ombrel" << quint16(1235);
    QTest::newRow("runtime path too long for the channel")
        << Unusable::NoRoomForTheChannel << QString(100, u'r') << quint16(1240);
}

void TestSingleInstance::unusableFoldersAreRefused() {
    QFETCH(Unusable, fault);
    QFETCH(QString, folder);
    QFETCH(quint16, id);
    Sandbox sandbox;
    const QString path = sandbox.root() + u'/' + folder;
    const QString elsewhere = sandbox.path(QStringLiteral("elsewhere/"));
    if (folder.startsWith(QStringLiteral("cache/")))
        qunsetenv("XDG_RUNTIME_DIR"); // the sandbox puts it back
    switch (fault) {
    case Unusable::Link:
        QVERIFY(QFile::link(elsewhere, path));
        break;
    case Unusable::OpenToOthers:
        QVERIFY(QDir().mkpath(path));
        QVERIFY(QFile::setPermissions(path, QFile::Permissions(0x7755)));
        break;
    case Unusable::OtherOwner:
        if (::geteuid() != 0)
            QSKIP("only root can give a folder to another user");
        QVERIFY(QDir().mkpath(path));
        QVERIFY(QFile::setPermissions(path, QFile::Permissions(0x7700)));
        QCOMPARE(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
        break;
    case Unusable::NoRoomForTheChannel:
        QVERIFY(QDir().mkpath(path));
        QVERIFY(QFile::setPermissions(path, QFile::Permissions(0x7700)));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path));
        break;
    }
    const QFileInfo before(path);
    SettingsFile settings(paths::settingsFile());
    ScriptedPrompter prompter;
    SingleInstance instance;
    QCOMPARE(claimTheProgram({}, settings, instance), StartRole::Refused);
    QCOMPARE(prompter.shownIds(), QList<quint16>{id});
    QVERIFY2(prompter.shown[0].text.contains(u'\n' + path + u'\n') ||
                 prompter.shown[0].text.endsWith(u'\n' + path),
             qPrintable(prompter.shown[0].text));
    const QFileInfo after(path);
    QCOMPARE(after.isSymLink(), before.isSymLink());
    QCOMPARE(after.permissions(), before.permissions());
    QCOMPARE(after.ownerId(), before.ownerId());
    QVERIFY(QDir(elsewhere).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System));
}

// After su, or in a container, XDG_RUNTIME_DIR may name a folder others can enter.
void TestSingleInstance::sharedRuntimeFolderIsNotUsed() {
    Sandbox sandbox;
    QVERIFY(QFile::setPermissions(sandbox.runtimeDir(), QFile::Permissions(0x7777)));
    SettingsFile settings(paths::settingsFile());
    ScriptedPrompter prompter;
    SingleInstance instance;
    QCOMPARE(claimTheProgram({}, settings, instance), StartRole::First);
    QVERIFY(prompter.shown.isEmpty());
    QVERIFY(QDir(sandbox.runtimeDir()).isEmpty());
    QVERIFY(QFileInfo::exists(sandbox.root() + QStringLiteral("/cache/ombrel/OmbrelMutex.lock")));
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
