#include "ProgramFrame.h"
#include "Sandbox.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompter.h"
#include "core/Hp48Codec.h"
#include "gui/DataBox.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/CharacterTable.h"
#include "platform/StringTable.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QRawFont>
#include <QSet>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

// A started program in a sandbox: the main window and its long-lived windows, made after the
// test wrote its settings.
struct Frame : ProgramFrame {
    CharacterTable& table() const { return main->characterTable(); }
    QTableWidget* grid() const { return table().findChild<QTableWidget*>("StringGrid1"); }
    bool marked() const {
        const bool button = main->findChild<QToolButton*>("characterTableButton")->isChecked();
        const bool item = action("characterTable")->isChecked();
        return button && item;
    }
    bool released() const {
        return !main->findChild<QToolButton*>("characterTableButton")->isChecked() &&
               !action("characterTable")->isChecked();
    }
    // A click with the given button on a cell of the grid, row and column from 1.
    void click(int row, int column, Qt::MouseButton button = Qt::LeftButton) {
        QTableWidget* cells = grid();
        const QRect cell = cells->visualRect(cells->model()->index(row - 1, column - 1));
        QTest::mouseClick(cells->viewport(), button, {}, cell.center());
    }
};

QString character(uchar code) {
    return hp48::decodeByte(code);
}

} // namespace

class TestCharTab : public QObject {
    Q_OBJECT

  private slots:
    void cellsHoldTheUpperHalfWithout160() {
        Frame frame;
        frame.open();
        QTableWidget* grid = frame.grid();
        QCOMPARE(grid->rowCount(), 4);
        QCOMPARE(grid->columnCount(), 32);
        QSet<int> codes;
        for (int row = 1; row <= 4; ++row) {
            for (int column = 1; column <= 32; ++column) {
                const uchar code = CharacterTable::codeAt(row, column);
                codes.insert(code);
                QCOMPARE(grid->item(row - 1, column - 1)->text(), character(code));
            }
        }
        QCOMPARE(codes.size(), 128);
        QVERIFY(!codes.contains(160));
        QCOMPARE(*std::min_element(codes.cbegin(), codes.cend()), 127);
        QCOMPARE(*std::max_element(codes.cbegin(), codes.cend()), 255);
        QCOMPARE(CharacterTable::codeAt(1, 32), uchar(158));
        QCOMPARE(CharacterTable::codeAt(2, 1), uchar(159));
        QCOMPARE(CharacterTable::codeAt(2, 2), uchar(161));
        QCOMPARE(CharacterTable::codeAt(4, 32), uchar(255));
        // The whole grid shows, nothing scrolls: 32 x 4 cells of 17 x 18 and their lines.
        QCOMPARE(frame.table().size(), QSize(577, 77));
        QCOMPARE(grid->font().family(), QStringLiteral("HP48"));
        QCOMPARE(frame.table().windowTitle(), strings::text(820));
    }

    void clickInsertsIntoTheActiveDataBox() {
        Frame frame;
        MainWindow& main = frame.open();
        main.newDocument();
        DocumentWindow* active = main.newDocument();
        QPlainTextEdit* box = dataBoxOf(active);
        frame.table().show();

        frame.click(2, 1);
        QCOMPARE(box->toPlainText(), character(159));
        frame.click(1, 32, Qt::RightButton); // any button
        QCOMPARE(box->toPlainText(), character(159) + character(158));

        // A selection is replaced by the one character.
        box->setPlainText(QStringLiteral("abc"));
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(1);
        cursor.setPosition(2, QTextCursor::KeepAnchor);
        box->setTextCursor(cursor);
        frame.click(2, 2);
        QCOMPARE(box->toPlainText(), QStringLiteral("a") + character(161) + QStringLiteral("c"));
        // Only the data box took it: the table is committed with F5 as ever.
        QCOMPARE(active->document().table().topicCount(), 0);
        QVERIFY(dataBoxOf(main.documentWindows().last())->toPlainText().isEmpty());
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&main));
    }

    void clickWithoutDocumentInsertsNothing() {
        Frame frame;
        MainWindow& main = frame.open();
        frame.table().show();
        frame.click(3, 3);
        QCOMPARE(main.documentWindows().size(), 0);
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&main));
    }

    void f6AndTheButtonToggleTableMarkAndButton() {
        Frame frame;
        MainWindow& main = frame.open();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QVERIFY(!frame.table().isVisible());
        QVERIFY(frame.released());

        QTest::keyClick(&main, Qt::Key_F6);
        QVERIFY(frame.table().isVisible());
        QVERIFY(frame.marked());
        QTest::keyClick(&main, Qt::Key_F6);
        QVERIFY(!frame.table().isVisible());
        QVERIFY(frame.released());

        QTest::mouseClick(main.findChild<QToolButton*>("characterTableButton"), Qt::LeftButton);
        QVERIFY(frame.table().isVisible());
        QVERIFY(frame.marked());
        frame.action("characterTable")->trigger();
        QVERIFY(!frame.table().isVisible());
        QVERIFY(frame.released());
    }

    void autoOnShowsItAtStart() {
        Frame frame;
        frame.set("CharTab", "AutoOn", QStringLiteral("1"));
        frame.open();
        QVERIFY(frame.table().isVisible());
        QVERIFY(frame.marked());
    }

    void positionReadAtStartAndWrittenAtExit() {
        Frame frame;
        frame.set("CharTab", "Top", QStringLiteral("321"));
        frame.set("CharTab", "Left", QStringLiteral("45"));
        MainWindow& main = frame.open();
        QCOMPARE(frame.table().pos(), QPoint(45, 321));
        frame.table().move(70, 80);
        QVERIFY(main.close());
        QCOMPARE(frame.get("CharTab", "Top"), QStringLiteral("80"));
        QCOMPARE(frame.get("CharTab", "Left"), QStringLiteral("70"));
    }

    // The font the boxes and the table show has a glyph for every code, and each control code
    // one of its own: a tab and code 1 no longer look alike.
    void theFontTellsEveryCodeApart() {
        const QRawFont font(QStringLiteral(OMBREL_FONT_FILE), 17);
        QVERIFY(font.isValid());
        QSet<quint32> controlGlyphs;
        for (int code = 0; code < 256; ++code) {
            const QList<quint32> glyphs = font.glyphIndexesForString(character(uchar(code)));
            QVERIFY2(!glyphs.isEmpty() && !glyphs.contains(0), qPrintable(QString::number(code)));
            if (code < 32)
                controlGlyphs.insert(glyphs.first());
        }
        QCOMPARE(controlGlyphs.size(), 32);
    }
};

QTEST_MAIN(TestCharTab)
#include "tst_chartab.moc"
