#pragma once

#include "platform/SettingsFile.h"

#include <QString>

// The user's choices the windows act on, copied from the settings file when the program starts
// and again when the settings dialog applies new ones, together with the settings file itself,
// from which each window reads its own keys.
class Preferences {
  public:
    explicit Preferences(SettingsFile& settings) : settings_(settings) {}
    Preferences(const Preferences&) = delete;
    Preferences& operator=(const Preferences&) = delete;

    SettingsFile& settings() const { return settings_; }
    // Copies every choice from the settings file; the calculator's characters go to the codec.
    // A preferred directory that is not set, missing or not writable gives the user's
    // documents folder for this run; the file keeps its value.
    void read();

    bool sound = false;       // a beep before each message box
    bool compress = false;    // a file for the calculator leaves out each topic's empty rows
    bool deleteEmpty = false; // saving leaves out the empty topics at the end
    bool editMode = false;    // quick edit: a commit moves on to the next entry
    bool askDelTopic = false; // a topic goes only after a question
    bool background = false;  // the workspace shows the background picture
    QString preferredPath;    // where the file dialogs open, with a trailing separator
    int newTranslation = 1;   // the translation mode new documents are written in
    bool hp49 = false;        // the calculator is an HP49 or 50 (code 160 is the euro sign)

  private:
    SettingsFile& settings_;
};
