// The Kermit run without any window: a shell stands in for Kermit and ends as each case needs.

#include "transfer/KermitRunner.h"
#include "transfer/KermitScript.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

#include <signal.h>

namespace {

constexpr int kEndMs = 10000;

// Runs a stand-in shell script to its end; the exit code finished() gave, or 1000 without one.
int exitCodeOf(KermitRunner& runner, const QString& program, const QString& script) {
    QSignalSpy finished(&runner, &KermitRunner::finished);
    runner.start(program, {QStringLiteral("-c"), script});
    if (!finished.wait(kEndMs) || finished.size() != 1)
        return 1000;
    return finished.first().first().toInt();
}

bool processGone(qint64 processId) {
    return ::kill(static_cast<pid_t>(processId), 0) == -1 && errno == ESRCH;
}

// Ended: gone, or a zombie that nobody here reaps.
bool processEnded(qint64 processId) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(processId));
    if (!stat.open(QIODevice::ReadOnly))
        return processGone(processId);
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
}

} // namespace

class TestKermitRunner : public QObject {
    Q_OBJECT

  private slots:
    void exitCodes_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("exitCode");
        const QString shell = QStringLiteral("/bin/sh");
        QTest::newRow("success") << shell << "exit 7" << kermit::kSuccess;
        QTest::newRow("port failure") << shell << "exit 0" << kermit::kPortFailure;
        QTest::newRow("other failure") << shell << "exit 3" << 3;
        QTest::newRow("killed") << shell << "kill -KILL $$" << kermit::kAbnormalEnd;
        // The keyboard is the null device: a read ends at once instead of waiting.
        QTest::newRow("reads the keyboard") << shell << "read line; exit 7" << kermit::kSuccess;
        QTest::newRow("no program") << QString() << "" << kermit::kNotStarted;
        QTest::newRow("no such program")
            << QStringLiteral("/nonexistent/kermit") << "" << kermit::kNotStarted;
    }
    void exitCodes() {
        QFETCH(QString, program);
        QFETCH(QString, script);
        QFETCH(int, exitCode);
        KermitRunner runner;
        QCOMPARE(exitCodeOf(runner, program, script), exitCode);
        QVERIFY(!runner.running());
        // The runner is ready for the next run.
        QCOMPARE(exitCodeOf(runner, QStringLiteral("/bin/sh"), QStringLiteral("exit 7")),
                 kermit::kSuccess);
    }

    // Stopped, Kermit's run reads as stopped however Kermit ends: also when it ends with the
    // code of a port failure, and when it will not end until it is killed. What it started ends
    // with it, also when that will not end while Kermit does.
    void stop_data() {
        QTest::addColumn<QString>("onTerm");
        QTest::addColumn<QString>("childOnTerm");
        QTest::newRow("ends with 0") << "trap 'exit 0' TERM"
                                     << "";
        QTest::newRow("deaf to the request") << "trap '' TERM"
                                             << "";
        QTest::newRow("what it started is deaf") << "trap 'exit 0' TERM"
                                                 << "trap '' TERM;";
    }
    void stop() {
        QFETCH(QString, onTerm);
        QFETCH(QString, childOnTerm);
        QTemporaryDir directory;
        const QString childFile = directory.filePath(QStringLiteral("child"));
        KermitRunner runner;
        QSignalSpy started(&runner, &KermitRunner::started);
        QSignalSpy finished(&runner, &KermitRunner::finished);
        runner.start(
            QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"), QStringLiteral("%1; (%2 sleep 60) & echo $! > '%3'; wait; wait")
                                       .arg(onTerm, childOnTerm, childFile)});
        QVERIFY(started.wait(kEndMs));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(childFile) && QFile(childFile).size() > 0, kEndMs);
        QFile file(childFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const qint64 child = file.readAll().trimmed().toLongLong();
        QVERIFY(child > 0);
        runner.stop();
        runner.stop(); // asked once
        QVERIFY(finished.wait(kEndMs));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toInt(), kermit::kStopped);
        QVERIFY(processGone(started.first().first().toLongLong()));
        QTRY_VERIFY_WITH_TIMEOUT(processEnded(child), kEndMs);
        runner.stop(); // after the end: nothing
        QCOMPARE(finished.size(), 1);
    }

    // A runner that goes while Kermit runs takes Kermit with it.
    void destroyedWhileRunning() {
        qint64 processId = 0;
        {
            KermitRunner runner;
            QSignalSpy started(&runner, &KermitRunner::started);
            runner.start(QStringLiteral("/bin/sh"),
                         {QStringLiteral("-c"), QStringLiteral("trap '' TERM; sleep 60")});
            QVERIFY(started.wait(kEndMs));
            processId = started.first().first().toLongLong();
        }
        QVERIFY(processGone(processId));
    }
};

QTEST_GUILESS_MAIN(TestKermitRunner)
#include "tst_kermitrunner.moc"
