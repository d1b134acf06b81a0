#include "Sandbox.h"
#include "core/FileName.h"
#include "core/HpFile.h"

#include <QDir>
#include <QHash>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QByteArray kHeader = "%%HP: T(1)A(R)F(,);\r\n";

TopicTable exampleTable() {
    TopicTable table;
    table.commitRows(1, {"Alpha", "Beta"});
    table.commitRows(2, {"", "say \"hi\""});
    table.commitRows(3, {});
    return table;
}

QByteArray randomRow(QRandomGenerator& random) {
    const int length = random.bounded(4) == 0 ? random.bounded(400) : random.bounded(40);
    QByteArray row;
    for (int i = 0; i < length; ++i) {
        char byte = static_cast<char>(random.bounded(256));
        if (byte == 26) // the end-of-file mark cannot be stored
            byte = 'Z';
        row += byte;
    }
    return row;
}

TopicTable randomTable(QRandomGenerator& random) {
    QList<TopicRows> topics(random.bounded(kMaxTopicCount + 1));
    for (TopicRows& rows : topics) {
        for (QByteArray& row : rows)
            row = random.bounded(3) == 0 ? QByteArray() : randomRow(random);
    }
    TopicTable table;
    table.fill(topics);
    return table;
}

// Limits the size of files this process writes while it lives.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

  private:
    rlimit saved_;
};

// Every code but the end-of-file mark, in rows of 32; the last row with a double quote, so
// it is written counted.
TopicTable everyCodeTable() {
    TopicRows rows;
    for (int code = 0; code < 256; ++code) {
        if (code != 26)
            rows[code / 32] += static_cast<char>(code);
    }
    TopicTable table;
    table.fill({rows});
    return table;
}

// How modes 2 and 3 spell the codes from 128 on, as the calculator writes them.
const char* const kNames[] = {
    "<)", "x-", ".V", "v/", ".S", "GS", "|>", "pi", ".d", "<=", ">=", "=/", "Ga", "->", "<-", "|v",
    "|^", "Gg", "Gd", "Ge", "Gn", "Gh", "Gl", "Gr", "Gs", "Gt", "Gw", "GD", "PI", "GW", "[]", "oo"};

QByteArray calculatorSpelling(int code) {
    if (code < 160)
        return QByteArray("\\") + kNames[code - 128];
    const QHash<int, QByteArray> named = {{171, "<<"}, {176, "^o"}, {181, "Gm"}, {187, ">>"},
                                          {215, ".x"}, {216, "O/"}, {223, "Gb"}, {247, ":-"}};
    return "\\" + named.value(code, QByteArray::number(code));
}

hpfile::Header headerOf(int mode) {
    hpfile::Header header;
    header.translation = mode;
    header.angle = 'D';
    header.fraction = '.';
    return header;
}

} // namespace

class TestHpWriter : public QObject {
    Q_OBJECT

  private slots:
    void theExampleFile() {
        const QByteArray expected = kHeader + "{ {\"Alpha\"\r\n"
                                              "\"Beta\"}\r\n"
                                              "{\"\"\r\n"
                                              "C$ 8 say \"hi\"}\r\n"
                                              "}\r\n";
        const TopicTable table = exampleTable();
        QCOMPARE(formatHpFile(table, 3, true, true), expected);

        TopicTable back;
        QCOMPARE(readHpData(expected, back), 2);
        QCOMPARE(back.row(1, 2), QByteArray("Beta"));
        QCOMPARE(back.row(2, 2), QByteArray("say \"hi\""));
    }

    void untrimmedTopicsTakeTenLines() {
        const QByteArray bytes = formatHpFile(exampleTable(), 3, false, false);
        QCOMPARE(bytes.count("\r\n"), 1 + 30 + 1);
        QVERIFY(bytes.startsWith(kHeader + "{ {\"Alpha\"\r\n\"Beta\"\r\n\"\"\r\n"));
        QVERIFY(bytes.endsWith("{\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                               "\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"}\r\n}\r\n"));
    }

    void trimmingKeepsTopicOneAndOneRow() {
        TopicTable table;
        table.commitRows(1, {});
        table.commitRows(2, {});
        table.commitRows(3, {});
        QCOMPARE(formatHpFile(table, 3, true, true), kHeader + "{ {\"\"}\r\n}\r\n");
        QCOMPARE(formatHpFile(table, 3, true, false),
                 kHeader + "{ {\"\"}\r\n{\"\"}\r\n{\"\"}\r\n}\r\n");
        QCOMPARE(formatHpFile(TopicTable(), 0, true, true), kHeader + "{ }\r\n");
        // An empty topic between filled ones stays.
        table.commitRows(3, {"x"});
        QCOMPARE(formatHpFile(table, 3, true, true),
                 kHeader + "{ {\"\"}\r\n{\"\"}\r\n{\"x\"}\r\n}\r\n");
    }

    void rowsWithQuotesAreCounted() {
        TopicTable table;
        const QByteArray quoteOnly = "\"";
        const QByteArray longQuoted = QByteArray(120, 'a') + '"';
        table.commitRows(1, {quoteOnly, longQuoted, "back\\slash"});
        const QByteArray bytes = formatHpFile(table, 1, true, true);
        QVERIFY(bytes.contains("{C$ 1 \"\r\nC$ 121 " + longQuoted + "\r\n\"back\\slash\"}"));
        TopicTable back;
        QCOMPARE(readHpData(bytes, back), 1);
        QCOMPARE(back.row(1, 1), quoteOnly);
        QCOMPARE(back.row(1, 2), longQuoted);
    }

    void whatIsWrittenReadsBackIdentically() {
        QRandomGenerator random(4807);
        for (int round = 0; round < 60; ++round) {
            const TopicTable table = randomTable(random);
            const bool trimRows = round % 2;
            TopicTable back;
            const int read =
                readHpData(formatHpFile(table, table.topicCount(), trimRows, false), back);
            QCOMPARE(read, table.topicCount());
            for (int slot = 1; slot <= kMaxTopics; ++slot) {
                for (int row = 1; row <= kRowsPerTopic; ++row)
                    QCOMPARE(back.row(slot, row), table.row(slot, row));
            }
        }
    }

    // Every code but 26 comes back unchanged from every mode, also when the file's line ends
    // are changed to LF, all or some of them; the header comes back with it.
    void everyCodeInEveryMode() {
        const TopicTable table = everyCodeTable();
        for (int mode = 0; mode <= 3; ++mode) {
            const QByteArray written = formatHpFile(table, 1, true, false, headerOf(mode));
            QCOMPARE(written.startsWith("%%HP: T(" + QByteArray::number(mode) + ")A(D)F(.);"),
                     true);
            QByteArray allLf = written;
            allLf.replace("\r\n", "\n");
            QByteArray mixed = written;
            mixed.replace("}\r\n", "}\n");
            for (const QByteArray& data : {written, allLf, mixed}) {
                TopicTable back;
                hpfile::ReadDetails details;
                QCOMPARE(readHpData(data, back, &details), 1);
                QCOMPARE(back.topic(1), table.topic(1));
                QCOMPARE(details.header.translation, mode);
                QCOMPARE(details.header.angle, 'D');
                QVERIFY(!details.omitted.any());
            }
        }
    }

    void spellingsOfEachMode() {
        TopicTable table;
        table.commitRows(1, {"a\\b", "say \"\x8d\""});
        QCOMPARE(formatHpFile(table, 1, true, false, headerOf(0)),
                 "%%HP: T(0)A(D)F(.);\n{ {\"a\\b\"\nC$ 7 say \"\x8d\"}\n}\n");
        QCOMPARE(formatHpFile(table, 1, true, false, headerOf(3)),
                 "%%HP: T(3)A(D)F(.);\r\n{ {\"a\\\\b\"\r\nC$ 7 say \"\\->\"}\r\n}\r\n");
        for (int code = 128; code < 256; ++code) {
            TopicTable one;
            one.commitRows(1, {QByteArray(1, static_cast<char>(code))});
            const QByteArray row = formatHpFile(one, 1, true, false, headerOf(3)).mid(23);
            QCOMPARE(row, "{\"" + calculatorSpelling(code) + "\"}\r\n}\r\n");
            const QByteArray modeTwo = formatHpFile(one, 1, true, false, headerOf(2)).mid(23);
            QCOMPARE(modeTwo, "{\"" +
                                  (code < 160 ? calculatorSpelling(code)
                                              : QByteArray(1, static_cast<char>(code))) +
                                  "\"}\r\n}\r\n");
        }
    }

    void writesAtomically() {
        Sandbox sandbox;
        const QString file = sandbox.path(QStringLiteral("db/a.hp"));
        const TopicTable table = exampleTable();
        QVERIFY(writeHpFile(file, table, 3, true, true));
        const QByteArray first = readBytes(file);
        QCOMPARE(first, formatHpFile(table, 3, true, true));

        TopicTable bigger;
        bigger.commitRows(1, {QByteArray(5000, 'b')});
        {
            FileSizeLimit limit(1000);
            QVERIFY(!writeHpFile(file, bigger, 1, true, true));
        }
        QCOMPARE(readBytes(file), first);
        QCOMPARE(QDir(sandbox.path(QStringLiteral("db"))).entryList(QDir::Files),
                 QStringList{QStringLiteral("a.hp")});

        QVERIFY(!writeHpFile(sandbox.path(QStringLiteral("no/such/dir/a.hp")) + "/x", table, 3,
                             true, true));
        QVERIFY(!writeHpFile(sandbox.path(QStringLiteral("db")), table, 3, true, true));
    }

    // A name is bytes and need not be UTF-8: its text gives back every byte string unchanged,
    // reads valid UTF-8 as Qt does, and never turns odd bytes into a character they are not (an
    // over-long "/" stays two bytes, no slash). A Latin-1 name is written and read by its bytes.
    void namesKeepTheirBytes() {
        QRandomGenerator random(20);
        for (int round = 0; round < 5000; ++round) {
            QByteArray bytes;
            for (int length = random.bounded(10); length > 0; --length)
                bytes += static_cast<char>(random.bounded(1, 256));
            QCOMPARE(filename::toBytes(filename::fromBytes(bytes)), bytes);
        }
        for (const char* utf8 : {"caf\xC3\xA9", "\xE2\x86\x92x", "\xF0\x9F\x98\x80"})
            QCOMPARE(filename::fromBytes(utf8), QString::fromUtf8(utf8));
        for (const char* odd : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x86"}) {
            QCOMPARE(filename::fromBytes(odd).size(), qsizetype(qstrlen(odd)));
            QVERIFY(!filename::fromBytes(odd).contains(u'/'));
        }
        QCOMPARE(filename::forDisplay(filename::fromBytes("caf\xE9.hp")),
                 QStringLiteral("caf\uFFFD.hp"));

        Sandbox sandbox;
        const QString folder = sandbox.path(QStringLiteral("db/"));
        const QString latin1 = folder + filename::fromBytes("caf\xE9.hp");
        QVERIFY(writeHpFile(latin1, exampleTable(), 3, true, false));
        QCOMPARE(::access((QFile::encodeName(folder) + "caf\xE9.hp").constData(), R_OK), 0);
        TopicTable back;
        QCOMPARE(readHpFile(latin1, back), 3);
    }

    // What no reader would take back is never written: the end-of-file mark in a row, or a
    // file larger than any database may be. The old file stays as it was.
    void unreadableFilesAreNeverWritten() {
        Sandbox sandbox;
        const QString file = sandbox.path(QStringLiteral("a.hp"));
        QVERIFY(writeHpFile(file, exampleTable(), 3, true, true));
        const QByteArray before = readBytes(file);
        TopicTable table;
        table.commitRows(1, {"ok", QByteArray("a\x1a"
                                              "b")});
        QVERIFY(!writeHpFile(file, table, 1, true, true));
        QCOMPARE(readBytes(file), before);
        TopicTable huge;
        huge.commitRows(1, QList<QByteArray>(kRowsPerTopic, QByteArray(2 * 1024 * 1024, 'x')));
        QVERIFY(!writeHpFile(file, huge, 1, true, true));
        QCOMPARE(readBytes(file), before);

        const hp48::EncodedRow encoded = encodeStorableRow(u"ab\u241Ac");
        QVERIFY(!encoded.ok());
        QCOMPARE(encoded.badIndex, 2);
        QCOMPARE(encoded.badColumn, 3);
    }
};

QTEST_GUILESS_MAIN(TestHpWriter)
#include "tst_hpwriter.moc"
