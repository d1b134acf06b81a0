#pragma once

#include "platform/SettingsFile.h"

#include <QString>
#include <QStringList>

#include <memory>

// The one global state of the program, alive from the first step of start-up to the end.
struct TGlobal {
    QString ExeFile;
    QString PrefPath;
    QString ProgDir; // with a trailing separator
    QString Version;
    QString NewEntryText; // "Neu /" or "New /"
    bool Sound = false;
    bool Compress = false;
    bool DeleteEmpty = false;
    bool EditMode = false;
    bool AskDelTopic = false;
    bool Background = false;
    bool FindDone = false;
    bool CopyBufferFilled = false;
    bool DefaultsRestored = false;
    bool SplashDone = false;
    std::unique_ptr<SettingsFile> Ini;
    quint8 Language = 0; // 0 German, 1 English
    // The path a second start hands to the running program.
    QString Atom;
    // The name of the channel that carries the hand-over between instances.
    QString MsgId;
    QString WinDir;
};

// The global instance; valid while a GlobalScope lives.
TGlobal& Glob();
bool HasGlob();

// Creates the global state and frees it when it ends: the orderly halt of the program.
class GlobalScope {
  public:
    GlobalScope();
    ~GlobalScope();
    GlobalScope(const GlobalScope&) = delete;
    GlobalScope& operator=(const GlobalScope&) = delete;
};

// The text of a base id in the current language.
QString Tx(quint16 baseId);

// Shows the text of a base id in the current language: kind 'e' an error box with Cancel, 'i'
// an information box with OK, each after a beep when Sound is on; any other kind shows nothing.
// The arguments fill the text's %D and %S place holders in order.
void ShowMsg(quint16 id, char kind, const QStringList& arguments = {});
