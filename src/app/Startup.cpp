#include "app/Startup.h"

#include "app/SingleInstance.h"
#include "gui/Localizer.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QDir>

namespace {

constexpr quint16 kAlreadyRunning = 1160;
constexpr quint16 kCannotWriteFile = 1200;
constexpr quint16 kFolderNotPrivate = 1235;
constexpr quint16 kLockCannotBeMade = 1240;

void reportSettingsWriteFailure(const QString& fileName) {
    MessageRequest request;
    request.baseId = kCannotWriteFile;
    request.text = tx(kCannotWriteFile) + u'\n' + QDir::toNativeSeparators(fileName);
    request.icon = MsgIcon::Error;
    request.buttons = {MsgButton::Cancel};
    if (glob().sound)
        thePrompter().sound(Beep::Hand);
    thePrompter().show(request);
}

// The folder of the lock, and for the program that runs also the work folder of the
// transfers, must be private before anything is put there.
bool folderUsable(const QString& folder) {
    if (paths::ensurePrivateDir(folder))
        return true;
    showMsg(kFolderNotPrivate, 'e', {QDir::toNativeSeparators(folder)});
    return false;
}

} // namespace

StartRole initialiseGlobal(const QStringList& parameters, SingleInstance& instance) {
    TGlobal& global = glob();
    global.ini = std::make_unique<SettingsFile>(paths::SettingsFile());
    global.ini->setWriteFailureHandler(reportSettingsWriteFailure);
    global.language = settings::readLanguage(*global.ini);
    global.msgId = SingleInstance::channelName();

    const QString runtimeDir = paths::runtimeDir();
    if (!folderUsable(runtimeDir))
        return StartRole::Refused;
    switch (instance.claim()) {
    case SingleInstance::ClaimResult::CannotBeMade:
        showMsg(kLockCannotBeMade, 'e', {QDir::toNativeSeparators(runtimeDir)});
        return StartRole::Refused;
    case SingleInstance::ClaimResult::HeldElsewhere:
        if (parameters.isEmpty()) {
            showMsg(kAlreadyRunning, 'i');
            return StartRole::AlreadyRunning;
        }
        global.atom = QDir::current().absoluteFilePath(parameters.first());
        SingleInstance::handOver(global.atom);
        return StartRole::HandedOver;
    case SingleInstance::ClaimResult::Claimed:
        break;
    }
    if (!folderUsable(paths::workDir()))
        return StartRole::Refused;
    global.version = QString::fromLatin1(settings::kVersion);
    return StartRole::First;
}

void fillPaths() {
    TGlobal& global = glob();
    global.progDir = paths::progDir();
    global.exeFile = paths::exeFile();
    global.winDir = paths::winDir();
}
