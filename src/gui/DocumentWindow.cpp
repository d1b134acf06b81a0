#include "gui/DocumentWindow.h"

#include "core/Hp48Codec.h"
#include "core/HpFile.h"
#include "gui/ChildSignals.h"
#include "gui/FileDialogs.h"
#include "gui/Hp48Font.h"
#include "gui/Palette.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDrag>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>

namespace {

// Texts and messages by id.

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

DocumentWindow::MenuRunner menuRunner = [](QMenu& menu, const QPoint& position) {
    return menu.exec(position);
};

QLabel* makePanel(QWidget* parent, const char* name, QRect geometry, bool bold, quint16 tag) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(geometry);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(bold ? QFrame::Raised : QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kHeaderFontPixels);
    font.setBold(bold);
    panel->setFont(font);
    if (tag != 0)
        panel->setProperty(kTagProperty, tag);
    return panel;
}

void setPanelText(QLabel* panel, const QString& text, bool red) {
    panel->setText(text);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::WindowText, red ? Qt::red : Qt::black);
    panel->setPalette(palette);
}

// The data box takes text only from a source that holds some: Qt 6.4's text control reads the
// first format of a source without checking that there is one, so pasting from a clipboard
// that holds nothing (a fresh session) would crash.
class DataBoxEdit : public QPlainTextEdit {
  public:
    using QPlainTextEdit::QPlainTextEdit;

  protected:
    bool canInsertFromMimeData(const QMimeData* source) const override {
        return source && !source->formats().isEmpty() &&
               QPlainTextEdit::canInsertFromMimeData(source);
    }
    void insertFromMimeData(const QMimeData* source) override {
        if (source && !source->formats().isEmpty())
            QPlainTextEdit::insertFromMimeData(source);
    }
};

QAction* addMenuItem(QMenu* menu, const char* name, quint16 tag, const QKeySequence& key = {}) {
    QAction* action = tagged(menu->addAction(QString()), name, tag);
    action->setShortcut(key);
    return action;
}

} // namespace

struct DocumentWindow::Menus {
    QAction* commit = nullptr;      // Datenbernehmen1
    QAction* deleteData = nullptr;  // Datenlschen1
    QAction* copyData = nullptr;    // Datenkopieren1
    QAction* pasteData = nullptr;   // Dateneinfgen1
    QAction* insertTopic = nullptr; // Topiceinfgen1
    QAction* deleteTopic = nullptr; // Topiclschen1
    QAction* copyTopic = nullptr;   // Topickopieren1
    QAction* insertCopy = nullptr;  // Kopieeinfgen1
    QAction* sort = nullptr;        // Sortieren1

    QMenu* list = nullptr; // PopupMenu1
    QAction* listInsert = nullptr;
    QAction* listDelete = nullptr;
    QAction* listCopy = nullptr;
    QAction* listInsertCopy = nullptr;

    QMenu* titleRow = nullptr; // PopupMenu2
    QList<QAction*> titleRows; // N11 .. N71

    QMenu* drop = nullptr; // PopupMenu3
    QAction* dropCopy = nullptr;
    QAction* dropMove = nullptr;
    QAction* dropCancel = nullptr;
};

DocumentWindow::DocumentWindow(Preferences& preferences, TopicCopyBuffer& copyBuffer,
                               QWidget* parent)
    : QWidget(parent), preferences_(preferences), copyBuffer_(copyBuffer),
      menus_(std::make_unique<Menus>()) {
    setObjectName(QStringLiteral("Kind"));
    setProperty(kTagProperty, textid::kUnnamed);
    setWindowTitle(strings::text(textid::kUnnamed));
    setFixedSize(kClientWidth, kClientHeight);
    setAttribute(Qt::WA_DeleteOnClose);
    hp48font::ensure();
    createBoxes();
    createMenus();
    arrangeBoxes(settings::readBool(preferences_.settings(), settings::key::kReversedBoxes,
                                    settings::fallback::kReversedBoxes));
    applyBoxFont();
    setBoxColours(settings::readInteger(preferences_.settings(), settings::key::kTextColour,
                                        settings::fallback::kTextColour),
                  settings::readInteger(preferences_.settings(), settings::key::kBackgroundColour,
                                        settings::fallback::kBackgroundColour));
    setModified(false);
    readTopicLineSetting();
    table_.clearTable();
    refreshTopicList(1);
    dataBox_->clear();
    registerWindow(this);
    applyLanguage();
    updateRowCounters();
    updateTopicPosition();
}

DocumentWindow::~DocumentWindow() {
    disconnectChildSignals(this);
}

void DocumentWindow::createBoxes() {
    dataSide_ = new QWidget(this);
    dataSide_->setObjectName(QStringLiteral("DataSide"));
    dataSide_->resize(kDataWidth, kClientHeight);
    makePanel(dataSide_, "Panel5", QRect(0, 0, 80, kHeaderHeight), true, textid::kDataCaption);
    makePanel(dataSide_, "Panel10", QRect(80, 0, 60, kHeaderHeight), false, textid::kRowLengthHint);
    makePanel(dataSide_, "Panel6", QRect(140, 0, kDataWidth - 140, kHeaderHeight), false,
              textid::kRowCountHint);
    dataBox_ = new DataBoxEdit(dataSide_);
    dataBox_->setObjectName(QStringLiteral("DataBox1"));
    dataBox_->setProperty(kTagProperty, textid::kDataBoxHint);
    dataBox_->setGeometry(0, kHeaderHeight, kDataWidth, kClientHeight - kHeaderHeight);
    dataBox_->setLineWrapMode(QPlainTextEdit::NoWrap);
    dataBox_->setTabChangesFocus(false);
    connect(dataBox_, &QPlainTextEdit::textChanged, this, &DocumentWindow::updateRowCounters);
    connect(dataBox_, &QPlainTextEdit::cursorPositionChanged, this,
            &DocumentWindow::updateRowCounters);
    connect(dataBox_, &QPlainTextEdit::selectionChanged, this, &DocumentWindow::updateRowCounters);

    listSide_ = new QWidget(this);
    listSide_->setObjectName(QStringLiteral("ListSide"));
    listSide_->resize(kListWidth, kClientHeight);
    QLabel* topics = makePanel(listSide_, "Panel8", QRect(0, 0, 80, kHeaderHeight), true, 0);
    topics->setText(QStringLiteral("Topics:"));
    QLabel* titleRow = makePanel(listSide_, "Panel1", QRect(80, 0, 40, kHeaderHeight), false,
                                 textid::kTopicRowHint);
    titleRow->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(titleRow, &QWidget::customContextMenuRequested, this, [this, titleRow](QPoint at) {
        menuRunner(*menus_->titleRow, titleRow->mapToGlobal(at));
    });
    makePanel(listSide_, "Panel9", QRect(120, 0, kListWidth - 120, kHeaderHeight), false,
              textid::kNewEntry);
    topicBox_ = new QListWidget(listSide_);
    topicBox_->setObjectName(QStringLiteral("TopicBox1"));
    topicBox_->setProperty(kTagProperty, textid::kTopicListHint);
    topicBox_->setGeometry(0, kHeaderHeight, kListWidth, kClientHeight - kHeaderHeight);
    topicBox_->setUniformItemSizes(true);
    topicBox_->setSelectionMode(QAbstractItemView::SingleSelection);
    topicBox_->setAcceptDrops(true);
    topicBox_->viewport()->setAcceptDrops(true);
    topicBox_->viewport()->installEventFilter(this);
    topicBox_->installEventFilter(this);
    connect(topicBox_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) {
            table_.selection = row + 1;
            showTopic();
        }
    });
}

void DocumentWindow::createMenus() {
    Menus& m = *menus_;
    editMenu_ = new QMenu(this);
    editMenu_->setObjectName(QStringLiteral("Bearbeiten1"));
    editMenu_->setProperty(kTagProperty, 2145);
    m.commit = addMenuItem(editMenu_, "Datenbernehmen1", 2150, Qt::Key_F5);
    m.deleteData = addMenuItem(editMenu_, "Datenlschen1", 2155);
    m.copyData = addMenuItem(editMenu_, "Datenkopieren1", 2160, Qt::CTRL | Qt::Key_Insert);
    m.pasteData = addMenuItem(editMenu_, "Dateneinfgen1", 2165, Qt::SHIFT | Qt::Key_Insert);
    editMenu_->addSeparator();
    m.insertTopic = addMenuItem(editMenu_, "Topiceinfgen1", 2170, Qt::Key_F4);
    m.deleteTopic = addMenuItem(editMenu_, "Topiclschen1", 2175, Qt::Key_F8);
    m.copyTopic = addMenuItem(editMenu_, "Topickopieren1", 2180);
    m.insertCopy = addMenuItem(editMenu_, "Kopieeinfgen1", 2185);
    m.sort = addMenuItem(editMenu_, "Sortieren1", 2190);
    m.insertCopy->setEnabled(false);
    connect(m.commit, &QAction::triggered, this, &DocumentWindow::commitTopic);
    connect(m.deleteData, &QAction::triggered, dataBox_,
            [this] { dataBox_->textCursor().removeSelectedText(); });
    connect(m.copyData, &QAction::triggered, dataBox_, &QPlainTextEdit::copy);
    connect(m.pasteData, &QAction::triggered, dataBox_, &QPlainTextEdit::paste);
    connect(m.insertTopic, &QAction::triggered, this, &DocumentWindow::insertTopic);
    connect(m.deleteTopic, &QAction::triggered, this, &DocumentWindow::deleteTopic);
    connect(m.copyTopic, &QAction::triggered, this, &DocumentWindow::copyTopic);
    connect(m.insertCopy, &QAction::triggered, this, &DocumentWindow::insertTopicCopy);
    connect(m.sort, &QAction::triggered, this, [this] { emit sortRequested(this); });

    m.list = new QMenu(this);
    m.list->setObjectName(QStringLiteral("PopupMenu1"));
    m.listInsert = addMenuItem(m.list, "Einfgen1", 600);
    m.listDelete = addMenuItem(m.list, "Lschen1", 605);
    m.listCopy = addMenuItem(m.list, "Kopieren1", 610);
    m.listInsertCopy = addMenuItem(m.list, "Kopieeinfgen2", 615);
    m.listInsertCopy->setEnabled(false);
    connect(m.listInsert, &QAction::triggered, this, &DocumentWindow::insertTopic);
    connect(m.listDelete, &QAction::triggered, this, &DocumentWindow::deleteTopic);
    connect(m.listCopy, &QAction::triggered, this, &DocumentWindow::copyTopic);
    connect(m.listInsertCopy, &QAction::triggered, this, &DocumentWindow::insertTopicCopy);

    m.titleRow = new QMenu(this);
    m.titleRow->setObjectName(QStringLiteral("PopupMenu2"));
    auto* rows = new QActionGroup(m.titleRow);
    for (int row = 1; row <= kMaxTopicLine; ++row) {
        QAction* item = m.titleRow->addAction(QString::number(row));
        item->setObjectName(QStringLiteral("N%1").arg(row) + u'1'); // N11 .. N71
        item->setCheckable(true);
        rows->addAction(item);
        m.titleRows.append(item);
        connect(item, &QAction::triggered, this, [this, row] { setTitleRow(row); });
    }

    m.drop = new QMenu(this);
    m.drop->setObjectName(QStringLiteral("PopupMenu3"));
    m.dropCopy = addMenuItem(m.drop, "Hierherkopieren1", 650);
    m.dropMove = addMenuItem(m.drop, "Hierherverschieben1", 655);
    m.drop->addSeparator();
    m.dropCancel = addMenuItem(m.drop, "Abbrechen1", 660);
}

void DocumentWindow::setMenuRunner(MenuRunner runner) {
    menuRunner = runner ? std::move(runner)
                        : [](QMenu& menu, const QPoint& position) { return menu.exec(position); };
}

QLabel* DocumentWindow::panel(const char* name) const {
    return findChild<QLabel*>(QString::fromLatin1(name));
}

void DocumentWindow::applyBoxFont() {
    const QFont font = hp48font::font(kBoxFontPixels);
    dataBox_->setFont(font);
    topicBox_->setFont(font);
}

void DocumentWindow::arrangeBoxes(bool reversed) {
    dataSide_->move(reversed ? kListWidth + 1 : 0, 0);
    listSide_->move(reversed ? 0 : kDataWidth + 1, 0);
}

void DocumentWindow::setBoxColours(int textIndex, int backgroundIndex) {
    for (QWidget* box : {static_cast<QWidget*>(dataBox_), static_cast<QWidget*>(topicBox_)}) {
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
    table_.topicLine = topicLine;
    panel("Panel1")->setText(QString::number(topicLine));
    menus_->titleRows[topicLine - 1]->setChecked(true);
}

bool DocumentWindow::hasFile() const {
    return table_.fileName != kNoFileName;
}

bool DocumentWindow::pseudoTopicSelected() const {
    return table_.isPseudoTopic(selectedEntry());
}

int DocumentWindow::selectedEntry() const {
    return topicBox_->currentRow() + 1;
}

void DocumentWindow::selectEntry(int entry) {
    const QSignalBlocker blocker(topicBox_);
    if (entry <= 0) {
        topicBox_->setCurrentIndex(QModelIndex());
        topicBox_->clearSelection();
    } else {
        topicBox_->setCurrentRow(entry - 1);
    }
    table_.selection = entry;
    updateTopicPosition();
}

void DocumentWindow::refreshTopicList(int entryToSelect) {
    const QSignalBlocker blocker(topicBox_);
    topicBox_->clear();
    for (int entry = 1; entry <= table_.entryCount(); ++entry) {
        auto* item = new QListWidgetItem(hp48::decodeRow(table_.title(entry)), topicBox_);
        item->setSizeHint(QSize(0, kEntryHeight));
    }
    selectEntry(qBound(1, entryToSelect, table_.entryCount()));
}

void DocumentWindow::showTopic() {
    const int entry = qBound(1, selectedEntry(), table_.entryCount());
    const TopicRows& rows = table_.topic(entry);
    int last = kRowsPerTopic;
    while (last > 0 && rows[last - 1].isEmpty())
        --last;
    QStringList lines;
    for (int row = 0; row < last; ++row)
        lines.append(hp48::decodeRow(rows[row]));
    dataBox_->setPlainText(lines.join(u'\n'));
    dataBox_->moveCursor(QTextCursor::Start);
    dataBox_->verticalScrollBar()->setValue(0);
    updateRowCounters();
    updateTopicPosition();
}

void DocumentWindow::updateRowCounters() {
    const QTextDocument* document = dataBox_->document();
    int rows = document->blockCount();
    if (document->lastBlock().text().isEmpty())
        --rows;
    const QTextCursor cursor = dataBox_->textCursor();
    const QTextBlock first = document->findBlock(cursor.selectionStart());
    int current = first.blockNumber() + 1;
    if (first.text().isEmpty() && current - 1 == rows)
        --current;
    setPanelText(panel("Panel6"), QStringLiteral("%1/%2").arg(current).arg(rows),
                 rows > kRowsShownRed);

    // The length of the cursor's row in codes; with a selection, the codes the selection leaves
    // on the rows it touches.
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    int length = 0;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        length += hp48::encodedLength(block.text());
        if (block == last)
            break;
    }
    length -= hp48::encodedLength(cursor.selectedText().remove(QChar::ParagraphSeparator));
    setPanelText(panel("Panel10"), QString::number(length), length > kRowLengthShownRed);
}

void DocumentWindow::updateTopicPosition() {
    const int entry = selectedEntry();
    const int topics = table_.topicCount();
    QLabel* position = panel("Panel9");
    if (table_.isPseudoTopic(entry))
        position->setText(strings::text(textid::kNewEntry) + QString::number(topics));
    else
        position->setText(QStringLiteral("%1/%2").arg(entry).arg(topics));
}

void DocumentWindow::updateIcon() {
    setWindowIcon(QIcon(table_.modified ? QStringLiteral(":/images/modified.png")
                                        : QStringLiteral(":/images/saved.png")));
}

void DocumentWindow::setModified(bool modified) {
    table_.modified = modified;
    updateIcon();
    emit modifiedChanged();
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

// The lines of the data box as the user sees them. The document's plain text would turn a
// no-break space (code 160) into a blank, so the raw text is split at paragraph and line breaks.
static QStringList dataBoxLines(const QPlainTextEdit* box) {
    QString text = box->document()->toRawText();
    text.replace(QChar::LineSeparator, QChar::ParagraphSeparator);
    return text.split(QChar::ParagraphSeparator);
}

// The first ten lines of the data box as rows; false after telling which character has no
// code, when one has.
bool DocumentWindow::encodeDataBox(QList<QByteArray>& lines) {
    const QStringList texts = dataBoxLines(dataBox_);
    qsizetype rowStart = 0;
    for (int row = 1; row <= kRowsPerTopic && row <= texts.size(); ++row) {
        const hp48::EncodedRow encoded = encodeStorableRow(texts[row - 1]);
        if (!encoded.ok()) {
            QTextCursor cursor(dataBox_->document());
            cursor.setPosition(static_cast<int>(rowStart + encoded.badIndex));
            dataBox_->setTextCursor(cursor);
            thePrompter().showMessage(textid::kNoHp48Code, MessageKind::Information,
                                      {QString::number(row), QString::number(encoded.badColumn)});
            return false;
        }
        lines.append(encoded.bytes);
        rowStart += texts[row - 1].size() + 1;
    }
    return true;
}

bool DocumentWindow::refuseWhenFull() {
    if (!table_.isFull())
        return false;
    thePrompter().showMessage(refusal::kTableFull, MessageKind::Information);
    return true;
}

void DocumentWindow::commitTopic() {
    QList<QByteArray> lines;
    if (!encodeDataBox(lines))
        return;
    const int entry = selectedEntry();
    if (const quint16 refused = table_.commitRows(entry, lines, preferences_.editMode)) {
        thePrompter().showMessage(refused, MessageKind::Information);
        return;
    }
    refreshTopicList(table_.selection);
    if (preferences_.editMode)
        showTopic();
    setStatus(textid::kDataCommitted);
    setModified(true);
    updateTopicPosition();
}

void DocumentWindow::changedAt(int entry) {
    refreshTopicList(entry);
    setModified(true);
    showTopic();
}

void DocumentWindow::insertTopic() {
    const int entry = selectedEntry();
    if (const quint16 refused = table_.insertEmptyTopic(entry)) {
        thePrompter().showMessage(refused, MessageKind::Information);
        return;
    }
    refreshTopicList(entry);
    setStatus(textid::kTopicInserted);
    setModified(true);
    showTopic();
    dataBox_->setFocus();
}

void DocumentWindow::deleteTopic() {
    const int entry = selectedEntry();
    if (!table_.isTopic(entry)) {
        thePrompter().showMessage(table_.isPseudoTopic(entry) ? refusal::kDeleteNew
                                                              : refusal::kNoEntry,
                                  MessageKind::Information);
        return;
    }
    if (preferences_.askDelTopic) {
        MessageRequest question;
        question.baseId = textid::kReallyDelete;
        question.text = strings::text(textid::kReallyDelete);
        question.icon = MsgIcon::Question;
        question.buttons = {MsgButton::Yes, MsgButton::No};
        if (thePrompter().ask(question, Beep::Question) != MsgButton::Yes)
            return;
    }
    table_.deleteTopic(entry);
    changedAt(entry);
}

void DocumentWindow::copyTopic() {
    if (const quint16 refused = table_.copyTopic(selectedEntry(), copyBuffer_)) {
        thePrompter().showMessage(refused, MessageKind::Information);
        return;
    }
    enableInsertCopy();
    setStatus(textid::kTopicCopied);
}

void DocumentWindow::insertTopicCopy() {
    if (!copyBuffer_.filled || refuseWhenFull())
        return;
    const int entry = selectedEntry();
    if (const quint16 refused = table_.insertTopicCopy(entry, copyBuffer_.rows)) {
        thePrompter().showMessage(refused, MessageKind::Information);
        return;
    }
    changedAt(entry);
}

void DocumentWindow::setTitleRow(int topicLine) {
    table_.topicLine = topicLine;
    panel("Panel1")->setText(QString::number(topicLine));
    menus_->titleRows[topicLine - 1]->setChecked(true);
    refreshTopicList(selectedEntry());
}

namespace {

// The message for a negative result of ReadHpFile; 0 for none.
quint16 loadFailureMessage(int result) {
    switch (result) {
    case hpfile::kCannotOpen:
        return textid::kCannotOpen;
    case hpfile::kNotHpFile:
        return textid::kNotHpFile;
    case hpfile::kTooManyTopics:
        return textid::kTooManyTopics;
    case hpfile::kNotRegularFile:
        return textid::kNotRegularFile;
    case hpfile::kTooLarge:
        return textid::kTooLarge;
    default:
        return 0;
    }
}

} // namespace

bool DocumentWindow::loadFromFile(const QString& name) {
    const int result = readHpFile(name, table_);
    if (result < 0) {
        if (const quint16 message = loadFailureMessage(result))
            thePrompter().showMessage(message, MessageKind::Error);
        return false;
    }
    refreshTopicList(1);
    showTopic();
    table_.fileName = name;
    setWindowTitle(QFileInfo(name).fileName());
    return true;
}

bool DocumentWindow::saveToFile(const QString& name) {
    if (!writeHpFile(name, table_, table_.topicCount(), true, preferences_.deleteEmpty)) {
        thePrompter().showMessage(textid::kCannotWriteFile, MessageKind::Error);
        return false;
    }
    if (preferences_.deleteEmpty)
        loadFromFile(name);
    setStatus(textid::kFileSaved);
    emit saved(name);
    return true;
}

bool DocumentWindow::save() {
    if (!hasFile())
        return saveAs();
    if (!saveToFile(table_.fileName))
        return false;
    setModified(false);
    return true;
}

bool DocumentWindow::saveAs() {
    const QString suggested = hasFile() ? QFileInfo(table_.fileName).fileName() : windowTitle();
    const QString name =
        theFileDialogs().saveFileName(this, QStringLiteral("Datei speichern"),
                                      preferences_.preferredPath, suggested, allFilesFilter());
    if (name.isEmpty() || !saveToFile(name))
        return false;
    table_.fileName = name;
    setWindowTitle(QFileInfo(name).fileName());
    setModified(false);
    return true;
}

bool DocumentWindow::closeQuery() {
    if (!table_.modified)
        return true;
    MessageRequest question;
    question.baseId = textid::kSaveChanges;
    question.text = strings::format(strings::text(textid::kSaveChanges), {windowTitle()});
    question.icon = MsgIcon::Warning;
    question.buttons = {MsgButton::Yes, MsgButton::No, MsgButton::Cancel};
    const MsgButton answer = thePrompter().ask(question, Beep::Exclamation);
    return answer == MsgButton::No || (answer == MsgButton::Yes && save());
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (!closeQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closing(this);
}

// ---- the topic list: keys, the right button and drag and drop ----

int DocumentWindow::entryAt(const QPoint& position) const {
    const QModelIndex index = topicBox_->indexAt(position);
    return index.isValid() ? index.row() + 1 : 0;
}

bool DocumentWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == topicBox_ && event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Insert || key == Qt::Key_Delete) {
            if (key == Qt::Key_Insert)
                insertTopic();
            else
                deleteTopic();
            topicBox_->setFocus();
            return true;
        }
    }
    if (watched != topicBox_->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        listMouseDown(static_cast<QMouseEvent*>(event));
        return static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
    case QEvent::MouseMove:
        return listMouseMove(static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease:
        dragEntry_ = 0;
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove:
        listDragEvent(static_cast<QDropEvent*>(event), false);
        return true;
    case QEvent::DragLeave:
        restoreSelectionAfterDrag();
        return true;
    case QEvent::Drop:
        listDragEvent(static_cast<QDropEvent*>(event), true);
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void DocumentWindow::listMouseDown(QMouseEvent* event) {
    topicBox_->setFocus();
    const int entry = entryAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        listContextMenu(event->position().toPoint());
        return;
    }
    dragEntry_ =
        event->button() == Qt::LeftButton && entry > 0 && !table_.isPseudoTopic(entry) ? entry : 0;
    dragStart_ = event->position().toPoint();
}

void DocumentWindow::listContextMenu(const QPoint& position) {
    const int entry = entryAt(position);
    if (entry == 0)
        return;
    enableInsertCopy();
    const bool topic = !table_.isPseudoTopic(entry);
    menus_->listInsert->setEnabled(topic);
    menus_->listDelete->setEnabled(topic);
    menus_->listCopy->setEnabled(topic);
    selectEntry(entry);
    menuRunner(*menus_->list, topicBox_->viewport()->mapToGlobal(position));
}

// The list a drag is over, if any: it gets its selection back when the drag ends elsewhere.
static QPointer<DocumentWindow> listUnderDrag;

// True while a left press on a topic may become a drag: the list must not follow the mouse
// with its selection then, or it would leave the dragged topic.
bool DocumentWindow::listMouseMove(QMouseEvent* event) {
    if (dragEntry_ == 0 || !(event->buttons() & Qt::LeftButton))
        return false;
    if ((event->position().toPoint() - dragStart_).manhattanLength() <
        QApplication::startDragDistance())
        return true;
    const int sourceEntry = dragEntry_;
    dragEntry_ = 0;
    dragSource_ = sourceEntry;
    const QPointer<DocumentWindow> self(this);
    auto* drag = new QDrag(this);
    drag->setMimeData(dragData());
    const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    if (self) {
        dragSource_ = 0;
        endDrag(sourceEntry, result != Qt::IgnoreAction);
    }
    return true;
}

// The dragging window, when the drag carries a topic of a document window of this program.
static DocumentWindow* dragSourceOf(const QDropEvent* event) {
    if (!event->mimeData()->hasFormat(QString::fromLatin1(DocumentWindow::kTopicMimeType)))
        return nullptr;
    return qobject_cast<DocumentWindow*>(event->source());
}

void DocumentWindow::listDragEvent(QDropEvent* event, bool drop) {
    DocumentWindow* source = dragSourceOf(event);
    if (source == nullptr) {
        event->ignore();
        return;
    }
    if (listUnderDrag != this) {
        if (listUnderDrag)
            listUnderDrag->restoreSelectionAfterDrag();
        listUnderDrag = this;
        selectionBeforeDrag_ = selectedEntry();
    }
    const int entry = entryAt(event->position().toPoint());
    dragOverEntry(entry);
    if (entry == 0) {
        event->ignore();
        if (drop)
            restoreSelectionAfterDrag();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    if (!drop)
        return;
    listUnderDrag = nullptr; // the drop menu decides the selections from here
    const int sourceEntry = source->dragSource_;
    const QPoint globalPos = topicBox_->viewport()->mapToGlobal(event->position().toPoint());
    // The drop menu opens once the drag has ended, outside the drag's own event loop.
    QPointer<DocumentWindow> target(this);
    QPointer<DocumentWindow> from(source);
    QTimer::singleShot(0, this, [target, from, sourceEntry, entry, globalPos] {
        if (target && from)
            target->dropFrom(from, sourceEntry, entry, globalPos);
    });
}

void DocumentWindow::restoreSelectionAfterDrag() {
    if (listUnderDrag != this)
        return;
    listUnderDrag = nullptr;
    selectEntry(table_.isEntry(selectionBeforeDrag_) ? selectionBeforeDrag_ : 1);
}

QMimeData* DocumentWindow::dragData() {
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kTopicMimeType), QByteArray());
    return mime;
}

void DocumentWindow::dragOverEntry(int entry) {
    selectEntry(entry);
}

bool DocumentWindow::dropFrom(DocumentWindow* source, int sourceEntry, int targetEntry,
                              const QPoint& globalPos) {
    if (source == this && targetEntry == sourceEntry)
        return false;
    Menus& m = *menus_;
    m.dropMove->setEnabled(
        TopicTable::moveChangesOrder(source->table_, sourceEntry, table_, targetEntry));
    QAction* chosen = menuRunner(*m.drop, globalPos);
    if (chosen == m.dropCopy || chosen == m.dropMove) {
        const DragMode mode = chosen == m.dropMove ? DragMode::Move : DragMode::Copy;
        if (const quint16 refused =
                TopicTable::moveTopic(source->table_, sourceEntry, table_, targetEntry, mode)) {
            thePrompter().showMessage(refused, MessageKind::Information);
        } else {
            if (source != this) {
                source->refreshTopicList(source->table_.selection);
                source->setModified(source->table_.modified);
            }
            refreshTopicList(table_.selection);
            setModified(true);
        }
    } else {
        selectEntry(targetEntry);
        source->selectEntry(sourceEntry);
    }
    showTopic();
    return true;
}

void DocumentWindow::endDrag(int sourceEntry, bool accepted) {
    if (listUnderDrag)
        listUnderDrag->restoreSelectionAfterDrag();
    if (!accepted)
        selectEntry(sourceEntry);
}
