// check, export and import: a database file as a count of its topics and as JSON.
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"

#include "core/Hp48Codec.h"
#include "core/HpFile.h"
#include "core/TopicTable.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace cli {
namespace {

int checkFile(const QString& fileName) {
    TopicTable table;
    hpfile::Header header;
    if (const int failed = loadDatabase(fileName, table, &header))
        return failed;
    print(stdout, QStringLiteral("%1 topics").arg(table.topicCount()));
    print(stdout, QStringLiteral("translation mode %1").arg(header.translation));
    return kOk;
}

QJsonArray topicAsJson(const TopicRows& rows) {
    int last = kRowsPerTopic;
    while (last > 0 && rows[last - 1].isEmpty())
        --last;
    QJsonArray topic;
    for (int row = 0; row < last; ++row)
        topic.append(hp48::decodeRow(rows[row]));
    return topic;
}

int runExport(const QString& fileName) {
    TopicTable table;
    if (const int failed = loadDatabase(fileName, table))
        return failed;
    QJsonArray topics;
    for (int topic = 1; topic <= table.topicCount(); ++topic)
        topics.append(topicAsJson(table.topic(topic)));
    const QJsonDocument document(QJsonObject{{QStringLiteral("topics"), topics}});
    print(stdout, QString::fromUtf8(document.toJson(QJsonDocument::Compact)));
    return kOk;
}

// Reads the JSON, from a file or from standard input, up to one byte beyond the bound of a
// database file: no JSON of a database that fits comes near it.
int readInput(const QString& fileName, QByteArray& contents) {
    QFile file;
    const bool opened = fileName == u"-"
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(fileName), file.open(QIODevice::ReadOnly));
    if (!opened)
        return fail(kCannotOpen, englishText(textid::kCannotOpen));
    contents.clear();
    while (contents.size() <= hpfile::kMaxFileSize) {
        const QByteArray piece = file.read(hpfile::kMaxFileSize + 1 - contents.size());
        if (piece.isEmpty())
            break; // the end of the input; a pipe gives it in pieces
        contents += piece;
    }
    if (contents.size() > hpfile::kMaxFileSize)
        return fail(kTooLarge, englishText(textid::kTooLarge));
    return kOk;
}

// Fills the table from the JSON topic list; an empty string when it fits, else the reason.
QString tableFromJson(const QJsonDocument& document, TopicTable& table) {
    const QJsonValue topics = document.object().value(QStringLiteral("topics"));
    if (!document.isObject() || !topics.isArray())
        return QStringLiteral("the JSON holds no \"topics\" list");
    const QJsonArray list = topics.toArray();
    if (list.size() > kMaxTopicCount)
        return QStringLiteral("%1 topics; a file holds at most %2")
            .arg(list.size())
            .arg(kMaxTopicCount);
    QList<TopicRows> filled;
    for (qsizetype t = 0; t < list.size(); ++t) {
        const QJsonArray rows = list[t].toArray();
        if (!list[t].isArray())
            return QStringLiteral("topic %1 is not a list of rows").arg(t + 1);
        if (rows.size() > kRowsPerTopic)
            return QStringLiteral("topic %1 has %2 rows; a topic holds at most %3")
                .arg(t + 1)
                .arg(rows.size())
                .arg(kRowsPerTopic);
        TopicRows topic;
        for (qsizetype r = 0; r < rows.size(); ++r) {
            if (!rows[r].isString())
                return QStringLiteral("topic %1, row %2 is not a string").arg(t + 1).arg(r + 1);
            const hp48::EncodedRow encoded = encodeStorableRow(rows[r].toString());
            if (!encoded.ok())
                return QStringLiteral("topic %1: ").arg(t + 1) +
                       strings::format(
                           englishText(textid::kNoHp48Code),
                           {QString::number(r + 1), QString::number(encoded.badColumn)});
            topic[r] = encoded.bytes;
        }
        filled.append(topic);
    }
    table.fill(filled);
    return QString();
}

int runImport(const QString& jsonName, const QString& outName, bool dropEmptyTopics, int mode) {
    QByteArray json;
    if (const int failed = readInput(jsonName, json))
        return failed;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull())
        return fail(kUsage, QStringLiteral("bad JSON: ") + parseError.errorString());
    TopicTable table;
    if (const QString problem = tableFromJson(document, table); !problem.isEmpty())
        return fail(kUsage, problem);
    hpfile::Header header;
    header.translation = mode;
    if (!writeHpFile(outName, table, table.topicCount(), true, dropEmptyTopics, header))
        return fail(kCannotOpen, englishText(textid::kCannotWriteFile));
    return kOk;
}

} // namespace

int check(const QStringList& arguments) {
    return arguments.size() == 1 ? checkFile(arguments[0]) : kWrongArguments;
}

int exportJson(const QStringList& arguments) {
    return arguments.size() == 1 ? runExport(arguments[0]) : kWrongArguments;
}

int importJson(const QStringList& arguments) {
    QStringList rest = arguments;
    int mode = hptrans::kDefaultMode;
    if (!takeTranslation(rest, mode))
        return kWrongArguments;
    const qsizetype count = rest.size();
    if (count == 2 || (count == 3 && rest[2] == u"--drop-empty-topics"))
        return runImport(rest[0], rest[1], count == 3, mode);
    return kWrongArguments;
}

} // namespace cli
