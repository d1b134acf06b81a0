// export and import: the topics of a database file as JSON, CSV, TSV or plain text, and back.
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"

#include "core/HpFile.h"
#include "core/TopicExchange.h"
#include "core/TopicTable.h"
#include "platform/ExchangeText.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QFile>

namespace cli {
namespace {

// Takes "--format NAME" out of the arguments; false when the option stands without a name or
// with another one. The format stays as it was when the option is missing.
bool takeFormat(QStringList& arguments, exchange::Format& format) {
    const qsizetype at = arguments.indexOf(QStringLiteral("--format"));
    if (at < 0)
        return true;
    if (!exchange::formatNamed(arguments.value(at + 1), format))
        return false;
    arguments.remove(at, 2);
    return true;
}

int runExport(const QString& fileName, exchange::Format format) {
    TopicTable table;
    if (const int failed = loadDatabase(fileName, table))
        return failed;
    const QByteArray bytes = exchange::write(table.topics(), format);
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    return kOk;
}

// Reads the input, from a file or from standard input, up to one byte beyond the bound of a
// database file: no export of a database that fits comes near it.
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

int runImport(const QString& inName, const QString& outName, exchange::Format format,
              bool dropEmptyTopics, int mode) {
    QByteArray input;
    if (const int failed = readInput(inName, input))
        return failed;
    QList<TopicRows> topics;
    const exchange::Problem problem = exchange::read(input, format, topics);
    if (!problem.ok())
        return fail(kUsage, exchangeProblemText(problem, strings::kEnglish));
    TopicTable table;
    table.fill(topics);
    hpfile::Header header;
    header.translation = mode;
    if (!writeHpFile(outName, table, table.topicCount(), true, dropEmptyTopics, header))
        return fail(kCannotOpen, englishText(textid::kCannotWriteFile));
    return kOk;
}

} // namespace

int exportTopics(const QStringList& arguments) {
    QStringList rest = arguments;
    exchange::Format format = exchange::Format::Json;
    if (!takeFormat(rest, format) || rest.size() != 1)
        return kWrongArguments;
    return runExport(rest[0], format);
}

int importTopics(const QStringList& arguments) {
    QStringList rest = arguments;
    int mode = hptrans::kDefaultMode;
    exchange::Format format = exchange::Format::Json;
    if (!takeTranslation(rest, mode) || !takeFormat(rest, format))
        return kWrongArguments;
    const qsizetype count = rest.size();
    if (count == 2 || (count == 3 && rest[2] == u"--drop-empty-topics"))
        return runImport(rest[0], rest[1], format, count == 3, mode);
    return kWrongArguments;
}

} // namespace cli
