#include "gui/dialogs/ScanDialog.h"

#include "core/Hp48Codec.h"
#include "core/OccurrenceCount.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/ScreenPlacement.h"
#include "gui/Workspace.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/SearchTextValidator.h"
#include "platform/Preferences.h"
#include "platform/Settings.h"
#include "platform/TextIds.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>
#include <utility>

namespace {

// Texts by id.

// The dialog's size as it was laid out; larger fonts may need more.
constexpr QSize kDialogSize{377, 437};
constexpr int kCountHeaderWidth = 88;
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

template <typename Widget> Widget* named(Widget* widget, const char* name, quint16 tag = 0) {
    widget->setObjectName(QString::fromLatin1(name));
    if (tag != 0)
        widget->setProperty(kTagProperty, tag);
    return widget;
}

QLabel* columnHeader(const char* name, quint16 tag) {
    auto* header = named(new QLabel, name, tag);
    header->setFrameStyle(QFrame::Panel | QFrame::Raised);
    header->setAlignment(Qt::AlignCenter);
    return header;
}

} // namespace

ScanDialog::ScanDialog(Preferences& preferences, Workspace& workspace, QWidget* parent)
    : QDialog(parent), preferences_(preferences), workspace_(workspace) {
    setObjectName(QStringLiteral("Scan"));
    setWindowTitle(QStringLiteral("Scanner")); // the same in every language
    createControls();
    fitSize();
    readSettings();
    registerWindow(this);
}

void ScanDialog::createControls() {
    label1_ = named(new QLabel, "Label1", textid::kSearchFor);
    edit1_ = named(new QLineEdit, "Edit1");
    edit1_->setValidator(new SearchTextValidator(edit1_));
    label1_->setBuddy(edit1_);
    label2_ = named(new QLabel, "Label2", textid::kScanHow);
    checkBox1_ = named(new QCheckBox, "CheckBox1", textid::kScanCaseSensitive);
    auto* caseBox = named(new QGroupBox, "GroupBox1");
    (new QVBoxLayout(caseBox))->addWidget(checkBox1_);

    bitBtn1_ = named(new QPushButton, "BitBtn1", textid::kStart);
    bitBtn1_->setDefault(true);
    bitBtn2_ = named(new QPushButton, "BitBtn2", textid::kClose);
    bitBtn3_ = named(new QPushButton, "BitBtn3", textid::kHelp);
    connect(bitBtn3_, &QPushButton::clicked, this, [] { showHelp(QStringLiteral("scan")); });
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {bitBtn1_, bitBtn2_, bitBtn3_})
        buttons->addWidget(button);
    buttons->addStretch();

    auto* query = new QGridLayout;
    query->addWidget(label1_, 0, 0);
    query->addWidget(edit1_, 0, 1);
    query->addWidget(label2_, 1, 0, Qt::AlignTop);
    query->addWidget(caseBox, 1, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(query, 1);
    top->addLayout(buttons);

    progressBar1_ = named(new QProgressBar, "ProgressBar1");
    progressBar1_->setRange(0, 1);
    progressBar1_->setValue(0);

    panel2_ = columnHeader("Panel2", textid::kMatches);
    panel2_->setFixedWidth(kCountHeaderWidth);
    panel3_ = columnHeader("Panel3", textid::kFilename);
    auto* headers = new QHBoxLayout;
    headers->setSpacing(0);
    headers->addWidget(panel2_);
    headers->addWidget(panel3_, 1);
    list_ = named(new QListWidget, "List");
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setItemDelegate(new EntryDelegate(list_));
    auto* results = new QVBoxLayout;
    results->setSpacing(0);
    results->addLayout(headers);
    results->addWidget(list_, 1);

    bitBtn4_ = named(new QPushButton, "BitBtn4", textid::kLoadSelected);
    bitBtn5_ = named(new QPushButton, "BitBtn5", textid::kLoadAll);
    auto* loads = new QHBoxLayout;
    loads->addWidget(bitBtn4_);
    loads->addWidget(bitBtn5_);

    auto* whole = new QVBoxLayout(this);
    whole->addLayout(top);
    whole->addWidget(progressBar1_);
    whole->addLayout(results, 1);
    whole->addLayout(loads);

    connect(bitBtn1_, &QPushButton::clicked, this, &ScanDialog::startScan);
    connect(bitBtn2_, &QPushButton::clicked, this, &ScanDialog::closeScanner);
    connect(bitBtn4_, &QPushButton::clicked, this, &ScanDialog::loadSelected);
    connect(bitBtn5_, &QPushButton::clicked, this, &ScanDialog::loadAll);
}

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
    checkBox1_->setChecked(settings::readBool(ini, key::kScanUpCase, fallback::kScanUpCase));
    placeOnScreen(*this, settings::readPosition(ini, key::kScanPosition, fallback::kScanPosition));
}

void ScanDialog::writeSettings() const {
    SettingsFile& ini = preferences_.settings();
    settings::write(ini, settings::key::kScanUpCase, checkBox1_->isChecked());
    settings::writePosition(ini, settings::key::kScanPosition, pos()); // Top, then Left
}

void ScanDialog::showScanner() {
    edit1_->setFocus();
    exec();
}

// Each file is counted with the text and the case choice as they stand at that moment. After
// each file the dialog takes its waiting events, so it stays responsive; meanwhile Start and
// the load buttons are off, so no second scan or load can begin inside this one.
void ScanDialog::startScan() {
    if (scanning_)
        return;
    list_->clear();
    scannedDirectory_ = preferences_.preferredPath;
    const QStringList files = scan::scannableFiles(scannedDirectory_);
    // A bar without range would show a busy indicator; an empty directory leaves it empty.
    progressBar1_->setRange(0, std::max(static_cast<int>(files.size()), 1));
    progressBar1_->setValue(0);
    setScanning(true);
    const QPointer<ScanDialog> alive(this);
    for (const QString& name : files) {
        progressBar1_->setValue(progressBar1_->value() + 1);
        if (const quint16 count = countIn(scannedDirectory_ + name); count > 0)
            list_->addItem(scan::entryText(count, name));
        QCoreApplication::processEvents();
        if (!alive)
            return; // the program ended meanwhile
        if (closeRequested_)
            break;
    }
    setScanning(false);
    if (std::exchange(closeRequested_, false))
        QDialog::reject();
}

void ScanDialog::setScanning(bool scanning) {
    scanning_ = scanning;
    for (QPushButton* button : {bitBtn1_, bitBtn4_, bitBtn5_})
        button->setEnabled(!scanning);
}

quint16 ScanDialog::countIn(const QString& fileName) const {
    const hp48::EncodedRow text = hp48::encodeRow(edit1_->text());
    if (!text.ok())
        return 0; // a character without code occurs in no file
    return scan::countInFile(fileName, text.bytes, checkBox1_->isChecked());
}

void ScanDialog::closeScanner() {
    reject();
}

void ScanDialog::reject() {
    if (scanning_) {
        closeRequested_ = true;
        return;
    }
    QDialog::reject();
}

void ScanDialog::loadSelected() {
    if (scanning_)
        return;
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (!selected.isEmpty())
        loadEntry(selected.first()->text());
}

void ScanDialog::loadAll() {
    if (scanning_)
        return;
    for (int row = 0; row < list_->count(); ++row)
        loadEntry(list_->item(row)->text());
}

// A file that cannot be loaded any more is reported by the document window, whose window is
// then closed again. Files loaded from here do not join the recent files.
void ScanDialog::loadEntry(const QString& entry) {
    const QString name = entry.mid(scan::kEntryPrefixLength);
    workspace_.openDocument(scannedDirectory_ + name, Workspace::RecentFiles::Skip);
}
