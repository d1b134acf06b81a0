// A stand-in for the running program in the single-instance tests: it starts like the program
// does up to the single-instance check. As the first instance it prints "ready", then every
// path handed over to it on a line of its own, and ends once it was handed a file named "quit"
// (or after a minute, so that a failed test leaves nothing running).

#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "platform/Paths.h"
#include "platform/SettingsFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kLifetimeMs = 60 * 1000;

void printLine(const QString& text) {
    std::fputs((text + u'\n').toUtf8().constData(), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    SettingsFile settings(paths::settingsFile());
    SingleInstance instance;
    if (claimTheProgram(app.arguments().mid(1), settings, instance) != StartRole::First)
        return 0;

    QObject::connect(&instance, &SingleInstance::handedOver, &app, [](const QString& path) {
        printLine(path);
        if (QFileInfo(path).fileName() == u"quit")
            QCoreApplication::quit();
    });
    instance.startDelivery();
    QTimer::singleShot(kLifetimeMs, &app, &QCoreApplication::quit);
    printLine(QStringLiteral("ready"));
    return QCoreApplication::exec();
}
