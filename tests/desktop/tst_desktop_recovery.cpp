// Recovery copies with the real program: edits survive a crash, a normal end leaves nothing,
// and programs running side by side never take each other's copies.
#include "DesktopSession.h"
#include "Sandbox.h"
#include "SpecialFiles.h"
#include "core/HpFile.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <sys/resource.h>

namespace {

constexpr int kCopyTimeoutMs = 15000;
const QString kOffer = QStringLiteral("^Recovery$");

QString recoveryDir(const DesktopSession& session) {
    return session.home() + QStringLiteral("/.local/state/ombrel/recovery");
}

// Each copy on disk with the file it stands for.
QMap<QString, QString> copies(const DesktopSession& session) {
    QMap<QString, QString> copies;
    QDirIterator it(recoveryDir(session), {QStringLiteral("*.hp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString copy = it.next();
        const QByteArray side = readBytes(copy.chopped(3) + QStringLiteral(".json"));
        copies.insert(copy, QJsonDocument::fromJson(side).object().value("file").toString());
    }
    return copies;
}

QList<TopicRows> topics(const QString& fileName) {
    TopicTable table;
    QList<TopicRows> topics;
    for (int topic = 1; topic <= readHpFile(fileName, table); ++topic)
        topics.append(table.topic(topic));
    return topics;
}

// Replaces the first topic of the active document with two typed rows, one holding quotes.
void editFirstTopic(const DesktopSession& session, const QString& main) {
    session.click(screen::point("data-box"));
    session.keys(main, {QStringLiteral("ctrl+a")});
    session.type(main, QStringLiteral("say \"hi\""));
    session.keys(main, {QStringLiteral("Return")});
    session.type(main, QStringLiteral("row two"));
    session.keys(main, {QStringLiteral("F5")});
}

const TopicRows kEdited{"say \"hi\"", "row two"};

int copyCount(const DesktopSession& session) {
    int count = 0;
    QDirIterator it(recoveryDir(session), {QStringLiteral("*.hp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    for (; it.hasNext(); it.next())
        ++count;
    return count;
}

// The lock file a program leaves when it dies: the id of a process that has ended.
QByteArray lockOfEndedProgram() {
    QProcess ended;
    ended.start(QStringLiteral("/bin/true"), {});
    ended.waitForStarted();
    const qint64 processId = ended.processId();
    ended.waitForFinished();
    return QByteArray::number(processId) + "\nombrel\n\n";
}

void makePrivateFolder(const QString& folder) {
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Folders as crashed runs leave them, each with one copy.
void crashedRuns(const DesktopSession& session, int count) {
    const QString root = recoveryDir(session);
    for (const QString& folder : {root.chopped(9), root})
        makePrivateFolder(folder);
    const QByteArray lock = lockOfEndedProgram();
    for (int run = 0; run < count; ++run) {
        const QString folder = root + QStringLiteral("/run%1").arg(run, 4, 10, QLatin1Char('0'));
        makePrivateFolder(folder);
        writeBytes(folder + QStringLiteral("/1.hp"), database({{"copy"}}));
        writeBytes(folder + QStringLiteral("/1.json"), R"({"file": "/data/x.hp"})");
        writeBytes(folder + QStringLiteral(".lock"), lock);
    }
}

} // namespace

class DesktopRecovery : public QObject {
    Q_OBJECT

  private slots:
    void crashedEditsComeBack();
    void runningProgramsKeepTheirCopies();
    void damagedAndManyLeftoversDoNotHoldUpTheStart();
};

// An edit committed with F5 is copied; after SIGKILL the next start offers it, restores it
// modified under its file's name without writing that file, and F2 saves exactly the edit. A
// normal end then leaves no copy.
void DesktopRecovery::crashedEditsComeBack() {
    DesktopSession session;
    const QString file = session.path(QStringLiteral("topics.hp"));
    const QByteArray original = database({{"Hello", "world"}, {"Second"}});
    writeBytes(file, original);
    QVERIFY(session.start({file}));
    QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    editFirstTopic(session, main);
    QTRY_COMPARE_WITH_TIMEOUT(copies(session).values(), QStringList{file}, kCopyTimeoutMs);
    session.crash();

    QVERIFY(session.start());
    const QString offer = session.waitForWindow(kOffer);
    QVERIFY2(!offer.isEmpty(), session.errorOutput().constData());
    session.keys(offer, {QStringLiteral("Return")}); // Restore, every copy selected
    main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    QCOMPARE(readBytes(file), original);
    session.keys(main, {QStringLiteral("F2")});
    QCOMPARE(topics(file), (QList<TopicRows>{kEdited, TopicRows{"Second"}}));

    session.keys(main, {QStringLiteral("alt+f"), QStringLiteral("q")});
    QCOMPARE(session.waitForExit(), 0);
    QVERIFY(QDir(recoveryDir(session)).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));
}

// A runs with a copy; B, started beside it, offers nothing. A crashes and B copies an edit of
// its own; C, started then, offers A's copy only and takes it over, while B's copy stays B's.
void DesktopRecovery::runningProgramsKeepTheirCopies() {
    DesktopSession session;
    const QString first = session.path(QStringLiteral("first.hp"));
    const QString second = session.path(QStringLiteral("second.hp"));
    writeBytes(first, database({{"first"}}));
    writeBytes(second, database({{"second"}}));
    QVERIFY(session.start({first}));
    const QString mainA = session.waitForMainWindow();
    QVERIFY(!mainA.isEmpty());
    editFirstTopic(session, mainA);
    QTRY_COMPARE_WITH_TIMEOUT(copies(session).size(), 1, kCopyTimeoutMs);
    const QString folderA = QFileInfo(copies(session).firstKey()).absolutePath();

    session.startInstance(QStringLiteral("runtimeB"), {second});
    QTest::qWait(4000); // B's splash has gone
    QVERIFY(session.windows(kOffer).isEmpty());
    session.crash();
    const QString mainB = session.waitForMainWindow();
    QVERIFY(!mainB.isEmpty());
    editFirstTopic(session, mainB);
    QTRY_COMPARE_WITH_TIMEOUT(copies(session).size(), 2, kCopyTimeoutMs);

    session.startInstance(QStringLiteral("runtimeC"));
    const QString offer = session.waitForWindow(kOffer);
    QVERIFY(!offer.isEmpty());
    session.keys(offer, {QStringLiteral("Return")});
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(folderA), kCopyTimeoutMs);
    QStringList standFor = copies(session).values();
    standFor.sort();
    QCOMPARE(standFor, (QStringList{first, second}));
}

// Folders of crashed runs that held the start up or stayed unoffered without a word: a side file
// that is a pipe, a lock file of garbage, a folder holding files where the lock file belongs,
// and over a thousand crashed runs at the usual limit of 1,024 open files. The copies that can
// be are offered, the others are told about in two boxes, and no copy is lost.
void DesktopRecovery::damagedAndManyLeftoversDoNotHoldUpTheStart() {
    DesktopSession session;
    crashedRuns(session, 1100);
    const QString first = recoveryDir(session) + QStringLiteral("/run000");
    QVERIFY(QFile::remove(first + QStringLiteral("0/1.json")));
    makePipe(first + QStringLiteral("0/1.json"));
    writeBytes(first + QStringLiteral("1.lock"), "garbage");
    QVERIFY(QFile::remove(first + QStringLiteral("2.lock")));
    writeBytes(first + QStringLiteral("2.lock/kept"), "a file");

    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    rlimit usual = saved;
    usual.rlim_cur = std::min<rlim_t>(1024, saved.rlim_max);
    setrlimit(RLIMIT_NOFILE, &usual);
    const bool started = session.start();
    setrlimit(RLIMIT_NOFILE, &saved);
    QVERIFY(started);
    const QString offer = session.waitForWindow(kOffer, 60000);
    QVERIFY2(!offer.isEmpty(), session.errorOutput().constData());
    session.keys(offer, {QStringLiteral("Escape")}); // Later: the copies stay
    for (int box = 0; box < 2; ++box) { // the damaged lock, the copies for the next start
        const QString told = session.waitForWindow(QStringLiteral("^Information$"));
        QVERIFY(!told.isEmpty());
        session.keys(told, {QStringLiteral("Return")});
        QVERIFY(session.windowGone(told));
    }
    const QString main = session.waitForMainWindow();
    QVERIFY(session.answers(main));
    session.keys(main, {QStringLiteral("alt+f"), QStringLiteral("q")});
    QCOMPARE(session.waitForExit(), 0);
    QCOMPARE(copyCount(session), 1100);
}

QTEST_GUILESS_MAIN(DesktopRecovery)
#include "tst_desktop_recovery.moc"
