#include "gui/dialogs/ScanDialog.h"
#include "ui_ScanDialog.h"

#include "core/DirectoryScan.h"
#include "core/Hp48Codec.h"
#include "core/OccurrenceCount.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/OpenFailures.h"
#include "gui/ScreenPlacement.h"
#include "gui/Workspace.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/SearchTextValidator.h"
#include "platform/Preferences.h"
#include "platform/Settings.h"
#include "platform/TextIds.h"

#include <QApplication>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>

#include <algorithm>
#include <utility>

namespace {

// The dialog's size as it was laid out; larger fonts may need more.
constexpr QSize kDialogSize{377, 437};
// The list's one tab stop, in dialog units: a quarter of the font's average letter width.
constexpr int kTabStopDialogUnits = 60;

// Draws an entry with its tab expanded to the list's one tab stop, so the names start in a
// column after the counts.
class EntryDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString text = item.text;
        item.text.clear();
        const QWidget* widget = option.widget;
        const QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

        QTextOption layout(Qt::AlignLeft | Qt::AlignVCenter);
        layout.setWrapMode(QTextOption::NoWrap);
        layout.setTabStopDistance(tabStop(item.fontMetrics));
        const bool selected = item.state.testFlag(QStyle::State_Selected);
        const QPalette::ColorGroup group =
            item.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        painter->save();
        painter->setFont(item.font);
        painter->setPen(
            item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget), text,
                          layout);
        painter->restore();
    }

  private:
    static qreal tabStop(const QFontMetrics& metrics) {
        static const QString letters =
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        const qreal averageLetter = metrics.horizontalAdvance(letters) / qreal(letters.size());
        return kTabStopDialogUnits * averageLetter / 4;
    }
};

} // namespace

ScanDialog::ScanDialog(Preferences& preferences, Workspace& workspace, QWidget* parent)
    : QDialog(parent), preferences_(preferences), workspace_(workspace),
      ui_(std::make_unique<Ui::ScanDialog>()), scanner_(new scan::DirectoryScanner(this)) {
    ui_->setupUi(this);
    ui_->searchText->setValidator(new SearchTextValidator(ui_->searchText));
    ui_->entryList->setItemDelegate(new EntryDelegate(ui_->entryList));
    connect(ui_->startButton, &QPushButton::clicked, this, &ScanDialog::startScan);
    connect(ui_->closeButton, &QPushButton::clicked, this, &ScanDialog::reject);
    connect(ui_->helpButton, &QPushButton::clicked, this, [] { showHelp(QStringLiteral("scan")); });
    connect(ui_->loadSelectedButton, &QPushButton::clicked, this, &ScanDialog::loadSelected);
    connect(ui_->loadAllButton, &QPushButton::clicked, this, &ScanDialog::loadAll);
    connect(scanner_, &scan::DirectoryScanner::progress, this, &ScanDialog::showProgress);
    connect(scanner_, &scan::DirectoryScanner::found, this, &ScanDialog::addEntry);
    connect(scanner_, &scan::DirectoryScanner::finished, this, &ScanDialog::scanFinished);
    fitSize();
    readSettings();
    registerWindow(this);
}

ScanDialog::~ScanDialog() = default;

// The dialog does not resize; it grows only where the texts of the language need more room.
void ScanDialog::fitSize() {
    // Texts set since the last layout pass have not reached the outer layout yet: the inner
    // layouts go first.
    const QList<QWidget*> children = findChildren<QWidget*>();
    for (auto child = children.crbegin(); child != children.crend(); ++child) {
        if (QLayout* inner = (*child)->layout())
            inner->activate();
    }
    layout()->activate();
    setFixedSize(layout()->sizeHint().expandedTo(kDialogSize));
}

void ScanDialog::showEvent(QShowEvent* event) {
    fitSize();
    QDialog::showEvent(event);
}

void ScanDialog::readSettings() {
    namespace key = settings::key;
    namespace fallback = settings::fallback;
    const SettingsFile& ini = preferences_.settings();
    ui_->caseSensitive->setChecked(
        settings::readBool(ini, key::kScanUpCase, fallback::kScanUpCase));
    placeOnScreen(*this, settings::readPosition(ini, key::kScanPosition, fallback::kScanPosition));
}

void ScanDialog::writeSettings() const {
    SettingsFile& ini = preferences_.settings();
    settings::write(ini, settings::key::kScanUpCase, ui_->caseSensitive->isChecked());
    settings::writePosition(ini, settings::key::kScanPosition, pos()); // Top, then Left
}

void ScanDialog::showScanner() {
    ui_->searchText->setFocus();
    exec();
}

// The text and the case choice are taken as they stand now. The files are counted off the
// window's thread and listed in the directory's order as their counts come in; meanwhile Start
// and the load buttons are off, so no second scan or load can begin inside this one.
void ScanDialog::startScan() {
    if (scanning_)
        return;
    ui_->entryList->clear();
    scannedDirectory_ = preferences_.preferredPath;
    showProgress(0, 0);
    setScanning(true);
    // A character without code occurs in no file, and an empty text in none either.
    const hp48::EncodedRow text = hp48::encodeRow(ui_->searchText->text());
    scanner_->start(scannedDirectory_, text.ok() ? text.bytes : QByteArray(),
                    ui_->caseSensitive->isChecked());
}

// A bar without range would show a busy indicator; an empty directory leaves it empty.
void ScanDialog::showProgress(int done, int total) {
    ui_->progressBar->setRange(0, std::max(total, 1));
    ui_->progressBar->setValue(done);
}

void ScanDialog::addEntry(const QString& fileName, quint16 count) {
    ui_->entryList->addItem(scan::entryText(count, fileName));
}

void ScanDialog::scanFinished() {
    setScanning(false);
    if (std::exchange(closeRequested_, false))
        QDialog::reject();
}

void ScanDialog::setScanning(bool scanning) {
    scanning_ = scanning;
    for (QPushButton* button : {ui_->startButton, ui_->loadSelectedButton, ui_->loadAllButton})
        button->setEnabled(!scanning);
}

void ScanDialog::reject() {
    if (scanning_) {
        closeRequested_ = true;
        scanner_->cancel();
        return;
    }
    QDialog::reject();
}

void ScanDialog::loadSelected() {
    if (scanning_)
        return;
    const QList<QListWidgetItem*> selected = ui_->entryList->selectedItems();
    if (!selected.isEmpty())
        loadEntry(selected.first()->text());
}

void ScanDialog::loadAll() {
    if (scanning_)
        return;
    const OpenFailures failures; // one box for all that fail
    for (int row = 0; row < ui_->entryList->count(); ++row)
        loadEntry(ui_->entryList->item(row)->text());
}

// A file that cannot be loaded any more is reported by the document window, whose window is
// then closed again. Files loaded from here do not join the recent files.
void ScanDialog::loadEntry(const QString& entry) {
    const QString name = entry.mid(scan::kEntryPrefixLength);
    workspace_.openDocument(scannedDirectory_ + name, Workspace::RecentFiles::Skip);
}
