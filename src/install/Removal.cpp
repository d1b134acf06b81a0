#include "install/Removal.h"

#include "install/DesktopIntegration.h"
#include "platform/CompanionFiles.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr quint16 kConfirmRemoval = 1155;
// Shipped beside the font and going with it.
constexpr const char* kFontLicence = "HP48-LICENSE.txt";
// An installation by the package manager (or cmake --install) puts this file beside the
// program: the program directory then belongs to the package, and a user's removal takes
// back only what the user's first start made. The user's own rights are no guide: root can
// write there, and so can the owner of an installation in a prefix of their own.
constexpr const char* kPackageMarker = "installed-by-package";

bool confirmed() {
    MessageRequest request;
    request.baseId = kConfirmRemoval;
    request.text = strings::format(tx(kConfirmRemoval), {glob().version});
    request.icon = MsgIcon::Question;
    request.buttons = {MsgButton::Yes, MsgButton::No};
    return thePrompter().show(request) == MsgButton::Yes;
}

bool recorded(settings::Key key) {
    return settings::readBool(*glob().ini, key, false);
}

// Shortcuts of this version's name, where the record says they were made; failures are ignored.
void removeShortcuts() {
    const QList<QPair<settings::Key, char>> shortcuts = {
        {settings::key::kInstalledProgramsMenu, shcut::kProgramsMenu},
        {settings::key::kInstalledStartMenu, shcut::kStartMenuRoot},
        {settings::key::kInstalledDesktop, shcut::kDesktop},
        {settings::key::kInstalledQuickLaunch, shcut::kQuickLaunch},
    };
    for (const auto& [key, kind] : shortcuts) {
        if (recorded(key))
            shcut::removeFile(shcut::shortcutFile(kind, glob().version));
    }
}

QString canonical(const QString& directory) {
    const QString canonical = QFileInfo(directory).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(directory).absoluteFilePath())
                               : canonical;
}

bool inProgramDir(const QString& fileName) {
    return canonical(QFileInfo(fileName).absolutePath()) == canonical(glob().progDir);
}

bool programDirOwnedByPackage() {
    return QFileInfo::exists(glob().progDir + QString::fromLatin1(kPackageMarker));
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
            shcut::removeFile(fileName);
    }
    if (!packaged)
        shcut::removeFile(glob().progDir + QString::fromLatin1(kFontLicence));
    QDir().rmdir(paths::workDir());
}

// The settings folder goes too when nothing else is left in it: the program may have made it.
void removeSettingsAndProgram() {
    shcut::removeFile(paths::SettingsFile());
    QDir().rmdir(QFileInfo(paths::SettingsFile()).absolutePath());
    if (inProgramDir(glob().exeFile) && !programDirOwnedByPackage())
        shcut::removeFile(glob().exeFile);
}

} // namespace

void removeInstallation() {
    if (!confirmed())
        return;
    removeShortcuts();
    // A font file that cannot be deleted stops the removal here: what follows would take away
    // the record that says the font is still there.
    if (recorded(settings::key::kInstalledFont) && !shcut::removeFont())
        return;
    if (recorded(settings::key::kInstalledClass))
        shcut::unregisterFileClass();
    shcut::removeRemovalEntry(glob().version);
    removeCompanionFiles();
    removeSettingsAndProgram();
}
