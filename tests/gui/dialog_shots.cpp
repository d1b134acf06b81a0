// Shows one of Ombrel's tool windows for scripts/screenshot-dialogs: the character table
// ("chartab"), the About window ("about") or one page of the settings dialog ("settings N",
// N from 0), at the top-left corner of the screen, then prints its place as WIDTHxHEIGHT+X+Y
// and stays until it is ended.
// It runs on the settings file and the program directory of the environment, like the program.

#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/dialogs/CharacterTable.h"
#include "gui/dialogs/SettingsDialog.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "platform/Settings.h"
#include "platform/SettingsFile.h"
#include "platform/StringTable.h"

#include <QApplication>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.isEmpty()) {
        std::fprintf(stderr, "usage: ombrel_dialog_shots chartab | about | settings PAGE\n");
        return 2;
    }
    SettingsFile settingsFile(paths::settingsFile());
    Preferences preferences(settingsFile);
    strings::setLanguage(settings::readLanguage(settingsFile));

    MainWindow main(preferences);
    main.splashGone(QString());
    applyLanguage();
    QWidget* window = nullptr;
    if (arguments.first() == u"chartab") {
        window = &main.characterTable();
    } else if (arguments.first() == u"about") {
        window = &main.aboutDialog();
    } else {
        SettingsDialog* options = &main.settingsDialog();
        options->loadControls();
        options->findChild<QTabWidget*>(QStringLiteral("pages"))
            ->setCurrentIndex(arguments.value(1).toInt());
        window = options;
    }
    window->move(0, 0);
    window->show();
    QTimer::singleShot(800, window, [window] {
        const QRect placed = window->frameGeometry();
        std::printf("%dx%d+%d+%d\n", placed.width(), placed.height(), placed.x(), placed.y());
        std::fflush(stdout);
    });
    return QApplication::exec();
}
