#include "core/Hp48Codec.h"
#include "core/SendCheck.h"
#include "core/TopicExchange.h"

#include <QTest>

using exchange::Format;
using exchange::Problem;

Q_DECLARE_METATYPE(exchange::Format)

namespace {

// Every code but the end-of-file mark 26, over the ten rows of one topic, and the rows that
// ask most of a format: separators, quotes, rows of spaces, empty rows inside a topic, an empty
// topic.
QList<TopicRows> everyCode() {
    QList<TopicRows> topics(1);
    for (int code = 0; code < 256; ++code) {
        if (code != 26)
            topics[0][code % kRowsPerTopic] += static_cast<char>(code);
    }
    topics.append(TopicRows{"a,b", "", "\"quoted\"", " ", "", "  ", "\t\r\n tab; and, comma "});
    topics.append(TopicRows());
    topics.append(TopicRows{"\"", ",", "", "", "", "", "", "", "", "last of ten"});
    return topics;
}

} // namespace

class TestTopicExchange : public QObject {
    Q_OBJECT

  private slots:
    void roundTrip_data();
    void roundTrip();
    void csvQuoting();
    void refusals_data();
    void refusals();
    void rowsTheSendDoesNotKeep();
};

void TestTopicExchange::roundTrip_data() {
    QTest::addColumn<Format>("format");
    QTest::newRow("json") << Format::Json;
    QTest::newRow("csv") << Format::Csv;
    QTest::newRow("tsv") << Format::Tsv;
    QTest::newRow("text") << Format::Text;
}

void TestTopicExchange::roundTrip() {
    QFETCH(Format, format);
    for (const hp48::Model model : {hp48::Model::Hp48, hp48::Model::Hp49}) {
        hp48::setModel(model);
        QList<TopicRows> back;
        const Problem problem = exchange::read(exchange::write(everyCode(), format), format, back);
        QCOMPARE(int(problem.kind), int(Problem::kNone));
        QCOMPARE(back, everyCode());
    }
    hp48::setModel(hp48::Model::Hp48);
}

void TestTopicExchange::csvQuoting() {
    const QList<TopicRows> topics{{"plain", "a,b", "say \"hi\""}, {}, {"", "x"}};
    const QByteArray csv = "plain,\"a,b\",\"say \"\"hi\"\"\"\r\n\r\n,x\r\n";
    QCOMPARE(exchange::write(topics, Format::Csv), csv);
    QList<TopicRows> read;
    QCOMPARE(int(exchange::read(QByteArray(csv).replace("\r\n", "\n"), Format::Csv, read).kind),
             int(Problem::kNone));
    QCOMPARE(read, topics);
    // A quoted line break stays in its field, and its record is one: the second here.
    const Problem problem =
        exchange::read("\"x,y\",\"\"\"\"\r\n\"line\r\nbreak\"\r\n", Format::Csv, read);
    QCOMPARE(int(problem.kind), int(Problem::kNoCode));
    QCOMPARE(problem.record, 2);
    QCOMPARE(problem.row, 1);
    QCOMPARE(problem.column, 5);
    QVERIFY(read.isEmpty());
}

void TestTopicExchange::refusals_data() {
    QTest::addColumn<Format>("format");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("count"); // rows of a topic, the line of a UTF-8 fault, else the column
    const QByteArray eleven = "1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\n";
    QTest::newRow("200 records") << Format::Csv << QByteArray("t\r\n").repeated(200)
                                 << int(Problem::kTooManyTopics) << 200 << 0;
    QTest::newRow("199 records, empty cells after the tenth row")
        << Format::Csv << QByteArray("t,,,,,,,,,,,,,\r\n").repeated(199) << int(Problem::kNone) << 0
        << 0;
    QTest::newRow("eleven rows") << Format::Tsv << "a\n" + eleven << int(Problem::kTooManyRows) << 2
                                 << 11;
    QTest::newRow("eleven lines in a block")
        << Format::Text << "a\n\n\n" + QByteArray(eleven).replace('\t', '\n')
        << int(Problem::kTooManyRows) << 2 << 11;
    QTest::newRow("euro sign on the HP48")
        << Format::Text << QByteArray("a\n\nb\nx̄ ok€\n") << int(Problem::kNoCode) << 2 << 5;
    QTest::newRow("end-of-file mark")
        << Format::Tsv << QByteArray("a\tb\u241A\n") << int(Problem::kNoCode) << 1 << 2;
    QTest::newRow("quote inside a field")
        << Format::Csv << QByteArray("a\r\nb\"c\r\n") << int(Problem::kBadQuote) << 2 << 0;
    QTest::newRow("text after a closing quote")
        << Format::Csv << QByteArray("\"a\"b\r\n") << int(Problem::kBadQuote) << 1 << 0;
    QTest::newRow("quote never closed")
        << Format::Csv << QByteArray("a\n\"b,c\n") << int(Problem::kBadQuote) << 2 << 0;
    QTest::newRow("no UTF-8 on line 3")
        << Format::Text << QByteArray("a\n\nb\xE4\n") << int(Problem::kNotUtf8) << 0 << 3;
    QTest::newRow("not JSON") << Format::Json << QByteArray("{\"topics\": [")
                              << int(Problem::kNotJson) << 0 << 0;
    QTest::newRow("row not text") << Format::Json << QByteArray(R"({"topics": [[], ["a", 5]]})")
                                  << int(Problem::kNotRowList) << 2 << 0;
}

void TestTopicExchange::refusals() {
    QFETCH(Format, format);
    QFETCH(QByteArray, data);
    QFETCH(int, kind);
    QFETCH(int, record);
    QFETCH(int, count);
    QList<TopicRows> topics;
    const Problem problem = exchange::read(data, format, topics);
    QCOMPARE(int(problem.kind), kind);
    QCOMPARE(problem.record, record);
    const int counted = kind == Problem::kTooManyRows ? problem.count
                        : kind == Problem::kNotUtf8   ? problem.line
                        : kind == Problem::kNoCode    ? problem.column
                                                      : 0;
    QCOMPARE(counted, count);
    QCOMPARE(topics.size(), problem.ok() ? 199 : 0);
}

void TestTopicExchange::rowsTheSendDoesNotKeep() {
    TopicTable table;
    table.fill({{"plain", "tab\there"}, {"line\r\nends", "\x1B[escape", "", "\x01"}, {"\x1F"}});
    const QList<sendcheck::RowPlace> expected{{1, 2}, {2, 2}, {2, 4}};
    QCOMPARE(sendcheck::rowsNotKept(table, 2), expected);
}

QTEST_APPLESS_MAIN(TestTopicExchange)
#include "tst_topicexchange.moc"
