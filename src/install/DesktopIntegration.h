#pragma once

#include <QString>

// The program's place on a freedesktop desktop: its menu and desktop entries, the HP48 font,
// the type of database files with the handler that opens them, and the menu entry that removes
// the program. Every place is taken from the environment when it is needed (XDG_DATA_HOME,
// XDG_CONFIG_HOME, HOME and xdg-user-dir), so a test can move all of them into a sandbox.
// Each action reports whether it succeeded; none shows a message.
namespace desktop {

// The places a shortcut to the program may go; the installation record has a key for each.
enum class ShortcutKind { StartMenuRoot, ProgramsMenu, Desktop, QuickLaunch };

inline const QString kMimeType = QStringLiteral("application/x-ombrel-hpfile");
inline const QString kHandlerName = QStringLiteral("ombrel-hpfile.desktop");
inline const QString kRemovalSwitch = QStringLiteral("/$UnInstalCompleteApp$");

// $XDG_DATA_HOME, else ~/.local/share.
QString dataHome();
// $XDG_CONFIG_HOME, else ~/.config.
QString configHome();
// The desktop folder: what xdg-user-dir names for DESKTOP, else ~/Desktop. Empty when the
// desktop is switched off (it names the home directory).
QString desktopFolder();

// A package (or cmake --install) put the program in its folder and into the programs menu of
// every user. The user's removal then leaves that folder whole, and the user's installation
// adds no second programs-menu entry.
bool installedByPackage();

// Start-menu root and Quick Launch have no counterpart here.
bool hasCounterpart(ShortcutKind kind);
// The folder a shortcut of a kind goes to, with a trailing separator; empty for a kind without
// counterpart.
QString specialFolder(ShortcutKind kind);
// Makes the menu folder when it is missing; the desktop folder is the user's and must exist.
// False when there is no folder to put a shortcut of the kind in.
bool ensureFolder(ShortcutKind kind);
// "Ombrel 2.7": the name and description of the shortcuts.
QString shortcutName(const QString& version);
// specialFolder(kind) + "ombrel-2.7.desktop"; empty for a kind without counterpart.
QString shortcutFile(ShortcutKind kind, const QString& version);
// Writes a desktop entry that starts the target with no arguments, named by the description.
// Like every entry of the user's installation it is hidden once the target is gone (TryExec).
// The folder of the link file must exist. True when the entry was written.
bool makeLink(const QString& target, const QString& linkFile, const QString& description);

// The font in the user's font folder: $XDG_DATA_HOME/fonts/HP48.TTF.
QString fontFile();
// Fontconfig already knows a font of family HP48.
bool fontKnown();
// Copies the font file into the user's font folder (over an older copy) and refreshes that
// folder's font cache. False when the copy fails. The running program learns of the font from
// its caller.
bool installFont(const QString& source);
// Deletes the font file and refreshes the font cache of its folder. False when the file stays.
bool removeFont();

// The type of database files, recognised by "%%HP:" at their start.
QString mimePackageFile(); // $XDG_DATA_HOME/mime/packages/ombrel-hpfile.xml
QString handlerFile();     // $XDG_DATA_HOME/applications/ombrel-hpfile.desktop
// Registers the type, writes the handler that opens such a file with the program and makes it
// the type's default. On failure nothing of it is left behind.
bool registerFileClass(const QString& exeFile);
// Takes back the type, the handler and every default naming the handler; other programs'
// types and defaults stay.
void unregisterFileClass();

// The menu entry "Remove Ombrel 2.7" that starts the program with the removal switch.
QString removalEntryFile(const QString& version); // ...applications/ombrel-2.7-removal.desktop
bool createRemovalEntry(const QString& exeFile, const QString& version);
bool removeRemovalEntry(const QString& version);

// Deletes a file the program made; true when it is gone (also when it was never there).
bool removeFile(const QString& fileName);

// One argument of a desktop entry's Exec key: quoted and escaped where it has to be.
QString execArgument(const QString& argument);

} // namespace desktop
