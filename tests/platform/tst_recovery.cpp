#include "FileSizeLimit.h"
#include "Sandbox.h"
#include "ScriptedPrompter.h"
#include "SpecialFiles.h"
#include "core/Document.h"
#include "core/HpFile.h"
#include "platform/Paths.h"
#include "platform/RecoveryKeeper.h"
#include "platform/RecoveryStore.h"
#include "platform/TextIds.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {

const RecoveryTiming kFast{.quietMs = 100, .minIntervalMs = 200, .longestWaitMs = 400};

TopicTable tableOf(const QList<TopicRows>& topics) {
    TopicTable table;
    table.fill(topics);
    return table;
}

QByteArray firstRow(const QString& fileName) {
    TopicTable table;
    return readHpFile(fileName, table) > 0 ? table.row(1, 1) : QByteArray("<unreadable>");
}

// A program that writes its copies and dies without cleaning up, as in a crash.
void crashedProgramWrites(const QList<QPair<QByteArray, QString>>& copies) {
    const pid_t child = ::fork();
    if (child == 0) {
        auto* store = new RecoveryStore; // never destroyed: the folder and its lock stay
        for (int slot = 1; slot <= copies.size(); ++slot) {
            const auto& [row, file] = copies[slot - 1];
            store->write(slot, tableOf({TopicRows{row}}), file);
        }
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
}

QStringList copyFiles() {
    QStringList files;
    QDirIterator it(paths::recoveryDir(), {QStringLiteral("*.hp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    return files;
}

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT

  private slots:
    void leftoversOnlyOfEndedPrograms();
    void refusedFolder_data();
    void refusedFolder();
    void damagedAndManyLeftovers();
    void failedWriteKeepsThePreviousCopy();
    void steadyChangesAreCopied();
};

// Copies of a crashed program are claimed once, with their file names, and stay claimed while
// held; a running program's copies are never claimed; an emptied folder goes on release.
void TestRecovery::leftoversOnlyOfEndedPrograms() {
    Sandbox sandbox;
    crashedProgramWrites({{"crashed", QStringLiteral("/data/a.hp")}, {"new", QString()}});
    RecoveryStore running;
    QVERIFY(running.write(1, tableOf({TopicRows{"running"}}), QStringLiteral("/data/b.hp")));

    RecoveryStore next;
    const QList<RecoveryCopy> copies = next.claimLeftovers();
    QCOMPARE(copies.size(), 2);
    QCOMPARE(copies[0].originalFile, QStringLiteral("/data/a.hp"));
    QCOMPARE(copies[1].originalFile, QString());
    QCOMPARE(firstRow(copies[0].copyFile), QByteArray("crashed"));
    QCOMPARE(QProcess::execute(QStringLiteral(OMBREL_CLI_BINARY),
                               {QStringLiteral("check"), copies[1].copyFile}),
             0);
    QVERIFY(RecoveryStore().claimLeftovers().isEmpty()); // held by the next start

    RecoveryStore::removeLeftover(copies[0]);
    next.releaseLeftovers(); // the copy not removed stays for a later start
    RecoveryStore last;
    QCOMPARE(last.claimLeftovers().size(), 1);
    RecoveryStore::removeLeftover(copies[1]);
    last.releaseLeftovers();
    QCOMPARE(QDir(paths::recoveryDir()).count(), 4u); // ., .. and the running program's two
}

void TestRecovery::refusedFolder_data() {
    QTest::addColumn<QString>("linked"); // a folder that is a link to another place
    QTest::newRow("program's state folder") << QStringLiteral("ombrel");
    QTest::newRow("recovery folder") << QStringLiteral("ombrel/recovery");
}

// Nothing is written behind a linked folder, and however many copies fail, one box says so.
void TestRecovery::refusedFolder() {
    QFETCH(QString, linked);
    Sandbox sandbox;
    ScriptedPrompter prompter;
    const QString elsewhere = sandbox.path(QStringLiteral("elsewhere/"));
    QDir().mkpath(QFileInfo(sandbox.stateDir() + u'/' + linked).path());
    QVERIFY(QFile::link(elsewhere, sandbox.stateDir() + u'/' + linked));
    RecoveryStore store;
    RecoveryKeeper keeper(store, kFast);
    Document documents[2];
    for (Document& document : documents)
        keeper.watch(&document);
    for (int change = 0; change < 10; ++change) {
        for (Document& document : documents)
            document.commitRows(1, {"row"}, false);
        QTest::qWait(100);
    }
    QCOMPARE(prompter.shownIds(), QList<quint16>{textid::kRecoveryNotWritten});
    QVERIFY(QDir(elsewhere).isEmpty());
}

// Leftovers that used to stay unoffered without a word: a side file that is a pipe, a lock file
// that names no program, something else where the lock file belongs. Each is offered when
// replacing the lock loses nothing; a lock that is a folder holding files is counted instead.
// Folders without copies go at once; a start claims at most 64 folders, the rest wait.
void TestRecovery::damagedAndManyLeftovers() {
    Sandbox sandbox;
    for (int run = 0; run < 5; ++run)
        crashedProgramWrites({{"crashed", QStringLiteral("/data/%1.hp").arg(run)}});
    const QString root = paths::recoveryDir();
    const QStringList folders = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(folders.size(), 5);
    const auto folder = [&](int index) { return root + u'/' + folders[index]; };
    const auto lock = [&](int index) { return folder(index) + QStringLiteral(".lock"); };
    QVERIFY(QFile::remove(folder(0) + QStringLiteral("/1.json")));
    makePipe(folder(0) + QStringLiteral("/1.json"));
    writeBytes(lock(1), "not a lock\n");
    QVERIFY(QFile::remove(lock(2)) && QDir().mkdir(lock(2)));
    QVERIFY(QFile::remove(lock(3)));
    makePipe(lock(3));
    QVERIFY(QFile::remove(lock(4)));
    writeBytes(lock(4) + QStringLiteral("/kept"), "a file of the user's");
    for (int empty = 0; empty < 100; ++empty)
        QDir().mkdir(root + QStringLiteral("/empty%1").arg(empty),
                     QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    RecoveryStore first;
    const QList<RecoveryCopy> copies = first.claimLeftovers();
    QCOMPARE(copies.size(), 4);
    QCOMPARE(std::count_if(copies.cbegin(), copies.cend(),
                           [](const RecoveryCopy& copy) { return copy.originalFile.isEmpty(); }),
             1);
    QCOMPARE(first.unoffered().behindDamagedLock, 1);
    QCOMPARE(first.unoffered().damagedLocks, QStringList{lock(4)});
    QCOMPARE(first.unoffered().waiting, 0);
    QVERIFY(isPipe(folder(0) + QStringLiteral("/1.json")));
    QCOMPARE(readBytes(lock(4) + QStringLiteral("/kept")), QByteArray("a file of the user's"));
    QVERIFY(QDir(root).entryList({QStringLiteral("empty*")}, QDir::Dirs).isEmpty());
    first.releaseLeftovers();

    for (int run = 0; run < 66; ++run)
        crashedProgramWrites({{"crashed", QString()}});
    RecoveryStore second;
    QCOMPARE(second.claimLeftovers().size(), 64);
    QCOMPARE(second.unoffered().waiting, 4 + 66 - 64);
    QCOMPARE(second.unoffered().behindDamagedLock, 1);
}

// A copy that cannot be written whole (the disk full) leaves the previous one readable.
void TestRecovery::failedWriteKeepsThePreviousCopy() {
    Sandbox sandbox;
    RecoveryStore store;
    QVERIFY(store.write(1, tableOf({TopicRows{"before"}}), QString()));
    QList<TopicRows> large(150, TopicRows{QByteArray(30, 'x'), "after"});
    {
        const FileSizeLimit limit(2048);
        QVERIFY(!store.write(1, tableOf(large), QString()));
    }
    QCOMPARE(copyFiles().size(), 1);
    QCOMPARE(firstRow(copyFiles().first()), QByteArray("before"));
}

// Changes coming faster than the rest a copy waits for are still copied, at the latest after
// the longest wait; saving takes the copy away.
void TestRecovery::steadyChangesAreCopied() {
    Sandbox sandbox;
    RecoveryStore store;
    RecoveryKeeper keeper(store, kFast);
    Document document;
    keeper.watch(&document);
    for (int change = 0; change < 40 && copyFiles().isEmpty(); ++change) {
        document.commitRows(1, {"row"}, false);
        QTest::qWait(50);
    }
    QCOMPARE(copyFiles().size(), 1);
    QVERIFY(document.save(sandbox.path(QStringLiteral("saved.hp")), false));
    QVERIFY(copyFiles().isEmpty());
}

QTEST_GUILESS_MAIN(TestRecovery)
#include "tst_recovery.moc"
