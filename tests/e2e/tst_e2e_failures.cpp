// Transfers that fail with the real Kermit: each tells why in the status line and leaves no
// work file behind.

#include "HpFile.h"
#include "KermitPeer.h"
#include "Paths.h"
#include "omConn.h"
#include "omKind.h"
#include "omUnit.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <csignal>

namespace {

void OpenDocument(TransferProgram& program) {
    TKind* document = program.main->NeueDatei1Click();
    document->Table().CommitRows(1, {"one"}, false);
}

} // namespace

class TestTransferFailures : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { RequireKermitAndSocat(); }

    // Kermit tries as often as the settings say, then gives up.
    void noCalculatorAnswers() {
        TransferProgram program("Retries=1\n");
        QVERIFY(program.cable.Ready());
        OpenDocument(program);
        QCOMPARE(program.Run('S'), kTransferFailed);
        QCOMPARE(program.WorkFilesLeft(), QStringList());
    }

    void deviceDoesNotExist() {
        TransferProgram program;
        program.SetDevice(program.sandbox.Path(QStringLiteral("no/such/tty")));
        OpenDocument(program);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(program.Run('S'), kPortFailed);
        QCOMPARE(program.Run('R'), kPortFailed);
        QVERIFY2(clock.elapsed() < 15000, "Kermit gave up on the port at once");
        QCOMPARE(program.WorkFilesLeft(), QStringList());
    }

    // Neither beside the program nor on the PATH.
    void noKermitProgram() {
        TransferProgram program;
        OpenDocument(program);
        qputenv("PATH", QFile::encodeName(program.sandbox.Path(QStringLiteral("emptybin/"))));
        QCOMPARE(program.Run('S'), kTransferFailed);
        QCOMPARE(program.Run('R'), kPortFailed);
        // A program beside the program that cannot run.
        const QString beside = paths::ProgDir() + QStringLiteral("kermit");
        WriteBytes(beside, "#!/nonexistent/shell\n");
        QFile::setPermissions(beside, QFile::ReadOwner | QFile::ExeOwner);
        QCOMPARE(program.Run('S'), kTransferFailed);
        QCOMPARE(program.WorkFilesLeft(), QStringList());
    }

    void kermitKilledWhileItRuns_data() {
        QTest::addColumn<char>("mode");
        QTest::addColumn<QString>("status");
        QTest::newRow("send") << 'S' << kTransferFailed;
        QTest::newRow("receive") << 'R' << kPortFailed;
    }
    void kermitKilledWhileItRuns() {
        QFETCH(char, mode);
        QFETCH(QString, status);
        TransferProgram program;
        QVERIFY(program.cable.Ready());
        OpenDocument(program);
        connect(program.dialog, &TConnect::KermitStarted, program.dialog, [](qint64 processId) {
            QTimer::singleShot(500,
                               [processId] { ::kill(static_cast<pid_t>(processId), SIGKILL); });
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(program.Run(mode), status);
        QVERIFY(clock.elapsed() < 2000); // ended by the kill, within the script's first pause
        QCOMPARE(program.WorkFilesLeft(), QStringList());
    }
};

QTEST_MAIN(TestTransferFailures)
#include "tst_e2e_failures.moc"
