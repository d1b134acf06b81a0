#include "core/HpFile.h"
#include "core/LcdPicture.h"
#include "core/TopicTable.h"

#include <QImage>
#include <QTest>

namespace {

const QString kScreenData = QStringLiteral(OMBREL_SOURCE_DIR "/tests/data/screen/");

struct SizeCase {
    lcd::FontSize size;
    const char* name;
    int cellWidth;
    int cellHeight;
};
const SizeCase kSizes[] = {{lcd::FontSize::Small, "small", 4, 6},
                           {lcd::FontSize::Medium, "medium", 6, 8},
                           {lcd::FontSize::Large, "large", 8, 10}};

QImage imageOf(const lcd::Picture& picture, int scale) {
    const QList<quint32> pixels = lcd::colourPixels(picture, scale);
    return QImage(reinterpret_cast<const uchar*>(pixels.constData()), lcd::kPictureWidth * scale,
                  lcd::kPictureHeight * scale, QImage::Format_RGB32)
        .copy();
}

int countShade(const lcd::Picture& picture, lcd::Shade shade, int left, int top, int width,
               int height) {
    int count = 0;
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x)
            count += picture.at(x, y) == shade;
    }
    return count;
}

} // namespace

class TestLcdPicture : public QObject {
    Q_OBJECT

  private slots:
    void everyCodeHasAGlyphThatFitsItsCell() {
        for (const SizeCase& size : kSizes) {
            const lcd::Font& font = lcd::font(size.size);
            QVERIFY2(font.problems.isEmpty(), qPrintable(font.problems.join(u'\n')));
            QCOMPARE(font.cellWidth, size.cellWidth);
            QCOMPARE(font.cellHeight, size.cellHeight);
            for (int code = 0; code < 256; ++code) {
                QVERIFY(font.drawn[code]);
                const bool blank = std::all_of(font.rows[code].begin(), font.rows[code].end(),
                                               [](quint16 row) { return row == 0; });
                QVERIFY2(blank == (code == 32 || code == 160),
                         qPrintable(QStringLiteral("%1 code %2").arg(size.name).arg(code)));
            }
        }
    }

    void aFontTextThatDoesNotFitIsRefused_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("problem");
        QByteArray whole = "cell 2 2\n";
        for (int code = 0; code < 256; ++code)
            whole += "code " + QByteArray::number(code) + " name\n#.\n.#\n";
        QTest::newRow("whole") << whole << QString();
        QTest::newRow("a row too wide")
            << QByteArray(whole).replace("code 7 name\n#.\n", "code 7 name\n#..\n")
            << "code 7 does not fit its 2 x 2 cell";
        QTest::newRow("a row too many")
            << QByteArray(whole).replace("code 9 name\n#.\n", "code 9 name\n#.\n#.\n")
            << "code 9 does not fit its 2 x 2 cell";
        QTest::newRow("a row short")
            << QByteArray(whole).replace("code 3 name\n#.\n", "code 3 name\n")
            << "code 3 has 1 rows, not 2";
        QTest::newRow("a code missing")
            << QByteArray(whole).replace("code 255 name\n#.\n.#\n", "") << "code 255 has no glyph";
    }

    void aFontTextThatDoesNotFitIsRefused() {
        QFETCH(QByteArray, text);
        QFETCH(QString, problem);
        const lcd::Font font = lcd::parseFont(text);
        QCOMPARE(font.problems, problem.isEmpty() ? QStringList() : QStringList{problem});
    }

    // The topic's rows hold ASCII, Latin-1, the calculator's own characters, a tab and the shade
    // block; its second row has 33 characters, the tenth more; so each font marks what the
    // screen cannot hold in its own way.
    void aTopicLooksAsDrawnBeforeInEachSize() {
        TopicTable table;
        QCOMPARE(readHpFile(kScreenData + "topic.txt", table), 1);
        QList<lcd::CodeRow> rows;
        for (const QByteArray& row : table.topic(1))
            rows.append(lcd::codesOf(row));
        for (const SizeCase& size : kSizes) {
            const QImage drawn = imageOf(lcd::drawTopic(rows, size.size), 2);
            const QImage golden =
                QImage(kScreenData + size.name + ".png").convertToFormat(QImage::Format_RGB32);
            QVERIFY2(drawn == golden, size.name);
        }
    }

    void whatDoesNotFitIsMarked_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QList<int>>("markedLines");
        QTest::addColumn<bool>("markedBelow");
        const QStringList tenRows = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
        QTest::newRow("22 fit") << 2 << QStringList{QString(22, u'x')} << QList<int>{} << false;
        QTest::newRow("23 do not")
            << 2 << QStringList{"", QString(23, u'x')} << QList<int>{1} << false;
        QTest::newRow("a trailing blank counts")
            << 2 << QStringList{QString(22, u'x') + u' '} << QList<int>{0} << false;
        QTest::newRow("x with its bar is one")
            << 2 << QStringList{QStringLiteral(u"x\u0304").repeated(22)} << QList<int>{} << false;
        QTest::newRow("pasted at length")
            << 2 << QStringList{QString(100000, u'\u20AC')} << QList<int>{0} << false;
        QTest::newRow("ten rows") << 2 << tenRows << QList<int>{} << true;
        QTest::newRow("ten rows, the last two empty") << 2
                                                      << (tenRows.mid(0, 8) << ""
                                                                            << "")
                                                      << QList<int>{} << false;
        QTest::newRow("ten rows fit the small font") << 1 << tenRows << QList<int>{} << false;
        QTest::newRow("33 fit the small font")
            << 1 << QStringList{QString(33, u'x')} << QList<int>{} << false;
        QTest::newRow("17 do not fit the large one")
            << 3 << (tenRows.mid(0, 5) << QString(17, u'x') << "7") << QList<int>{5} << true;
    }

    void whatDoesNotFitIsMarked() {
        QFETCH(int, size);
        QFETCH(QStringList, lines);
        QFETCH(QList<int>, markedLines);
        QFETCH(bool, markedBelow);
        const auto fontSize = static_cast<lcd::FontSize>(size);
        const lcd::Picture picture = lcd::drawTopic(lcd::rowsOfText(lines, fontSize), fontSize);
        const int cellHeight = lcd::font(fontSize).cellHeight;
        const int lineCount = lcd::textGrid(fontSize).lines;
        for (int line = 0; line < lineCount; ++line) {
            const int marks =
                countShade(picture, lcd::kOverflowMark, lcd::kFrame + lcd::kScreenWidth,
                           lcd::kFrame + line * cellHeight, lcd::kFrame, cellHeight);
            QVERIFY2((marks > 0) == markedLines.contains(line), qPrintable(QString::number(line)));
        }
        const int below =
            countShade(picture, lcd::kOverflowMark, 0, lcd::kFrame + lcd::kScreenHeight,
                       lcd::kPictureWidth, lcd::kFrame);
        QCOMPARE(below > 0, markedBelow);
        QCOMPARE(countShade(picture, lcd::kOverflowMark, 0, 0, lcd::kPictureWidth, lcd::kFrame), 0);
    }

    // A typed character the calculator has no code for shows as a question mark, light on dark,
    // and takes one column; the text after it keeps its place.
    void aCharacterWithoutCodeShowsInverted() {
        const lcd::CodeRow codes = lcd::codesOf(QStringView(u"a\u20ACx\u0304\U0001F600b"));
        QCOMPARE(codes, (lcd::CodeRow{'a', lcd::kNoCode, 129, lcd::kNoCode, 'b'}));
        const lcd::Picture picture = lcd::drawTopic({codes}, lcd::FontSize::Medium);
        const int darkInCell =
            countShade(picture, lcd::kDarkPixel, lcd::kFrame + 6, lcd::kFrame, 6, 8);
        QVERIFY(darkInCell > 6 * 8 / 2);
    }
};

QTEST_GUILESS_MAIN(TestLcdPicture)
#include "tst_lcdpicture.moc"
