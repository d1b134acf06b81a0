#include "Sandbox.h"
#include "core/HpFile.h"

#include <QTest>

namespace {

const QByteArray kHeader = "%%HP: T(1)A(R)F(,);\r\n";

// A file of the given body after the header and "{ ".
QByteArray fileWith(const QByteArray& body) {
    return kHeader + "{ " + body;
}

// The table the data gives; the running test fails unless the reader counts `expected` topics.
TopicTable read(const QByteArray& data, int expected) {
    TopicTable table;
    const int result = readHpData(data, table);
    QTest::qCompare(result, expected, "ReadHpData(data, table)", "expected", __FILE__, __LINE__);
    return table;
}

int result(const QByteArray& data) {
    TopicTable table;
    return readHpData(data, table);
}

} // namespace

class TestHpReader : public QObject {
    Q_OBJECT

  private slots:
    void headerOnlyHoldsNoTopic() {
        TopicTable table;
        table.commitRows(1, {"old"}, false);
        QCOMPARE(readHpData(fileWith("}\r\n"), table), 0);
        QCOMPARE(table.topicCount(), 0);
        QVERIFY(table.row(1, 1).isEmpty());
    }

    void headerValueBytesAreFree() {
        QCOMPARE(result("%%HP: T(3)A(D)F(.);\r\n{ {\"x\"}}"), 1);
        TopicTable table;
        QCOMPARE(readHpData("%%HP: T(\x1a)A(R)F(,);\r\n{ {\"x\"}}", table), hpfile::kNotHpFile);
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
            table.commitRows(1, {"kept"}, false);
            QCOMPARE(readHpData(data, table), hpfile::kNotHpFile);
            QCOMPARE(table.row(1, 1), QByteArray("kept"));
            QCOMPARE(table.topicCount(), 1);
        }
    }

    void aLongHeaderEndsAfterFiftyBytes() {
        const QByteArray header = "%%HP: T(1)A(R)F(,);" + QByteArray(31, 'x'); // 50 bytes
        QCOMPARE(result(header + "{ {\"a\"}}"), 1);
        QCOMPARE(result(header + "\r\n{ {\"a\"}}"), hpfile::kNotHpFile);
    }

    void layoutBetweenRowsAndTopicsIsIgnored() {
        const TopicTable table =
            read(fileWith("junk {x \"one\" y\r\n\"two\"}\r\n  }{\"three\"} trailing"), 2);
        QCOMPARE(table.topicCount(), 2);
        QCOMPARE(table.row(1, 1), QByteArray("one"));
        QCOMPARE(table.row(1, 2), QByteArray("two"));
        QCOMPARE(table.row(2, 1), QByteArray("three"));
    }

    void quotedRowsKeepLineEndsAndBraces() {
        const TopicTable table = read(fileWith("{\"a\r\nb{}\" \"\\\"}"), 1);
        QCOMPARE(table.row(1, 1), QByteArray("a\r\nb{}"));
        QCOMPARE(table.row(1, 2), QByteArray("\\"));
    }

    void countedRows() {
        const TopicTable table =
            read(fileWith("{C$ 0 C$ 00 C$ 5 helloC$ 05 helloC$ 8 say \"hi\"}"), 1);
        QVERIFY(table.row(1, 1).isEmpty());
        QVERIFY(table.row(1, 2).isEmpty());
        QCOMPARE(table.row(1, 3), QByteArray("hello"));
        QCOMPARE(table.row(1, 4), QByteArray("hello"));
        QCOMPARE(table.row(1, 5), QByteArray("say \"hi\""));
    }

    void longRowsOfAnyLengthAreRead() {
        const QByteArray quoted(500, 'q');
        const QByteArray counted = QByteArray(1234, 'c') + "\"";
        const TopicTable table = read(fileWith("{\"" + quoted + "\"C$ 1235 " + counted + "}"), 1);
        QCOMPARE(table.row(1, 1), quoted);
        QCOMPARE(table.row(1, 2), counted);
    }

    void malformedCountedRowsDropFourBytes() {
        // "C$5" is not "C$ " and a digit: "$5}x" go with it, so the topic stays open.
        const TopicTable table = read(fileWith("{C$5}xx \"a\"}{\"c\"}"), 2);
        QCOMPARE(table.row(1, 1), QByteArray("a"));
        QCOMPARE(table.row(2, 1), QByteArray("c"));
        const TopicTable other = read(fileWith("{CAT  \"x\"}"), 1);
        QCOMPARE(other.row(1, 1), QByteArray("x"));
    }

    void rowsPastTheTenthAreDropped() {
        QByteArray body = "{";
        for (int row = 1; row <= 12; ++row)
            body += "\"r" + QByteArray::number(row) + "\"";
        const TopicTable table = read(fileWith(body + "}{\"next\"}"), 2);
        QCOMPARE(table.row(1, 10), QByteArray("r10"));
        QCOMPARE(table.row(2, 1), QByteArray("next"));
    }

    void ctrlZEndsTheFile() {
        const TopicTable table = read(fileWith("{\"a\"}{\"b\"}\x1a{\"c\"}"), 2);
        QCOMPARE(table.topicCount(), 2);
        // Inside a row the mark still ends the file: the rows before it stay.
        const TopicTable cut = read(fileWith("{\"a\" \"b\x1a\"}"), 1);
        QCOMPARE(cut.row(1, 1), QByteArray("a"));
        QVERIFY(cut.row(1, 2).isEmpty());
    }

    void openTopicsAndRowsAtTheEndKeepWhatWasComplete() {
        QCOMPARE(read(fileWith("{\"a\" \"b"), 1).row(1, 1), QByteArray("a"));
        QCOMPARE(read(fileWith("{\"a\" C$ 9 abc"), 1).row(1, 1), QByteArray("a"));
        QCOMPARE(read(fileWith("{\"a\" C$ 12"), 1).row(1, 1), QByteArray("a"));
        QCOMPARE(read(fileWith("{\"a\" C$"), 1).row(1, 1), QByteArray("a"));
        QCOMPARE(read(fileWith("{\"a\"}{"), 2).topicCount(), 2);
        QCOMPARE(read(fileWith("{C$ 99999999999999999999999 x}"), 1).row(1, 1), QByteArray());
    }

    void moreThan199TopicsAreRefusedWhole() {
        QByteArray body;
        for (int t = 1; t <= 200; ++t)
            body += "{\"t\"}\r\n";
        TopicTable table;
        table.commitRows(1, {"kept"}, false);
        QCOMPARE(readHpData(fileWith(body), table), hpfile::kTooManyTopics);
        QCOMPARE(table.topicCount(), 1);
        QCOMPARE(table.row(1, 1), QByteArray("kept"));
        body.chop(7);
        QCOMPARE(readHpData(fileWith(body), table), 199);
    }

    void filesThatCannotBeOpened() {
        Sandbox sandbox;
        TopicTable table;
        QCOMPARE(readHpFile(sandbox.path(QStringLiteral("missing.hp")), table),
                 hpfile::kCannotOpen);
        QCOMPARE(readHpFile(sandbox.root(), table), hpfile::kNotRegularFile);
        const QString file = sandbox.path(QStringLiteral("a.hp"));
        writeBytes(file, fileWith("{\"a\"}}"));
        QCOMPARE(readHpFile(file, table), 1);
        QCOMPARE(table.row(1, 1), QByteArray("a"));
    }
};

QTEST_GUILESS_MAIN(TestHpReader)
#include "tst_hpreader.moc"
