#include "app/FontConfigWarmUp.h"
#include "app/Recovery.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "app/StartupChecks.h"
#include "core/FileName.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/MessageBoxPrompter.h"
#include "gui/dialogs/SplashScreen.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QEventLoop>
#include <QPointer>

#include <cstdio>
#include <cstring>

namespace {

const char kHelpText[] =
    "usage: ombrel [FILE]\n"
    "       ombrel --help | --version\n"
    "\n"
    "Ombrel edits the text databases of the Tarvo library for the HP48 calculator and sends\n"
    "them to and from the calculator through C-Kermit. FILE, a database file, opens once the\n"
    "program is up; when Ombrel already runs, the file opens there.\n"
    "\n"
    "The first start installs Ombrel for the user; '/$UnInstalCompleteApp$' as the first\n"
    "parameter removes that installation again (the menu entry \"Remove Ombrel\" runs it).\n"
    "\n"
    "--help     print this text and exit\n"
    "--version  print the version and exit\n";

// --help and --version are answered before anything else: they need no display, and they
// leave the settings file and the running instance alone. True when one was answered.
bool answeredInformationRequest(int argc, char* argv[]) {
    if (argc < 2)
        return false;
    if (std::strcmp(argv[1], "--help") == 0)
        std::fputs(kHelpText, stdout);
    else if (std::strcmp(argv[1], "--version") == 0)
        std::printf("ombrel %s\n", version::kText);
    else
        return false;
    return true;
}

// The end of the splash: the file named on the command line, to open once it has gone. It
// listens from the moment the splash is there, so a splash closed early is not missed; wait()
// runs the program's events until then, the main window answering meanwhile.
class SplashEnd {
  public:
    explicit SplashEnd(SplashScreen& splash) {
        QObject::connect(&splash, &SplashScreen::gone, &loop_, [this](const QString& file) {
            commandLineFile_ = file;
            gone_ = true;
            loop_.quit();
        });
    }
    QString wait() {
        if (!gone_)
            loop_.exec();
        return commandLineFile_;
    }

  private:
    QEventLoop loop_;
    QString commandLineFile_;
    bool gone_ = false;
};

} // namespace

// The start in its order. A step that forbids running returns here, and the program ends.
int main(int argc, char* argv[]) {
    if (answeredInformationRequest(argc, argv))
        return 0;
    FontConfigWarmUp fontConfig; // read while the program connects to the display
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ombrel"));
    MessageBoxPrompter prompter;
    setPrompter(&prompter);
    SettingsFile settings(paths::settingsFile());
    Preferences preferences(settings);
    // Qt has taken its own options out of argv; a name that is no UTF-8 keeps its bytes.
    const QStringList parameters = filename::parameters(argc, argv);

    // 1. The claim: a second start hands its file to the first one and ends.
    SingleInstance instance;
    const StartRole role = claimTheProgram(parameters, settings, instance);
    // The installer or the splash is the first window to measure text; a start that ends here
    // must not go on either, as Qt's font database ends fontconfig's configuration with the
    // application while the thread may still be making it.
    fontConfig.wait();
    if (role != StartRole::First)
        return 0;
    // 2. The checks, ending with the splash: removal, companion files, installer, version.
    const QPointer<SplashScreen> splash = startupChecks(parameters, settings);
    if (splash.isNull())
        return 0;
    SplashEnd splashEnd(*splash);
    // 3. The main window under the splash; every document it makes keeps a recovery copy.
    QGuiApplication::setApplicationDisplayName(QString::fromLatin1(settings::kProgramName));
    Recovery recovery; // outlives the documents, whose copies it keeps
    MainWindow mainWindow(preferences);
    recovery.watch(mainWindow);
    applyLanguage();
    mainWindow.show();
    if (splash)
        splash->raise(); // on top also where no window manager keeps it there
    const QString commandLineFile = splashEnd.wait();
    // 4. The copies a crashed run left over, restored or discarded as the user says.
    recovery.offer(mainWindow);
    // 5. The command-line file, then every file a later start hands over, also those that came
    // while the installer or the splash showed.
    mainWindow.splashGone(commandLineFile);
    QObject::connect(&instance, &SingleInstance::handedOver, &mainWindow, &MainWindow::handOver);
    instance.startDelivery();
    return QApplication::exec();
}
