#pragma once

#include "core/HpParser.h"

#include <QString>
#include <QStringList>

#include <cstdio>

class TopicTable;

namespace cli {

// The exit codes every command shares; a command may add codes of its own above these.
enum ExitCode {
    kWrongArguments = -1, // not an exit code: the arguments do not fit the command
    kOk = 0,
    kUsage = 2,
    kCannotOpen = 3,
    kNotHpFile = 4,
    kTooManyTopics = 5,
    kTooLarge = 6,
};

// One command: its name, its usage line and what it does, and the function that runs it with
// the arguments after the name. The function returns kWrongArguments when they do not fit;
// the usage text is then shown.
struct Command {
    const char* name;
    const char* usage;
    const char* summary;
    int (*run)(const QStringList& arguments);
};

void print(FILE* stream, const QString& text);
int fail(int code, const QString& message);
QString englishText(quint16 baseId);

// Loads a database file or reports on stderr why not; returns the exit code. What the read left
// out is reported on stderr too, without changing the exit code. The header's values go to
// `header` when given.
int loadDatabase(const QString& fileName, TopicTable& table, hpparse::Header* header = nullptr);

// Takes "--translation MODE" (0 to 3) out of the arguments; false when the option stands
// without a mode or with another value. The mode stays as it was when the option is missing.
bool takeTranslation(QStringList& arguments, int& mode);

} // namespace cli
