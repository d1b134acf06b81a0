// ombrel-cli: the database core without windows, for scripts and for checking files in bulk.

#include "DirectoryScan.h"
#include "HpFile.h"
#include "OccurrenceCount.h"
#include "Settings.h"
#include "StringTable.h"
#include "TopicTable.h"

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

void Print(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

QString EnglishText(quint16 baseId) {
    return strings::Text(baseId, strings::kEnglish);
}

int Usage() {
    std::fputs(kUsageText, stderr);
    return kUsage;
}

int Help() {
    std::fputs(kUsageText, stdout);
    return kOk;
}

int Version() {
    Print(stdout, QStringLiteral("ombrel-cli ") + QLatin1String(settings::kVersion));
    return kOk;
}

int Fail(int code, const QString& message) {
    Print(stderr, message);
    return code;
}

// Loads a database file or reports why not; returns the exit code.
int Load(const QString& fileName, TopicTable& table) {
    switch (ReadHpFile(fileName, table)) {
    case hpfile::kCannotOpen:
        return Fail(kCannotOpen, EnglishText(1115));
    case hpfile::kNotHpFile:
        return Fail(kNotHpFile, EnglishText(1120));
    case hpfile::kTooManyTopics:
        return Fail(kTooManyTopics, EnglishText(1210));
    case hpfile::kNotRegularFile:
        return Fail(kCannotOpen, EnglishText(1230));
    case hpfile::kTooLarge:
        return Fail(kTooLarge, EnglishText(1225));
    default:
        return kOk;
    }
}

int Check(const QString& fileName) {
    TopicTable table;
    if (const int failed = Load(fileName, table))
        return failed;
    Print(stdout, QStringLiteral("%1 topics").arg(table.TopicCount()));
    return kOk;
}

QJsonArray TopicAsJson(const TopicRows& rows) {
    int last = RowsPerTopic;
    while (last > 0 && rows[last - 1].isEmpty())
        --last;
    QJsonArray topic;
    for (int row = 0; row < last; ++row)
        topic.append(hp48::DecodeRow(rows[row]));
    return topic;
}

int Export(const QString& fileName) {
    TopicTable table;
    if (const int failed = Load(fileName, table))
        return failed;
    QJsonArray topics;
    for (int topic = 1; topic <= table.TopicCount(); ++topic)
        topics.append(TopicAsJson(table.Topic(topic)));
    const QJsonDocument document(QJsonObject{{QStringLiteral("topics"), topics}});
    Print(stdout, QString::fromUtf8(document.toJson(QJsonDocument::Compact)));
    return kOk;
}

// Reads the JSON, from a file or from standard input, up to one byte beyond the bound of a
// database file: no JSON of a database that fits comes near it.
int ReadInput(const QString& fileName, QByteArray& contents) {
    QFile file;
    const bool opened = fileName == u"-"
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(fileName), file.open(QIODevice::ReadOnly));
    if (!opened)
        return Fail(kCannotOpen, EnglishText(1115));
    contents.clear();
    while (contents.size() <= hpfile::kMaxFileSize) {
        const QByteArray piece = file.read(hpfile::kMaxFileSize + 1 - contents.size());
        if (piece.isEmpty())
            break; // the end of the input; a pipe gives it in pieces
        contents += piece;
    }
    if (contents.size() > hpfile::kMaxFileSize)
        return Fail(kTooLarge, EnglishText(1225));
    return kOk;
}

// Fills the table from the JSON topic list; an empty string when it fits, else the reason.
QString TableFromJson(const QJsonDocument& document, TopicTable& table) {
    const QJsonValue topics = document.object().value(QStringLiteral("topics"));
    if (!document.isObject() || !topics.isArray())
        return QStringLiteral("the JSON holds no \"topics\" list");
    const QJsonArray list = topics.toArray();
    if (list.size() > MaxTopicCount)
        return QStringLiteral("%1 topics; a file holds at most %2")
            .arg(list.size())
            .arg(MaxTopicCount);
    QList<TopicRows> filled;
    for (qsizetype t = 0; t < list.size(); ++t) {
        const QJsonArray rows = list[t].toArray();
        if (!list[t].isArray())
            return QStringLiteral("topic %1 is not a list of rows").arg(t + 1);
        if (rows.size() > RowsPerTopic)
            return QStringLiteral("topic %1 has %2 rows; a topic holds at most %3")
                .arg(t + 1)
                .arg(rows.size())
                .arg(RowsPerTopic);
        TopicRows topic;
        for (qsizetype r = 0; r < rows.size(); ++r) {
            if (!rows[r].isString())
                return QStringLiteral("topic %1, row %2 is not a string").arg(t + 1).arg(r + 1);
            const hp48::EncodedRow encoded = EncodeStorableRow(rows[r].toString());
            if (!encoded.ok())
                return QStringLiteral("topic %1: ").arg(t + 1) +
                       strings::Format(EnglishText(1220), {QString::number(r + 1),
                                                           QString::number(encoded.badColumn)});
            topic[r] = encoded.bytes;
        }
        filled.append(topic);
    }
    table.Fill(filled);
    return QString();
}

int Import(const QString& jsonName, const QString& outName, bool dropEmptyTopics) {
    QByteArray json;
    if (const int failed = ReadInput(jsonName, json))
        return failed;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull())
        return Fail(kUsage, QStringLiteral("bad JSON: ") + parseError.errorString());
    TopicTable table;
    if (const QString problem = TableFromJson(document, table); !problem.isEmpty())
        return Fail(kUsage, problem);
    if (!WriteHpFile(outName, table, table.TopicCount(), true, dropEmptyTopics))
        return Fail(kCannotOpen, EnglishText(1200));
    return kOk;
}

int Scan(const QString& directory, const QString& text, bool caseSensitive) {
    if (!QDir(directory).exists())
        return Fail(kCannotOpen, QStringLiteral("cannot read the directory ") + directory);
    const hp48::EncodedRow needle = hp48::EncodeRow(text);
    if (!needle.ok())
        return kOk; // a character without code occurs in no file
    scan::ScanDirectory(
        directory, needle.bytes, caseSensitive,
        [](const QString& name, quint16 count) { Print(stdout, scan::EntryText(count, name)); });
    return kOk;
}

int Run(const QStringList& arguments) {
    const QString command = arguments.value(0);
    const qsizetype count = arguments.size();
    if (command == u"--help" && count == 1)
        return Help();
    if (command == u"--version" && count == 1)
        return Version();
    if (command == u"check" && count == 2)
        return Check(arguments[1]);
    if (command == u"export" && count == 2)
        return Export(arguments[1]);
    if (command == u"import" &&
        (count == 3 || (count == 4 && arguments[3] == u"--drop-empty-topics")))
        return Import(arguments[1], arguments[2], count == 4);
    if (command == u"scan" && (count == 3 || (count == 4 && arguments[3] == u"--case-sensitive")))
        return Scan(arguments[1], arguments[2], count == 4);
    return Usage();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return Run(app.arguments().mid(1));
}
