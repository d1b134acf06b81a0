#include "HpFile.h"

#include "AtomicFile.h"
#include "HpParser.h"

#include <QFile>
#include <QList>

namespace {

constexpr char kEndOfFileMark = 26;
const QByteArray kHeaderLine = QByteArrayLiteral("%%HP: T(1)A(R)F(,);\r\n");
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

struct TableFiller {
    QList<TopicRows> topics;

    void Topic(int) { topics.append(TopicRows()); }
    void Row(int topic, int row, std::string_view text) {
        topics[topic - 1][row - 1] = QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    }
};

std::string_view View(QByteArrayView data) {
    return std::string_view(data.data(), static_cast<size_t>(data.size()));
}

int LastNonEmptyRow(const TopicRows& rows) {
    for (int row = RowsPerTopic; row >= 1; --row) {
        if (!rows[row - 1].isEmpty())
            return row;
    }
    return 0;
}

int TopicsToWrite(const TopicTable& table, int topicCount, bool trimTopics) {
    if (!trimTopics || topicCount == 0)
        return topicCount;
    for (int topic = topicCount; topic >= 2; --topic) {
        if (LastNonEmptyRow(table.Topic(topic)) > 0)
            return topic;
    }
    return 1; // topic 1 is always written
}

void AppendRow(QByteArray& out, const QByteArray& row) {
    if (row.contains('"')) {
        out += "C$ " + QByteArray::number(row.size()) + ' ' + row;
    } else {
        out += '"';
        out += row;
        out += '"';
    }
}

bool HoldsEndOfFileMark(const TopicTable& table, int topicCount) {
    for (int topic = 1; topic <= topicCount; ++topic) {
        for (const QByteArray& row : table.Topic(topic)) {
            if (row.contains(kEndOfFileMark))
                return true;
        }
    }
    return false;
}

} // namespace

bool ReadWholeFile(const QString& fileName, QByteArray& contents) {
    QFile file(fileName); // refuses a directory by itself
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    contents.resize(file.size()); // reuses the caller's buffer when it is large enough
    const qint64 read = file.read(contents.data(), contents.size());
    if (read < 0)
        return false;
    contents.resize(read);
    contents += file.readAll(); // whatever was added since the size was taken
    return file.error() == QFileDevice::NoError;
}

int ReadHpData(QByteArrayView data, TopicTable& table) {
    TableFiller filler;
    const int result = hpparse::Parse(View(data), filler);
    if (result < 0)
        return hpfile::kNotHpFile;
    if (result > MaxTopicCount)
        return hpfile::kTooManyTopics;
    table.Fill(filler.topics);
    return result;
}

int ReadHpFile(const QString& fileName, TopicTable& table) {
    QByteArray contents;
    if (!ReadWholeFile(fileName, contents))
        return hpfile::kCannotOpen;
    return ReadHpData(contents, table);
}

QByteArray FormatHpFile(const TopicTable& table, int topicCount, bool trimRows, bool trimTopics) {
    QByteArray out = kHeaderLine + "{ ";
    const int topicsWritten = TopicsToWrite(table, topicCount, trimTopics);
    for (int topic = 1; topic <= topicsWritten; ++topic) {
        const TopicRows& rows = table.Topic(topic);
        const int rowsWritten = trimRows ? qMax(1, LastNonEmptyRow(rows)) : RowsPerTopic;
        out += '{';
        for (int row = 1; row <= rowsWritten; ++row) {
            AppendRow(out, rows[row - 1]);
            if (row == rowsWritten)
                out += '}';
            out += kLineEnd;
        }
    }
    out += '}' + kLineEnd;
    return out;
}

bool WriteHpFile(const QString& fileName, const TopicTable& table, int topicCount, bool trimRows,
                 bool trimTopics) {
    if (HoldsEndOfFileMark(table, topicCount))
        return false;
    return WriteFileAtomically(fileName, FormatHpFile(table, topicCount, trimRows, trimTopics));
}

hp48::EncodedRow EncodeStorableRow(QStringView text) {
    return hp48::EncodeRow(text, kEndOfFileMark);
}
