#pragma once

#include "core/LcdFont.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QStringView>

#include <array>

// A topic as the calculator's 131 x 64 screen shows it: one row per line in the text grid of a
// font, in a frame that marks what does not fit (a hatched edge right of a row with characters
// past the last column, below the screen when rows lie past the last line).
namespace lcd {

inline constexpr int kScreenWidth = 131;
inline constexpr int kScreenHeight = 64;
// The frame around the screen, in screen pixels.
inline constexpr int kFrame = 3;
inline constexpr int kPictureWidth = kScreenWidth + 2 * kFrame;
inline constexpr int kPictureHeight = kScreenHeight + 2 * kFrame;

// A character code 0-255, or kNoCode for a character the calculator has no code for.
using CodeRow = QList<qint16>;
inline constexpr qint16 kNoCode = -1;

CodeRow codesOf(QByteArrayView bytes);
// The codes of typed text; a character without code becomes kNoCode.
CodeRow codesOf(QStringView text);

// How many characters fit in a line and how many lines on the screen. The blank spacing column
// of the last cell may lie past the right edge.
struct TextGrid {
    int columns = 0;
    int lines = 0;
};
TextGrid textGrid(FontSize size);

// The rows typed lines give the screen in a font: no more of each line than the picture needs,
// so that a long pasted text costs no more than a short one.
QList<CodeRow> rowsOfText(const QStringList& lines, FontSize size);

enum Shade : uchar { kLightPixel, kDarkPixel, kFrameShade, kOverflowMark };
// ARGB colours of the shades: dark pixels on the calculator's grey-green.
inline constexpr std::array<quint32, 4> kShadeColours = {0xffb3c2a4, 0xff1d261b, 0xff8d9b85,
                                                         0xffb03a2e};

struct Picture {
    // One Shade per pixel, row by row, kPictureWidth x kPictureHeight.
    QByteArray shades;

    Shade at(int x, int y) const { return static_cast<Shade>(shades.at(y * kPictureWidth + x)); }
};

Picture drawTopic(const QList<CodeRow>& rows, FontSize size);

// The picture's colours, each pixel a square of scale x scale, row by row: the pixels of a
// QImage of format RGB32 (kPictureWidth * scale wide).
QList<quint32> colourPixels(const Picture& picture, int scale);

} // namespace lcd
