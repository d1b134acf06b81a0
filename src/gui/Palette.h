#pragma once

#include "platform/Settings.h"

#include <QColor>

// The colour of an entry of the palette the settings index (text and background of the
// document windows); an index outside the palette takes its nearest entry.
inline QColor paletteColour(int index) {
    const auto& colours = settings::kColourPalette;
    const settings::PaletteColour& colour =
        colours[static_cast<size_t>(qBound(0, index, int(colours.size()) - 1))];
    return QColor(colour.red, colour.green, colour.blue);
}
