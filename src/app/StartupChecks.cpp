#include "app/StartupChecks.h"

#include "app/Startup.h"
#include "core/FileName.h"
#include "gui/Localizer.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/InstallerDialog.h"
#include "gui/dialogs/SplashScreen.h"
#include "install/DesktopIntegration.h"
#include "install/Removal.h"
#include "platform/CompanionFiles.h"
#include "platform/Paths.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"
#include "transfer/TransferJob.h"

#include <QApplication>
#include <QCollator>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>

#include <memory>

namespace {

const QString kRequiredFilesHelp = QStringLiteral("555");

// Ends a nested event loop when a window is hidden or goes.
class HideWatcher : public QObject {
  public:
    HideWatcher(QWidget* window, QEventLoop* loop) : loop_(loop) {
        window->installEventFilter(this);
        connect(window, &QObject::destroyed, loop, &QEventLoop::quit);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide)
            loop_->quit();
        return false;
    }

  private:
    QEventLoop* loop_;
};

// The box that lists no file: Help shows the list in the help, which stays usable while it is
// open, and the box comes back when the help is closed; Cancel ends the program.
void reportMissingFiles() {
    MessageRequest request;
    request.baseId = textid::kFilesMissing;
    request.text = strings::text(textid::kFilesMissing);
    request.icon = MsgIcon::Error;
    request.buttons = {MsgButton::Cancel, MsgButton::Help};
    request.helpContext = kRequiredFilesHelp;
    while (thePrompter().ask(request, Beep::Hand) == MsgButton::Help) {
        showHelp(request.helpContext);
        QPointer<HelpWindow> help = HelpWindow::instance();
        if (!help || !help->isVisible())
            continue;
        QEventLoop loop;
        HideWatcher watcher(help, &loop);
        loop.exec();
    }
}

// An information box with the single button Cancel.
void reportVersion(quint16 id, const QStringList& arguments) {
    MessageRequest request;
    request.baseId = id;
    request.text = strings::format(strings::text(id), arguments);
    request.icon = MsgIcon::Information;
    request.buttons = {MsgButton::Cancel};
    thePrompter().show(request);
}

// The removal switch: the question first, then the removal.
void offerRemoval(const SettingsFile& settings) {
    MessageRequest request;
    request.baseId = textid::kConfirmRemoval;
    request.text =
        strings::format(strings::text(textid::kConfirmRemoval), {settings::versionText()});
    request.icon = MsgIcon::Question;
    request.buttons = {MsgButton::Yes, MsgButton::No};
    if (thePrompter().show(request) == MsgButton::Yes)
        install::removeInstallation(settings, paths::exeFile(), settings::versionText());
}

// The first start: true when the installer installed.
bool runInstaller(SettingsFile& settings) {
    const auto installer = std::make_unique<InstallerDialog>(settings);
    applyLanguage();
    return installer->exec() == QDialog::Accepted;
}

// Another installed version text, compared as text: 2.10 is older than 2.7.
bool sameVersionInstalled(const SettingsFile& settings) {
    const QString own = settings::versionText();
    const QString installed = settings::readString(settings, settings::key::kAppVersion, own);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const int order = collator.compare(installed, own);
    if (order > 0)
        reportVersion(textid::kNewerInstalled, {});
    else if (order < 0)
        reportVersion(textid::kOtherInstalled, {installed, own});
    return order == 0;
}

bool installed(const SettingsFile& settings) {
    return settings::readString(settings, settings::key::kAppName,
                                QString::fromLatin1(settings::fallback::kAppName)) !=
           QString::fromLatin1(settings::fallback::kAppName);
}

} // namespace

CompanionFiles checkCompanionFiles() {
    for (int number = 1; number <= programfiles::kCount; ++number) {
        if (!programfiles::isLeftover(number))
            continue;
        const QString leftover = programfiles::path(number);
        if (!leftover.isEmpty() && !desktop::removeFile(leftover)) {
            thePrompter().showMessage(textid::kLeftoverStays, MessageKind::Error);
            return CompanionFiles::LeftoverStays;
        }
    }
    // A transfer that never ended, or several files a receive of an earlier version kept.
    removeTransferLeftovers(paths::usableWorkDir());
    bool complete = true;
    for (int number = 1; number <= programfiles::kCount; ++number) {
        if (!programfiles::isRequired(number))
            continue;
        const QString required = programfiles::path(number);
        complete = complete && !required.isEmpty() && QFileInfo::exists(required);
    }
    return complete ? CompanionFiles::Complete : CompanionFiles::Missing;
}

SplashScreen* startupChecks(const QStringList& parameters, SettingsFile& settings) {
    if (!parameters.isEmpty() && parameters.first() == desktop::kRemovalSwitch) {
        offerRemoval(settings);
        return nullptr;
    }
    switch (checkCompanionFiles()) {
    case CompanionFiles::LeftoverStays:
        return nullptr;
    case CompanionFiles::Missing:
        reportMissingFiles();
        return nullptr;
    case CompanionFiles::Complete:
        break;
    }
    if (!installed(settings)) {
        if (!runInstaller(settings))
            return nullptr;
    } else if (!sameVersionInstalled(settings)) {
        return nullptr;
    }
    const QString commandLineFile =
        parameters.isEmpty() ? QString() : filename::absolute(parameters.first());
    auto* splash = new SplashScreen(commandLineFile);
    splash->show();
    QApplication::processEvents(); // painted before the windows are made
    return splash;
}
