#include "core/HpFile.h"
#include "Sandbox.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

const QByteArray kHeader = "%%HP: T(1)A(R)F(,);\r\n";

TopicTable ExampleTable() {
    TopicTable table;
    table.CommitRows(1, {"Alpha", "Beta"}, false);
    table.CommitRows(2, {"", "say \"hi\""}, false);
    table.CommitRows(3, {}, false);
    return table;
}

QByteArray RandomRow(QRandomGenerator& random) {
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

TopicTable RandomTable(QRandomGenerator& random) {
    QList<TopicRows> topics(random.bounded(MaxTopicCount + 1));
    for (TopicRows& rows : topics) {
        for (QByteArray& row : rows)
            row = random.bounded(3) == 0 ? QByteArray() : RandomRow(random);
    }
    TopicTable table;
    table.Fill(topics);
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
        const TopicTable table = ExampleTable();
        QCOMPARE(FormatHpFile(table, 3, true, true), expected);

        TopicTable back;
        QCOMPARE(ReadHpData(expected, back), 2);
        QCOMPARE(back.Row(1, 2), QByteArray("Beta"));
        QCOMPARE(back.Row(2, 2), QByteArray("say \"hi\""));
    }

    void untrimmedTopicsTakeTenLines() {
        const QByteArray bytes = FormatHpFile(ExampleTable(), 3, false, false);
        QCOMPARE(bytes.count("\r\n"), 1 + 30 + 1);
        QVERIFY(bytes.startsWith(kHeader + "{ {\"Alpha\"\r\n\"Beta\"\r\n\"\"\r\n"));
        QVERIFY(bytes.endsWith("{\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n"
                               "\"\"\r\n\"\"\r\n\"\"\r\n\"\"\r\n\"\"}\r\n}\r\n"));
    }

    void trimmingKeepsTopicOneAndOneRow() {
        TopicTable table;
        table.CommitRows(1, {}, false);
        table.CommitRows(2, {}, false);
        table.CommitRows(3, {}, false);
        QCOMPARE(FormatHpFile(table, 3, true, true), kHeader + "{ {\"\"}\r\n}\r\n");
        QCOMPARE(FormatHpFile(table, 3, true, false),
                 kHeader + "{ {\"\"}\r\n{\"\"}\r\n{\"\"}\r\n}\r\n");
        QCOMPARE(FormatHpFile(TopicTable(), 0, true, true), kHeader + "{ }\r\n");
        // An empty topic between filled ones stays.
        table.CommitRows(3, {"x"}, false);
        QCOMPARE(FormatHpFile(table, 3, true, true),
                 kHeader + "{ {\"\"}\r\n{\"\"}\r\n{\"x\"}\r\n}\r\n");
    }

    void rowsWithQuotesAreCounted() {
        TopicTable table;
        const QByteArray quoteOnly = "\"";
        const QByteArray longQuoted = QByteArray(120, 'a') + '"';
        table.CommitRows(1, {quoteOnly, longQuoted, "back\\slash"}, false);
        const QByteArray bytes = FormatHpFile(table, 1, true, true);
        QVERIFY(bytes.contains("{C$ 1 \"\r\nC$ 121 " + longQuoted + "\r\n\"back\\slash\"}"));
        TopicTable back;
        QCOMPARE(ReadHpData(bytes, back), 1);
        QCOMPARE(back.Row(1, 1), quoteOnly);
        QCOMPARE(back.Row(1, 2), longQuoted);
    }

    void whatIsWrittenReadsBackIdentically() {
        QRandomGenerator random(4807);
        for (int round = 0; round < 60; ++round) {
            const TopicTable table = RandomTable(random);
            const bool trimRows = round % 2;
            TopicTable back;
            const int read =
                ReadHpData(FormatHpFile(table, table.TopicCount(), trimRows, false), back);
            QCOMPARE(read, table.TopicCount());
            for (int slot = 1; slot <= MaxTopics; ++slot) {
                for (int row = 1; row <= RowsPerTopic; ++row)
                    QCOMPARE(back.Row(slot, row), table.Row(slot, row));
            }
        }
    }

    void writesAtomically() {
        Sandbox sandbox;
        const QString file = sandbox.Path(QStringLiteral("db/a.hp"));
        const TopicTable table = ExampleTable();
        QVERIFY(WriteHpFile(file, table, 3, true, true));
        const QByteArray first = ReadBytes(file);
        QCOMPARE(first, FormatHpFile(table, 3, true, true));

        TopicTable bigger;
        bigger.CommitRows(1, {QByteArray(5000, 'b')}, false);
        {
            FileSizeLimit limit(1000);
            QVERIFY(!WriteHpFile(file, bigger, 1, true, true));
        }
        QCOMPARE(ReadBytes(file), first);
        QCOMPARE(QDir(sandbox.Path(QStringLiteral("db"))).entryList(QDir::Files),
                 QStringList{QStringLiteral("a.hp")});

        QVERIFY(!WriteHpFile(sandbox.Path(QStringLiteral("no/such/dir/a.hp")) + "/x", table, 3,
                             true, true));
        QVERIFY(!WriteHpFile(sandbox.Path(QStringLiteral("db")), table, 3, true, true));
    }

    // What no reader would take back is never written: the end-of-file mark in a row, or a
    // file larger than any database may be. The old file stays as it was.
    void unreadableFilesAreNeverWritten() {
        Sandbox sandbox;
        const QString file = sandbox.Path(QStringLiteral("a.hp"));
        QVERIFY(WriteHpFile(file, ExampleTable(), 3, true, true));
        const QByteArray before = ReadBytes(file);
        TopicTable table;
        table.CommitRows(1,
                         {"ok", QByteArray("a\x1a"
                                           "b")},
                         false);
        QVERIFY(!WriteHpFile(file, table, 1, true, true));
        QCOMPARE(ReadBytes(file), before);
        TopicTable huge;
        huge.CommitRows(1, QList<QByteArray>(RowsPerTopic, QByteArray(2 * 1024 * 1024, 'x')),
                        false);
        QVERIFY(!WriteHpFile(file, huge, 1, true, true));
        QCOMPARE(ReadBytes(file), before);

        const hp48::EncodedRow encoded = EncodeStorableRow(u"ab\u241Ac");
        QVERIFY(!encoded.ok());
        QCOMPARE(encoded.badIndex, 2);
        QCOMPARE(encoded.badColumn, 3);
    }
};

QTEST_GUILESS_MAIN(TestHpWriter)
#include "tst_hpwriter.moc"
