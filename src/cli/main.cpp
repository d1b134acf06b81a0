// ombrel-cli: the database core without windows, for scripts and for checking files in bulk.

#include "cli/CliCommands.h"
#include "cli/CliSupport.h"
#include "core/FileName.h"
#include "platform/Settings.h"
#include "platform/Version.h"

#include <QCoreApplication>

namespace {

using cli::Command;

// Every command, in the order the usage text lists them.
const Command kCommands[] = {
    {"check", "check FILE",
     "prints the number of topics of a database file and its translation mode", cli::check},
    {"export", "export FILE [--format json|csv|tsv|text]",
     "prints its topics as JSON ({\"topics\": [[row, ...], ...]}, the default), CSV (a\n"
     "         record per topic), TSV (a line per topic) or text (a block per topic)",
     cli::exportTopics},
    {"import",
     "import IN OUT [--format json|csv|tsv|text] [--drop-empty-topics] [--translation 0|1|2|3]",
     "writes a database file from such a file (IN may be - for standard input)", cli::importTopics},
    {"convert", "convert IN OUT --translation 0|1|2|3",
     "writes the database file IN again as OUT in the translation mode given", cli::convert},
    {"scan", "scan DIR TEXT [--case-sensitive]",
     "lists the files of DIR that hold TEXT, with the number of occurrences", cli::scan},
    {"preview", "preview FILE --topic N [--font 1|2|3] [--scale K] --png OUT",
     "draws topic N as the calculator's screen shows it, in the small, medium (default) or\n"
     "         large font, K (default 2) times its size, into the PNG file OUT",
     cli::preview},
    {"diff", "diff A B",
     "lists the topics the database files A and B differ in, the rows of each side that\n"
     "         differ (< A, > B); exit 0 same topics (in any order), 1 different",
     cli::diff},
    {"ports", "ports",
     "lists the serial devices present, one a line: the path and, after a tab, the\n"
     "         adapter's name where it has one; a path may be given to the transfer as its port",
     cli::ports},
};

const char kModes[] =
    "translation modes: 0 bytes as they are, LF line ends; 1 bytes as they are, CR LF;\n"
    "                   2 and 3 backslash codes for 128-159 or 128-255 (\"\\->\", \"\\228\"), CR "
    "LF.\n"
    "check, export and convert read every mode and tell on stderr what a read left out.\n";

const char kExitCodes[] =
    "exit codes: 0 done (diff: the same topics), 1 (diff only) the topics differ, 2 usage or\n"
    "            bad input, 3 file cannot be opened or written or is not a regular file,\n"
    "            4 not an HP48 ASCII file, 5 more than 199 topics, 6 file larger than 16 MiB\n";

QString usageText() {
    QString text;
    for (const Command& command : kCommands)
        text += QStringLiteral("%1 ombrel-cli %2\n")
                    .arg(QLatin1String(&command == kCommands ? "usage:" : "      "),
                         QLatin1String(command.usage));
    text += QStringLiteral("       ombrel-cli --help | --version\n\n");
    for (const Command& command : kCommands)
        text += QStringLiteral("%1  %2\n")
                    .arg(QLatin1String(command.name), -7)
                    .arg(QLatin1String(command.summary));
    return text + u'\n' + QLatin1String(kModes) + u'\n' + QLatin1String(kExitCodes);
}

int run(const QStringList& arguments) {
    const QString name = arguments.value(0);
    if (arguments.size() == 1 && name == u"--help") {
        std::fputs(usageText().toUtf8().constData(), stdout);
        return cli::kOk;
    }
    if (arguments.size() == 1 && name == u"--version") {
        cli::print(stdout, QStringLiteral("ombrel-cli ") + QLatin1String(version::kText));
        return cli::kOk;
    }
    for (const Command& command : kCommands) {
        if (name == QLatin1String(command.name)) {
            const int result = command.run(arguments.mid(1));
            if (result != cli::kWrongArguments)
                return result;
        }
    }
    std::fputs(usageText().toUtf8().constData(), stderr);
    return cli::kUsage;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return run(filename::parameters(argc, argv)); // names that are no UTF-8 keep their bytes
}
