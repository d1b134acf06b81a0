#include "ProgramFrame.h"

#include "gui/Localizer.h"

#include <QAction>
#include <QFile>

ProgramFrame::ProgramFrame() {
    glob().ini = std::make_unique<SettingsFile>(sandbox.SettingsFile());
    glob().progDir = sandbox.path(QStringLiteral("prog/"));
    glob().version = QStringLiteral("2.7");
    glob().splashDone = true;
}

ProgramFrame::~ProgramFrame() {
    main.reset();
    if (programDirectorySet_)
        qunsetenv("OMBREL_PROGDIR");
}

void ProgramFrame::set(const char* section, const char* key, const QString& value) {
    glob().ini->writeString(section, key, value);
}

QString ProgramFrame::get(const char* section, const char* key) const {
    return glob().ini->readString(section, key, QStringLiteral("<missing>"));
}

MainWindow& ProgramFrame::open(Dialogs withDialogs) {
    main = std::make_unique<MainWindow>();
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
    qputenv("OMBREL_PROGDIR", QFile::encodeName(glob().progDir));
    programDirectorySet_ = true;
    if (withHelpFile)
        QFile::copy(QStringLiteral(OMBREL_SOURCE_DIR "/resources/omhelp.html"),
                    glob().progDir + QStringLiteral("omhelp.html"));
}
