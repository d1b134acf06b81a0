#pragma once

#include <QStringList>

class SettingsFile;
class SplashScreen;

// What every start checks before the windows are made, in this order: the removal switch as the
// first parameter (the removal runs and the program ends); the transfer's leftovers, which are
// deleted; the required companion files; on the first start the installer; otherwise the installed
// version, which must be this one. Then the splash shows, with the file named by the first
// parameter to open when it goes.
//
// Returns the splash when start-up goes on, nullptr when the program is to end.
SplashScreen* startupChecks(const QStringList& parameters, SettingsFile& settings);

enum class CompanionFiles {
    Complete,
    Missing,       // a required file is not there
    LeftoverStays, // a leftover could not be deleted; error 1195 was shown
};
// Deletes the transfer's leftovers and tests that every required companion file exists.
CompanionFiles checkCompanionFiles();
