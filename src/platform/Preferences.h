#pragma once

#include "platform/SettingsFile.h"

#include <QString>
#include <QStringList>

#include <memory>

// The one global state of the program, alive from the first step of start-up to the end.
struct TGlobal {
    QString exeFile;
    QString prefPath;
    QString progDir; // with a trailing separator
    QString version;
    QString newEntryText; // "Neu /" or "New /"
    bool sound = false;
    bool compress = false;
    bool deleteEmpty = false;
    bool editMode = false;
    bool askDelTopic = false;
    bool background = false;
    bool findDone = false;
    bool copyBufferFilled = false;
    bool defaultsRestored = false;
    bool splashDone = false;
    std::unique_ptr<SettingsFile> ini;
    quint8 language = 0; // 0 German, 1 English
    // The path a second start hands to the running program.
    QString atom;
    // The name of the channel that carries the hand-over between instances.
    QString msgId;
    QString winDir;
};

// The global instance; valid while a GlobalScope lives.
TGlobal& glob();
bool hasGlob();

// Creates the global state and frees it when it ends: the orderly halt of the program.
class GlobalScope {
  public:
    GlobalScope();
    ~GlobalScope();
    GlobalScope(const GlobalScope&) = delete;
    GlobalScope& operator=(const GlobalScope&) = delete;
};

// The text of a base id in the current language.
QString tx(quint16 baseId);

// Shows the text of a base id in the current language: kind 'e' an error box with Cancel, 'i'
// an information box with OK, each after a beep when Sound is on; any other kind shows nothing.
// The arguments fill the text's %D and %S place holders in order.
void showMsg(quint16 id, char kind, const QStringList& arguments = {});
