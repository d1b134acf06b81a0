#include "core/LcdFont.h"

#include <QFile>
#include <QList>

namespace lcd {

bool isFontSize(int number) {
    return number >= static_cast<int>(FontSize::Small) &&
           number <= static_cast<int>(FontSize::Large);
}

namespace {

bool isPixelRow(QByteArrayView line) {
    return !line.isEmpty() &&
           std::all_of(line.begin(), line.end(), [](char c) { return c == '#' || c == '.'; });
}

class FontReader {
  public:
    Font take() {
        finishGlyph();
        for (int code = 0; code < 256 && font_.cellWidth > 0; ++code) {
            if (!font_.drawn[code] && !reported_[code])
                font_.problems << QStringLiteral("code %1 has no glyph").arg(code);
        }
        if (font_.cellWidth == 0)
            font_.problems << QStringLiteral("no line \"cell W H\"");
        return std::move(font_);
    }

    void readLine(QByteArrayView line, int number) {
        if (line.isEmpty() || line.startsWith("# "))
            return;
        if (line.startsWith("cell "))
            readCell(line.sliced(5), number);
        else if (line.startsWith("code "))
            startGlyph(line.sliced(5), number);
        else if (isPixelRow(line) && code_ >= 0)
            readRow(line);
        else if (isPixelRow(line) && skipping_)
            return; // the rest of a glyph already reported
        else
            font_.problems << QStringLiteral("line %1 means nothing").arg(number);
    }

  private:
    void readCell(QByteArrayView sizes, int number) {
        const QList<QByteArray> parts = sizes.toByteArray().split(' ');
        const int width = parts.value(0).toInt();
        const int height = parts.value(1).toInt();
        if (parts.size() != 2 || width < 1 || width > kMaxCellSide || height < 1 ||
            height > kMaxCellSide || font_.cellWidth > 0) {
            font_.problems << QStringLiteral("line %1: a bad or second cell size").arg(number);
            return;
        }
        font_.cellWidth = width;
        font_.cellHeight = height;
    }

    void startGlyph(QByteArrayView rest, int number) {
        finishGlyph();
        bool isNumber = false;
        const qsizetype end = rest.indexOf(' ');
        const int code = rest.first(end < 0 ? rest.size() : end).toInt(&isNumber);
        code_ = -1;
        skipping_ = false;
        if (!isNumber || code < 0 || code > 255 || font_.cellWidth == 0 || font_.drawn[code]) {
            font_.problems << QStringLiteral("line %1: a bad, repeated or early code").arg(number);
            return;
        }
        code_ = code;
        rowCount_ = 0;
    }

    void readRow(QByteArrayView line) {
        if (line.size() != font_.cellWidth || rowCount_ == font_.cellHeight) {
            report(QStringLiteral("code %1 does not fit its %2 x %3 cell")
                       .arg(code_)
                       .arg(font_.cellWidth)
                       .arg(font_.cellHeight));
            return;
        }
        quint16 bits = 0;
        for (qsizetype x = 0; x < line.size(); ++x) {
            if (line[x] == '#')
                bits |= quint16(1u << x);
        }
        font_.rows[code_][rowCount_++] = bits;
    }

    void finishGlyph() {
        if (code_ < 0)
            return;
        if (rowCount_ == font_.cellHeight)
            font_.drawn[code_] = true;
        else
            report(QStringLiteral("code %1 has %2 rows, not %3")
                       .arg(code_)
                       .arg(rowCount_)
                       .arg(font_.cellHeight));
        code_ = -1;
    }

    // One problem per glyph: the rest of its rows are passed over.
    void report(const QString& problem) {
        font_.problems << problem;
        reported_[code_] = true;
        code_ = -1;
        skipping_ = true;
    }

    Font font_;
    std::array<bool, 256> reported_{};
    bool skipping_ = false;
    int code_ = -1;
    int rowCount_ = 0;
};

Font readResource(const QString& name) {
    QFile file(QStringLiteral(":/lcd-fonts/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        Font empty;
        empty.problems << QStringLiteral("the font %1 is not compiled in").arg(name);
        return empty;
    }
    return parseFont(file.readAll());
}

} // namespace

Font parseFont(QByteArrayView text) {
    FontReader reader;
    int number = 0;
    for (QByteArrayView rest = text; !rest.isEmpty();) {
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        reader.readLine(line, ++number);
    }
    return reader.take();
}

const Font& font(FontSize size) {
    switch (size) {
    case FontSize::Small: {
        static const Font small = readResource(QStringLiteral("small.txt"));
        return small;
    }
    case FontSize::Large: {
        static const Font large = readResource(QStringLiteral("large.txt"));
        return large;
    }
    case FontSize::Medium:
        break;
    }
    static const Font medium = readResource(QStringLiteral("medium.txt"));
    return medium;
}

} // namespace lcd
