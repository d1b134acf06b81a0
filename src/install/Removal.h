#pragma once

#include <QString>

class SettingsFile;

// Takes back what the installation record (the settings file) says the installer made: the
// shortcuts, the font, the type of database files with its handler, the removal entry; then
// deletes the companion files, the settings file and the program file. A program directory that
// a package installed keeps its files: there only the user's own files go. The version names
// the shortcuts and the removal entry.
namespace install {
void removeInstallation(const SettingsFile& record, const QString& programFile,
                        const QString& version);
} // namespace install
