#pragma once

#include <QWidget>

class Preferences;
class QTableWidget;
class Workspace;

// The character table: a small window above the others that shows the upper half of the
// calculator's character set; a click puts the character into the active document's data box.
// Its parent is the main window, which gets the focus back after each click.
class CharacterTable : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kColumns = 32;
    static constexpr int kRows = 4;

    CharacterTable(Preferences& preferences, Workspace& workspace, QWidget* mainWindow);

    // The code of a cell, row 1 to 4 and column 1 to 32: 127 to 159 and 161 to 255.
    static uchar codeAt(int row, int column);

    // The cells as the calculator model chosen now shows their codes.
    void showCalculatorGlyphs() { fillCells(); }

  signals:
    void shownChanged(bool shown);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The click on a cell (row and column from 1): the character replaces the selection of
    // the active document's data box, and the main window gets the focus back.
    void insertClickedCode(int row, int column);
    void createGrid();
    void fillCells();

    void giveFocusBack();

    Workspace& workspace_;
    QTableWidget* grid_ = nullptr;
};
