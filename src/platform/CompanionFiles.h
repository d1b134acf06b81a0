#pragma once

#include <QString>

// The twelve companion files, numbered as the program has always numbered them. Some have no
// counterpart on this platform: they are never required, copied or created.
namespace programfiles {

enum Number {
    kFont = 1,
    kReceiveFile = 2,
    kSendFile = 3,
    kTaskFile = 4,
    kKermitPif = 5,
    kKermit = 6,
    kKermitTemplate = 7,
    kHelp = 8,
    kHelpContents = 9,
    kTarvoLibrary = 10,
    kHelpIndex = 11,
    kDescription = 12,
};
constexpr int kCount = 12;

// The name the file has always had ("kermit.exe", "~send.tmp", ...).
QString name(int number);
// The file on this platform, or an empty string for one without counterpart. The Kermit
// program is ProgDir/kermit when present, else kermit on the PATH (empty when neither exists).
// The Tarvo library is taken in any letter case ("TARVO.LIB"); "tarvo.lib" when there is none.
// The transfer files are empty too while the work folder is not private.
QString path(int number);
bool hasCounterpart(int number);
// Removed at every start: the transfer files.
bool isLeftover(int number);
// Must exist at start: the Kermit program and the help file.
bool isRequired(int number);

} // namespace programfiles
