#pragma once

// Asks whether the program is to be removed and, when the answer is yes, takes back what the
// installation record says the installer made: the shortcuts, the font, the type of database
// files with its handler, the removal entry; then deletes the companion files, the settings file
// and the program file. A program directory that a package installed keeps its files: there
// only the user's own files go. The program ends after it in every case.
void removeInstallation();
