// ombrel-cli: the database core without windows, for scripts and for checking files in bulk.

#include "core/DirectoryScan.h"
#include "core/HpFile.h"
#include "core/OccurrenceCount.h"
#include "core/TopicTable.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

enum ExitCode {
    kOk = 0,
    kUsage = 2,
    kCannotOpen = 3,
    kNotHpFile = 4,
    kTooManyTopics = 5,
    kTooLarge = 6,
};

const char kUsageText[] =
    "usage: ombrel-cli check FILE\n"
    "       ombrel-cli export FILE\n"
    "       ombrel-cli import JSON OUT [--drop-empty-topics]\n"
    "       ombrel-cli scan DIR TEXT [--case-sensitive]\n"
    "       ombrel-cli --help | --version\n"
    "\n"
    "check   prints the number of topics of a database file\n"
    "export  prints its topics as JSON: {\"topics\": [[row, ...], ...]}\n"
    "import  writes a database file from such JSON (JSON may be - for standard input)\n"
    "scan    lists the files of DIR that hold TEXT, with the number of occurrences\n"
    "\n"
    "exit codes: 0 done, 2 usage or bad input, 3 file cannot be opened or written or is\n"
    "            not a regular file, 4 not an HP48 ASCII file, 5 more than 199 topics,\n"
    "            6 file larger than 16 MiB\n";

void print(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

QString englishText(quint16 baseId) {
    return strings::text(baseId, strings::kEnglish);
}

int usage() {
    std::fputs(kUsageText, stderr);
    return kUsage;
}

int showHelp() {
    std::fputs(kUsageText, stdout);
    return kOk;
}

int showVersion() {
    print(stdout, QStringLiteral("ombrel-cli ") + QLatin1String(settings::kVersion));
    return kOk;
}

int fail(int code, const QString& message) {
    print(stderr, message);
    return code;
}

// Loads a database file or reports why not; returns the exit code.
int load(const QString& fileName, TopicTable& table) {
    switch (readHpFile(fileName, table)) {
    case hpfile::kCannotOpen:
        return fail(kCannotOpen, englishText(1115));
    case hpfile::kNotHpFile:
        return fail(kNotHpFile, englishText(1120));
    case hpfile::kTooManyTopics:
        return fail(kTooManyTopics, englishText(1210));
    case hpfile::kNotRegularFile:
        return fail(kCannotOpen, englishText(1230));
    case hpfile::kTooLarge:
        return fail(kTooLarge, englishText(1225));
    default:
        return kOk;
    }
}

int check(const QString& fileName) {
    TopicTable table;
    if (const int failed = load(fileName, table))
        return failed;
    print(stdout, QStringLiteral("%1 topics").arg(table.topicCount()));
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
    if (const int failed = load(fileName, table))
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
        return fail(kCannotOpen, englishText(1115));
    contents.clear();
    while (contents.size() <= hpfile::kMaxFileSize) {
        const QByteArray piece = file.read(hpfile::kMaxFileSize + 1 - contents.size());
        if (piece.isEmpty())
            break; // the end of the input; a pipe gives it in pieces
        contents += piece;
    }
    if (contents.size() > hpfile::kMaxFileSize)
        return fail(kTooLarge, englishText(1225));
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
                       strings::format(englishText(1220), {QString::number(r + 1),
                                                           QString::number(encoded.badColumn)});
            topic[r] = encoded.bytes;
        }
        filled.append(topic);
    }
    table.fill(filled);
    return QString();
}

int runImport(const QString& jsonName, const QString& outName, bool dropEmptyTopics) {
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
    if (!writeHpFile(outName, table, table.topicCount(), true, dropEmptyTopics))
        return fail(kCannotOpen, englishText(1200));
    return kOk;
}

int scan(const QString& directory, const QString& text, bool caseSensitive) {
    if (!QDir(directory).exists())
        return fail(kCannotOpen, QStringLiteral("cannot read the directory ") + directory);
    const hp48::EncodedRow needle = hp48::encodeRow(text);
    if (!needle.ok())
        return kOk; // a character without code occurs in no file
    scan::scanDirectory(
        directory, needle.bytes, caseSensitive,
        [](const QString& name, quint16 count) { print(stdout, scan::entryText(count, name)); });
    return kOk;
}

int run(const QStringList& arguments) {
    const QString command = arguments.value(0);
    const qsizetype count = arguments.size();
    if (command == u"--help" && count == 1)
        return showHelp();
    if (command == u"--version" && count == 1)
        return showVersion();
    if (command == u"check" && count == 2)
        return check(arguments[1]);
    if (command == u"export" && count == 2)
        return runExport(arguments[1]);
    if (command == u"import" &&
        (count == 3 || (count == 4 && arguments[3] == u"--drop-empty-topics")))
        return runImport(arguments[1], arguments[2], count == 4);
    if (command == u"scan" && (count == 3 || (count == 4 && arguments[3] == u"--case-sensitive")))
        return scan(arguments[1], arguments[2], count == 4);
    return usage();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return run(app.arguments().mid(1));
}
