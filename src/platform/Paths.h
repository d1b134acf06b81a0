#pragma once

#include <QString>

// Where the program and its files live. Tests point every one of them into a sandbox through
// XDG_CONFIG_HOME, XDG_RUNTIME_DIR, XDG_CACHE_HOME, XDG_STATE_HOME and OMBREL_PROGDIR.
namespace paths {

// The directory of the executable and its companion files, with a trailing separator.
QString progDir();
// Where a user keeps files when no folder was chosen: the documents folder of the desktop
// (XDG_DOCUMENTS_DIR, by default ~/Documents) when it exists, else the home folder; with a
// trailing separator.
QString documentsDir();
// The executable's canonical path.
QString exeFile();
// The directory of the settings file ($XDG_CONFIG_HOME, by default ~/.config).
QString configDir();
QString settingsFile();
// The folder of the single-instance lock and the hand-over channel: $XDG_RUNTIME_DIR when that
// is a private folder of this user, else the private fallback $XDG_CACHE_HOME/ombrel (by
// default ~/.cache/ombrel). Only named here; EnsurePrivateDir makes it.
QString runtimeDir();
// The private work folder of the transfer files: $XDG_RUNTIME_DIR/ombrel, or the fallback
// folder itself. Only named here.
QString workDir();
// The work folder, made when missing; empty when it is not private or cannot be made.
QString usableWorkDir();
// The folder of the recovery copies of unsaved documents: $XDG_STATE_HOME/ombrel/recovery (by
// default ~/.local/state/ombrel/recovery). Only named here.
QString recoveryDir();
// The folder of the files received from the calculator, each kept as it came:
// $XDG_DATA_HOME/ombrel/received (by default ~/.local/share/ombrel/received). Only named here.
QString receivedDir();

// A folder only this user can enter: a real folder (not a link), owned by this user, with
// mode 0700.
bool isPrivateDir(const QString& directory);
// Makes a missing folder with mode 0700 (its parents as usual). An existing folder is never
// changed: true only when it is private.
bool ensurePrivateDir(const QString& directory);

} // namespace paths
