#include "ProgramFrame.h"

#include "gui/Localizer.h"

#include <QAction>
#include <QFile>

ProgramFrame::ProgramFrame() {
    Glob().Ini = std::make_unique<SettingsFile>(sandbox.SettingsFile());
    Glob().ProgDir = sandbox.Path(QStringLiteral("prog/"));
    Glob().Version = QStringLiteral("2.7");
    Glob().SplashDone = true;
}

ProgramFrame::~ProgramFrame() {
    main.reset();
    if (programDirectorySet_)
        qunsetenv("OMBREL_PROGDIR");
}

void ProgramFrame::Set(const char* section, const char* key, const QString& value) {
    Glob().Ini->WriteString(section, key, value);
}

QString ProgramFrame::Get(const char* section, const char* key) const {
    return Glob().Ini->ReadString(section, key, QStringLiteral("<missing>"));
}

MainWindow& ProgramFrame::Open(Dialogs withDialogs) {
    main = std::make_unique<MainWindow>();
    if (withDialogs == Dialogs::With)
        main->CreateLongLivedWindows();
    ApplyLanguage();
    main->show();
    return *main;
}

QAction* ProgramFrame::Action(const char* name) const {
    return main->findChild<QAction*>(QLatin1String(name));
}

void ProgramFrame::UseProgramDirectory(bool withHelpFile) {
    qputenv("OMBREL_PROGDIR", QFile::encodeName(Glob().ProgDir));
    programDirectorySet_ = true;
    if (withHelpFile)
        QFile::copy(QStringLiteral(OMBREL_SOURCE_DIR "/resources/omhelp.html"),
                    Glob().ProgDir + QStringLiteral("omhelp.html"));
}
