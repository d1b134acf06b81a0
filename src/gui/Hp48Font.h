#pragma once

#include <QFont>
#include <QString>

// The calculator font of the boxes and the character table.
namespace hp48font {

inline const QString kFamily = QStringLiteral("HP48");

// Loads the font beside the program (ProgDir/HP48.TTF) once, when the desktop does not know
// the family yet.
void ensure();

// Family HP48 at the given pixel height; glyphs it lacks come from the monospace font.
QFont font(int pixels);

} // namespace hp48font
