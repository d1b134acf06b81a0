// Transfers that fail with the real Kermit: each tells why in the status line and leaves no
// work file behind.

#include "KermitPeer.h"
#include "core/HpFile.h"
#include "gui/DocumentWindow.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/TransferDialog.h"
#include "platform/Paths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <csignal>

namespace {

const QString kCalculatorSilent = QStringLiteral("The calculator did not answer for ");
const QString kKermitMissing = QStringLiteral(
    "Kermit is not installed. Install the Debian package ckermit:\nsudo apt install ckermit");

void openDocument(TransferProgram& program) {
    DocumentWindow* document = program.main->newDocument();
    document->document().commitRows(1, {"one"}, false);
}

} // namespace

class TestTransferFailures : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { requireTransferTools(); }

    // The cable's check of the packets: a sender with C-Kermit's default prefixing puts raw
    // control characters on the line, and the check names each; the calculator's own
    // prefixing puts none there.
    void wireCheckFindsRawControlCharacters_data() {
        QTest::addColumn<bool>("unfit");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("default prefixing")
            << true
            << QStringList({"fault calculator seq=3 type=D byte=0x09 at=3",
                            "fault calculator seq=3 type=D byte=0x02 at=4",
                            "fault calculator seq=3 type=D byte=0x7f at=6"});
        QTest::newRow("every control character prefixed") << false << QStringList();
    }
    void wireCheckFindsRawControlCharacters() {
        QFETCH(bool, unfit);
        QFETCH(QStringList, found);
        Sandbox sandbox;
        NullModem cable(sandbox.path(QStringLiteral("cable/")));
        QVERIFY(cable.ready());
        const QString file = sandbox.path(QStringLiteral("calculator/CTRL"));
        writeBytes(file, QByteArray("abc\t\x02x\x7f\r\n", 9));
        Calculator program(cable.programEnd());
        program.receiveInto(sandbox.path(QStringLiteral("pc/")));
        Calculator calculator(cable.calculatorEnd());
        calculator.send(file, QStringLiteral("CTRL"), 0, unfit);
        QVERIFY(calculator.finish());
        QVERIFY(program.finish());
        QCOMPARE(readBytes(sandbox.path(QStringLiteral("pc/CTRL"))), readBytes(file));
        QCOMPARE(cable.rawControlCharacters(QStringLiteral("calculator")), found);
    }

    // Kermit tries as often as the settings say, then gives up; its log tells that nothing
    // answered.
    void noCalculatorAnswers() {
        TransferProgram program("Retries=1\n");
        QVERIFY(program.cable.ready());
        openDocument(program);
        const QString status = program.run(TransferMode::SendDocument);
        QVERIFY2(status.startsWith(kCalculatorSilent), qPrintable(status));
        QCOMPARE(program.workFilesLeft(), QStringList());
        VERIFY_WIRE(program.cable);
    }

    void deviceDoesNotExist() {
        TransferProgram program;
        program.setDevice(program.sandbox.path(QStringLiteral("no/such/tty")));
        openDocument(program);
        QElapsedTimer clock;
        clock.start();
        const QString noDevice =
            QStringLiteral("There is no serial device %1. Is the cable plugged in?")
                .arg(program.sandbox.path(QStringLiteral("no/such/tty")));
        QCOMPARE(program.run(TransferMode::SendDocument), noDevice);
        QCOMPARE(program.run(TransferMode::ReceiveFile), noDevice);
        QVERIFY2(clock.elapsed() < 1000, "found before Kermit starts");
        QCOMPARE(program.workFilesLeft(), QStringList());
    }

    // Neither beside the program nor on the PATH.
    void noKermitProgram() {
        TransferProgram program;
        openDocument(program);
        qputenv("PATH", QFile::encodeName(program.sandbox.path(QStringLiteral("emptybin/"))));
        QCOMPARE(program.run(TransferMode::SendDocument), kKermitMissing);
        QCOMPARE(program.run(TransferMode::ReceiveFile), kKermitMissing);
        // A program beside the program that cannot run.
        const QString beside = paths::progDir() + QStringLiteral("kermit");
        writeBytes(beside, "#!/nonexistent/shell\n");
        QFile::setPermissions(beside, QFile::ReadOwner | QFile::ExeOwner);
        QCOMPARE(program.run(TransferMode::SendDocument), kTransferFailed);
        QCOMPARE(program.workFilesLeft(), QStringList());
    }

    void kermitKilledWhileItRuns_data() {
        QTest::addColumn<TransferMode>("mode");
        QTest::addColumn<QString>("status");
        QTest::newRow("send") << TransferMode::SendDocument << kTransferFailed;
        QTest::newRow("receive") << TransferMode::ReceiveFile << kTransferFailed;
    }
    void kermitKilledWhileItRuns() {
        QFETCH(TransferMode, mode);
        QFETCH(QString, status);
        TransferProgram program;
        QVERIFY(program.cable.ready());
        openDocument(program);
        connect(program.dialog, &TransferDialog::kermitStarted, program.dialog,
                [](qint64 processId) {
                    QTimer::singleShot(
                        500, [processId] { ::kill(static_cast<pid_t>(processId), SIGKILL); });
                });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(program.run(mode), status);
        QVERIFY(clock.elapsed() < 2000); // ended by the kill, within the script's first pause
        QCOMPARE(program.workFilesLeft(), QStringList());
    }

    // The calculator falls silent halfway through a file. The receive ends by itself, or at
    // once when the user closes the dialog; nothing half-received opens.
    void calculatorStopsMidReceive_data() {
        QTest::addColumn<bool>("userCloses");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("boundMs");
        QTest::newRow("left to give up") << false << kCalculatorSilent << 40000;
        QTest::newRow("closed by the user") << true << kTransferFailed << 3000;
    }
    void calculatorStopsMidReceive() {
        QFETCH(bool, userCloses);
        QFETCH(QString, status);
        QFETCH(int, boundMs);
        TransferProgram program("Retries=1\n");
        QVERIFY(program.cable.ready());
        QByteArray bytes;
        for (int i = 0; i < 8000; ++i)
            bytes += static_cast<char>(i * 37 % 251);
        const QString file = program.sandbox.path(QStringLiteral("calculator/LONG"));
        writeBytes(file, bytes);
        Calculator calculator(program.cable.calculatorEnd());
        calculator.send(file, QStringLiteral("LONG"), 50);
        bool receiving = false;
        QElapsedTimer sinceSilent;
        connect(
            program.dialog, &TransferDialog::kermitStarted, program.dialog, [&](qint64 processId) {
                // Past the script's pause and into the file.
                QTimer::singleShot(3500, program.dialog, [&] {
                    receiving = !QDir(paths::workDir() + QStringLiteral("/~recv.tmp.d")).isEmpty();
                    calculator.stop();
                    sinceSilent.start();
                    if (userCloses)
                        program.dialog->findChild<QPushButton*>(QStringLiteral("closeButton"))
                            ->click();
                });
                // A receive without a bound of its own would wait for ever.
                QTimer::singleShot(3500 + boundMs + 10000, program.dialog,
                                   [processId] { ::kill(static_cast<pid_t>(processId), SIGKILL); });
            });
        const QString result = program.run(TransferMode::ReceiveFile);
        QVERIFY2(result.startsWith(status), qPrintable(result));
        QVERIFY2(receiving, "the calculator stopped halfway through the file");
        QVERIFY2(sinceSilent.elapsed() < boundMs,
                 qPrintable(QString::number(sinceSilent.elapsed())));
        QVERIFY(program.dialog->isVisible());
        QCOMPARE(program.main->documentWindows().size(), 0);
        QCOMPARE(program.workFilesLeft(), QStringList());
    }
};

QTEST_MAIN(TestTransferFailures)
#include "tst_e2e_failures.moc"
