#include "app/FirstPaint.h"
#include "app/FontConfigWarmUp.h"
#include "app/Recovery.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "app/StartupChecks.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/MessageBoxPrompter.h"
#include "gui/dialogs/SplashScreen.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

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
        std::printf("ombrel %s\n", settings::kVersion);
    else
        return false;
    return true;
}

// After the program is claimed: the start-up checks, which end with the splash, then the main
// window, the language and the message loop. The long-lived windows are made once the main
// window has painted itself: its first picture needs none of them. Recovery copies a crashed
// run left over are offered when the splash goes, before the file named by the first parameter
// opens; every file a later start hands over opens once the long-lived windows are there and
// the copies were decided on. A check that forbids running returns here, and the program ends.
int runMainSequence(const QStringList& parameters, Preferences& preferences,
                    SingleInstance& instance, FontConfigWarmUp& fontConfig) {
    fontConfig.wait(); // the installer or the splash is the first window
    // The splash takes itself away when its time is up.
    const QPointer<SplashScreen> splash = startupChecks(parameters, preferences.settings());
    if (!splash)
        return 0;
    QGuiApplication::setApplicationDisplayName(QString::fromLatin1(settings::kProgramName));
    Recovery recovery; // outlives the documents, whose copies it keeps
    MainWindow mainWindow(preferences);
    recovery.watch(mainWindow);
    QObject::connect(&instance, &SingleInstance::handedOver, &mainWindow, &MainWindow::handOver);
    bool windowsMade = false;
    bool copiesDecided = !recovery.hasLeftovers();
    const auto deliverWhenReady = [&] {
        if (windowsMade && copiesDecided)
            instance.startDelivery(); // also what came while the installer or the splash showed
    };
    if (copiesDecided) {
        QObject::connect(splash, &SplashScreen::gone, &mainWindow, &MainWindow::splashGone);
    } else {
        QObject::connect(splash, &SplashScreen::gone, &mainWindow, [&](const QString& file) {
            QTimer::singleShot(0, &mainWindow, [&, file] {
                recovery.offer(mainWindow);
                mainWindow.splashGone(file);
                copiesDecided = true;
                deliverWhenReady();
            });
        });
    }
    applyLanguage();
    mainWindow.show();
    if (splash)
        splash->raise(); // on top also where no window manager keeps it there
    runAfterFirstPaint(mainWindow, [&] {
        mainWindow.createLongLivedWindows();
        applyLanguage();
        windowsMade = true;
        deliverWhenReady();
    });
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) {
    if (answeredInformationRequest(argc, argv))
        return 0;
    FontConfigWarmUp fontConfig;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ombrel"));
    MessageBoxPrompter prompter;
    setPrompter(&prompter);

    SettingsFile settings(paths::settingsFile());
    Preferences preferences(settings);
    SingleInstance instance;
    const QStringList parameters = app.arguments().mid(1);
    if (claimTheProgram(parameters, settings, instance) != StartRole::First)
        return 0;
    return runMainSequence(parameters, preferences, instance, fontConfig);
}
