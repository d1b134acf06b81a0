#include "core/HpFile.h"

#include "core/AtomicFile.h"
#include "core/HpParser.h"
#include "core/RegularFile.h"

#include <QList>

#include <algorithm>

namespace {

constexpr char kEndOfFileMark = 26;

struct TableFiller {
    QList<TopicRows> topics;

    void topic(int) { topics.append(TopicRows()); }
    void row(int topic, int row, std::string_view text) {
        topics[topic - 1][row - 1] = QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    }
};

std::string_view view(QByteArrayView data) {
    return std::string_view(data.data(), static_cast<size_t>(data.size()));
}

int lastNonEmptyRow(const TopicRows& rows) {
    for (int row = kRowsPerTopic; row >= 1; --row) {
        if (!rows[row - 1].isEmpty())
            return row;
    }
    return 0;
}

int topicsToWrite(const TopicTable& table, int topicCount, bool trimTopics) {
    if (!trimTopics || topicCount == 0)
        return topicCount;
    for (int topic = topicCount; topic >= 2; --topic) {
        if (lastNonEmptyRow(table.topic(topic)) > 0)
            return topic;
    }
    return 1; // topic 1 is always written
}

QByteArray headerLine(const hpfile::Header& header, const QByteArray& lineEnd) {
    return "%%HP: T(" + QByteArray::number(header.translation) + ")A(" + header.angle + ")F(" +
           header.fraction + ");" + lineEnd;
}

// The row's bytes as the mode spells them.
void appendBytes(QByteArray& out, const QByteArray& row, int mode) {
    if (!hptrans::usesBackslashCodes(mode)) {
        out += row;
        return;
    }
    qsizetype standing = 0; // bytes before `at` still to be appended as they are
    for (qsizetype at = 0; at < row.size(); ++at) {
        const std::string_view spelling = hptrans::spelling(static_cast<uchar>(row[at]), mode);
        if (spelling.empty())
            continue;
        out.append(row.constData() + standing, at - standing);
        out.append(spelling.data(), static_cast<qsizetype>(spelling.size()));
        standing = at + 1;
    }
    out.append(row.constData() + standing, row.size() - standing);
}

// A counted row gives the number of codes, however the mode spells them.
void appendRow(QByteArray& out, const QByteArray& row, int mode) {
    if (row.contains('"')) {
        out += "C$ " + QByteArray::number(row.size()) + ' ';
        appendBytes(out, row, mode);
    } else {
        out += '"';
        appendBytes(out, row, mode);
        out += '"';
    }
}

bool holdsEndOfFileMark(const TopicTable& table, int topicCount) {
    for (int topic = 1; topic <= topicCount; ++topic) {
        for (const QByteArray& row : table.topic(topic)) {
            if (row.contains(kEndOfFileMark))
                return true;
        }
    }
    return false;
}

int openResult(RegularFile::Opened opened) {
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
int readRest(RegularFile& file, QByteArray& contents, qint64 filled) {
    qint64 room = std::min(std::max(file.size(), filled), hpfile::kMaxFileSize) + 1;
    for (;;) {
        contents.resize(room);
        const qint64 read = file.read(contents.data() + filled, room - filled);
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

int readBoundedFile(const QString& fileName, QByteArray& contents) {
    RegularFile file;
    if (const int failed = openResult(file.open(fileName)))
        return failed;
    return readRest(file, contents, 0);
}

int readDatabaseBytes(const QString& fileName, QByteArray& contents) {
    RegularFile file;
    if (const int failed = openResult(file.open(fileName)))
        return failed;
    contents.resize(hpparse::kHeaderDecidingBytes);
    const qint64 first = file.read(contents.data(), contents.size());
    if (first < 0)
        return hpfile::kCannotOpen;
    if (!hpparse::hasHeader(view(QByteArrayView(contents).first(first))))
        return hpfile::kNotHpFile;
    if (file.size() > hpfile::kMaxFileSize)
        return hpfile::kTooLarge;
    return readRest(file, contents, first);
}

int readHpData(QByteArrayView data, TopicTable& table, hpfile::ReadDetails* details) {
    TableFiller filler;
    hpfile::ReadDetails read;
    const int result = hpparse::parse(view(data), filler, read);
    if (details != nullptr)
        *details = read;
    if (result < 0)
        return hpfile::kNotHpFile;
    if (result > kMaxTopicCount)
        return hpfile::kTooManyTopics;
    table.fill(filler.topics);
    return result;
}

int readHpFile(const QString& fileName, TopicTable& table, hpfile::ReadDetails* details) {
    QByteArray contents;
    if (const int failed = readDatabaseBytes(fileName, contents))
        return failed;
    return readHpData(contents, table, details);
}

QByteArray formatHpFile(const TopicTable& table, int topicCount, bool trimRows, bool trimTopics,
                        const hpfile::Header& header) {
    const int mode = header.translation;
    const QByteArray lineEnd = mode == 0 ? QByteArrayLiteral("\n") : QByteArrayLiteral("\r\n");
    QByteArray out = headerLine(header, lineEnd) + "{ ";
    const int topicsWritten = topicsToWrite(table, topicCount, trimTopics);
    for (int topic = 1; topic <= topicsWritten; ++topic) {
        const TopicRows& rows = table.topic(topic);
        const int rowsWritten = trimRows ? qMax(1, lastNonEmptyRow(rows)) : kRowsPerTopic;
        out += '{';
        for (int row = 1; row <= rowsWritten; ++row) {
            appendRow(out, rows[row - 1], mode);
            if (row == rowsWritten)
                out += '}';
            out += lineEnd;
        }
    }
    out += '}' + lineEnd;
    return out;
}

bool writeHpFile(const QString& fileName, const TopicTable& table, int topicCount, bool trimRows,
                 bool trimTopics, const hpfile::Header& header) {
    if (holdsEndOfFileMark(table, topicCount))
        return false;
    const QByteArray contents = formatHpFile(table, topicCount, trimRows, trimTopics, header);
    if (contents.size() > hpfile::kMaxFileSize) // it could never be read back
        return false;
    return writeFileAtomically(fileName, contents);
}

hp48::EncodedRow encodeStorableRow(QStringView text) {
    return hp48::encodeRow(text, kEndOfFileMark);
}
