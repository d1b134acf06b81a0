#pragma once

#include <QByteArrayView>
#include <QStringList>

#include <array>

// The calculator screen's bitmap fonts: a glyph for each of the 256 codes, all in cells of one
// size per font. They are kept as text grids (resources/lcd-fonts), compiled in and read on
// first use.
namespace lcd {

// The three sizes, numbered as the calculator numbers its fonts.
enum class FontSize { Small = 1, Medium = 2, Large = 3 };
inline constexpr FontSize kDefaultFontSize = FontSize::Medium;

bool isFontSize(int number);

inline constexpr int kMaxCellSide = 16;

struct Font {
    int cellWidth = 0;
    int cellHeight = 0;
    // The rows of each glyph, bit 0 the leftmost pixel.
    std::array<std::array<quint16, kMaxCellSide>, 256> rows{};
    std::array<bool, 256> drawn{};
    // Why the text is not a whole font, one line each: a glyph missing, wider or taller than the
    // cell, a line that means nothing. Empty for a sound font.
    QStringList problems;

    bool dark(uchar code, int x, int y) const { return (rows[code][y] >> x) & 1; }
};

// Reads a font from its text: "cell W H", then for each code "code N name" followed by H rows of
// W pixels, '#' dark and '.' light. Lines starting with "# " are comments.
Font parseFont(QByteArrayView text);

// The compiled-in font of a size, read the first time it is asked for.
const Font& font(FontSize size);

} // namespace lcd
