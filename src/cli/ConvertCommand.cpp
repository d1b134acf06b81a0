// convert: a database file written again in another translation mode, its topics unchanged.
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"

#include "core/HpFile.h"
#include "core/TopicTable.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

namespace cli {
namespace {

int runConvert(const QString& inName, const QString& outName, int mode) {
    TopicTable table;
    hpfile::Header header;
    if (const int failed = loadDatabase(inName, table, &header))
        return failed;
    header.translation = mode; // the angle letter and the fraction mark stay
    if (!writeHpFile(outName, table, table.topicCount(), true, false, header))
        return fail(kCannotOpen, englishText(textid::kCannotWriteFile));
    return kOk;
}

} // namespace

int convert(const QStringList& arguments) {
    QStringList rest = arguments;
    int mode = -1;
    if (!takeTranslation(rest, mode) || mode < 0 || rest.size() != 2)
        return kWrongArguments;
    return runConvert(rest[0], rest[1], mode);
}

} // namespace cli
