#pragma once

#include "Sandbox.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompter.h"
#include "gui/MainWindow.h"
#include "platform/Preferences.h"

#include <memory>

class QAction;

// The program's state as start-up leaves it, in a sandbox, with every box and file dialog
// scripted. The main window is made by Open(), after the test has written its settings.
struct ProgramFrame {
    enum class Dialogs { Without, With }; // the long-lived dialogs

    ProgramFrame();
    ~ProgramFrame();

    void set(const char* section, const char* key, const QString& value);
    QString get(const char* section, const char* key) const; // "<missing>" when not there
    MainWindow& open(Dialogs dialogs = Dialogs::With);
    QAction* action(const char* name) const;
    // Points OMBREL_PROGDIR at the sandbox's program directory, with the help file in it.
    void useProgramDirectory(bool withHelpFile = true);

    Sandbox sandbox;
    GlobalScope global;
    ScriptedPrompter prompter;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<MainWindow> main;

  private:
    bool programDirectorySet_ = false;
};
