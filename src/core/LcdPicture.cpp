#include "core/LcdPicture.h"

#include "core/Hp48Codec.h"

#include <algorithm>

namespace lcd {

CodeRow codesOf(QByteArrayView bytes) {
    CodeRow codes;
    codes.reserve(bytes.size());
    for (char byte : bytes)
        codes.append(static_cast<uchar>(byte));
    return codes;
}

CodeRow codesOf(QStringView text) {
    CodeRow codes;
    while (!text.isEmpty()) {
        const hp48::EncodedRow encoded = hp48::encodeRow(text);
        if (encoded.ok())
            return codes + codesOf(encoded.bytes);
        codes += codesOf(hp48::encodeRow(text.first(encoded.badIndex)).bytes);
        codes.append(kNoCode);
        const qsizetype bad = encoded.badIndex;
        const bool pair =
            text[bad].isHighSurrogate() && bad + 1 < text.size() && text[bad + 1].isLowSurrogate();
        text = text.sliced(bad + (pair ? 2 : 1));
    }
    return codes;
}

TextGrid textGrid(FontSize size) {
    const Font& glyphs = font(size);
    // The last cell's trailing spacing may fall off the screen, its glyph may not.
    return {(kScreenWidth + 1) / std::max(1, glyphs.cellWidth),
            (kScreenHeight + 1) / std::max(1, glyphs.cellHeight)};
}

QList<CodeRow> rowsOfText(const QStringList& lines, FontSize size) {
    const TextGrid grid = textGrid(size);
    // A code takes at most two UTF-16 units: x with its bar, a character beyond the first plane.
    const qsizetype unitsNeeded = 2 * (grid.columns + 1);
    QList<CodeRow> rows;
    for (const QString& line : lines) {
        if (rows.size() >= grid.lines && line.isEmpty())
            continue;
        CodeRow row = codesOf(QStringView(line).first(std::min(line.size(), unitsNeeded)));
        row.resize(std::min<qsizetype>(row.size(), grid.columns + 1));
        rows.append(row);
        if (rows.size() > grid.lines)
            break; // one line past the last tells enough
    }
    return rows;
}

namespace {

constexpr int kScreenRight = kFrame + kScreenWidth;
constexpr int kScreenBottom = kFrame + kScreenHeight;

void fill(Picture& picture, int left, int top, int width, int height, Shade shade) {
    for (int y = top; y < top + height; ++y)
        std::fill_n(picture.shades.begin() + y * kPictureWidth + left, width, char(shade));
}

// Diagonal stripes two pixels wide.
void hatch(Picture& picture, int left, int top, int width, int height) {
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            if ((x + y) % 4 < 2)
                picture.shades[y * kPictureWidth + x] = char(kOverflowMark);
        }
    }
}

// A character without code shows as a question mark, light on dark.
void drawCharacter(Picture& picture, const Font& glyphs, qint16 code, int left, int top) {
    const bool inverse = code == kNoCode;
    const uchar glyph = inverse ? uchar('?') : static_cast<uchar>(code);
    const int right = std::min(left + glyphs.cellWidth, kScreenRight);
    const int bottom = std::min(top + glyphs.cellHeight, kScreenBottom);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (glyphs.dark(glyph, x - left, y - top) != inverse)
                picture.shades[y * kPictureWidth + x] = char(kDarkPixel);
        }
    }
}

void drawLine(Picture& picture, const Font& glyphs, const CodeRow& row, int columns, int top) {
    const int shown = std::min<int>(columns, row.size());
    for (int column = 0; column < shown; ++column)
        drawCharacter(picture, glyphs, row[column], kFrame + column * glyphs.cellWidth, top);
    if (row.size() > columns)
        hatch(picture, kScreenRight, top, kFrame, std::min(glyphs.cellHeight, kScreenBottom - top));
}

} // namespace

Picture drawTopic(const QList<CodeRow>& rows, FontSize size) {
    const Font& glyphs = font(size);
    const TextGrid grid = textGrid(size);
    Picture picture;
    picture.shades = QByteArray(kPictureWidth * kPictureHeight, char(kFrameShade));
    fill(picture, kFrame, kFrame, kScreenWidth, kScreenHeight, kLightPixel);
    for (int line = 0; line < std::min<int>(grid.lines, rows.size()); ++line)
        drawLine(picture, glyphs, rows[line], grid.columns, kFrame + line * glyphs.cellHeight);
    const bool rowsBelow =
        std::any_of(rows.begin() + std::min<int>(grid.lines, rows.size()), rows.end(),
                    [](const CodeRow& row) { return !row.isEmpty(); });
    if (rowsBelow)
        hatch(picture, 0, kScreenBottom, kPictureWidth, kFrame);
    return picture;
}

QList<quint32> colourPixels(const Picture& picture, int scale) {
    scale = std::max(1, scale);
    const qsizetype width = qsizetype(kPictureWidth) * scale;
    QList<quint32> pixels(width * kPictureHeight * scale);
    quint32* out = pixels.data();
    for (int y = 0; y < kPictureHeight; ++y) {
        quint32* first = out;
        for (int x = 0; x < kPictureWidth; ++x)
            out = std::fill_n(out, scale, kShadeColours[picture.at(x, y)]);
        for (int copy = 1; copy < scale; ++copy)
            out = std::copy(first, first + width, out);
    }
    return pixels;
}

} // namespace lcd
