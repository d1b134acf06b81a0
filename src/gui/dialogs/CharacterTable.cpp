#include "gui/dialogs/CharacterTable.h"

#include "core/Hp48Codec.h"
#include "gui/DocumentWindow.h"
#include "gui/Hp48Font.h"
#include "gui/Localizer.h"
#include "gui/ScreenPlacement.h"
#include "gui/Workspace.h"
#include "platform/Preferences.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QTableWidget>

namespace {

// Cells of 17 x 18 with one-pixel lines between them and around them.
constexpr int kCellWidth = 17;
constexpr int kCellHeight = 18;
constexpr int kLine = 1;
constexpr int kFontPixels = 17;

// Code 160 is not offered: the second row starts with 159 and goes on at 161.
constexpr int kFirstCodeOfRow[CharacterTable::kRows] = {127, 160, 192, 224};
constexpr uchar kFirstOfSecondRow = 159;

// A tool window that stays on top, with a caption but neither system menu nor close button;
// clicking it leaves the focus where it was.
constexpr Qt::WindowFlags kWindowFlags = Qt::Tool | Qt::WindowStaysOnTopHint |
                                         Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowDoesNotAcceptFocus;

} // namespace

CharacterTable::CharacterTable(Preferences& preferences, Workspace& workspace, QWidget* mainWindow)
    : QWidget(mainWindow, kWindowFlags), workspace_(workspace) {
    setObjectName(QStringLiteral("ChTab"));
    setProperty(kTagProperty, textid::kCharTableCaption);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(strings::text(textid::kCharTableCaption));
    createGrid();
    fillCells();
    setFixedSize(grid_->size());
    const SettingsFile& ini = preferences.settings();
    placeOnScreen(*this, settings::readPosition(ini, settings::key::kCharTabPosition,
                                                settings::fallback::kCharTabPosition));
    registerWindow(this);
}

void CharacterTable::createGrid() {
    hp48font::ensure();
    grid_ = new QTableWidget(kRows, kColumns, this);
    grid_->setObjectName(QStringLiteral("StringGrid1"));
    grid_->horizontalHeader()->hide();
    grid_->verticalHeader()->hide();
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::NoSelection);
    grid_->setFocusPolicy(Qt::NoFocus);
    grid_->setShowGrid(true);
    grid_->setFont(hp48font::font(kFontPixels));
    // Each section holds a cell and the line to its right or below it; the frame draws the
    // line along the left and the top edge.
    grid_->setStyleSheet(QStringLiteral("QTableWidget { border: none; border-left: 1px solid "
                                        "palette(mid); border-top: 1px solid palette(mid); "
                                        "gridline-color: palette(mid); }"));
    for (QHeaderView* header : {grid_->horizontalHeader(), grid_->verticalHeader()}) {
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    grid_->horizontalHeader()->setDefaultSectionSize(kCellWidth + kLine);
    grid_->verticalHeader()->setDefaultSectionSize(kCellHeight + kLine);
    grid_->setFixedSize(kLine + kColumns * (kCellWidth + kLine),
                        kLine + kRows * (kCellHeight + kLine));
    grid_->viewport()->installEventFilter(this);
}

uchar CharacterTable::codeAt(int row, int column) {
    if (row == 2 && column == 1)
        return kFirstOfSecondRow;
    return static_cast<uchar>(kFirstCodeOfRow[row - 1] + column - 1);
}

void CharacterTable::fillCells() {
    for (int row = 1; row <= kRows; ++row) {
        for (int column = 1; column <= kColumns; ++column) {
            auto* cell = new QTableWidgetItem(hp48::decodeByte(codeAt(row, column)));
            cell->setTextAlignment(Qt::AlignCenter);
            cell->setFlags(Qt::ItemIsEnabled);
            grid_->setItem(row - 1, column - 1, cell);
        }
    }
}

// Any mouse button released over a cell.
bool CharacterTable::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const QModelIndex cell =
            grid_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (cell.isValid())
            insertClickedCode(cell.row() + 1, cell.column() + 1);
        else
            giveFocusBack();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CharacterTable::insertClickedCode(int row, int column) {
    if (DocumentWindow* document = workspace_.activeDocument())
        document->insertAtCursor(grid_->item(row - 1, column - 1)->text());
    giveFocusBack();
}

void CharacterTable::giveFocusBack() {
    if (QWidget* mainWindow = parentWidget())
        mainWindow->activateWindow();
}

void CharacterTable::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    emit shownChanged(true);
}

void CharacterTable::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    emit shownChanged(false);
}
