// What the calculator screen does on each keystroke: the data box's ten typed lines encoded,
// the topic drawn in a font, and the picture coloured at three times its size into an image.

#include "core/LcdPicture.h"

#include <QImage>
#include <QStringList>

#include <benchmark/benchmark.h>

namespace {

// Ten lines longer than any font's line, with calculator characters and x with its bar.
QStringList fullTopic() {
    QStringList lines;
    for (int line = 0; line < 10; ++line)
        lines << QStringLiteral(u"Row %1: \u2220x\u0304 \u2192 \u03C0\u221E \u00C4\u00DF, "
                                u"text past the right edge")
                     .arg(line + 1);
    return lines;
}

void typedTopicToImage(benchmark::State& state) {
    const auto size = static_cast<lcd::FontSize>(state.range(0));
    const QStringList lines = fullTopic();
    lcd::font(size); // read before the clock runs, as the first show of the screen does
    for (auto _ : state) {
        const lcd::Picture picture = lcd::drawTopic(lcd::rowsOfText(lines, size), size);
        const QList<quint32> pixels = lcd::colourPixels(picture, 3);
        const QImage image(reinterpret_cast<const uchar*>(pixels.constData()),
                           lcd::kPictureWidth * 3, lcd::kPictureHeight * 3, QImage::Format_RGB32);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(typedTopicToImage)->DenseRange(1, 3)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
