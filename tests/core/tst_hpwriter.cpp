#include "Sandbox.h"
#include "core/HpFile.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

const QByteArray kHeader = "%%HP: T(1)A(R)F(,);\r\n";

TopicTable exampleTable() {
    TopicTable table;
    table.commitRows(1, {"Alpha", "Beta"}, false);
    table.commitRows(2, {"", "say \"hi\""}, false);
    table.commitRows(3, {}, false);
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
        table.commitRows(1, {}, false);
        table.commitRows(2, {}, false);
        table.commitRows(3, {}, false);
        QCOMPARE(formatHpFile(table, 3, true, true), kHeader + "{ {\"\"}\r\n}\r\n");
        QCOMPARE(formatHpFile(table, 3, true, false),
                 kHeader + "{ {\"\"}\r\n{\"\"}\r\n{\"\"}\r\n}\r\n");
        QCOMPARE(formatHpFile(TopicTable(), 0, true, true), kHeader + "{ }\r\n");
        // An empty topic between filled ones stays.
        table.commitRows(3, {"x"}, false);
        QCOMPARE(formatHpFile(table, 3, true, true),
                 kHeader + "{ {\"\"}\r\n{\"\"}\r\n{\"x\"}\r\n}\r\n");
    }

    void rowsWithQuotesAreCounted() {
        TopicTable table;
        const QByteArray quoteOnly = "\"";
        const QByteArray longQuoted = QByteArray(120, 'a') + '"';
        table.commitRows(1, {quoteOnly, longQuoted, "back\\slash"}, false);
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

    void writesAtomically() {
        Sandbox sandbox;
        const QString file = sandbox.path(QStringLiteral("db/a.hp"));
        const TopicTable table = exampleTable();
        QVERIFY(writeHpFile(file, table, 3, true, true));
        const QByteArray first = readBytes(file);
        QCOMPARE(first, formatHpFile(table, 3, true, true));

        TopicTable bigger;
        bigger.commitRows(1, {QByteArray(5000, 'b')}, false);
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

    // What no reader would take back is never written: the end-of-file mark in a row, or a
    // file larger than any database may be. The old file stays as it was.
    void unreadableFilesAreNeverWritten() {
        Sandbox sandbox;
        const QString file = sandbox.path(QStringLiteral("a.hp"));
        QVERIFY(writeHpFile(file, exampleTable(), 3, true, true));
        const QByteArray before = readBytes(file);
        TopicTable table;
        table.commitRows(1,
                         {"ok", QByteArray("a\x1a"
                                           "b")},
                         false);
        QVERIFY(!writeHpFile(file, table, 1, true, true));
        QCOMPARE(readBytes(file), before);
        TopicTable huge;
        huge.commitRows(1, QList<QByteArray>(kRowsPerTopic, QByteArray(2 * 1024 * 1024, 'x')),
                        false);
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
