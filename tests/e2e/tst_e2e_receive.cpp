// Receiving from a real Kermit that plays the calculator, through the real Kermit and a
// pseudo-terminal cable.

#include "KermitPeer.h"
#include "core/HpFile.h"
#include "gui/DocumentWindow.h"
#include "gui/MainWindow.h"
#include "platform/ReceivedCopies.h"
#include "platform/TextIds.h"

#include <QTest>

class TestReceiveFromCalculator : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { requireTransferTools(); }

    void receivedFileOpensAsNewDocument() {
        TransferProgram program;
        QVERIFY(program.cable.ready());
        TopicTable table;
        TopicRows first;
        first[0] = "Phone";
        first[1] = QByteArray("\x8d\xe4 123", 6);
        TopicRows second;
        second[0] = "Mail";
        second[9] = "last row";
        table.fill({first, second});
        const QByteArray bytes = formatHpFile(table, table.topicCount(), true, false);
        const QString file = program.sandbox.path(QStringLiteral("calculator/PHONES"));
        writeBytes(file, bytes);
        Calculator calculator(program.cable.calculatorEnd());
        calculator.send(file, QStringLiteral("PHONES"));
        const QString status = program.run(TransferMode::ReceiveFile);
        QVERIFY2(reportsTransfer(status, bytes.size()), qPrintable(status));
        QVERIFY(calculator.finish());
        VERIFY_WIRE(program.cable);
        const QList<DocumentWindow*> documents = program.main->documentWindows();
        QCOMPARE(documents.size(), 1);
        const DocumentWindow* received = documents.first();
        QCOMPARE(received->caption(), QStringLiteral("Vom HP"));
        QVERIFY(received->document().isModified());
        QVERIFY(!received->document().hasFile());
        QCOMPARE(received->document().table().topicCount(), 2);
        for (int topic = 1; topic <= 2; ++topic) {
            for (int row = 1; row <= 10; ++row)
                QCOMPARE(received->document().table().row(topic, row), table.row(topic, row));
        }
        QCOMPARE(program.workFilesLeft(), QStringList());
        // kept as it came, before it opened
        QCOMPARE(received::copies().size(), 1);
        QCOMPARE(readBytes(received::copies().first().path), bytes);
    }

    void receivedFileNotHp48() {
        TransferProgram program;
        QVERIFY(program.cable.ready());
        const QString file = program.sandbox.path(QStringLiteral("calculator/BIN"));
        writeBytes(file, QByteArray("HPHP48-R\x00\x01\x02\xff", 12));
        Calculator calculator(program.cable.calculatorEnd());
        calculator.send(file, QStringLiteral("BIN"));
        QCOMPARE(program.run(TransferMode::ReceiveFile), kTransferFailed);
        QVERIFY(calculator.finish());
        QCOMPARE(program.prompter.shownIds(), QList<quint16>({textid::kNotHpFile}));
        QCOMPARE(program.main->documentWindows().size(), 0);
        QCOMPARE(program.workFilesLeft(), QStringList());
        // what cannot open is kept all the same
        QCOMPARE(received::copies().size(), 1);
        QCOMPARE(readBytes(received::copies().first().path), readBytes(file));
    }
};

QTEST_MAIN(TestReceiveFromCalculator)
#include "tst_e2e_receive.moc"
