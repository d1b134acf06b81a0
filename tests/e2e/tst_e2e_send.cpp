// Sending to a real Kermit that plays the calculator, through the real Kermit and a
// pseudo-terminal cable: what the calculator stores is exactly what the program meant to send,
// under exactly the name typed, and no name can make Kermit do anything else.

#include "core/HpFile.h"
#include "KermitPeer.h"
#include "platform/Paths.h"
#include "gui/DocumentWindow.h"
#include "gui/MainWindow.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

TopicTable SampleTable() {
    TopicTable table;
    TopicRows first;
    first[0] = "Adresses";
    first[1] = QByteArray("Stra\xdf"
                          "e 5 \x8d",
                          10); // calculator codes above 127
    first[3] = "\"quoted\"";
    TopicRows second;
    second[0] = "End";
    table.Fill({first, second, TopicRows()});
    return table;
}

DocumentWindow* OpenDocument(TransferProgram& program, const TopicTable& table) {
    DocumentWindow* document = program.main->NeueDatei1Click();
    const QString file = program.sandbox.Path(QStringLiteral("db/doc.txt"));
    WriteBytes(file, FormatHpFile(table, table.TopicCount(), false, false));
    document->LoadFromFile(file);
    return document;
}

QStringList Stored(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TestSendToCalculator : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { RequireKermitAndSocat(); }

    void documentArrivesAsWritten_data() {
        QTest::addColumn<bool>("compress");
        QTest::addColumn<QString>("name");
        QTest::newRow("compressed") << true << QStringLiteral("ADDR");
        QTest::newRow("all ten rows, a name with blanks") << false << QStringLiteral("MY  ADDR 2");
    }
    void documentArrivesAsWritten() {
        QFETCH(bool, compress);
        QFETCH(QString, name);
        TransferProgram program;
        QVERIFY(program.cable.Ready());
        DocumentWindow* document = OpenDocument(program, SampleTable());
        Glob().Compress = compress;
        const QByteArray expected = FormatHpFile(document->Table(), document->Table().TopicCount(),
                                                 compress, Glob().DeleteEmpty);
        const QString folder = program.sandbox.Path(QStringLiteral("calculator/"));
        Calculator calculator(program.cable.CalculatorEnd());
        calculator.ReceiveInto(folder);
        const QString status = program.Run('S', name);
        QVERIFY2(ReportsTransfer(status, expected.size()), qPrintable(status));
        QVERIFY(calculator.Finish());
        QCOMPARE(Stored(folder), QStringList({name}));
        QCOMPARE(ReadBytes(folder + name), expected);
        QCOMPARE(program.WorkFilesLeft(), QStringList());
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
        QVERIFY(program.cable.Ready());
        OpenDocument(program, SampleTable());
        const QString folder = program.sandbox.Path(QStringLiteral("calculator/"));
        Calculator calculator(program.cable.CalculatorEnd());
        calculator.ReceiveInto(folder);
        const QString status = program.Run('S', name);
        QDir::setCurrent(previous);
        QVERIFY(calculator.Finish());
        QVERIFY2(status.startsWith(QStringLiteral("Transfered ")), qPrintable(status));
        QCOMPARE(Stored(folder), QStringList({stored}));
        QCOMPARE(QDir(current.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
        QCOMPARE(program.WorkFilesLeft(), QStringList());
    }

    // The library goes unchanged under the name "tarvo", from a program directory whose name
    // has blanks, braces and wildcards.
    void tarvoLibrary() {
        TransferProgram program;
        QVERIFY(program.cable.Ready());
        QByteArray library;
        for (int i = 0; i < 700; ++i)
            library += static_cast<char>(i * 7 % 256);
        WriteBytes(paths::ProgDir() + QStringLiteral("tarvo.lib"), library);
        const QString folder = program.sandbox.Path(QStringLiteral("calculator/"));
        Calculator calculator(program.cable.CalculatorEnd());
        calculator.ReceiveInto(folder);
        const QString status = program.Run('T');
        QVERIFY2(ReportsTransfer(status, library.size()), qPrintable(status));
        QVERIFY(calculator.Finish());
        QCOMPARE(Stored(folder), QStringList({"tarvo"}));
        QCOMPARE(ReadBytes(folder + QStringLiteral("tarvo")), library);
        QCOMPARE(ReadBytes(paths::ProgDir() + QStringLiteral("tarvo.lib")), library);
        QCOMPARE(program.WorkFilesLeft(), QStringList());
    }
};

QTEST_MAIN(TestSendToCalculator)
#include "tst_e2e_send.moc"
