// The transfer job without any window: what stops a transfer before Kermit starts, what
// Kermit's logs tell after a failed run, and a run through the stand-in Kermit.

#include "Sandbox.h"
#include "transfer/KermitLog.h"
#include "transfer/PortCheck.h"
#include "transfer/TransferJob.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <grp.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using transfer::Cause;

namespace {

// A pseudo-terminal: a character device that this process may open, like a serial port.
struct PseudoTerminal {
    PseudoTerminal() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0)
            device = QString::fromLocal8Bit(::ptsname(master));
    }
    ~PseudoTerminal() {
        if (held >= 0)
            ::close(held);
        if (master >= 0)
            ::close(master);
    }
    // Opens the device and puts it into exclusive mode, as a program holding the port does.
    void holdExclusively() {
        held = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY);
        ::ioctl(held, TIOCEXCL);
    }
    int master = -1;
    int held = -1;
    QString device;
};

const QString kKermit = QStringLiteral("/bin/sh"); // any program that can run

} // namespace

class TestTransferJob : public QObject {
    Q_OBJECT

  private slots:
    // Each cause with the details its text names; the first problem wins.
    void checksBeforeTransfer_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("cause");
        QTest::newRow("free device") << "free" << int(Cause::Done);
        QTest::newRow("no Kermit") << "no kermit" << int(Cause::KermitMissing);
        QTest::newRow("no device") << "missing" << int(Cause::NoSuchDevice);
        QTest::newRow("regular file") << "file" << int(Cause::NotCharacterDevice);
        QTest::newRow("other user's device") << "unprivileged" << int(Cause::NoPermission);
        QTest::newRow("lock of a live process") << "locked" << int(Cause::DeviceLocked);
        QTest::newRow("lock of a process gone") << "stale lock" << int(Cause::Done);
        QTest::newRow("held exclusively") << "exclusive" << int(Cause::DeviceHeld);
    }
    void checksBeforeTransfer() {
        QFETCH(QString, setup);
        QFETCH(int, cause);
        Sandbox sandbox;
        PseudoTerminal terminal;
        QVERIFY(!terminal.device.isEmpty());
        QString device = terminal.device;
        QString kermit = kKermit;
        transfer::Identity identity = transfer::Identity::ofThisProcess();
        const QString locks = sandbox.path(QStringLiteral("lock/")).chopped(1);
        const QString lock = locks + QStringLiteral("/LCK..") + device.section(u'/', -1);
        QStringList details;
        if (setup == u"no kermit") {
            kermit = sandbox.path(QStringLiteral("bin/kermit"));
        } else if (setup == u"missing") {
            device = sandbox.path(QStringLiteral("dev/ttyUSB0"));
            details = {device};
        } else if (setup == u"file") {
            device = sandbox.path(QStringLiteral("dev/file"));
            writeBytes(device, "x");
            details = {device};
        } else if (setup == u"unprivileged") {
            // Owner read and write only: a user outside the owner's group may not open it.
            QVERIFY(::chmod(QFile::encodeName(device).constData(), 0600) == 0);
            identity = {65534, {65534}, false};
            struct stat status {};
            ::stat(QFile::encodeName(device).constData(), &status);
            const QString owner = QString::fromLocal8Bit(::getgrgid(status.st_gid)->gr_name);
            details = {device, owner, owner};
        } else if (setup == u"locked") {
            writeBytes(lock, QByteArray::number(::getppid()).rightJustified(10) + '\n');
            details = {device, lock};
        } else if (setup == u"stale lock") {
            writeBytes(lock, "  99999999\n");
        } else if (setup == u"exclusive") {
            terminal.holdExclusively();
            details = {device};
        }
        const transfer::Outcome outcome =
            transfer::checkBeforeTransfer(kermit, device, identity, locks);
        QCOMPARE(int(outcome.cause), cause);
        QCOMPARE(outcome.details, details);
    }

    // A serial port as the system sets it up, root's and group dialout's, opened by a user
    // outside that group: the system itself refuses. Shown as such a user when the test may
    // become one.
    void userOutsideTheGroupIsRefused() {
        if (::geteuid() != 0)
            QSKIP("needs root to become another user");
        PseudoTerminal terminal;
        const QByteArray device = QFile::encodeName(terminal.device);
        const struct group* dialout = ::getgrnam("dialout");
        QVERIFY(dialout != nullptr);
        QVERIFY(::chown(device.constData(), 0, dialout->gr_gid) == 0);
        QVERIFY(::chmod(device.constData(), 0660) == 0);
        const pid_t child = ::fork();
        if (child == 0) {
            const gid_t nobody = 65534;
            if (::setgroups(1, &nobody) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                ::_exit(100);
            const transfer::Outcome outcome =
                transfer::checkBeforeTransfer(kKermit, terminal.device);
            const bool named =
                outcome.details == QStringList({terminal.device, "dialout", "dialout"});
            ::_exit(named ? int(outcome.cause) : 101);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), int(Cause::NoPermission));
    }

    // The cause of a failed run as Kermit's logs tell it.
    void causeFromTheLogs_data() {
        QTest::addColumn<QByteArray>("transactions");
        QTest::addColumn<QByteArray>("packets");
        QTest::addColumn<int>("cause");
        QTest::addColumn<QStringList>("details");
        const QByteArray retries = " failed: Too many retries\n";
        const QByteArray sendInit = "s-00-00-\x01"
                                    "9 S~/ @-#Y3~Z!J)0___F\"U1@]\r\n"
                                    "r-00-00-\x01"
                                    "9 Y~/ @-#Y3~^>J)0___B\"U1@A\n";
        QTest::newRow("nothing answered")
            << retries
            << sendInit + "r-xx-01-<timeout>\nS-00-01-x\nr-xx-02-<timeout>\nS-00-02-x\n"
                          "r-xx-03-<timeout>\ns-00-03-\x01"
                          "3 EToo many retries_\r\n"
            << int(Cause::CalculatorSilent) << QStringList{"3"};
        QTest::newRow("damaged packets") << retries
                                         << sendInit + "r-00-00-\x01"
                                                       "# N+\nS-00-01-x\nr-00-01-\x01"
                                                       "# N+\n"
                                         << int(Cause::TooManyRetries) << QStringList();
        QTest::newRow("cancelled") << QByteArray(" failed: Remote error\n")
                                   << sendInit + "r-03-00-\x01"
                                                 "+#EUser abort*9P\n"
                                   << int(Cause::Cancelled) << QStringList{"User abort"};
        QTest::newRow("refused by message")
            << QByteArray() << QByteArray("r-00-00-\x01") + "+ EFile refused!\n"
            << int(Cause::Refused) << QStringList{"File refused"};
        QTest::newRow("refused in the transaction log")
            << QByteArray("Sending DATA\n refused: name\n") << QByteArray() << int(Cause::Refused)
            << QStringList{"refused: name"};
        QTest::newRow("no account")
            << QByteArray() << QByteArray() << int(Cause::Failed) << QStringList();
    }
    void causeFromTheLogs() {
        QFETCH(QByteArray, transactions);
        QFETCH(QByteArray, packets);
        QFETCH(int, cause);
        QFETCH(QStringList, details);
        const transfer::Outcome outcome = kermit::judgeFailure(transactions, packets, 1);
        QCOMPARE(int(outcome.cause), cause);
        QCOMPARE(outcome.details, details);
    }

    // The file data of the data packets: prefixed controls and repeats are counted as the
    // bytes they stand for, a packet sent again only once, the block check not at all.
    void progressFromThePacketLog() {
        const QByteArray log = "s-00-00-\x01"
                               "9 S~/ @-#Y3~Z!J)0___F\"U1@]\r\n"
                               "r-00-00-\x01"
                               "9 Y~/ @-#Y3~^>J)0___B\"U1@A\n"
                               "s-03-00-\x01"
                               "-#Dab#M#J~$x123\r\n"
                               "S-03-01-\x01"
                               "-#Dab#M#J~$x123\r\n"
                               "s-03-02-\x01"
                               "-#Dab#M#J~$x123\r\n"
                               "r-03-00-\x01"
                               "%#Y/R9\n"
                               "s-04-00-\x01"
                               "-$D##xyz\r\n";
        QCOMPARE(kermit::dataBytes(log, true), qint64(2 + 2 + 4 + 1));
        QCOMPARE(kermit::dataBytes(log, false), qint64(0));
    }

    // Files received in one session are each handed over, and nothing stays behind: neither
    // the job's files nor the leftovers of an earlier version.
    void receivedFilesHandedOver() {
        Sandbox sandbox;
        PseudoTerminal terminal;
        const QString work = sandbox.path(QStringLiteral("work/"));
        writeBytes(work + QStringLiteral("~recv.tmp.~1~"), "old");
        writeBytes(sandbox.path(QStringLiteral("calculator/A")), "first");
        writeBytes(sandbox.path(QStringLiteral("calculator/B")), "second file");
        qputenv("STANDIN_DIR", QFile::encodeName(sandbox.path(QStringLiteral("standin/"))));
        qputenv("STANDIN_RECEIVE",
                QFile::encodeName(sandbox.path(QStringLiteral("calculator/A")) + u' ' +
                                  sandbox.path(QStringLiteral("calculator/B"))));
        TransferRequest request;
        request.script.mode = TransferMode::ReceiveFile;
        request.script.device = terminal.device;
        request.kermit = QStringLiteral(OMBREL_SOURCE_DIR "/tests/transfer/stand-in-kermit");
        request.workFolder = work.chopped(1);
        TransferJob job;
        QStringList received;
        connect(&job, &TransferJob::received, this,
                [&](const QString& file) { received += QString::fromLatin1(readBytes(file)); });
        QSignalSpy finished(&job, &TransferJob::finished);
        job.start(request);
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().at(1).toLongLong(), qint64(5 + 11));
        QCOMPARE(received, QStringList({"first", "second file"}));
        QCOMPARE(QDir(work).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        qunsetenv("STANDIN_RECEIVE");
    }
};

QTEST_GUILESS_MAIN(TestTransferJob)
#include "tst_transferjob.moc"
