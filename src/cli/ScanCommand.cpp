// scan: the files of a directory that hold a text, with the number of occurrences.
#include "cli/CliCommands.h"
#include "cli/CliSupport.h"

#include "core/DirectoryScan.h"
#include "core/FileName.h"
#include "core/Hp48Codec.h"
#include "core/OccurrenceCount.h"

#include <sys/stat.h>

namespace cli {
namespace {

int scanDirectory(const QString& directory, const QString& text, bool caseSensitive) {
    struct stat info;
    if (::stat(filename::toBytes(directory).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return fail(kCannotOpen, QStringLiteral("cannot read the directory ") + directory);
    const hp48::EncodedRow needle = hp48::encodeRow(text);
    if (!needle.ok())
        return kOk; // a character without code occurs in no file
    scan::scanDirectory(
        directory, needle.bytes, caseSensitive,
        [](const QString& name, quint16 count) { print(stdout, scan::entryText(count, name)); });
    return kOk;
}

} // namespace

int scan(const QStringList& arguments) {
    const qsizetype count = arguments.size();
    if (count == 2 || (count == 3 && arguments[2] == u"--case-sensitive"))
        return scanDirectory(arguments[0], arguments[1], count == 3);
    return kWrongArguments;
}

} // namespace cli
