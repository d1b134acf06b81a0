#include "core/HpFile.h"
#include "Sandbox.h"

#include <QTest>

namespace {

const QByteArray kHeader = "%%HP: T(1)A(R)F(,);\r\n";

// A file of the given body after the header and "{ ".
QByteArray File(const QByteArray& body) {
    return kHeader + "{ " + body;
}

// The table the data gives; the running test fails unless the reader counts `expected` topics.
TopicTable Read(const QByteArray& data, int expected) {
    TopicTable table;
    const int result = ReadHpData(data, table);
    QTest::qCompare(result, expected, "ReadHpData(data, table)", "expected", __FILE__, __LINE__);
    return table;
}

int Result(const QByteArray& data) {
    TopicTable table;
    return ReadHpData(data, table);
}

} // namespace

class TestHpReader : public QObject {
    Q_OBJECT

  private slots:
    void headerOnlyHoldsNoTopic() {
        TopicTable table;
        table.CommitRows(1, {"old"}, false);
        QCOMPARE(ReadHpData(File("}\r\n"), table), 0);
        QCOMPARE(table.TopicCount(), 0);
        QVERIFY(table.Row(1, 1).isEmpty());
    }

    void headerValueBytesAreFree() {
        QCOMPARE(Result("%%HP: T(3)A(D)F(.);\r\n{ {\"x\"}}"), 1);
        TopicTable table;
        QCOMPARE(ReadHpData("%%HP: T(\x1a)A(R)F(,);\r\n{ {\"x\"}}", table), hpfile::kNotHpFile);
    }

    void wrongHeadersAreRejectedAndLeaveTheTable() {
        const QList<QByteArray> rejected = {
            "",
            "%%HP: T(1)A(R)F(,);\r\n{\r\n{\"a\"}}", // "{" then a line end
            "%%HP: T(1)A(R)F(,);\n{ {\"a\"}}",      // LF alone: the header runs on
            "%%HP: T(1)A(R)F(,);\r{ {\"a\"}}",      // CR alone
            "%%HP: X(1)A(R)F(,);\r\n{ {\"a\"}}",
            "%%HP: T(1)A(R)F(,):\r\n{ {\"a\"}}",
            "HPHP48-E\x02\x03binary",  // a calculator binary
            "%%HP: T(1)A(R)F(,);\r\n", // nothing after the header
        };
        for (const QByteArray& data : rejected) {
            TopicTable table;
            table.CommitRows(1, {"kept"}, false);
            QCOMPARE(ReadHpData(data, table), hpfile::kNotHpFile);
            QCOMPARE(table.Row(1, 1), QByteArray("kept"));
            QCOMPARE(table.TopicCount(), 1);
        }
    }

    void aLongHeaderEndsAfterFiftyBytes() {
        const QByteArray header = "%%HP: T(1)A(R)F(,);" + QByteArray(31, 'x'); // 50 bytes
        QCOMPARE(Result(header + "{ {\"a\"}}"), 1);
        QCOMPARE(Result(header + "\r\n{ {\"a\"}}"), hpfile::kNotHpFile);
    }

    void layoutBetweenRowsAndTopicsIsIgnored() {
        const TopicTable table =
            Read(File("junk {x \"one\" y\r\n\"two\"}\r\n  }{\"three\"} trailing"), 2);
        QCOMPARE(table.TopicCount(), 2);
        QCOMPARE(table.Row(1, 1), QByteArray("one"));
        QCOMPARE(table.Row(1, 2), QByteArray("two"));
        QCOMPARE(table.Row(2, 1), QByteArray("three"));
    }

    void quotedRowsKeepLineEndsAndBraces() {
        const TopicTable table = Read(File("{\"a\r\nb{}\" \"\\\"}"), 1);
        QCOMPARE(table.Row(1, 1), QByteArray("a\r\nb{}"));
        QCOMPARE(table.Row(1, 2), QByteArray("\\"));
    }

    void countedRows() {
        const TopicTable table = Read(File("{C$ 0 C$ 00 C$ 5 helloC$ 05 helloC$ 8 say \"hi\"}"), 1);
        QVERIFY(table.Row(1, 1).isEmpty());
        QVERIFY(table.Row(1, 2).isEmpty());
        QCOMPARE(table.Row(1, 3), QByteArray("hello"));
        QCOMPARE(table.Row(1, 4), QByteArray("hello"));
        QCOMPARE(table.Row(1, 5), QByteArray("say \"hi\""));
    }

    void longRowsOfAnyLengthAreRead() {
        const QByteArray quoted(500, 'q');
        const QByteArray counted = QByteArray(1234, 'c') + "\"";
        const TopicTable table = Read(File("{\"" + quoted + "\"C$ 1235 " + counted + "}"), 1);
        QCOMPARE(table.Row(1, 1), quoted);
        QCOMPARE(table.Row(1, 2), counted);
    }

    void malformedCountedRowsDropFourBytes() {
        // "C$5" is not "C$ " and a digit: "$5}x" go with it, so the topic stays open.
        const TopicTable table = Read(File("{C$5}xx \"a\"}{\"c\"}"), 2);
        QCOMPARE(table.Row(1, 1), QByteArray("a"));
        QCOMPARE(table.Row(2, 1), QByteArray("c"));
        const TopicTable other = Read(File("{CAT  \"x\"}"), 1);
        QCOMPARE(other.Row(1, 1), QByteArray("x"));
    }

    void rowsPastTheTenthAreDropped() {
        QByteArray body = "{";
        for (int row = 1; row <= 12; ++row)
            body += "\"r" + QByteArray::number(row) + "\"";
        const TopicTable table = Read(File(body + "}{\"next\"}"), 2);
        QCOMPARE(table.Row(1, 10), QByteArray("r10"));
        QCOMPARE(table.Row(2, 1), QByteArray("next"));
    }

    void ctrlZEndsTheFile() {
        const TopicTable table = Read(File("{\"a\"}{\"b\"}\x1a{\"c\"}"), 2);
        QCOMPARE(table.TopicCount(), 2);
        // Inside a row the mark still ends the file: the rows before it stay.
        const TopicTable cut = Read(File("{\"a\" \"b\x1a\"}"), 1);
        QCOMPARE(cut.Row(1, 1), QByteArray("a"));
        QVERIFY(cut.Row(1, 2).isEmpty());
    }

    void openTopicsAndRowsAtTheEndKeepWhatWasComplete() {
        QCOMPARE(Read(File("{\"a\" \"b"), 1).Row(1, 1), QByteArray("a"));
        QCOMPARE(Read(File("{\"a\" C$ 9 abc"), 1).Row(1, 1), QByteArray("a"));
        QCOMPARE(Read(File("{\"a\" C$ 12"), 1).Row(1, 1), QByteArray("a"));
        QCOMPARE(Read(File("{\"a\" C$"), 1).Row(1, 1), QByteArray("a"));
        QCOMPARE(Read(File("{\"a\"}{"), 2).TopicCount(), 2);
        QCOMPARE(Read(File("{C$ 99999999999999999999999 x}"), 1).Row(1, 1), QByteArray());
    }

    void moreThan199TopicsAreRefusedWhole() {
        QByteArray body;
        for (int t = 1; t <= 200; ++t)
            body += "{\"t\"}\r\n";
        TopicTable table;
        table.CommitRows(1, {"kept"}, false);
        QCOMPARE(ReadHpData(File(body), table), hpfile::kTooManyTopics);
        QCOMPARE(table.TopicCount(), 1);
        QCOMPARE(table.Row(1, 1), QByteArray("kept"));
        body.chop(7);
        QCOMPARE(ReadHpData(File(body), table), 199);
    }

    void filesThatCannotBeOpened() {
        Sandbox sandbox;
        TopicTable table;
        QCOMPARE(ReadHpFile(sandbox.Path(QStringLiteral("missing.hp")), table),
                 hpfile::kCannotOpen);
        QCOMPARE(ReadHpFile(sandbox.Root(), table), hpfile::kNotRegularFile);
        const QString file = sandbox.Path(QStringLiteral("a.hp"));
        WriteBytes(file, File("{\"a\"}}"));
        QCOMPARE(ReadHpFile(file, table), 1);
        QCOMPARE(table.Row(1, 1), QByteArray("a"));
    }
};

QTEST_GUILESS_MAIN(TestHpReader)
#include "tst_hpreader.moc"
