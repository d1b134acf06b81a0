#include "app/StartupChecks.h"

#include "app/Startup.h"
#include "gui/Localizer.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/InstallerDialog.h"
#include "gui/dialogs/SplashScreen.h"
#include "install/DesktopIntegration.h"
#include "install/Removal.h"
#include "platform/CompanionFiles.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

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
void reportMissingFiles() {
    if (glob().sound)
        thePrompter().sound(Beep::Hand);
    MessageRequest request;
    request.baseId = kFilesMissing;
    request.text = tx(kFilesMissing);
    request.icon = MsgIcon::Error;
    request.buttons = {MsgButton::Cancel, MsgButton::Help};
    request.helpContext = kRequiredFilesHelp;
    while (thePrompter().show(request) == MsgButton::Help) {
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
    request.text = arguments.isEmpty() ? tx(id) : strings::format(tx(id), arguments);
    request.icon = MsgIcon::Information;
    request.buttons = {MsgButton::Cancel};
    thePrompter().show(request);
}

// The first start: true when the installer installed.
bool runInstaller() {
    const std::unique_ptr<InstallerDialog> installer = std::make_unique<InstallerDialog>();
    applyLanguage();
    return installer->exec() == QDialog::Accepted;
}

// Another installed version text, compared as text: 2.10 is older than 2.7.
bool sameVersionInstalled() {
    const QString& own = glob().version;
    const QString installed = settings::readString(*glob().ini, settings::key::kAppVersion, own);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const int order = collator.compare(installed, own);
    if (order > 0)
        reportVersion(kNewerInstalled, {});
    else if (order < 0)
        reportVersion(kOtherInstalled, {installed, own});
    return order == 0;
}

bool installed() {
    return settings::readString(*glob().ini, settings::key::kAppName,
                                QString::fromLatin1(settings::fallback::kAppName)) !=
           QString::fromLatin1(settings::fallback::kAppName);
}

} // namespace

CompanionFiles checkCompanionFiles() {
    for (int number = 1; number <= programfiles::kCount; ++number) {
        if (!programfiles::isLeftover(number))
            continue;
        const QString leftover = programfiles::path(number);
        if (!leftover.isEmpty() && !shcut::removeFile(leftover)) {
            showMsg(kLeftoverStays, 'e');
            return CompanionFiles::LeftoverStays;
        }
    }
    bool complete = true;
    for (int number = 1; number <= programfiles::kCount; ++number) {
        if (!programfiles::isRequired(number))
            continue;
        const QString required = programfiles::path(number);
        complete = complete && !required.isEmpty() && QFileInfo::exists(required);
    }
    return complete ? CompanionFiles::Complete : CompanionFiles::Missing;
}

SplashScreen* startupChecks(const QStringList& parameters) {
    fillPaths();
    if (!parameters.isEmpty() && parameters.first() == shcut::kRemovalSwitch) {
        removeInstallation();
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
    if (!installed()) {
        if (!runInstaller())
            return nullptr;
    } else if (!sameVersionInstalled()) {
        return nullptr;
    }
    const QString commandLineFile =
        parameters.isEmpty() ? QString() : QDir::current().absoluteFilePath(parameters.first());
    auto* splash = new SplashScreen(commandLineFile);
    splash->show();
    QApplication::processEvents(); // painted before the windows are made
    return splash;
}
