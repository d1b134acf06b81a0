#include "app/Startup.h"

#include "app/SingleInstance.h"
#include "core/FileName.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/SettingsFile.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

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

// The folders that do not exist yet on the way to a folder, the outermost first.
QStringList missingFolders(const QString& folder) {
    QStringList missing;
    for (QString path = QDir::cleanPath(folder);
         !path.isEmpty() && path != QDir::rootPath() && !QFileInfo(path).isSymLink() &&
         !QFileInfo::exists(path);
         path = QFileInfo(path).path())
        missing.prepend(path);
    return missing;
}

// The folders made for the work files go again when the program has ended, its lock released,
// and nothing is left in them: a start that ends in the installer's Cancel leaves nothing.
void removeWhenLeftEmpty(const QStringList& folders) {
    if (folders.isEmpty())
        return;
    QObject::connect(QCoreApplication::instance(), &QObject::destroyed, [folders] {
        for (auto folder = folders.crbegin(); folder != folders.crend(); ++folder) {
            if (!QDir().rmdir(*folder))
                break;
        }
    });
}

// A running program that does not take the file in time (it hangs, or is stopped) takes it
// once it goes on; the user learns why nothing opens until then.
void handOver(const QString& file) {
    if (!SingleInstance::handOver(file))
        thePrompter().showMessage(textid::kHandOverUnanswered, MessageKind::Error,
                                  {QDir::toNativeSeparators(file)});
}

} // namespace

StartRole claimTheProgram(const QStringList& parameters, SettingsFile& settings,
                          SingleInstance& instance) {
    settings.setWriteFailureHandler(reportSettingsWriteFailure);
    strings::setLanguage(settings::readLanguage(settings));
    removeWhenLeftEmpty(missingFolders(paths::workDir()));

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
        handOver(filename::absolute(parameters.first()));
        return StartRole::HandedOver;
    case SingleInstance::ClaimResult::Claimed:
        break;
    }
    return folderUsable(paths::workDir()) ? StartRole::First : StartRole::Refused;
}
