#include "app/Startup.h"

#include "app/SingleInstance.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/SettingsFile.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QApplication>
#include <QDir>

namespace {

void reportSettingsWriteFailure(const QString& fileName) {
    MessageRequest request;
    request.baseId = textid::kCannotWriteFile;
    request.text =
        strings::text(textid::kCannotWriteFile) + u'\n' + QDir::toNativeSeparators(fileName);
    request.icon = MsgIcon::Error;
    request.buttons = {MsgButton::Cancel};
    thePrompter().ask(request, Beep::Hand);
}

// The folder of the lock, and for the program that runs also the work folder of the
// transfers, must be private before anything is put there.
bool folderUsable(const QString& folder) {
    if (paths::ensurePrivateDir(folder))
        return true;
    thePrompter().showMessage(textid::kFolderNotPrivate, MessageKind::Error,
                              {QDir::toNativeSeparators(folder)});
    return false;
}

} // namespace

StartRole claimTheProgram(const QStringList& parameters, SettingsFile& settings,
                          SingleInstance& instance) {
    settings.setWriteFailureHandler(reportSettingsWriteFailure);
    strings::setLanguage(settings::readLanguage(settings));

    const QString runtimeDir = paths::runtimeDir();
    if (!folderUsable(runtimeDir))
        return StartRole::Refused;
    switch (instance.claim()) {
    case SingleInstance::ClaimResult::CannotBeMade:
        thePrompter().showMessage(textid::kLockCannotBeMade, MessageKind::Error,
                                  {QDir::toNativeSeparators(runtimeDir)});
        return StartRole::Refused;
    case SingleInstance::ClaimResult::HeldElsewhere:
        if (parameters.isEmpty()) {
            thePrompter().showMessage(textid::kAlreadyRunning, MessageKind::Information);
            return StartRole::AlreadyRunning;
        }
        SingleInstance::handOver(QDir::current().absoluteFilePath(parameters.first()));
        return StartRole::HandedOver;
    case SingleInstance::ClaimResult::Claimed:
        break;
    }
    return folderUsable(paths::workDir()) ? StartRole::First : StartRole::Refused;
}
