#include "Removal.h"

#include "Paths.h"
#include "ProgramFiles.h"
#include "Prompter.h"
#include "Settings.h"
#include "ShCut.h"
#include "StringTable.h"
#include "omGlob.h"

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

bool Confirmed() {
    MessageRequest request;
    request.baseId = kConfirmRemoval;
    request.text = strings::Format(Tx(kConfirmRemoval), {Glob().Version});
    request.icon = MsgIcon::Question;
    request.buttons = {MsgButton::Yes, MsgButton::No};
    return ThePrompter().Show(request) == MsgButton::Yes;
}

bool Recorded(settings::Key key) {
    return settings::ReadBool(*Glob().Ini, key, false);
}

// Shortcuts of this version's name, where the record says they were made; failures are ignored.
void RemoveShortcuts() {
    const QList<QPair<settings::Key, char>> shortcuts = {
        {settings::key::kInstalledProgramsMenu, shcut::kProgramsMenu},
        {settings::key::kInstalledStartMenu, shcut::kStartMenuRoot},
        {settings::key::kInstalledDesktop, shcut::kDesktop},
        {settings::key::kInstalledQuickLaunch, shcut::kQuickLaunch},
    };
    for (const auto& [key, kind] : shortcuts) {
        if (Recorded(key))
            shcut::RemoveFile(shcut::ShortcutFile(kind, Glob().Version));
    }
}

QString Canonical(const QString& directory) {
    const QString canonical = QFileInfo(directory).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(directory).absoluteFilePath())
                               : canonical;
}

bool InProgramDir(const QString& fileName) {
    return Canonical(QFileInfo(fileName).absolutePath()) == Canonical(Glob().ProgDir);
}

bool ProgramDirOwnedByPackage() {
    return QFileInfo::exists(Glob().ProgDir + QString::fromLatin1(kPackageMarker));
}

// The companion files in the program directory and the transfer's work files. The Kermit
// program goes only when it lies beside this program, never the one on the search path; the
// Tarvo library is the user's own copy and stays. A package's program directory stays whole.
void RemoveCompanionFiles() {
    const bool packaged = ProgramDirOwnedByPackage();
    for (int number = 1; number <= programfiles::kCount; ++number) {
        if (number == programfiles::kTarvoLibrary)
            continue;
        const QString fileName = programfiles::Path(number);
        if (fileName.isEmpty())
            continue;
        if (programfiles::IsLeftover(number) || (!packaged && InProgramDir(fileName)))
            shcut::RemoveFile(fileName);
    }
    if (!packaged)
        shcut::RemoveFile(Glob().ProgDir + QString::fromLatin1(kFontLicence));
    QDir().rmdir(paths::WorkDir());
}

// The settings folder goes too when nothing else is left in it: the program may have made it.
void RemoveSettingsAndProgram() {
    shcut::RemoveFile(paths::SettingsFile());
    QDir().rmdir(QFileInfo(paths::SettingsFile()).absolutePath());
    if (InProgramDir(Glob().ExeFile) && !ProgramDirOwnedByPackage())
        shcut::RemoveFile(Glob().ExeFile);
}

} // namespace

void RemoveInstallation() {
    if (!Confirmed())
        return;
    RemoveShortcuts();
    // A font file that cannot be deleted stops the removal here: what follows would take away
    // the record that says the font is still there.
    if (Recorded(settings::key::kInstalledFont) && !shcut::RemoveFont())
        return;
    if (Recorded(settings::key::kInstalledClass))
        shcut::UnregisterFileClass();
    shcut::RemoveRemovalEntry(Glob().Version);
    RemoveCompanionFiles();
    RemoveSettingsAndProgram();
}
