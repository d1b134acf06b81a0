// Sending to a real Kermit that plays the calculator, through the real Kermit and a
// pseudo-terminal cable: what the calculator stores is exactly what the program meant to send,
// under exactly the name typed, and no name can make Kermit do anything else.

#include "KermitPeer.h"
#include "core/HpFile.h"
#include "gui/DocumentWindow.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/TransferDialog.h"
#include "platform/Paths.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

TopicTable sampleTable() {
    TopicTable table;
    TopicRows first;
    first[0] = "Adresses";
    first[1] = QByteArray("Stra\xdf"
                          "e 5 \x8d",
                          10); // calculator codes above 127
    first[3] = "\"quoted\"";
    TopicRows second;
    second[0] = "End";
    table.fill({first, second, TopicRows()});
    return table;
}

DocumentWindow* openDocument(TransferProgram& program, const TopicTable& table) {
    DocumentWindow* document = program.main->newDocument();
    const QString file = program.sandbox.path(QStringLiteral("db/doc.txt"));
    writeBytes(file, formatHpFile(table, table.topicCount(), false, false));
    document->loadFromFile(file);
    return document;
}

QStringList storedNames(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TestSendToCalculator : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { requireTransferTools(); }

    // The calculator takes a file by its receive command or as a server; the port is one of
    // the four or a device given by its path, as an emulator's pseudo-terminal is.
    void documentArrivesAsWritten_data() {
        QTest::addColumn<bool>("compress");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("server");
        QTest::newRow("compressed") << true << QStringLiteral("ADDR") << false;
        QTest::newRow("all ten rows, a name with blanks")
            << false << QStringLiteral("MY  ADDR 2") << false;
        QTest::newRow("to a server, the port a path") << true << QStringLiteral("ADDR") << true;
    }
    void documentArrivesAsWritten() {
        QFETCH(bool, compress);
        QFETCH(QString, name);
        QFETCH(bool, server);
        TransferProgram program;
        QVERIFY(program.cable.ready());
        if (server) {
            program.settings.writeString("Transfer", "Port", program.cable.programEnd());
            program.setDevice(program.sandbox.path(QStringLiteral("no/such/tty")));
        }
        DocumentWindow* document = openDocument(program, sampleTable());
        program.preferences.compress = compress;
        const QByteArray expected =
            formatHpFile(document->document().table(), document->document().table().topicCount(),
                         compress, program.preferences.deleteEmpty);
        const QString folder = program.sandbox.path(QStringLiteral("calculator/"));
        Calculator calculator(program.cable.calculatorEnd());
        if (server)
            calculator.serveInto(folder);
        else
            calculator.receiveInto(folder);
        const QString status = program.run(TransferMode::SendDocument, name);
        QVERIFY2(reportsTransfer(status, expected.size()), qPrintable(status));
        QVERIFY(calculator.finish());
        VERIFY_WIRE(program.cable);
        QCOMPARE(storedNames(folder), QStringList({name}));
        QCOMPARE(readBytes(folder + name), expected);
        QCOMPARE(program.workFilesLeft(), QStringList());
        // The bar ends full with the bytes sent, the time beside it.
        const auto* bar =
            program.dialog->findChild<QProgressBar*>(QStringLiteral("transferProgress"));
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(bar->text(), QStringLiteral("%1 of %1 bytes").arg(expected.size()));
        QVERIFY(program.dialog->findChild<QLabel*>(QStringLiteral("elapsedTime"))
                    ->text()
                    .startsWith(QStringLiteral("Time: ")));
    }

    // Whatever the name holds, it is the name and nothing else: no command runs, and the
    // calculator stores the file under the name as typed, line breaks left out.
    void namesStayNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stored");
        QTest::newRow("braces and line breaks")
            << QStringLiteral("x}\nshell touch PWNED\n{") << QStringLiteral("x}shell touch PWNED{");
        QTest::newRow("variables and functions")
            << QStringLiteral("\\%r \\fcommand(touch PWNED) \\v(home)")
            << QStringLiteral("\\%r \\fcommand(touch PWNED) \\v(home)");
        QTest::newRow("comments, quotes, wildcards and a continued line")
            << QStringLiteral(" {a} ;b #c \"d\" [e]* -")
            << QStringLiteral(" {a} ;b #c \"d\" [e]* -");
    }
    void namesStayNames() {
        QFETCH(QString, name);
        QFETCH(QString, stored);
        QTemporaryDir current;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(current.path()); // where a "touch" from the script would land
        TransferProgram program;
        QVERIFY(program.cable.ready());
        openDocument(program, sampleTable());
        const QString folder = program.sandbox.path(QStringLiteral("calculator/"));
        Calculator calculator(program.cable.calculatorEnd());
        calculator.receiveInto(folder);
        const QString status = program.run(TransferMode::SendDocument, name);
        QDir::setCurrent(previous);
        QVERIFY(calculator.finish());
        QVERIFY2(status.startsWith(QStringLiteral("Transfered ")), qPrintable(status));
        VERIFY_WIRE(program.cable);
        QCOMPARE(storedNames(folder), QStringList({stored}));
        QCOMPARE(QDir(current.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
        QCOMPARE(program.workFilesLeft(), QStringList());
    }

    // The library goes unchanged under the name "tarvo", from a program directory whose name
    // has blanks, braces and wildcards, named as a DOS disk names it.
    void tarvoLibrary() {
        // Every byte value goes: the script leaves some control characters raw as C-Kermit
        // does by default, so the wire check stays off here until it prefixes them all.
        TransferProgram program;
        QVERIFY(program.cable.ready());
        QByteArray library;
        for (int i = 0; i < 700; ++i)
            library += static_cast<char>(i * 7 % 256);
        writeBytes(paths::progDir() + QStringLiteral("TARVO.LIB"), library);
        const QString folder = program.sandbox.path(QStringLiteral("calculator/"));
        Calculator calculator(program.cable.calculatorEnd());
        calculator.receiveInto(folder);
        const QString status = program.run(TransferMode::SendLibrary);
        QVERIFY2(reportsTransfer(status, library.size()), qPrintable(status));
        QVERIFY(calculator.finish());
        VERIFY_WIRE(program.cable);
        QCOMPARE(storedNames(folder), QStringList({"tarvo"}));
        QCOMPARE(readBytes(folder + QStringLiteral("tarvo")), library);
        QCOMPARE(readBytes(paths::progDir() + QStringLiteral("TARVO.LIB")), library);
        QCOMPARE(program.workFilesLeft(), QStringList());
    }
};

QTEST_MAIN(TestSendToCalculator)
#include "tst_e2e_send.moc"
