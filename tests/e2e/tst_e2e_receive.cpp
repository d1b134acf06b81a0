// Receiving from a real Kermit that plays the calculator, through the real Kermit and a
// pseudo-terminal cable.

#include "core/HpFile.h"
#include "KermitPeer.h"
#include "gui/DocumentWindow.h"
#include "gui/MainWindow.h"

#include <QTest>

class TestReceiveFromCalculator : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { RequireKermitAndSocat(); }

    void receivedFileOpensAsNewDocument() {
        TransferProgram program;
        QVERIFY(program.cable.Ready());
        TopicTable table;
        TopicRows first;
        first[0] = "Phone";
        first[1] = QByteArray("\x8d\xe4 123", 6);
        TopicRows second;
        second[0] = "Mail";
        second[9] = "last row";
        table.Fill({first, second});
        const QByteArray bytes = FormatHpFile(table, table.TopicCount(), true, false);
        const QString file = program.sandbox.Path(QStringLiteral("calculator/PHONES"));
        WriteBytes(file, bytes);
        Calculator calculator(program.cable.CalculatorEnd());
        calculator.Send(file, QStringLiteral("PHONES"));
        const QString status = program.Run('R');
        QVERIFY2(ReportsTransfer(status, bytes.size()), qPrintable(status));
        QVERIFY(calculator.Finish());
        const QList<DocumentWindow*> documents = program.main->DocumentWindows();
        QCOMPARE(documents.size(), 1);
        const DocumentWindow* received = documents.first();
        QCOMPARE(received->Caption(), QStringLiteral("Vom HP"));
        QVERIFY(received->Table().Modified);
        QCOMPARE(received->Table().FileName, kNoFileName);
        QCOMPARE(received->Table().TopicCount(), 2);
        for (int topic = 1; topic <= 2; ++topic) {
            for (int row = 1; row <= 10; ++row)
                QCOMPARE(received->Table().Row(topic, row), table.Row(topic, row));
        }
        QCOMPARE(program.WorkFilesLeft(), QStringList());
    }

    void receivedFileNotHp48() {
        TransferProgram program;
        QVERIFY(program.cable.Ready());
        const QString file = program.sandbox.Path(QStringLiteral("calculator/BIN"));
        WriteBytes(file, QByteArray("HPHP48-R\x00\x01\x02\xff", 12));
        Calculator calculator(program.cable.CalculatorEnd());
        calculator.Send(file, QStringLiteral("BIN"));
        QCOMPARE(program.Run('R'), kTransferFailed);
        QVERIFY(calculator.Finish());
        QCOMPARE(program.prompter.ShownIds(), QList<quint16>({1120}));
        QCOMPARE(program.main->DocumentWindows().size(), 0);
        QCOMPARE(program.WorkFilesLeft(), QStringList());
    }
};

QTEST_MAIN(TestReceiveFromCalculator)
#include "tst_e2e_receive.moc"
