#include "gui/DocumentWindow.h"

#include "core/Hp48Codec.h"
#include "gui/ChildSignals.h"
#include "gui/DataBox.h"
#include "gui/FileDialogs.h"
#include "gui/Hp48Font.h"
#include "gui/Localizer.h"
#include "gui/Palette.h"
#include "gui/Pictures.h"
#include "gui/TopicList.h"
#include "gui/UndoSteps.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>

namespace {

// The window's layout: a client area of 481 x 162, two sides under header strips of 21.
constexpr int kClientWidth = 481;
constexpr int kClientHeight = 162;
constexpr int kHeaderHeight = 21;
constexpr int kDataWidth = 230;
constexpr int kListWidth = 250;
constexpr int kEntryHeight = 19;
constexpr int kBoxFontPixels = 17;
constexpr int kHeaderFontPixels = 13;
constexpr int kRowsShownRed = 7;
constexpr int kRowLengthShownRed = 22;

DocumentWindow::MenuRunner menuRunner;

enum class PanelKind { Caption, Value };

// A header field. A caption shows the text of its id; a value panel shows a number the window
// keeps, with the text of its id as the hint.
QLabel* makePanel(QWidget* parent, const char* name, QRect geometry, PanelKind kind, quint16 tag) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(geometry);
    panel->setFrameShape(QFrame::Panel);
    const bool caption = kind == PanelKind::Caption;
    panel->setFrameShadow(caption ? QFrame::Raised : QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kHeaderFontPixels);
    font.setBold(caption);
    panel->setFont(font);
    if (tag != 0)
        panel->setProperty(kTagProperty, tag);
    if (!caption)
        panel->setProperty(kTagIsHintProperty, true);
    return panel;
}

void setPanelText(QLabel* panel, const QString& text, bool red) {
    panel->setText(text);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::WindowText, red ? Qt::red : Qt::black);
    panel->setPalette(palette);
}

QAction* addMenuItem(QMenu* menu, const char* name, quint16 tag, const QKeySequence& key = {}) {
    QAction* action = tagged(menu->addAction(QString()), name, tag);
    action->setShortcut(key);
    return action;
}

} // namespace

DocumentWindow::DocumentWindow(Preferences& preferences, TopicCopyBuffer& copyBuffer,
                               QWidget* parent)
    : QWidget(parent), preferences_(preferences), copyBuffer_(copyBuffer),
      menus_(std::make_unique<Menus>()) {
    setObjectName(QStringLiteral("documentWindow"));
    setFixedSize(kClientWidth, kClientHeight);
    setAttribute(Qt::WA_DeleteOnClose);
    hp48font::ensure();
    createBoxes();
    createMenus();
    const SettingsFile& settings = preferences_.settings();
    arrangeBoxes(settings::readBool(settings, settings::key::kReversedBoxes,
                                    settings::fallback::kReversedBoxes));
    setBoxColours(settings::readInteger(settings, settings::key::kTextColour,
                                        settings::fallback::kTextColour),
                  settings::readInteger(settings, settings::key::kBackgroundColour,
                                        settings::fallback::kBackgroundColour));
    connect(&document_, &Document::modifiedChanged, this, [this] {
        updateIcon();
        emit modifiedChanged();
    });
    updateIcon();
    readTopicLineSetting();
    refreshTopicList(1);
    registerWindow(this);
    applyLanguage();
    updateCaption();
    updateRowCounters();
}

DocumentWindow::~DocumentWindow() {
    disconnectChildSignals(this);
}

void DocumentWindow::createBoxes() {
    dataSide_ = createDataSide();
    listSide_ = createListSide();
    const QFont font = hp48font::font(kBoxFontPixels);
    dataBox_->setFont(font);
    topicList_->setFont(font);
}

QWidget* DocumentWindow::createDataSide() {
    auto* side = new QWidget(this);
    side->setObjectName(QStringLiteral("dataSide"));
    side->resize(kDataWidth, kClientHeight);
    makePanel(side, "dataCaption", QRect(0, 0, 80, kHeaderHeight), PanelKind::Caption,
              textid::kDataCaption);
    rowLength_ = makePanel(side, "rowLength", QRect(80, 0, 60, kHeaderHeight), PanelKind::Value,
                           textid::kRowLengthHint);
    rowCounter_ = makePanel(side, "rowCounter", QRect(140, 0, kDataWidth - 140, kHeaderHeight),
                            PanelKind::Value, textid::kRowCountHint);
    dataBox_ = new DataBox(side);
    dataBox_->setObjectName(QStringLiteral("dataBox"));
    dataBox_->setProperty(kTagProperty, textid::kDataBoxHint);
    dataBox_->setGeometry(0, kHeaderHeight, kDataWidth, kClientHeight - kHeaderHeight);
    for (auto changed : {&QPlainTextEdit::textChanged, &QPlainTextEdit::cursorPositionChanged,
                         &QPlainTextEdit::selectionChanged})
        connect(dataBox_, changed, this, &DocumentWindow::updateRowCounters);
    return side;
}

QWidget* DocumentWindow::createListSide() {
    auto* side = new QWidget(this);
    side->setObjectName(QStringLiteral("listSide"));
    side->resize(kListWidth, kClientHeight);
    makePanel(side, "topicsCaption", QRect(0, 0, 80, kHeaderHeight), PanelKind::Caption, 0)
        ->setText(QStringLiteral("Topics:"));
    titleRow_ = makePanel(side, "titleRow", QRect(80, 0, 40, kHeaderHeight), PanelKind::Value,
                          textid::kTopicRowHint);
    titleRow_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(titleRow_, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { runMenu(*menus_->titleRow, titleRow_->mapToGlobal(at)); });
    topicPosition_ =
        makePanel(side, "topicPosition", QRect(120, 0, kListWidth - 120, kHeaderHeight),
                  PanelKind::Value, textid::kTopicPositionHint);
    topicList_ = new TopicList(side);
    topicList_->setObjectName(QStringLiteral("topicList"));
    topicList_->setProperty(kTagProperty, textid::kTopicListHint);
    topicList_->setGeometry(0, kHeaderHeight, kListWidth, kClientHeight - kHeaderHeight);
    connect(topicList_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) {
            document_.setSelection(row + 1);
            showTopic();
        }
    });
    connect(topicList_, &TopicList::insertKeyReleased, this, &DocumentWindow::insertTopic);
    connect(topicList_, &TopicList::deleteKeyReleased, this, &DocumentWindow::deleteTopic);
    connect(topicList_, &TopicList::contextMenuRequested, this, &DocumentWindow::openListMenu);
    connect(topicList_, &TopicList::dropped, this,
            [this](TopicList* from, int sourceEntry, int targetEntry, const QPoint& at) {
                for (QWidget* owner = from; owner; owner = owner->parentWidget()) {
                    if (auto* source = qobject_cast<DocumentWindow*>(owner))
                        dropFrom(source, sourceEntry, targetEntry, at);
                }
            });
    return side;
}

void DocumentWindow::createMenus() {
    createEditMenu();
    createListMenus();
}

void DocumentWindow::createEditMenu() {
    editMenu_ = tagged(new QMenu(this), "editMenu", 2145);
    connect(addMenuItem(editMenu_, "commitTopic", 2150, Qt::Key_F5), &QAction::triggered, this,
            &DocumentWindow::commitTopic);
    connect(addMenuItem(editMenu_, "deleteText", 2155), &QAction::triggered, dataBox_,
            [this] { dataBox_->textCursor().removeSelectedText(); });
    connect(addMenuItem(editMenu_, "copyText", 2160, Qt::CTRL | Qt::Key_Insert),
            &QAction::triggered, dataBox_, &QPlainTextEdit::copy);
    connect(addMenuItem(editMenu_, "pasteText", 2165, Qt::SHIFT | Qt::Key_Insert),
            &QAction::triggered, dataBox_, &QPlainTextEdit::paste);
    editMenu_->addSeparator();
    connect(addMenuItem(editMenu_, "insertTopic", 2170, Qt::Key_F4), &QAction::triggered, this,
            &DocumentWindow::insertTopic);
    connect(addMenuItem(editMenu_, "deleteTopic", 2175, Qt::Key_F8), &QAction::triggered, this,
            &DocumentWindow::deleteTopic);
    connect(addMenuItem(editMenu_, "copyTopic", 2180), &QAction::triggered, this,
            &DocumentWindow::copyTopic);
    menus_->insertCopy = addMenuItem(editMenu_, "insertTopicCopy", 2185);
    menus_->insertCopy->setEnabled(false);
    connect(menus_->insertCopy, &QAction::triggered, this, &DocumentWindow::insertTopicCopy);
    connect(addMenuItem(editMenu_, "sortTopics", 2190), &QAction::triggered, this,
            [this] { emit sortRequested(this); });
    history_ = new DocumentHistory(*this, editMenu_);
}

void DocumentWindow::createListMenus() {
    Menus& m = *menus_;
    m.list = new QMenu(this);
    m.list->setObjectName(QStringLiteral("topicListMenu"));
    m.listInsert = addMenuItem(m.list, "listInsertTopic", 600);
    m.listDelete = addMenuItem(m.list, "listDeleteTopic", 605);
    m.listCopy = addMenuItem(m.list, "listCopyTopic", 610);
    m.listInsertCopy = addMenuItem(m.list, "listInsertTopicCopy", 615);
    m.listInsertCopy->setEnabled(false);
    connect(m.listInsert, &QAction::triggered, this, &DocumentWindow::insertTopic);
    connect(m.listDelete, &QAction::triggered, this, &DocumentWindow::deleteTopic);
    connect(m.listCopy, &QAction::triggered, this, &DocumentWindow::copyTopic);
    connect(m.listInsertCopy, &QAction::triggered, this, &DocumentWindow::insertTopicCopy);

    m.titleRow = new QMenu(this);
    m.titleRow->setObjectName(QStringLiteral("titleRowMenu"));
    auto* rows = new QActionGroup(m.titleRow);
    for (int row = 1; row <= kMaxTopicLine; ++row) {
        QAction* item = m.titleRow->addAction(QString::number(row));
        item->setObjectName(QStringLiteral("titleRow%1").arg(row));
        item->setCheckable(true);
        rows->addAction(item);
        m.titleRows.append(item);
        connect(item, &QAction::triggered, this, [this, row] { setTitleRow(row); });
    }

    m.drop = new QMenu(this);
    m.drop->setObjectName(QStringLiteral("dropMenu"));
    m.dropCopy = addMenuItem(m.drop, "dropCopy", 650);
    m.dropMove = addMenuItem(m.drop, "dropMove", 655);
    m.drop->addSeparator();
    addMenuItem(m.drop, "dropCancel", 660);
}

void DocumentWindow::setMenuRunner(MenuRunner runner) {
    menuRunner = std::move(runner);
}

QAction* DocumentWindow::runMenu(QMenu& menu, const QPoint& globalPos) {
    return menuRunner ? menuRunner(menu, globalPos) : menu.exec(globalPos);
}

void DocumentWindow::arrangeBoxes(bool reversed) {
    dataSide_->move(reversed ? kListWidth + 1 : 0, 0);
    listSide_->move(reversed ? 0 : kDataWidth + 1, 0);
}

void DocumentWindow::setBoxColours(int textIndex, int backgroundIndex) {
    for (QWidget* box : {static_cast<QWidget*>(dataBox_), static_cast<QWidget*>(topicList_)}) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Text, paletteColour(textIndex));
        palette.setColor(QPalette::Base, paletteColour(backgroundIndex));
        box->setPalette(palette);
    }
}

// Misc/TopicLine is read as text; a value that is no number from 1 to 7 gives row 1.
void DocumentWindow::readTopicLineSetting() {
    const QString text = settings::readString(preferences_.settings(), settings::key::kTopicLine,
                                              QString::number(settings::fallback::kTopicLine));
    bool ok = false;
    const int row = text.toInt(&ok);
    const int topicLine = ok && row >= 1 && row <= kMaxTopicLine ? row : 1;
    document_.setTopicLine(topicLine);
    titleRow_->setText(QString::number(topicLine));
    menus_->titleRows[topicLine - 1]->setChecked(true);
}

int DocumentWindow::selectedEntry() const {
    return topicList_->selectedEntry();
}

void DocumentWindow::selectEntry(int entry) {
    topicList_->selectEntry(entry);
    document_.setSelection(entry);
    updateTopicPosition();
}

void DocumentWindow::refreshTopicList(int entryToSelect) {
    const QSignalBlocker blocker(topicList_);
    topicList_->clear();
    const TopicTable& table = document_.table();
    for (int entry = 1; entry <= table.entryCount(); ++entry) {
        auto* item = new QListWidgetItem(hp48::decodeRow(table.title(entry)), topicList_);
        item->setSizeHint(QSize(0, kEntryHeight));
    }
    selectEntry(qBound(1, entryToSelect, table.entryCount()));
}

void DocumentWindow::showTopic() {
    const TopicTable& table = document_.table();
    const TopicRows& rows = table.topic(qBound(1, selectedEntry(), table.entryCount()));
    int last = kRowsPerTopic;
    while (last > 0 && rows[last - 1].isEmpty())
        --last;
    QStringList lines;
    for (int row = 0; row < last; ++row)
        lines.append(hp48::decodeRow(rows[row]));
    dataBox_->showLines(lines);
    updateRowCounters();
    updateTopicPosition();
}

void DocumentWindow::updateRowCounters() {
    const DataBox::Counts counts = dataBox_->counts();
    setPanelText(rowCounter_, QStringLiteral("%1/%2").arg(counts.cursorRow).arg(counts.rows),
                 counts.rows > kRowsShownRed);
    setPanelText(rowLength_, QString::number(counts.rowLength),
                 counts.rowLength > kRowLengthShownRed);
}

void DocumentWindow::updateTopicPosition() {
    const int entry = selectedEntry();
    const int topics = document_.table().topicCount();
    if (document_.table().isPseudoTopic(entry))
        topicPosition_->setText(strings::text(textid::kNewEntry) + QString::number(topics));
    else
        topicPosition_->setText(QStringLiteral("%1/%2").arg(entry).arg(topics));
}

// A window without a file is named in the program's language; one with a file by the file.
void DocumentWindow::updateCaption() {
    if (document_.hasFile())
        setWindowTitle(QFileInfo(document_.fileName()).fileName());
    else
        setWindowTitle(strings::text(textid::kUnnamed));
}

void DocumentWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        updateCaption();
        updateTopicPosition();
    }
    QWidget::changeEvent(event);
}

void DocumentWindow::updateIcon() {
    setWindowIcon(ownIcon(document_.isModified() ? QStringLiteral("modified.png")
                                                 : QStringLiteral("saved.png")));
}

// Marked modified from outside (a document received from the calculator), no file holds it;
// marked unmodified, its file holds it as it is.
void DocumentWindow::setModified(bool modified) {
    document_.setModified(modified);
    history_->setSaved(modified ? std::nullopt : std::optional(document_.topics()));
}

void DocumentWindow::setStatus(quint16 textId) {
    emit statusText(strings::text(textId));
}

void DocumentWindow::enableInsertCopy() {
    if (copyBuffer_.filled) {
        menus_->insertCopy->setEnabled(true);
        menus_->listInsertCopy->setEnabled(true);
    }
}

void DocumentWindow::setTitleRow(int topicLine) {
    document_.setTopicLine(topicLine);
    titleRow_->setText(QString::number(topicLine));
    menus_->titleRows[topicLine - 1]->setChecked(true);
    refreshTopicList(selectedEntry());
}
