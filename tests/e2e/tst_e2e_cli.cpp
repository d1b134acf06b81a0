// Transfers from the command line: the real ombrel-cli and the real Kermit, over a
// pseudo-terminal cable, to a second Kermit playing the calculator.

#include "KermitPeer.h"
#include "Sandbox.h"
#include "core/HpFile.h"
#include "core/TopicTable.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

namespace {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CliRun runCli(const QStringList& arguments) {
    QProcess cli;
    cli.start(QStringLiteral(OMBREL_CLI_BINARY), arguments);
    CliRun run;
    if (!cli.waitForFinished(60000)) {
        cli.kill();
        cli.waitForFinished();
        return run;
    }
    return {cli.exitCode(), cli.readAllStandardOutput(), cli.readAllStandardError()};
}

// "Transfered N bytes in S seconds." for these bytes, after the script's first pause.
bool reportsBytes(const QByteArray& err, qint64 bytes) {
    return reportsTransfer(QString::fromUtf8(err).trimmed(), bytes);
}

TopicTable tableOf(int topics, int rowLength) {
    QList<TopicRows> rows;
    for (int topic = 0; topic < topics; ++topic) {
        TopicRows record;
        for (int row = 0; row < kRowsPerTopic; ++row)
            record[row] = QByteArray::number(topic) + ' ' + QByteArray(rowLength, 'a' + row);
        rows.append(record);
    }
    rows.first()[1] = QByteArray("\x8d\xab\xbb \x1f\x7f", 6); // codes the cable must carry whole
    TopicTable table;
    table.fill(rows);
    return table;
}

QString calculatorFile(const QString& folder) {
    const QStringList files = QDir(folder).entryList(QDir::Files);
    return files.size() == 1 ? folder + u'/' + files.first() : QString();
}

} // namespace

class TestCliTransfer : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { requireTransferTools(); }

    // The calculator stores what came under the name it was sent with.
    void sendDocumentAndLibrary_data() {
        QTest::addColumn<bool>("library");
        QTest::newRow("document") << false;
        QTest::newRow("library") << true;
    }
    void sendDocumentAndLibrary() {
        QFETCH(bool, library);
        Sandbox sandbox;
        NullModem cable(sandbox.path(QStringLiteral("cable/")));
        QVERIFY(cable.ready());
        const QString progDir = sandbox.path(QStringLiteral("prog/"));
        qputenv("OMBREL_PROGDIR", QFile::encodeName(progDir));
        const TopicTable table = tableOf(3, 20);
        const QString database = sandbox.path(QStringLiteral("db/phones.txt"));
        writeBytes(database, formatHpFile(table, table.topicCount(), false, false));
        const QByteArray libraryBytes = QByteArray("HPHP48-X\x00\x01\x02\x13\x11\xff", 14);
        writeBytes(progDir + QStringLiteral("tarvo.lib"), libraryBytes);
        const QString folder = sandbox.path(QStringLiteral("calculator"));
        Calculator calculator(cable.calculatorEnd());
        calculator.receiveInto(folder);
        const CliRun run =
            library ? runCli({"send-library", "--port", cable.programEnd()})
                    : runCli({"send", database, "--port", cable.programEnd(), "--baud", "9600"});
        qunsetenv("OMBREL_PROGDIR");
        QVERIFY(calculator.finish());
        QCOMPARE(run.exitCode, 0);
        VERIFY_WIRE(cable);
        const QString received = calculatorFile(folder);
        QCOMPARE(QFileInfo(received).fileName(),
                 library ? QStringLiteral("tarvo") : QStringLiteral("phones"));
        const QByteArray bytes = readBytes(received);
        QVERIFY2(reportsBytes(run.err, bytes.size()), run.err.constData());
        if (library) {
            QCOMPARE(bytes, libraryBytes);
            return;
        }
        TopicTable back;
        QCOMPARE(readHpData(bytes, back), 3);
        for (int row = 1; row <= kRowsPerTopic; ++row)
            QCOMPARE(back.row(1, row), table.row(1, row));
    }

    // Every file of the session is stored: the first as OUT, the next as OUT.2.
    void receiveStoresEveryFile() {
        Sandbox sandbox;
        NullModem cable(sandbox.path(QStringLiteral("cable/")));
        QVERIFY(cable.ready());
        const TopicTable table = tableOf(2, 10);
        const QByteArray first = formatHpFile(table, table.topicCount(), true, false);
        const QByteArray second = formatHpFile(tableOf(1, 3), 1, false, false);
        writeBytes(sandbox.path(QStringLiteral("calculator/A")), first);
        writeBytes(sandbox.path(QStringLiteral("calculator/B")), second);
        Calculator calculator(cable.calculatorEnd());
        calculator.send(sandbox.path(QStringLiteral("calculator/*")), QString());
        const QString out = sandbox.path(QStringLiteral("pc/phones.txt"));
        const CliRun run = runCli({"receive", out, "--port", cable.programEnd()});
        QVERIFY(calculator.finish());
        QCOMPARE(run.exitCode, 0);
        VERIFY_WIRE(cable);
        const QByteArray stored = QFile::encodeName(out);
        QCOMPARE(run.out, stored + '\n' + stored + ".2\n");
        QVERIFY2(reportsBytes(run.err, first.size() + second.size()), run.err.constData());
        QCOMPARE(readBytes(out), first);
        QCOMPARE(readBytes(out + QStringLiteral(".2")), second);
        QCOMPARE(QDir(sandbox.runtimeDir() + QStringLiteral("/ombrel"))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }

    // A calculator that falls silent halfway through a file: the send ends within seconds and
    // names the timeout.
    void calculatorStopsMidSend() {
        Sandbox sandbox;
        NullModem cable(sandbox.path(QStringLiteral("cable/")));
        QVERIFY(cable.ready());
        const TopicTable table = tableOf(199, 150);
        const QString database = sandbox.path(QStringLiteral("db/big.txt"));
        writeBytes(database, formatHpFile(table, table.topicCount(), false, false));
        const QString folder = sandbox.path(QStringLiteral("calculator"));
        Calculator calculator(cable.calculatorEnd());
        calculator.receiveInto(folder);
        QProcess cli;
        cli.start(QStringLiteral(OMBREL_CLI_BINARY),
                  {"send", database, "--port", cable.programEnd(), "--name", "BIG"});
        const QDeadlineTimer arrival(15000);
        while (!arrival.hasExpired() && calculatorFile(folder).isEmpty())
            QThread::msleep(5);
        const qint64 arrived = QFileInfo(calculatorFile(folder)).size();
        calculator.stop();
        QElapsedTimer sinceSilent;
        sinceSilent.start();
        QVERIFY(cli.waitForFinished(30000));
        QVERIFY2(sinceSilent.elapsed() < 15000, qPrintable(QString::number(sinceSilent.elapsed())));
        QVERIFY2(arrived < QFileInfo(database).size(), "stopped halfway through the file");
        QCOMPARE(cli.exitCode(), 18);
        const QString err = QString::fromUtf8(cli.readAllStandardError());
        QVERIFY2(
            QRegularExpression(QStringLiteral("^The calculator did not answer for \\d+ seconds"))
                .match(err)
                .hasMatch(),
            qPrintable(err));
    }

    // Found before Kermit starts, each with its own exit code.
    void deviceProblems() {
        Sandbox sandbox;
        const QString database = sandbox.path(QStringLiteral("db/a.txt"));
        writeBytes(database, formatHpFile(tableOf(1, 1), 1, false, false));
        const QString missing = sandbox.path(QStringLiteral("dev/ttyUSB9"));
        CliRun run = runCli({"send", database, "--port", missing});
        QCOMPARE(run.exitCode, 11);
        QCOMPARE(run.err, "There is no serial device " + QFile::encodeName(missing) +
                              ". Is the cable plugged in?\n");
        run = runCli({"receive", sandbox.path(QStringLiteral("out")), "--port", database});
        QCOMPARE(run.exitCode, 12);
        QVERIFY(!QFileInfo::exists(sandbox.path(QStringLiteral("out"))));
    }
};

QTEST_GUILESS_MAIN(TestCliTransfer)
#include "tst_e2e_cli.moc"
