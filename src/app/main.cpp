#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "app/StartupChecks.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/MessageBoxPrompter.h"
#include "gui/dialogs/SplashScreen.h"
#include "platform/Preferences.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QPointer>

namespace {

// After initialisation: the start-up checks, which end with the splash, then the long-lived
// windows, the language and the message loop. The file named by the first parameter opens when
// the splash goes; every file a later start hands over opens as soon as the main window is
// there. A check that forbids running returns here, so the program ends through main() with its
// global state freed.
int runMainSequence(const QStringList& parameters, SingleInstance& instance) {
    // The splash takes itself away when its time is up.
    const QPointer<SplashScreen> splash = startupChecks(parameters);
    if (!splash)
        return 0;
    QGuiApplication::setApplicationDisplayName(QString::fromLatin1(settings::kProgramName));
    MainWindow mainWindow;
    mainWindow.createLongLivedWindows();
    QObject::connect(&instance, &SingleInstance::HandedOver, &mainWindow, &MainWindow::handOver);
    instance.startDelivery(); // also what came while the installer or the splash showed
    applyLanguage();
    mainWindow.show();
    if (splash)
        splash->raise(); // on top also where no window manager keeps it there
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ombrel"));
    MessageBoxPrompter prompter;
    setPrompter(&prompter);

    GlobalScope global; // freed on every way out: the orderly halt
    SingleInstance instance;
    const QStringList parameters = app.arguments().mid(1);
    if (initialiseGlobal(parameters, instance) != StartRole::First)
        return 0;
    return runMainSequence(parameters, instance);
}
