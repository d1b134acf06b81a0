#include "ApplyLanguage.h"
#include "MessageBoxPrompter.h"
#include "Settings.h"
#include "SingleInstance.h"
#include "Startup.h"
#include "omGlob.h"
#include "omUnit.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

namespace {

// After initialisation: the long-lived windows, the language, the message loop. The main
// window opens the file named by the first parameter once it shows, and every file a later
// start hands over.
int RunMainSequence(const QStringList& parameters, SingleInstance& instance) {
    FillPaths();
    QGuiApplication::setApplicationDisplayName(QString::fromLatin1(settings::kProgramName));
    // Nothing holds the close of the main window back while no splash window shows.
    Glob().SplashDone = true;
    TMainProg mainWindow;
    mainWindow.CreateLongLivedWindows();
    QObject::connect(&instance, &SingleInstance::HandedOver, &mainWindow, &TMainProg::HandOver);
    ApplyLanguage();
    mainWindow.show();
    if (!parameters.isEmpty()) {
        const QString file = QDir::current().absoluteFilePath(parameters.first());
        QTimer::singleShot(0, &mainWindow,
                           [&mainWindow, file] { mainWindow.OpenFileByName(file); });
    }
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ombrel"));
    MessageBoxPrompter prompter;
    SetPrompter(&prompter);

    GlobalScope global; // freed on every way out: the orderly halt
    SingleInstance instance;
    const QStringList parameters = app.arguments().mid(1);
    if (InitialiseGlobal(parameters, instance) != StartRole::First)
        return 0;
    return RunMainSequence(parameters, instance);
}
