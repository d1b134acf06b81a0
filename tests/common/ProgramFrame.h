#pragma once

#include "Sandbox.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompter.h"
#include "gui/MainWindow.h"
#include "platform/Preferences.h"
#include "platform/SettingsFile.h"

#include <memory>

#include <QObject>
#include <QStringList>

class DataBox;
class DocumentWindow;
class QAction;
class QMdiArea;
class SplashScreen;
class TopicList;

// The parts of a document window, found as a test finds any control: by its object name.
DataBox* dataBoxOf(const DocumentWindow* window);
TopicList* topicListOf(const DocumentWindow* window);
// The drop of a topic of one list on an entry of another (or the same) as the list reports it
// once the mouse let go.
void dropTopic(DocumentWindow* source, int sourceEntry, DocumentWindow* target, int targetEntry);

// Answers each pop-up menu that opens while it lives as a hand does: notes the items that are
// enabled, then picks the one of the given name with the keyboard, or closes the menu with
// Escape when there is none of that name. The one made last answers.
class PopupChoice : public QObject {
  public:
    explicit PopupChoice(const char* name);
    ~PopupChoice() override;
    QString name;
    QStringList enabled;
    int shown = 0;

  protected:
    void timerEvent(QTimerEvent* event) override;
};

// The program's state as start-up leaves it, in a sandbox, with every box and file dialog
// scripted, the program directory in the sandbox and the splash gone. The main window is made by
// open(), after the test has written its settings.
struct ProgramFrame {
    ProgramFrame();
    ~ProgramFrame();

    void set(const char* section, const char* key, const QString& value);
    QString get(const char* section, const char* key) const; // "<missing>" when not there
    // With a splash, the main window waits for it to go, as at a start of the program.
    MainWindow& open(SplashScreen* splash = nullptr);
    QAction* action(const char* name) const;
    // What the user sees of the frame: a panel of the status bar, the recent files as the File
    // menu lists them, the workspace.
    QString statusPanel(int panel) const;
    QStringList recentFiles() const;
    QMdiArea* workspace() const;
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
