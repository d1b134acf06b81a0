#pragma once

#include <QFont>
#include <QString>

// The calculator font of the boxes and the character table.
namespace hp48font {

inline const QString kFamily = QStringLiteral("HP48");

// Loads the font beside the program (ProgDir/HP48.TTF) once, when the desktop does not know
// the family yet.
void ensure();

// Makes the copy the installer put into the user's font folder known to the running program, in
// place of a copy added before: the program read the desktop's fonts before the copy was made.
void addInstalled(const QString& fontFile);

// Family HP48 at the given pixel height; glyphs it lacks come from the monospace font.
QFont font(int pixels);

} // namespace hp48font
