#include "core/HpFile.h"

#include "core/AtomicFile.h"
#include "core/HpParser.h"
#include "core/RegularFile.h"

#include <QList>

#include <algorithm>

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

int OpenResult(RegularFile::Opened opened) {
    switch (opened) {
    case RegularFile::Opened::CannotOpen:
        return hpfile::kCannotOpen;
    case RegularFile::Opened::NotRegular:
        return hpfile::kNotRegularFile;
    case RegularFile::Opened::Yes:
        break;
    }
    return 0;
}

// Reads on from the `filled` bytes already read to the end of the file. The room left is a
// byte more than the file held when it was opened, so a file that has grown since is read on,
// up to one byte beyond the bound.
int ReadRest(RegularFile& file, QByteArray& contents, qint64 filled) {
    qint64 room = std::min(std::max(file.Size(), filled), hpfile::kMaxFileSize) + 1;
    for (;;) {
        contents.resize(room);
        const qint64 read = file.Read(contents.data() + filled, room - filled);
        if (read < 0)
            return hpfile::kCannotOpen;
        filled += read;
        if (filled < room)
            break; // the end of the file
        if (filled > hpfile::kMaxFileSize)
            return hpfile::kTooLarge;
        room = std::min(2 * room, hpfile::kMaxFileSize + 1);
    }
    contents.resize(filled);
    return 0;
}

} // namespace

int ReadDatabaseBytes(const QString& fileName, QByteArray& contents) {
    RegularFile file;
    if (const int failed = OpenResult(file.Open(fileName)))
        return failed;
    contents.resize(hpparse::kHeaderDecidingBytes);
    const qint64 first = file.Read(contents.data(), contents.size());
    if (first < 0)
        return hpfile::kCannotOpen;
    if (!hpparse::HasHeader(View(QByteArrayView(contents).first(first))))
        return hpfile::kNotHpFile;
    if (file.Size() > hpfile::kMaxFileSize)
        return hpfile::kTooLarge;
    return ReadRest(file, contents, first);
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
    if (const int failed = ReadDatabaseBytes(fileName, contents))
        return failed;
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
    const QByteArray contents = FormatHpFile(table, topicCount, trimRows, trimTopics);
    if (contents.size() > hpfile::kMaxFileSize) // it could never be read back
        return false;
    return WriteFileAtomically(fileName, contents);
}

hp48::EncodedRow EncodeStorableRow(QStringView text) {
    return hp48::EncodeRow(text, kEndOfFileMark);
}
