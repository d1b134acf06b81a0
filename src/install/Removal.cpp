#include "install/Removal.h"

#include "install/DesktopIntegration.h"
#include "platform/CompanionFiles.h"
#include "platform/Paths.h"
#include "platform/Settings.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Shipped beside the font and going with it.
constexpr const char* kFontLicence = "HP48-LICENSE.txt";
// The command-line tool the build puts beside the program.
constexpr const char* kCommandLineTool = "ombrel-cli";

// Shortcuts of this version's name, where the record says they were made; failures are ignored.
void removeShortcuts(const SettingsFile& record, const QString& version) {
    const QList<QPair<settings::Key, desktop::ShortcutKind>> shortcuts = {
        {settings::key::kInstalledProgramsMenu, desktop::ShortcutKind::ProgramsMenu},
        {settings::key::kInstalledStartMenu, desktop::ShortcutKind::StartMenuRoot},
        {settings::key::kInstalledDesktop, desktop::ShortcutKind::Desktop},
        {settings::key::kInstalledQuickLaunch, desktop::ShortcutKind::QuickLaunch},
    };
    for (const auto& [key, kind] : shortcuts) {
        if (settings::readBool(record, key, false))
            desktop::removeFile(desktop::shortcutFile(kind, version));
    }
}

QString canonical(const QString& directory) {
    const QString canonical = QFileInfo(directory).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(directory).absoluteFilePath())
                               : canonical;
}

bool inProgramDir(const QString& fileName) {
    return canonical(QFileInfo(fileName).absolutePath()) == canonical(paths::progDir());
}

// A package's program directory: a user's removal takes back only what the user's first start
// made. The user's own rights are no guide: root can write there, and so can the owner of an
// installation in a prefix of their own.
bool programDirOwnedByPackage() {
    return desktop::installedByPackage();
}

// The companion files in the program directory and the transfer's work files. The Kermit
// program goes only when it lies beside this program, never the one on the search path; the
// Tarvo library is the user's own copy and stays. A package's program directory stays whole.
void removeCompanionFiles() {
    const bool packaged = programDirOwnedByPackage();
    for (int number = 1; number <= programfiles::kCount; ++number) {
        if (number == programfiles::kTarvoLibrary)
            continue;
        const QString fileName = programfiles::path(number);
        if (fileName.isEmpty())
            continue;
        if (programfiles::isLeftover(number) || (!packaged && inProgramDir(fileName)))
            desktop::removeFile(fileName);
    }
    if (!packaged) {
        desktop::removeFile(paths::progDir() + QString::fromLatin1(kFontLicence));
        desktop::removeFile(paths::progDir() + QString::fromLatin1(kCommandLineTool));
    }
    QDir().rmdir(paths::workDir());
    // The recovery folders go when they are empty; copies a crashed run left stay the user's.
    QDir().rmdir(paths::recoveryDir());
    QDir().rmdir(QFileInfo(paths::recoveryDir()).path());
}

// The settings folder goes too when nothing else is left in it: the program may have made it.
void removeSettingsAndProgram(const SettingsFile& record, const QString& programFile) {
    desktop::removeFile(record.fileName());
    QDir().rmdir(QFileInfo(record.fileName()).absolutePath());
    if (inProgramDir(programFile) && !programDirOwnedByPackage())
        desktop::removeFile(programFile);
}

} // namespace

namespace install {

void removeInstallation(const SettingsFile& record, const QString& programFile,
                        const QString& version) {
    removeShortcuts(record, version);
    // A font file that cannot be deleted stops the removal here: what follows would take away
    // the record that says the font is still there.
    if (settings::readBool(record, settings::key::kInstalledFont, false) && !desktop::removeFont())
        return;
    if (settings::readBool(record, settings::key::kInstalledClass, false))
        desktop::unregisterFileClass();
    desktop::removeRemovalEntry(version);
    removeCompanionFiles();
    removeSettingsAndProgram(record, programFile);
}

} // namespace install
