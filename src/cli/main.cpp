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
     "              record per topic), TSV (a line per topic) or text (a block per topic)",
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
     "              large font, K (default 2) times its size, into the PNG file OUT",
     cli::preview},
    {"diff", "diff A B",
     "lists the topics the database files A and B differ in, the rows of each side that\n"
     "              differ (< A, > B); exit 0 same topics (in any order), 1 different",
     cli::diff},
    {"ports", "ports",
     "lists the serial devices present, one a line: the path and, after a tab, the\n"
     "              adapter's name where it has one; any of the paths may be a transfer's port",
     cli::ports},
    {"send", "send FILE --port DEVICE [--name NAME] [--baud N]",
     "sends the database FILE to the calculator through the serial DEVICE (a path, or COM1\n"
     "              to COM4 as the settings map them), under NAME (default: FILE's base name)",
     cli::send},
    {"receive", "receive OUT --port DEVICE [--baud N]",
     "receives the files the calculator sends: the first as OUT, further ones as OUT.2, ...",
     cli::receive},
    {"send-library", "send-library --port DEVICE [--baud N]",
     "sends the Tarvo library to the calculator", cli::sendLibrary},
};

const char kModes[] =
    "translation modes: 0 bytes as they are, LF line ends; 1 bytes as they are, CR LF;\n"
    "                   2 and 3 backslash codes for 128-159 or 128-255 (\"\\->\", \"\\228\"), CR "
    "LF.\n"
    "check, export and convert read every mode and tell on stderr what a read left out.\n";

const char kTransfers[] =
    "send, receive and send-library check Kermit and the device first, show the progress on\n"
    "stderr when it is a terminal and tell the result there; Ctrl-C stops the transfer.\n"
    "The serial parameters, retries and packet lengths come from the settings.\n";

const char kExitCodes[] =
    "exit codes: 0 done (diff: the same topics), 1 (diff only) the topics differ, 2 usage or\n"
    "            bad input, 3 file cannot be opened or written or is not a regular file,\n"
    "            4 not an HP48 ASCII file, 5 more than 199 topics, 6 file larger than 16 MiB;\n"
    "            transfers: 10 Kermit not installed, 11 no such device, 12 not a character\n"
    "            device, 13 no permission for the device, 14 device locked by another\n"
    "            program, 15 device held exclusively, 16 send file cannot be written,\n"
    "            17 Kermit could not open the device, 18 the calculator did not answer,\n"
    "            19 too many retries, 20 cancelled by the calculator, 21 file refused by\n"
    "            the calculator, 22 transfer failed otherwise, 23 stopped (Ctrl-C)\n";

QString usageText() {
    QString text;
    for (const Command& command : kCommands)
        text += QStringLiteral("%1 ombrel-cli %2\n")
                    .arg(QLatin1String(&command == kCommands ? "usage:" : "      "),
                         QLatin1String(command.usage));
    text += QStringLiteral("       ombrel-cli --help | --version\n\n");
    for (const Command& command : kCommands)
        text += QStringLiteral("%1  %2\n")
                    .arg(QLatin1String(command.name), -12)
                    .arg(QLatin1String(command.summary));
    return text + u'\n' + QLatin1String(kModes) + u'\n' + QLatin1String(kTransfers) + u'\n' +
           QLatin1String(kExitCodes);
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
