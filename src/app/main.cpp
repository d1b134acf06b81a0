#include "ApplyLanguage.h"
#include "MessageBoxPrompter.h"
#include "Settings.h"
#include "SingleInstance.h"
#include "Startup.h"
#include "omGlob.h"
#include "omLogo.h"
#include "omUnit.h"

#include <QApplication>
#include <QDir>
#include <QPointer>

namespace {

// After initialisation: the splash, the long-lived windows, the language, the message loop.
// The file named by the first parameter opens when the splash goes; every file a later start
// hands over opens at once.
int RunMainSequence(const QStringList& parameters, SingleInstance& instance) {
    FillPaths();
    const QString commandLineFile =
        parameters.isEmpty() ? QString() : QDir::current().absoluteFilePath(parameters.first());
    // Takes itself away when its time is up.
    const QPointer<TStart> splash = new TStart(commandLineFile);
    splash->show();
    QApplication::processEvents(); // painted before the windows are made
    QGuiApplication::setApplicationDisplayName(QString::fromLatin1(settings::kProgramName));
    TMainProg mainWindow;
    mainWindow.CreateLongLivedWindows();
    QObject::connect(&instance, &SingleInstance::HandedOver, &mainWindow, &TMainProg::HandOver);
    ApplyLanguage();
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
    SetPrompter(&prompter);

    GlobalScope global; // freed on every way out: the orderly halt
    SingleInstance instance;
    const QStringList parameters = app.arguments().mid(1);
    if (InitialiseGlobal(parameters, instance) != StartRole::First)
        return 0;
    return RunMainSequence(parameters, instance);
}
