#pragma once

#include "Sandbox.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompter.h"
#include "gui/MainWindow.h"
#include "platform/Preferences.h"
#include "platform/SettingsFile.h"

#include <memory>

class QAction;
class SplashScreen;

// The program's state as start-up leaves it, in a sandbox, with every box and file dialog
// scripted, the program directory in the sandbox and the splash gone. The main window is made by
// open(), after the test has written its settings.
struct ProgramFrame {
    enum class Dialogs { Without, With }; // the long-lived dialogs

    ProgramFrame();
    ~ProgramFrame();

    void set(const char* section, const char* key, const QString& value);
    QString get(const char* section, const char* key) const; // "<missing>" when not there
    // With a splash, the main window waits for it to go, as at a start of the program.
    MainWindow& open(Dialogs dialogs = Dialogs::With, SplashScreen* splash = nullptr);
    QAction* action(const char* name) const;
    // Puts the help file into the sandbox's program directory.
    void useProgramDirectory(bool withHelpFile = true);

    Sandbox sandbox;
    SettingsFile settings;
    Preferences preferences;
    QString programDir; // with a trailing separator
    ScriptedPrompter prompter;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<MainWindow> main;
};
