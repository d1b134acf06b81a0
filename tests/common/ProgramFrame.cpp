#include "ProgramFrame.h"

#include "gui/Localizer.h"
#include "gui/dialogs/SplashScreen.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <QAction>
#include <QDir>
#include <QFile>

ProgramFrame::ProgramFrame()
    : settings(sandbox.settingsFile()), preferences(settings),
      programDir(sandbox.path(QStringLiteral("prog/"))) {
    qputenv("OMBREL_PROGDIR", QFile::encodeName(programDir)); // the sandbox puts it back
    strings::setLanguage(strings::kGerman);
    thePrompter().setSoundOn(false);
}

ProgramFrame::~ProgramFrame() {
    main.reset();
}

void ProgramFrame::set(const char* section, const char* key, const QString& value) {
    settings.writeString(section, key, value);
}

QString ProgramFrame::get(const char* section, const char* key) const {
    return settings.readString(section, key, QStringLiteral("<missing>"));
}

MainWindow& ProgramFrame::open(Dialogs withDialogs, SplashScreen* splash) {
    strings::setLanguage(settings::readLanguage(settings));
    main = std::make_unique<MainWindow>(preferences);
    if (splash)
        QObject::connect(splash, &SplashScreen::gone, main.get(), &MainWindow::splashGone);
    else
        main->splashGone(QString());
    if (withDialogs == Dialogs::With)
        main->createLongLivedWindows();
    applyLanguage();
    main->show();
    return *main;
}

QAction* ProgramFrame::action(const char* name) const {
    return main->findChild<QAction*>(QLatin1String(name));
}

void ProgramFrame::useProgramDirectory(bool withHelpFile) {
    if (withHelpFile)
        QFile::copy(QStringLiteral(OMBREL_SOURCE_DIR "/resources/omhelp.html"),
                    programDir + QStringLiteral("omhelp.html"));
}
