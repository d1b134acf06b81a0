#pragma once

#include <QStringList>

class SettingsFile;
class SingleInstance;

enum class StartRole {
    First,          // this process runs the program
    HandedOver,     // a running program took the file name; this process ends
    AlreadyRunning, // a running program was found and told so; this process ends
    Refused,        // a private folder or the lock cannot be made; an error named the folder
};

// The first steps of every start, before any window: the settings file's failure report, the
// language, the private folders and the single-instance check. A second start hands its first
// parameter, made absolute against its own working directory, to the first one; without a
// parameter it says that one runs. The folders made for the work files go again at the end of
// the process when nothing is left in them.
StartRole claimTheProgram(const QStringList& parameters, SettingsFile& settings,
                          SingleInstance& instance);
