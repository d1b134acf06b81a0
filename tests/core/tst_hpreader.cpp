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
        table.commitRows(1, {"old"});
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
            "%%HP: T(1)A(R)F(,);\n{\n{\"a\"}}",
            "%%HP: T(1)A(R)F(,);\r{ {\"a\"}}", // CR alone: the header runs on
            "%%HP: X(1)A(R)F(,);\r\n{ {\"a\"}}",
            "%%HP: T(1)A(R)F(,):\r\n{ {\"a\"}}",
            "HPHP48-E\x02\x03binary",  // a calculator binary
            "%%HP: T(1)A(R)F(,);\r\n", // nothing after the header
        };
        for (const QByteArray& data : rejected) {
            TopicTable table;
            table.commitRows(1, {"kept"});
            QCOMPARE(readHpData(data, table), hpfile::kNotHpFile);
            QCOMPARE(table.row(1, 1), QByteArray("kept"));
            QCOMPARE(table.topicCount(), 1);
        }
    }

    // The header line may end in CR LF or LF alone; its values are kept, a mode other than
    // 0 to 3 reads as 1.
    void headerValuesAndLineEnds() {
        struct Case {
            QByteArray data;
            int translation;
            char angle;
            char fraction;
        };
        const QList<Case> cases = {
            {"%%HP: T(1)A(R)F(,);\r\n{ {\"a\"}}", 1, 'R', ','},
            {"%%HP: T(0)A(D)F(.);\n{ {\"a\"}}", 0, 'D', '.'},
            {"%%HP: T(2)A(G)F(.);\n{ {\"a\"}}", 2, 'G', '.'},
            {"%%HP: T(3)A(R)F(.);\r\n{ {\"a\"}}", 3, 'R', '.'},
            {"%%HP: T(7)A(R)F(,);\r\n{ {\"a\"}}", 1, 'R', ','},
            {"%%HP: T(3)A(R)F(.); trailing words\n{ {\"a\"}}", 3, 'R', '.'},
        };
        for (const Case& c : cases) {
            TopicTable table;
            hpfile::ReadDetails details;
            QCOMPARE(readHpData(c.data, table, &details), 1);
            QCOMPARE(table.row(1, 1), QByteArray("a"));
            QCOMPARE(details.header.translation, c.translation);
            QCOMPARE(details.header.angle, c.angle);
            QCOMPARE(details.header.fraction, c.fraction);
            QVERIFY(!details.omitted.any());
        }
    }

    // In modes 2 and 3 a backslash starts a code: "\\", "\nnn" and the calculator's names
    // (also "\GP" for 156), counted rows counting codes; anything else stands and is counted.
    // Modes 0 and 1 take a backslash as itself.
    void backslashCodes() {
        const QByteArray body =
            "{\"\\<)\\x-\\.V\\v/\\.S\\GS\\|>\\pi\\.d\\<=\\>=\\=/\\Ga\\->\\<-\\|v\"\r\n"
            "\"\\|^\\Gg\\Gd\\Ge\\Gn\\Gh\\Gl\\Gr\\Gs\\Gt\\Gw\\GD\\PI\\GW\\[]\\oo\"\r\n"
            "\"\\<<\\^o\\Gm\\>>\\.x\\O/\\Gb\\:-\\GP\\215\\216\\000\\065\\255\"\r\n"
            "\"a\\\\b \\q \\256 \\12x \\ \\\"\r\n"
            "C$ 4 \\->\"\\228x}";
        QByteArray first, second, third;
        for (int code = 128; code <= 143; ++code)
            first += static_cast<char>(code);
        for (int code = 144; code <= 159; ++code)
            second += static_cast<char>(code);
        third = QByteArray::fromHex("abb0b5bbd7d8dff79cd7d80041ff");
        for (const char mode : {'2', '3'}) {
            TopicTable table;
            hpfile::ReadDetails details;
            const QByteArray data = "%%HP: T(" + QByteArray(1, mode) + ")A(R)F(.);\r\n{ " + body;
            QCOMPARE(readHpData(data, table, &details), 1);
            QCOMPARE(table.row(1, 1), first);
            QCOMPARE(table.row(1, 2), second);
            QCOMPARE(table.row(1, 3), third);
            QCOMPARE(table.row(1, 4), QByteArray("a\\b \\q \\256 \\12x \\ \\"));
            QCOMPARE(table.row(1, 5), QByteArray("\x8d\"\xe4x"));
            QCOMPARE(details.omitted.unknownCodes, 5);
            QVERIFY(!details.omitted.leftOut());
        }
        const TopicTable plain = read(fileWith("{\"\\->\\\\\"}"), 1);
        QCOMPARE(plain.row(1, 1), QByteArray("\\->\\\\"));
    }

    // Nothing is left out without being counted: rows past the tenth, entries that are not
    // text (also a row the data ends in), and what follows the end mark, decoded or not.
    void whatIsLeftOutIsCounted() {
        struct Case {
            QByteArray body;
            int topics;
            hpfile::Omissions expected;
        };
        QByteArray twelveRows = "{";
        for (int row = 1; row <= 12; ++row)
            twelveRows += "\"r\" ";
        const QList<Case> cases = {
            {"{\"a\"}\r\n}\r\n", 1, {}},
            {twelveRows + "}{\"b\"}", 2, {2, 0, 0, 0}},
            {"{\"a\" 12 'X' { \"b\" } \"c\" 4.5}", 1, {0, 5, 0, 0}},
            {"junk {x \"one\" y\r\n\"two\"} trailing }", 1, {0, 4, 0, 0}},
            {"{C$5}xx \"a\"}", 1, {0, 1, 0, 0}},
            {"{\"a\"}\x1a{\"c\"}", 1, {0, 0, 5, 0}},
            {"{\"a\" \"b", 1, {0, 1, 0, 0}},
            {"{\"a\"}\\026{\"c\"}\\q", 1, {0, 0, 7, 1}},
        };
        for (const Case& c : cases) {
            TopicTable table;
            hpfile::ReadDetails details;
            const QByteArray data = "%%HP: T(3)A(R)F(.);\r\n{ " + c.body;
            QCOMPARE(readHpData(data, table, &details), c.topics);
            QCOMPARE(details.omitted.rowsPastTenth, c.expected.rowsPastTenth);
            QCOMPARE(details.omitted.otherEntries, c.expected.otherEntries);
            QCOMPARE(details.omitted.bytesAfterEnd, c.expected.bytesAfterEnd);
            QCOMPARE(details.omitted.unknownCodes, c.expected.unknownCodes);
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
        table.commitRows(1, {"kept"});
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
