#pragma once

#include "install/DesktopIntegration.h"
#include "platform/StringTable.h"

#include <QSize>
#include <QString>

class SettingsFile;

// The installation for one user that the first start makes. Every step writes what it made into
// the installation record (the settings file), from which the removal takes it back; none shows
// a message.
namespace install {

// What the user chose in the installer.
struct Choices {
    int language = strings::kGerman;
    bool fileAssociation = true;
    bool desktopShortcut = true;
    bool programsMenu = true;
    bool startMenuRoot = false; // no counterpart on this desktop
    bool quickLaunch = false;   // no counterpart on this desktop
};

// The program the entries start.
struct Program {
    QString file;
    QString version; // "2.7", in the entries' names
};

enum class FontResult {
    Copied,        // into the user's font folder, and recorded
    AlreadyKnown,  // the desktop knows a font of the family: it is used and not recorded
    SourceMissing, // no font beside the program: the installation cannot go on
    NotCopied,     // the copy failed: the installation cannot go on
};
FontResult installFont(SettingsFile& record, const QString& fontSource);

// Whether the installer offers a shortcut of the kind: not the programs menu where a package
// has put the program there for every user (a second entry would show it twice).
bool offered(desktop::ShortcutKind kind);

// After the font: the defaults of every setting for the chosen language and a screen of the
// given size, the chosen shortcuts, the type of database files, the removal entry.
void installEntries(SettingsFile& record, const Choices& choices, const Program& program,
                    QSize screen);

} // namespace install
