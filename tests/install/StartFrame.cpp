#include "StartFrame.h"

#include "app/Startup.h"
#include "app/StartupChecks.h"
#include "gui/dialogs/HelpWindow.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTextBrowser>
#include <QTimer>

namespace {
const QString kBuildDir = QFileInfo(QStringLiteral(OMBREL_BINARY)).absolutePath();
}

Home::Home() {
    for (const char* name : {"HP48.TTF", "HP48-LICENSE.txt", "omhelp.html", "file_id.diz"})
        QFile::copy(kBuildDir + u'/' + QLatin1String(name), programDir + QLatin1String(name));
    writeBytes(programDir + QStringLiteral("kermit"), "#!/bin/sh\nexit 0\n");
    QFile::setPermissions(programDir + QStringLiteral("kermit"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir().mkpath(path("home/Desktop"));
}

QStringList Home::files() const {
    QStringList files;
    for (const QString& line : tree()) {
        const QString path = line.section(u' ', 0, 0);
        if (line.contains(u' ') && (!path.startsWith(QStringLiteral("data/mime/")) ||
                                    path.startsWith(QStringLiteral("data/mime/packages/"))))
            files.append(path);
    }
    return files;
}

void answerOk(InstallerDialog& installer) {
    installer.install();
}

void answerCancel(InstallerDialog& installer) {
    installer.cancelInstallation();
}

void untick(InstallerDialog& installer, const char* name) {
    installer.findChild<QCheckBox*>(QLatin1String(name))->setChecked(false);
}

// A help window a failed start opened has no parent; it goes with the start, before the
// application ends, as Qt's font database takes fontconfig's patterns with it.
Start::~Start() {
    delete splash.data();
    delete HelpWindow::instance();
}

bool Start::run(const QStringList& parameters) {
    if (claimTheProgram(parameters, settings, instance) != StartRole::First)
        return false;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [this] { actOnOpenWindows(); });
    watch.start();
    splash = startupChecks(parameters, settings);
    return !splash.isNull();
}

void Start::actOnOpenWindows() {
    if (HelpWindow* help = HelpWindow::instance(); help && help->isVisible()) {
        helpShown.append(help->findChild<QTextBrowser*>()->source().fragment());
        help->close();
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* installer = qobject_cast<InstallerDialog*>(window);
        if (installer && installer->isVisible() && !installerShown) {
            installerShown = true;
            answer(*installer);
        }
    }
}

std::unique_ptr<MainWindow> Start::makeMainWindow() {
    auto main = std::make_unique<MainWindow>(preferences);
    if (splash)
        QObject::connect(splash, &SplashScreen::gone, main.get(), &MainWindow::splashGone);
    return main;
}
