#include "app/StartupChecks.h"

#include "gui/Localizer.h"
#include "gui/dialogs/HelpWindow.h"
#include "platform/CompanionFiles.h"
#include "platform/Prompter.h"
#include "install/Removal.h"
#include "platform/Settings.h"
#include "install/DesktopIntegration.h"
#include "app/Startup.h"
#include "platform/StringTable.h"
#include "platform/Preferences.h"
#include "gui/dialogs/InstallerDialog.h"
#include "gui/dialogs/SplashScreen.h"

#include <QApplication>
#include <QCollator>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>

#include <memory>

namespace {

constexpr quint16 kFilesMissing = 1140;
constexpr quint16 kNewerInstalled = 1145;
constexpr quint16 kOtherInstalled = 1150;
constexpr quint16 kLeftoverStays = 1195;
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
void ReportMissingFiles() {
    if (Glob().Sound)
        ThePrompter().Sound(Beep::Hand);
    MessageRequest request;
    request.baseId = kFilesMissing;
    request.text = Tx(kFilesMissing);
    request.icon = MsgIcon::Error;
    request.buttons = {MsgButton::Cancel, MsgButton::Help};
    request.helpContext = kRequiredFilesHelp;
    while (ThePrompter().Show(request) == MsgButton::Help) {
        ShowHelp(request.helpContext);
        QPointer<HelpWindow> help = HelpWindow::Instance();
        if (!help || !help->isVisible())
            continue;
        QEventLoop loop;
        HideWatcher watcher(help, &loop);
        loop.exec();
    }
}

// An information box with the single button Cancel.
void ReportVersion(quint16 id, const QStringList& arguments) {
    MessageRequest request;
    request.baseId = id;
    request.text = arguments.isEmpty() ? Tx(id) : strings::Format(Tx(id), arguments);
    request.icon = MsgIcon::Information;
    request.buttons = {MsgButton::Cancel};
    ThePrompter().Show(request);
}

// The first start: true when the installer installed.
bool RunInstaller() {
    const std::unique_ptr<InstallerDialog> installer = std::make_unique<InstallerDialog>();
    ApplyLanguage();
    return installer->exec() == QDialog::Accepted;
}

// Another installed version text, compared as text: 2.10 is older than 2.7.
bool SameVersionInstalled() {
    const QString& own = Glob().Version;
    const QString installed = settings::ReadString(*Glob().Ini, settings::key::kAppVersion, own);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const int order = collator.compare(installed, own);
    if (order > 0)
        ReportVersion(kNewerInstalled, {});
    else if (order < 0)
        ReportVersion(kOtherInstalled, {installed, own});
    return order == 0;
}

bool Installed() {
    return settings::ReadString(*Glob().Ini, settings::key::kAppName,
                                QString::fromLatin1(settings::fallback::kAppName)) !=
           QString::fromLatin1(settings::fallback::kAppName);
}

} // namespace

CompanionFiles CheckCompanionFiles() {
    for (int number = 1; number <= programfiles::kCount; ++number) {
        if (!programfiles::IsLeftover(number))
            continue;
        const QString leftover = programfiles::Path(number);
        if (!leftover.isEmpty() && !shcut::RemoveFile(leftover)) {
            ShowMsg(kLeftoverStays, 'e');
            return CompanionFiles::LeftoverStays;
        }
    }
    bool complete = true;
    for (int number = 1; number <= programfiles::kCount; ++number) {
        if (!programfiles::IsRequired(number))
            continue;
        const QString required = programfiles::Path(number);
        complete = complete && !required.isEmpty() && QFileInfo::exists(required);
    }
    return complete ? CompanionFiles::Complete : CompanionFiles::Missing;
}

SplashScreen* StartupChecks(const QStringList& parameters) {
    FillPaths();
    if (!parameters.isEmpty() && parameters.first() == shcut::kRemovalSwitch) {
        RemoveInstallation();
        return nullptr;
    }
    switch (CheckCompanionFiles()) {
    case CompanionFiles::LeftoverStays:
        return nullptr;
    case CompanionFiles::Missing:
        ReportMissingFiles();
        return nullptr;
    case CompanionFiles::Complete:
        break;
    }
    if (!Installed()) {
        if (!RunInstaller())
            return nullptr;
    } else if (!SameVersionInstalled()) {
        return nullptr;
    }
    const QString commandLineFile =
        parameters.isEmpty() ? QString() : QDir::current().absoluteFilePath(parameters.first());
    auto* splash = new SplashScreen(commandLineFile);
    splash->show();
    QApplication::processEvents(); // painted before the windows are made
    return splash;
}
