#include "app/Startup.h"

#include "gui/Localizer.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "app/SingleInstance.h"
#include "platform/Preferences.h"

#include <QApplication>
#include <QDir>

namespace {

constexpr quint16 kAlreadyRunning = 1160;
constexpr quint16 kCannotWriteFile = 1200;
constexpr quint16 kFolderNotPrivate = 1235;
constexpr quint16 kLockCannotBeMade = 1240;

void ReportSettingsWriteFailure(const QString& fileName) {
    MessageRequest request;
    request.baseId = kCannotWriteFile;
    request.text = Tx(kCannotWriteFile) + u'\n' + QDir::toNativeSeparators(fileName);
    request.icon = MsgIcon::Error;
    request.buttons = {MsgButton::Cancel};
    if (Glob().Sound)
        ThePrompter().Sound(Beep::Hand);
    ThePrompter().Show(request);
}

// The folder of the lock, and for the program that runs also the work folder of the
// transfers, must be private before anything is put there.
bool FolderUsable(const QString& folder) {
    if (paths::EnsurePrivateDir(folder))
        return true;
    ShowMsg(kFolderNotPrivate, 'e', {QDir::toNativeSeparators(folder)});
    return false;
}

} // namespace

StartRole InitialiseGlobal(const QStringList& parameters, SingleInstance& instance) {
    TGlobal& global = Glob();
    global.Ini = std::make_unique<SettingsFile>(paths::SettingsFile());
    global.Ini->SetWriteFailureHandler(ReportSettingsWriteFailure);
    global.Language = settings::ReadLanguage(*global.Ini);
    global.MsgId = SingleInstance::ChannelName();

    const QString runtimeDir = paths::RuntimeDir();
    if (!FolderUsable(runtimeDir))
        return StartRole::Refused;
    switch (instance.Claim()) {
    case SingleInstance::ClaimResult::CannotBeMade:
        ShowMsg(kLockCannotBeMade, 'e', {QDir::toNativeSeparators(runtimeDir)});
        return StartRole::Refused;
    case SingleInstance::ClaimResult::HeldElsewhere:
        if (parameters.isEmpty()) {
            ShowMsg(kAlreadyRunning, 'i');
            return StartRole::AlreadyRunning;
        }
        global.Atom = QDir::current().absoluteFilePath(parameters.first());
        SingleInstance::HandOver(global.Atom);
        return StartRole::HandedOver;
    case SingleInstance::ClaimResult::Claimed:
        break;
    }
    if (!FolderUsable(paths::WorkDir()))
        return StartRole::Refused;
    global.Version = QString::fromLatin1(settings::kVersion);
    return StartRole::First;
}

void FillPaths() {
    TGlobal& global = Glob();
    global.ProgDir = paths::ProgDir();
    global.ExeFile = paths::ExeFile();
    global.WinDir = paths::WinDir();
}
