#pragma once

#include "platform/Settings.h"

#include <QColor>

// The colour that a Colors/Text or Colors/Background index stands for; an index outside the
// palette takes the colour at its nearer end.
inline QColor paletteColour(int index) {
    const auto& colours = settings::kColourPalette;
    const settings::PaletteColour& colour =
        colours[static_cast<size_t>(qBound(0, index, int(colours.size()) - 1))];
    return QColor(colour.red, colour.green, colour.blue);
}
