#pragma once

// Starts of the program as main() makes them, in a sandboxed home with a copy of the program
// directory. The installer is answered from a timer while it waits modally; every message box
// is scripted.
#include "ProgramFrame.h"
#include "ScriptedPrompter.h"
#include "app/SingleInstance.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/InstallerDialog.h"
#include "gui/dialogs/SplashScreen.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "platform/Settings.h"
#include "platform/SettingsFile.h"

#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

inline const QString kRemovalSwitch = QStringLiteral("/$UnInstalCompleteApp$");

// The program's frame with a copy of the program directory, which removal may empty.
struct Home : ProgramFrame {
    Home();
    QString path(const char* relative) const {
        return sandbox.root() + u'/' + QLatin1String(relative);
    }
    QString ini() const { return sandbox.settingsFile(); }
    void writeIni(const QByteArray& text) const { writeBytes(ini(), text); }

    // Every file and folder under home, data, config and the program directory, with the
    // start of each file's contents; the caches and the runtime directory are the system's.
    QStringList tree() const { return sandbox.tree({"home", "data", "config", "prog"}, 24); }
    // The files of tree() without contents, leaving out what update-mime-database makes.
    QStringList files() const;
};

using InstallerAnswer = std::function<void(InstallerDialog&)>;
void answerOk(InstallerDialog& installer);
void answerCancel(InstallerDialog& installer);
// Takes the tick out of the installer's check box of that name.
void untick(InstallerDialog& installer, const char* name);

// One start of the program as main() makes it, up to the end of the start-up checks.
struct Start {
    SettingsFile settings{paths::settingsFile()};
    Preferences preferences{settings};
    ScriptedPrompter prompter;
    SingleInstance instance;
    QPointer<SplashScreen> splash;
    InstallerAnswer answer = answerOk;
    bool installerShown = false;
    QStringList helpShown; // the anchors the help window was opened at

    ~Start();
    // True when start-up goes on to the windows.
    bool run(const QStringList& parameters = {});
    // The main window as the program makes it after the checks: it waits for the splash.
    std::unique_ptr<MainWindow> makeMainWindow();
    QString read(settings::Key key) const {
        return settings::readString(settings, key, QStringLiteral("<missing>"));
    }

  private:
    void actOnOpenWindows();
};
