#include "gui/Localizer.h"
#include "core/Hp48Codec.h"
#include "ProgramFrame.h"
#include "Sandbox.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompter.h"
#include "gui/dialogs/CharacterTable.h"
#include "platform/Preferences.h"
#include "gui/DocumentWindow.h"
#include "gui/MainWindow.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QSet>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

// A started program in a sandbox: the main window and its long-lived windows, made after the
// test wrote its settings.
struct Frame : ProgramFrame {
    CharacterTable& Table() const { return *main->characterTable(); }
    bool Marked() const {
        const bool button = main->findChild<QToolButton*>("CharTabButton")->isChecked();
        const bool item = Action("Zeichentabelle1")->isChecked();
        return button && item;
    }
    bool Released() const {
        return !main->findChild<QToolButton*>("CharTabButton")->isChecked() &&
               !Action("Zeichentabelle1")->isChecked();
    }
    // A click with the given button on a cell of the grid, row and column from 1.
    void Click(int row, int column, Qt::MouseButton button = Qt::LeftButton) {
        QTableWidget* grid = Table().Grid();
        const QRect cell = grid->visualRect(grid->model()->index(row - 1, column - 1));
        QTest::mouseClick(grid->viewport(), button, {}, cell.center());
    }
};

QString Character(uchar code) {
    return hp48::DecodeByte(code);
}

} // namespace

class TestCharTab : public QObject {
    Q_OBJECT

  private slots:
    void cellsHoldTheUpperHalfWithout160() {
        Frame frame;
        frame.Open();
        QTableWidget* grid = frame.Table().Grid();
        QCOMPARE(grid->objectName(), QStringLiteral("StringGrid1"));
        QCOMPARE(grid->rowCount(), 4);
        QCOMPARE(grid->columnCount(), 32);
        QSet<int> codes;
        for (int row = 1; row <= 4; ++row) {
            for (int column = 1; column <= 32; ++column) {
                const uchar code = CharacterTable::CodeAt(row, column);
                codes.insert(code);
                QCOMPARE(grid->item(row - 1, column - 1)->text(), Character(code));
            }
        }
        QCOMPARE(codes.size(), 128);
        QVERIFY(!codes.contains(160));
        QCOMPARE(*std::min_element(codes.cbegin(), codes.cend()), 127);
        QCOMPARE(*std::max_element(codes.cbegin(), codes.cend()), 255);
        QCOMPARE(CharacterTable::CodeAt(1, 32), uchar(158));
        QCOMPARE(CharacterTable::CodeAt(2, 1), uchar(159));
        QCOMPARE(CharacterTable::CodeAt(2, 2), uchar(161));
        QCOMPARE(CharacterTable::CodeAt(4, 32), uchar(255));
        // The whole grid shows, nothing scrolls: 32 x 4 cells of 17 x 18 and their lines.
        QCOMPARE(frame.Table().size(), QSize(577, 77));
        QCOMPARE(grid->font().family(), QStringLiteral("HP48"));
        QCOMPARE(frame.Table().windowTitle(), Tx(820));
    }

    void clickInsertsIntoTheActiveDataBox() {
        Frame frame;
        MainWindow& main = frame.Open();
        main.NeueDatei1Click();
        DocumentWindow* active = main.NeueDatei1Click();
        QPlainTextEdit* box = active->DataBox();
        frame.Table().show();

        frame.Click(2, 1);
        QCOMPARE(box->toPlainText(), Character(159));
        frame.Click(1, 32, Qt::RightButton); // any button
        QCOMPARE(box->toPlainText(), Character(159) + Character(158));

        // A selection is replaced by the one character.
        box->setPlainText(QStringLiteral("abc"));
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(1);
        cursor.setPosition(2, QTextCursor::KeepAnchor);
        box->setTextCursor(cursor);
        frame.Click(2, 2);
        QCOMPARE(box->toPlainText(), QStringLiteral("a") + Character(161) + QStringLiteral("c"));
        // Only the data box took it: the table is committed with F5 as ever.
        QCOMPARE(active->Table().TopicCount(), 0);
        QVERIFY(main.DocumentWindows().last()->DataBox()->toPlainText().isEmpty());
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&main));
    }

    void clickWithoutDocumentInsertsNothing() {
        Frame frame;
        MainWindow& main = frame.Open();
        frame.Table().show();
        frame.Click(3, 3);
        QCOMPARE(main.DocumentWindows().size(), 0);
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&main));
    }

    void f6AndTheButtonToggleTableMarkAndButton() {
        Frame frame;
        MainWindow& main = frame.Open();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QVERIFY(!frame.Table().isVisible());
        QVERIFY(frame.Released());

        QTest::keyClick(&main, Qt::Key_F6);
        QVERIFY(frame.Table().isVisible());
        QVERIFY(frame.Marked());
        QTest::keyClick(&main, Qt::Key_F6);
        QVERIFY(!frame.Table().isVisible());
        QVERIFY(frame.Released());

        QTest::mouseClick(main.findChild<QToolButton*>("CharTabButton"), Qt::LeftButton);
        QVERIFY(frame.Table().isVisible());
        QVERIFY(frame.Marked());
        frame.Action("Zeichentabelle1")->trigger();
        QVERIFY(!frame.Table().isVisible());
        QVERIFY(frame.Released());
    }

    void autoOnShowsItAtStart() {
        Frame frame;
        frame.Set("CharTab", "AutoOn", QStringLiteral("1"));
        frame.Open();
        QVERIFY(frame.Table().isVisible());
        QVERIFY(frame.Marked());
    }

    void positionReadAtStartAndWrittenAtExit() {
        Frame frame;
        frame.Set("CharTab", "Top", QStringLiteral("321"));
        frame.Set("CharTab", "Left", QStringLiteral("45"));
        MainWindow& main = frame.Open();
        QCOMPARE(frame.Table().pos(), QPoint(45, 321));
        frame.Table().move(70, 80);
        QVERIFY(main.close());
        QCOMPARE(frame.Get("CharTab", "Top"), QStringLiteral("80"));
        QCOMPARE(frame.Get("CharTab", "Left"), QStringLiteral("70"));
    }
};

QTEST_MAIN(TestCharTab)
#include "tst_chartab.moc"
