// check: a database file as a count of its topics and its translation mode.
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"

#include "core/HpFile.h"
#include "core/TopicTable.h"

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

} // namespace

int check(const QStringList& arguments) {
    return arguments.size() == 1 ? checkFile(arguments[0]) : kWrongArguments;
}

} // namespace cli
