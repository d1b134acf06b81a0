#include "gui/DocumentWindow.h"

#include "core/CharacterNames.h"
#include "core/Hp48Codec.h"
#include "core/LcdPicture.h"
#include "gui/CalculatorScreen.h"
#include "gui/ChildSignals.h"
#include "gui/DataBox.h"
#include "gui/FileDialogs.h"
#include "gui/Hp48Font.h"
#include "gui/Localizer.h"
#include "gui/Palette.h"
#include "gui/Pictures.h"
#include "gui/TopicList.h"
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
constexpr int kBoxFontPixels = 17;
constexpr int kHeaderFontPixels = 13;
constexpr int kRowsShownRed = 7;
constexpr int kRowLengthShownRed = 22;

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
    createListMenus();
    const SettingsFile& settings = preferences_.settings();
    arrangeBoxes(settings::readBool(settings, settings::key::kReversedBoxes,
                                    settings::fallback::kReversedBoxes));
    setBoxColours(settings::readInteger(settings, settings::key::kTextColour,
                                        settings::fallback::kTextColour),
                  settings::readInteger(settings, settings::key::kBackgroundColour,
                                        settings::fallback::kBackgroundColour));
    applyScreenSettings();
    readTopicLineSetting();
    hpfile::Header header; // a new document's; a file read brings its own
    header.translation = preferences_.newTranslation;
    document_.setHeader(header);
    watchDocument();
    registerWindow(this);
    applyLanguageTo(this);
}

DocumentWindow::~DocumentWindow() {
    disconnectChildSignals(this);
}

void DocumentWindow::createBoxes() {
    dataSide_ = createDataSide();
    listSide_ = createListSide();
    screenSide_ = createScreenSide();
    const QFont font = hp48font::font(kBoxFontPixels);
    dataBox_->setFont(font);
    topicList_->setFont(font);
    connect(dataBox_, &QPlainTextEdit::textChanged, this, &DocumentWindow::showOnScreen);
    for (auto changed : {&QPlainTextEdit::textChanged, &QPlainTextEdit::cursorPositionChanged})
        connect(dataBox_, changed, this,
                [this] { emit characterAtCursorChanged(characterAtCursor()); });
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
            [this](QPoint at) { menus_->titleRow->exec(titleRow_->mapToGlobal(at)); });
    topicPosition_ =
        makePanel(side, "topicPosition", QRect(120, 0, kListWidth - 120, kHeaderHeight),
                  PanelKind::Value, textid::kTopicPositionHint);
    topicList_ = new TopicList(side);
    topicList_->setObjectName(QStringLiteral("topicList"));
    topicList_->setProperty(kTagProperty, textid::kTopicListHint);
    topicList_->setGeometry(0, kHeaderHeight, kListWidth, kClientHeight - kHeaderHeight);
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

// The calculator's screen under a header of its own: the font's columns and lines.
QWidget* DocumentWindow::createScreenSide() {
    auto* side = new QWidget(this);
    side->setObjectName(QStringLiteral("screenSide"));
    makePanel(side, "screenCaption", QRect(0, 0, 80, kHeaderHeight), PanelKind::Caption,
              textid::kScreenCaption);
    screenGrid_ = makePanel(side, "screenGrid", QRect(80, 0, 0, kHeaderHeight), PanelKind::Value,
                            textid::kScreenGridHint);
    screen_ = new CalculatorScreen(preferences_, side);
    screen_->move(0, kHeaderHeight);
    side->hide();
    return side;
}

void DocumentWindow::createListMenus() {
    Menus& m = *menus_;
    m.list = new QMenu(this);
    m.list->setObjectName(QStringLiteral("topicListMenu"));
    m.listInsert = addMenuItem(m.list, "listInsertTopic", textid::kListInsertItem);
    m.listDelete = addMenuItem(m.list, "listDeleteTopic", textid::kListDeleteItem);
    m.listCopy = addMenuItem(m.list, "listCopyTopic", textid::kListCopyItem);
    m.listInsertCopy = addMenuItem(m.list, "listInsertTopicCopy", textid::kListInsertCopyItem);
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
        connect(item, &QAction::triggered, this, [this, row] { document_.setTitleRow(row); });
    }

    m.drop = new QMenu(this);
    m.drop->setObjectName(QStringLiteral("dropMenu"));
    m.dropCopy = addMenuItem(m.drop, "dropCopy", textid::kDropCopyItem);
    m.dropMove = addMenuItem(m.drop, "dropMove", textid::kDropMoveItem);
    m.drop->addSeparator();
    addMenuItem(m.drop, "dropCancel", textid::kDropCancelItem);
}

void DocumentWindow::arrangeBoxes(bool reversed) {
    reversed_ = reversed;
    placeSides();
}

// The screen stands right of the data box, whichever side the list takes; the window is as
// high as the screen needs, the boxes as high as the window.
void DocumentWindow::placeSides() {
    const bool screenShown = !screenSide_->isHidden();
    const int screenWidth = screenShown ? screenSide_->width() + 1 : 0;
    const int height = std::max(kClientHeight, screenShown ? screenSide_->height() : 0);
    const int dataLeft = reversed_ ? kListWidth + 1 : 0;
    dataSide_->setGeometry(dataLeft, 0, kDataWidth, height);
    screenSide_->move(dataLeft + kDataWidth + 1, 0);
    listSide_->setGeometry(reversed_ ? 0 : kDataWidth + 1 + screenWidth, 0, kListWidth, height);
    dataBox_->resize(kDataWidth, height - kHeaderHeight);
    topicList_->resize(kListWidth, height - kHeaderHeight);
    setFixedSize(kClientWidth + screenWidth, height);
}

void DocumentWindow::applyScreenSettings() {
    const settings::ScreenSettings chosen = settings::readScreenSettings(preferences_.settings());
    const auto fontSize = static_cast<lcd::FontSize>(chosen.fontSize);
    screen_->setFontSize(fontSize);
    screen_->setScale(chosen.scale);
    const lcd::TextGrid grid = lcd::textGrid(fontSize);
    screenGrid_->setText(QStringLiteral("%1 \u00d7 %2").arg(grid.columns).arg(grid.lines));
    screenGrid_->resize(screen_->width() - 80, kHeaderHeight);
    screenSide_->setFixedSize(screen_->width(), kHeaderHeight + screen_->height());
    screenSide_->setVisible(chosen.shown);
    dataBox_->setScreenGrid(chosen.shown ? grid.columns : 0, grid.lines);
    showOnScreen();
    placeSides();
}

// The screen shows the data box as typed, before any commit.
void DocumentWindow::showOnScreen() {
    if (!screenSide_->isHidden())
        screen_->showLines(dataBox_->lines());
}

QString DocumentWindow::characterAtCursor() const {
    const QString text = dataBox_->textAtCursor();
    if (text.isEmpty())
        return {};
    const qint16 code = lcd::codesOf(text).value(0, lcd::kNoCode);
    if (code != lcd::kNoCode)
        return QStringLiteral("%1 %2").arg(code).arg(
            hp48::characterName(static_cast<uchar>(code), strings::language()));
    const bool pair = text.size() == 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate();
    return strings::format(strings::text(textid::kCharacterWithoutCode), {text.left(pair ? 2 : 1)});
}

// Text in the box shown with the other model's glyphs would not encode to the same codes.
void DocumentWindow::showCalculatorGlyphs() {
    const hp48::Model shown = hp48::model();
    const hp48::Model other = shownModel_;
    if (shown == other)
        return;
    shownModel_ = shown;
    topicList_->showTitles();
    for (int code = 0; code < 256; ++code) {
        const QString was = hp48::decodeByte(static_cast<uchar>(code), other);
        const QString now = hp48::decodeByte(static_cast<uchar>(code), shown);
        if (was != now && was.size() == 1 && now.size() == 1)
            dataBox_->replaceCharacter(was.at(0), now.at(0));
    }
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
    document_.setTitleRow(ok && row >= 1 && row <= kMaxTopicLine ? row : 1);
}

// ---- the views of the document ----

// Every part of the window follows the document: the list by itself, the data box, the header
// panels, the caption and the icon here.
void DocumentWindow::watchDocument() {
    topicList_->setDocument(&document_);
    connect(&document_, &Document::topicsChanged, this, [this] { showSelectedTopic(); });
    connect(&document_, &Document::selectionChanged, this, [this] {
        if (!keepDataBox_)
            showSelectedTopic();
        updateTopicPosition();
    });
    connect(&document_, &Document::titleRowChanged, this, &DocumentWindow::showTitleRow);
    connect(&document_, &Document::fileNameChanged, this, &DocumentWindow::updateCaption);
    connect(&document_, &Document::modifiedChanged, this, &DocumentWindow::updateIcon);
    showTitleRow(document_.titleRow());
    showSelectedTopic();
    updateCaption();
    updateIcon();
}

// The data box shows the selected topic. When it shows that topic already and holds its rows,
// it stays as it is, its cursor included (a commit that stored what the box holds).
void DocumentWindow::showSelectedTopic(bool evenIfShown) {
    const int entry = document_.selection();
    const TopicRows& rows = document_.table().topic(entry);
    int last = kRowsPerTopic;
    while (last > 0 && rows[last - 1].isEmpty())
        --last;
    QStringList lines;
    for (int row = 0; row < last; ++row)
        lines.append(hp48::decodeRow(rows[row]));
    QStringList shown = dataBox_->lines();
    while (!shown.isEmpty() && shown.last().isEmpty())
        shown.removeLast();
    if (evenIfShown || entry != shownEntry_ || shown != lines) {
        dataBox_->showLines(lines);
        if (dataBox_->isCut())
            emit statusText(
                strings::format(strings::text(textid::kRowTooLong), dataBox_->cutLine()));
    }
    shownEntry_ = entry;
    updateRowCounters();
    updateTopicPosition();
}

void DocumentWindow::showTitleRow(int row) {
    titleRow_->setText(QString::number(row));
    menus_->titleRows[row - 1]->setChecked(true);
}

void DocumentWindow::updateRowCounters() {
    const DataBox::Counts counts = dataBox_->counts();
    setPanelText(rowCounter_, QStringLiteral("%1/%2").arg(counts.cursorRow).arg(counts.rows),
                 counts.rows > kRowsShownRed);
    setPanelText(rowLength_, QString::number(counts.rowLength),
                 counts.rowLength > kRowLengthShownRed);
}

void DocumentWindow::updateTopicPosition() {
    const int entry = document_.selection();
    const int topics = document_.table().topicCount();
    if (document_.table().isPseudoTopic(entry))
        topicPosition_->setText(strings::text(textid::kNewEntry) + QString::number(topics));
    else
        topicPosition_->setText(QStringLiteral("%1/%2").arg(entry).arg(topics));
}

// A window without a file is named in the program's language, or as received from the
// calculator; one with a file by the file.
void DocumentWindow::updateCaption() {
    if (document_.hasFile())
        setWindowTitle(QFileInfo(document_.fileName()).fileName());
    else if (caption_ == Caption::Received)
        setWindowTitle(QStringLiteral("Vom HP")); // in both languages
    else
        setWindowTitle(strings::text(textid::kUnnamed));
}

void DocumentWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        updateCaption();
        updateTopicPosition();
        emit characterAtCursorChanged(characterAtCursor());
    }
    QWidget::changeEvent(event);
}

void DocumentWindow::updateIcon() {
    setWindowIcon(ownIcon(document_.isModified() ? QStringLiteral("modified.png")
                                                 : QStringLiteral("saved.png")));
}

void DocumentWindow::setStatus(quint16 textId) {
    emit statusText(strings::text(textId));
}
