#include "core/TopicExchange.h"

#include "core/Hp48Codec.h"
#include "core/HpFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include <algorithm>

namespace exchange {
namespace {

using Record = QStringList;

// The rows of a topic up to its last one that is not empty, as the data box shows them.
QStringList rowTexts(const TopicRows& rows) {
    int last = kRowsPerTopic;
    while (last > 0 && rows[last - 1].isEmpty())
        --last;
    QStringList texts;
    for (int row = 0; row < last; ++row)
        texts.append(hp48::decodeRow(rows[row]));
    return texts;
}

bool isSpacesOnly(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == u' '; });
}

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') &&
        !text.contains(u'\n'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QByteArray writeJson(const QList<TopicRows>& topics) {
    QJsonArray list;
    for (const TopicRows& rows : topics)
        list.append(QJsonArray::fromStringList(rowTexts(rows)));
    return QJsonDocument(QJsonObject{{QStringLiteral("topics"), list}})
               .toJson(QJsonDocument::Compact) +
           '\n';
}

QByteArray writeLines(const QList<TopicRows>& topics, Format format) {
    QString out;
    for (const TopicRows& rows : topics) {
        const QStringList texts = rowTexts(rows);
        switch (format) {
        case Format::Csv: {
            QStringList fields;
            for (const QString& text : texts)
                fields.append(csvField(text));
            out += fields.join(u',') + QStringLiteral("\r\n");
            break;
        }
        case Format::Tsv:
            out += texts.join(u'\t') + u'\n';
            break;
        default: // text: a row of spaces only gets one more, so no row is an empty line
            if (!out.isEmpty())
                out += u'\n';
            for (const QString& text : texts)
                out += (isSpacesOnly(text) ? text + u' ' : text) + u'\n';
            if (texts.isEmpty())
                out += QStringLiteral(" \n");
            break;
        }
    }
    return out.toUtf8();
}

// The lines of the text without their line ends; a line end at the very end starts no line.
QStringList linesOf(QStringView text) {
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        QStringView line = text.sliced(start, end - start);
        if (line.endsWith(u'\r'))
            line.chop(1);
        lines.append(line.toString());
        start = end + 1;
    }
    return lines;
}

// The number of the first line that is no UTF-8, or 0 when the whole is.
int firstLineNotUtf8(QByteArrayView data, QString& text) {
    QStringDecoder whole(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = whole(data);
    if (!whole.hasError())
        return 0;
    int line = 1;
    for (qsizetype start = 0; start < data.size(); ++line) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        QStringDecoder piece(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = piece(data.sliced(start, end - start));
        if (piece.hasError())
            return line;
        start = end + 1;
    }
    return line;
}

// RFC 4180 records, also with LF line ends; an empty line is a record of one empty field.
Problem readCsv(QStringView text, QList<Record>& records) {
    qsizetype at = 0;
    const qsizetype size = text.size();
    while (at < size) {
        Record record;
        for (;;) {
            QString field;
            if (at < size && text[at] == u'"') {
                ++at;
                for (;;) {
                    if (at >= size) // the quoted field is never closed
                        return {Problem::kBadQuote, int(records.size()) + 1};
                    if (text[at] == u'"') {
                        if (at + 1 < size && text[at + 1] == u'"') {
                            field += u'"';
                            at += 2;
                            continue;
                        }
                        ++at;
                        break;
                    }
                    field += text[at++];
                }
            } else {
                while (at < size && text[at] != u',' && text[at] != u'\n' &&
                       !(text[at] == u'\r' && at + 1 < size && text[at + 1] == u'\n')) {
                    if (text[at] == u'"')
                        return {Problem::kBadQuote, int(records.size()) + 1};
                    field += text[at++];
                }
            }
            record.append(field);
            if (at < size && text[at] == u',') {
                ++at;
                continue;
            }
            if (at < size && text[at] == u'\r' && at + 1 < size && text[at + 1] == u'\n')
                at += 2;
            else if (at < size && text[at] == u'\n')
                ++at;
            else if (at < size) // text after a closing quote
                return {Problem::kBadQuote, int(records.size()) + 1};
            break;
        }
        records.append(record);
    }
    return {};
}

void readTsv(QStringView text, QList<Record>& records) {
    for (const QString& line : linesOf(text))
        records.append(line.split(u'\t'));
}

void readText(QStringView text, QList<Record>& records) {
    bool inBlock = false;
    for (const QString& line : linesOf(text)) {
        if (line.isEmpty()) {
            inBlock = false;
            continue;
        }
        if (!inBlock)
            records.append(Record());
        inBlock = true;
        records.last().append(isSpacesOnly(line) ? line.first(line.size() - 1) : line);
    }
}

Problem readJson(QByteArrayView data, QList<Record>& records) {
    const QJsonDocument document = QJsonDocument::fromJson(data.toByteArray());
    const QJsonValue topics = document.object().value(QStringLiteral("topics"));
    if (!document.isObject() || !topics.isArray())
        return {Problem::kNotJson};
    const QJsonArray list = topics.toArray();
    for (qsizetype t = 0; t < list.size(); ++t) {
        if (!list[t].isArray())
            return {Problem::kNotRowList, int(t) + 1};
        Record record;
        for (const QJsonValue row : list[t].toArray()) {
            if (!row.isString())
                return {Problem::kNotRowList, int(t) + 1};
            record.append(row.toString());
        }
        records.append(record);
    }
    return {};
}

// The records as topics, each row given a calculator code for every character.
Problem topicsOf(QList<Record>& records, QList<TopicRows>& topics) {
    for (qsizetype r = 0; r < records.size(); ++r) {
        const int number = int(r) + 1;
        if (r == kMaxTopicCount)
            return {Problem::kTooManyTopics, number};
        Record& record = records[r];
        while (!record.isEmpty() && record.last().isEmpty())
            record.removeLast(); // empty cells after the last row
        if (record.size() > kRowsPerTopic)
            return {Problem::kTooManyRows, number, 0, 0, 0, int(record.size())};
        TopicRows rows;
        for (qsizetype row = 0; row < record.size(); ++row) {
            const hp48::EncodedRow encoded = encodeStorableRow(record[row]);
            if (!encoded.ok())
                return {Problem::kNoCode, number, 0, int(row) + 1, encoded.badColumn};
            rows[row] = encoded.bytes;
        }
        topics.append(rows);
    }
    return {};
}

} // namespace

bool formatNamed(QStringView name, Format& format) {
    static const std::pair<const char*, Format> kNames[] = {
        {"json", Format::Json}, {"csv", Format::Csv}, {"tsv", Format::Tsv}, {"text", Format::Text}};
    for (const auto& [spelling, named] : kNames) {
        if (name == QLatin1String(spelling)) {
            format = named;
            return true;
        }
    }
    return false;
}

Format formatOfFile(QStringView fileName, Format fallback) {
    static const std::pair<const char*, Format> kExtensions[] = {
        {".json", Format::Json}, {".csv", Format::Csv},  {".tsv", Format::Tsv},
        {".tab", Format::Tsv},   {".txt", Format::Text}, {".text", Format::Text}};
    for (const auto& [extension, format] : kExtensions) {
        if (fileName.endsWith(QLatin1String(extension), Qt::CaseInsensitive))
            return format;
    }
    return fallback;
}

QByteArray write(const QList<TopicRows>& topics, Format format) {
    return format == Format::Json ? writeJson(topics) : writeLines(topics, format);
}

Problem read(QByteArrayView data, Format format, QList<TopicRows>& topics) {
    topics.clear();
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3);
    QString text;
    if (const int line = firstLineNotUtf8(data, text))
        return {Problem::kNotUtf8, 0, line};
    QList<Record> records;
    Problem problem;
    switch (format) {
    case Format::Json:
        problem = readJson(data, records);
        break;
    case Format::Csv:
        problem = readCsv(text, records);
        break;
    case Format::Tsv:
        readTsv(text, records);
        break;
    case Format::Text:
        readText(text, records);
        break;
    }
    if (problem.ok())
        problem = topicsOf(records, topics);
    if (!problem.ok())
        topics.clear();
    return problem;
}

} // namespace exchange
