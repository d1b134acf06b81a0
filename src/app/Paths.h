#pragma once

#include <QString>

// Where the program and its files live. Tests point every one of them into a sandbox through
// XDG_CONFIG_HOME, XDG_RUNTIME_DIR, XDG_CACHE_HOME and OMBREL_PROGDIR.
namespace paths {

// The directory of the executable and its companion files, with a trailing separator.
QString ProgDir();
// The executable's canonical path.
QString ExeFile();
// The directory of the settings file ($XDG_CONFIG_HOME, by default ~/.config).
QString WinDir();
QString SettingsFile();
// A private per-user directory (mode 0700) that is not shared with other users.
QString RuntimeDir();
// The private work directory of the transfer files; made on demand.
QString WorkDir();

} // namespace paths
