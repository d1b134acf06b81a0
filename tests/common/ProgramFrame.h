#pragma once

#include "Sandbox.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompter.h"
#include "platform/Preferences.h"
#include "gui/MainWindow.h"

#include <memory>

class QAction;

// The program's state as start-up leaves it, in a sandbox, with every box and file dialog
// scripted. The main window is made by Open(), after the test has written its settings.
struct ProgramFrame {
    enum class Dialogs { Without, With }; // the long-lived dialogs

    ProgramFrame();
    ~ProgramFrame();

    void Set(const char* section, const char* key, const QString& value);
    QString Get(const char* section, const char* key) const; // "<missing>" when not there
    MainWindow& Open(Dialogs dialogs = Dialogs::With);
    QAction* Action(const char* name) const;
    // Points OMBREL_PROGDIR at the sandbox's program directory, with the help file in it.
    void UseProgramDirectory(bool withHelpFile = true);

    Sandbox sandbox;
    GlobalScope global;
    ScriptedPrompter prompter;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<MainWindow> main;

  private:
    bool programDirectorySet_ = false;
};
