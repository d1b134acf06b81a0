#include "gui/DocumentWindow.h"

#include "gui/ChildSignals.h"
#include "gui/FileDialogs.h"
#include "core/Hp48Codec.h"
#include "gui/Hp48Font.h"
#include "core/HpFile.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/Preferences.h"
#include "gui/dialogs/SortDialog.h"
#include "gui/MainWindow.h"

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
constexpr quint16 kUnnamed = 100;
constexpr quint16 kDataCaption = 105;
constexpr quint16 kNewEntry = 110;
constexpr quint16 kTopicListHint = 120;
constexpr quint16 kDataBoxHint = 125;
constexpr quint16 kRowCountHint = 130;
constexpr quint16 kRowLengthHint = 135;
constexpr quint16 kTopicRowHint = 140;
constexpr quint16 kFileSaved = 60;
constexpr quint16 kTopicCopied = 70;
constexpr quint16 kDataCommitted = 90;
constexpr quint16 kTopicInserted = 95;
constexpr quint16 kCannotOpen = 1115;
constexpr quint16 kNotHpFile = 1120;
constexpr quint16 kSaveChanges = 1125;
constexpr quint16 kCannotWrite = 1200;
constexpr quint16 kReallyDelete = 1205;
constexpr quint16 kTooManyTopics = 1210;
constexpr quint16 kNoHp48Code = 1220;

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

QLabel* MakePanel(QWidget* parent, const char* name, QRect geometry, bool bold, quint16 tag) {
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

void SetPanelText(QLabel* panel, const QString& text, bool red) {
    panel->setText(text);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::WindowText, red ? Qt::red : Qt::black);
    panel->setPalette(palette);
}

QColor PaletteColour(int index) {
    const auto& colours = settings::ColorPalette;
    const settings::PaletteColour& colour =
        colours[static_cast<size_t>(qBound(0, index, int(colours.size()) - 1))];
    return QColor(colour.red, colour.green, colour.blue);
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

QAction* AddAction(QMenu* menu, const char* name, quint16 tag, const QKeySequence& key = {}) {
    QAction* action = Tagged(menu->addAction(QString()), name, tag);
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

DocumentWindow::DocumentWindow(QWidget* parent) : QWidget(parent), menus_(std::make_unique<Menus>()) {
    setObjectName(QStringLiteral("Kind"));
    setProperty(kTagProperty, kUnnamed);
    setWindowTitle(Tx(kUnnamed));
    setFixedSize(kClientWidth, kClientHeight);
    setAttribute(Qt::WA_DeleteOnClose);
    hp48font::Ensure();
    CreateBoxes();
    CreateMenus();
    ArrangeBoxes(settings::ReadBool(*Glob().Ini, settings::key::kReversedBoxes,
                                    settings::fallback::kReversedBoxes));
    ApplyBoxFont();
    SetBoxColours(settings::ReadInteger(*Glob().Ini, settings::key::kTextColour,
                                        settings::fallback::kTextColour),
                  settings::ReadInteger(*Glob().Ini, settings::key::kBackgroundColour,
                                        settings::fallback::kBackgroundColour));
    SetModified(false);
    ReadTopicLineSetting();
    table_.ClearTable();
    RefreshTopicList(1);
    dataBox_->clear();
    RegisterWindow(this);
    ApplyLanguage();
    UpdateRowCounters();
    UpdateTopicPosition();
}

DocumentWindow::~DocumentWindow() {
    DisconnectChildSignals(this);
}

void DocumentWindow::CreateBoxes() {
    dataSide_ = new QWidget(this);
    dataSide_->setObjectName(QStringLiteral("DataSide"));
    dataSide_->resize(kDataWidth, kClientHeight);
    MakePanel(dataSide_, "Panel5", QRect(0, 0, 80, kHeaderHeight), true, kDataCaption);
    MakePanel(dataSide_, "Panel10", QRect(80, 0, 60, kHeaderHeight), false, kRowLengthHint);
    MakePanel(dataSide_, "Panel6", QRect(140, 0, kDataWidth - 140, kHeaderHeight), false,
              kRowCountHint);
    dataBox_ = new DataBoxEdit(dataSide_);
    dataBox_->setObjectName(QStringLiteral("DataBox1"));
    dataBox_->setProperty(kTagProperty, kDataBoxHint);
    dataBox_->setGeometry(0, kHeaderHeight, kDataWidth, kClientHeight - kHeaderHeight);
    dataBox_->setLineWrapMode(QPlainTextEdit::NoWrap);
    dataBox_->setTabChangesFocus(false);
    connect(dataBox_, &QPlainTextEdit::textChanged, this, &DocumentWindow::UpdateRowCounters);
    connect(dataBox_, &QPlainTextEdit::cursorPositionChanged, this, &DocumentWindow::UpdateRowCounters);
    connect(dataBox_, &QPlainTextEdit::selectionChanged, this, &DocumentWindow::UpdateRowCounters);

    listSide_ = new QWidget(this);
    listSide_->setObjectName(QStringLiteral("ListSide"));
    listSide_->resize(kListWidth, kClientHeight);
    QLabel* topics = MakePanel(listSide_, "Panel8", QRect(0, 0, 80, kHeaderHeight), true, 0);
    topics->setText(QStringLiteral("Topics:"));
    QLabel* titleRow =
        MakePanel(listSide_, "Panel1", QRect(80, 0, 40, kHeaderHeight), false, kTopicRowHint);
    titleRow->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(titleRow, &QWidget::customContextMenuRequested, this, [this, titleRow](QPoint at) {
        menuRunner(*menus_->titleRow, titleRow->mapToGlobal(at));
    });
    MakePanel(listSide_, "Panel9", QRect(120, 0, kListWidth - 120, kHeaderHeight), false,
              kNewEntry);
    topicBox_ = new QListWidget(listSide_);
    topicBox_->setObjectName(QStringLiteral("TopicBox1"));
    topicBox_->setProperty(kTagProperty, kTopicListHint);
    topicBox_->setGeometry(0, kHeaderHeight, kListWidth, kClientHeight - kHeaderHeight);
    topicBox_->setUniformItemSizes(true);
    topicBox_->setSelectionMode(QAbstractItemView::SingleSelection);
    topicBox_->setAcceptDrops(true);
    topicBox_->viewport()->setAcceptDrops(true);
    topicBox_->viewport()->installEventFilter(this);
    topicBox_->installEventFilter(this);
    connect(topicBox_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) {
            table_.Selection = row + 1;
            ShowTopic();
        }
    });
}

void DocumentWindow::CreateMenus() {
    Menus& m = *menus_;
    editMenu_ = new QMenu(this);
    editMenu_->setObjectName(QStringLiteral("Bearbeiten1"));
    editMenu_->setProperty(kTagProperty, 2145);
    m.commit = AddAction(editMenu_, "Datenbernehmen1", 2150, Qt::Key_F5);
    m.deleteData = AddAction(editMenu_, "Datenlschen1", 2155);
    m.copyData = AddAction(editMenu_, "Datenkopieren1", 2160, Qt::CTRL | Qt::Key_Insert);
    m.pasteData = AddAction(editMenu_, "Dateneinfgen1", 2165, Qt::SHIFT | Qt::Key_Insert);
    editMenu_->addSeparator();
    m.insertTopic = AddAction(editMenu_, "Topiceinfgen1", 2170, Qt::Key_F4);
    m.deleteTopic = AddAction(editMenu_, "Topiclschen1", 2175, Qt::Key_F8);
    m.copyTopic = AddAction(editMenu_, "Topickopieren1", 2180);
    m.insertCopy = AddAction(editMenu_, "Kopieeinfgen1", 2185);
    m.sort = AddAction(editMenu_, "Sortieren1", 2190);
    m.insertCopy->setEnabled(false);
    connect(m.commit, &QAction::triggered, this, &DocumentWindow::Datenbernehmen1Click);
    connect(m.deleteData, &QAction::triggered, dataBox_,
            [this] { dataBox_->textCursor().removeSelectedText(); });
    connect(m.copyData, &QAction::triggered, dataBox_, &QPlainTextEdit::copy);
    connect(m.pasteData, &QAction::triggered, dataBox_, &QPlainTextEdit::paste);
    connect(m.insertTopic, &QAction::triggered, this, &DocumentWindow::Topiceinfgen1Click);
    connect(m.deleteTopic, &QAction::triggered, this, &DocumentWindow::Topiclschen1Click);
    connect(m.copyTopic, &QAction::triggered, this, &DocumentWindow::Topickopieren1Click);
    connect(m.insertCopy, &QAction::triggered, this, &DocumentWindow::Kopieeinfgen1Click);
    connect(m.sort, &QAction::triggered, this, [this] {
        if (MainWindow* main = MainWindow::Instance(); main && main->sortDialog())
            main->sortDialog()->SortTopics(this);
    });

    m.list = new QMenu(this);
    m.list->setObjectName(QStringLiteral("PopupMenu1"));
    m.listInsert = AddAction(m.list, "Einfgen1", 600);
    m.listDelete = AddAction(m.list, "Lschen1", 605);
    m.listCopy = AddAction(m.list, "Kopieren1", 610);
    m.listInsertCopy = AddAction(m.list, "Kopieeinfgen2", 615);
    m.listInsertCopy->setEnabled(false);
    connect(m.listInsert, &QAction::triggered, this, &DocumentWindow::Topiceinfgen1Click);
    connect(m.listDelete, &QAction::triggered, this, &DocumentWindow::Topiclschen1Click);
    connect(m.listCopy, &QAction::triggered, this, &DocumentWindow::Topickopieren1Click);
    connect(m.listInsertCopy, &QAction::triggered, this, &DocumentWindow::Kopieeinfgen1Click);

    m.titleRow = new QMenu(this);
    m.titleRow->setObjectName(QStringLiteral("PopupMenu2"));
    auto* rows = new QActionGroup(m.titleRow);
    for (int row = 1; row <= MaxTopicLine; ++row) {
        QAction* item = m.titleRow->addAction(QString::number(row));
        item->setObjectName(QStringLiteral("N%1").arg(row) + u'1'); // N11 .. N71
        item->setCheckable(true);
        rows->addAction(item);
        m.titleRows.append(item);
        connect(item, &QAction::triggered, this, [this, row] { RowClick(row); });
    }

    m.drop = new QMenu(this);
    m.drop->setObjectName(QStringLiteral("PopupMenu3"));
    m.dropCopy = AddAction(m.drop, "Hierherkopieren1", 650);
    m.dropMove = AddAction(m.drop, "Hierherverschieben1", 655);
    m.drop->addSeparator();
    m.dropCancel = AddAction(m.drop, "Abbrechen1", 660);
}

void DocumentWindow::SetMenuRunner(MenuRunner runner) {
    menuRunner = runner ? std::move(runner)
                        : [](QMenu& menu, const QPoint& position) { return menu.exec(position); };
}

QLabel* DocumentWindow::Panel(const char* name) const {
    return findChild<QLabel*>(QString::fromLatin1(name));
}

void DocumentWindow::ApplyBoxFont() {
    const QFont font = hp48font::Font(kBoxFontPixels);
    dataBox_->setFont(font);
    topicBox_->setFont(font);
}

void DocumentWindow::ArrangeBoxes(bool reversed) {
    dataSide_->move(reversed ? kListWidth + 1 : 0, 0);
    listSide_->move(reversed ? 0 : kDataWidth + 1, 0);
}

void DocumentWindow::SetBoxColours(int textIndex, int backgroundIndex) {
    for (QWidget* box : {static_cast<QWidget*>(dataBox_), static_cast<QWidget*>(topicBox_)}) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Text, PaletteColour(textIndex));
        palette.setColor(QPalette::Base, PaletteColour(backgroundIndex));
        box->setPalette(palette);
    }
}

// Misc/TopicLine is read as text; a value that is no number from 1 to 7 gives row 1.
void DocumentWindow::ReadTopicLineSetting() {
    const QString text = settings::ReadString(*Glob().Ini, settings::key::kTopicLine,
                                              QString::number(settings::fallback::kTopicLine));
    bool ok = false;
    const int row = text.toInt(&ok);
    const int topicLine = ok && row >= 1 && row <= MaxTopicLine ? row : 1;
    table_.TopicLine = topicLine;
    Panel("Panel1")->setText(QString::number(topicLine));
    menus_->titleRows[topicLine - 1]->setChecked(true);
}

bool DocumentWindow::HasFile() const {
    return table_.FileName != kNoFileName;
}

bool DocumentWindow::PseudoTopicSelected() const {
    return table_.IsPseudoTopic(SelectedEntry());
}

int DocumentWindow::SelectedEntry() const {
    return topicBox_->currentRow() + 1;
}

void DocumentWindow::SelectEntry(int entry) {
    const QSignalBlocker blocker(topicBox_);
    if (entry <= 0) {
        topicBox_->setCurrentIndex(QModelIndex());
        topicBox_->clearSelection();
    } else {
        topicBox_->setCurrentRow(entry - 1);
    }
    table_.Selection = entry;
    UpdateTopicPosition();
}

void DocumentWindow::RefreshTopicList(int selectEntry) {
    const QSignalBlocker blocker(topicBox_);
    topicBox_->clear();
    for (int entry = 1; entry <= table_.EntryCount(); ++entry) {
        auto* item = new QListWidgetItem(hp48::DecodeRow(table_.Title(entry)), topicBox_);
        item->setSizeHint(QSize(0, kEntryHeight));
    }
    SelectEntry(qBound(1, selectEntry, table_.EntryCount()));
}

void DocumentWindow::ShowTopic() {
    const int entry = qBound(1, SelectedEntry(), table_.EntryCount());
    const TopicRows& rows = table_.Topic(entry);
    int last = RowsPerTopic;
    while (last > 0 && rows[last - 1].isEmpty())
        --last;
    QStringList lines;
    for (int row = 0; row < last; ++row)
        lines.append(hp48::DecodeRow(rows[row]));
    dataBox_->setPlainText(lines.join(u'\n'));
    dataBox_->moveCursor(QTextCursor::Start);
    dataBox_->verticalScrollBar()->setValue(0);
    UpdateRowCounters();
    UpdateTopicPosition();
}

void DocumentWindow::UpdateRowCounters() {
    const QTextDocument* document = dataBox_->document();
    int rows = document->blockCount();
    if (document->lastBlock().text().isEmpty())
        --rows;
    const QTextCursor cursor = dataBox_->textCursor();
    const QTextBlock first = document->findBlock(cursor.selectionStart());
    int current = first.blockNumber() + 1;
    if (first.text().isEmpty() && current - 1 == rows)
        --current;
    SetPanelText(Panel("Panel6"), QStringLiteral("%1/%2").arg(current).arg(rows),
                 rows > kRowsShownRed);

    // The length of the cursor's row in codes; with a selection, the codes the selection leaves
    // on the rows it touches.
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    int length = 0;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        length += hp48::EncodedLength(block.text());
        if (block == last)
            break;
    }
    length -= hp48::EncodedLength(cursor.selectedText().remove(QChar::ParagraphSeparator));
    SetPanelText(Panel("Panel10"), QString::number(length), length > kRowLengthShownRed);
}

void DocumentWindow::UpdateTopicPosition() {
    const int entry = SelectedEntry();
    const int topics = table_.TopicCount();
    QLabel* position = Panel("Panel9");
    if (table_.IsPseudoTopic(entry))
        position->setText(Glob().NewEntryText + QString::number(topics));
    else
        position->setText(QStringLiteral("%1/%2").arg(entry).arg(topics));
}

void DocumentWindow::UpdateIcon() {
    setWindowIcon(QIcon(table_.Modified ? QStringLiteral(":/images/modified.png")
                                        : QStringLiteral(":/images/saved.png")));
}

void DocumentWindow::SetModified(bool modified) {
    table_.Modified = modified;
    UpdateIcon();
    if (MainWindow* main = MainWindow::Instance())
        main->RecountUnsaved();
}

void DocumentWindow::SetStatus(quint16 textId) {
    if (MainWindow* main = MainWindow::Instance())
        main->SetStatusText(Tx(textId));
}

void DocumentWindow::FormActivate() {
    if (Glob().CopyBufferFilled) {
        menus_->insertCopy->setEnabled(true);
        menus_->listInsertCopy->setEnabled(true);
    }
}

// The lines of the data box as the user sees them. The document's plain text would turn a
// no-break space (code 160) into a blank, so the raw text is split at paragraph and line breaks.
static QStringList DataBoxLines(const QPlainTextEdit* box) {
    QString text = box->document()->toRawText();
    text.replace(QChar::LineSeparator, QChar::ParagraphSeparator);
    return text.split(QChar::ParagraphSeparator);
}

// The first ten lines of the data box as rows; false after telling which character has no
// code, when one has.
bool DocumentWindow::EncodeDataBox(QList<QByteArray>& lines) {
    const QStringList texts = DataBoxLines(dataBox_);
    qsizetype rowStart = 0;
    for (int row = 1; row <= RowsPerTopic && row <= texts.size(); ++row) {
        const hp48::EncodedRow encoded = EncodeStorableRow(texts[row - 1]);
        if (!encoded.ok()) {
            QTextCursor cursor(dataBox_->document());
            cursor.setPosition(static_cast<int>(rowStart + encoded.badIndex));
            dataBox_->setTextCursor(cursor);
            ShowMsg(kNoHp48Code, 'i', {QString::number(row), QString::number(encoded.badColumn)});
            return false;
        }
        lines.append(encoded.bytes);
        rowStart += texts[row - 1].size() + 1;
    }
    return true;
}

bool DocumentWindow::RefuseWhenFull() {
    if (!table_.IsFull())
        return false;
    ShowMsg(refusal::kTableFull, 'i');
    return true;
}

void DocumentWindow::Datenbernehmen1Click() {
    QList<QByteArray> lines;
    if (!EncodeDataBox(lines))
        return;
    const int entry = SelectedEntry();
    if (const quint16 refused = table_.CommitRows(entry, lines, Glob().EditMode)) {
        ShowMsg(refused, 'i');
        return;
    }
    RefreshTopicList(table_.Selection);
    if (Glob().EditMode)
        ShowTopic();
    SetStatus(kDataCommitted);
    SetModified(true);
    UpdateTopicPosition();
}

void DocumentWindow::ChangedAt(int entry) {
    RefreshTopicList(entry);
    SetModified(true);
    ShowTopic();
}

void DocumentWindow::Topiceinfgen1Click() {
    const int entry = SelectedEntry();
    if (const quint16 refused = table_.InsertEmptyTopic(entry)) {
        ShowMsg(refused, 'i');
        return;
    }
    RefreshTopicList(entry);
    SetStatus(kTopicInserted);
    SetModified(true);
    ShowTopic();
    dataBox_->setFocus();
}

void DocumentWindow::Topiclschen1Click() {
    const int entry = SelectedEntry();
    if (!table_.IsTopic(entry)) {
        ShowMsg(table_.IsPseudoTopic(entry) ? refusal::kDeleteNew : refusal::kNoEntry, 'i');
        return;
    }
    if (Glob().AskDelTopic) {
        if (Glob().Sound)
            ThePrompter().Sound(Beep::Question);
        MessageRequest question;
        question.baseId = kReallyDelete;
        question.text = Tx(kReallyDelete);
        question.icon = MsgIcon::Question;
        question.buttons = {MsgButton::Yes, MsgButton::No};
        if (ThePrompter().Show(question) != MsgButton::Yes)
            return;
    }
    table_.DeleteTopic(entry);
    ChangedAt(entry);
}

void DocumentWindow::Topickopieren1Click() {
    MainWindow* main = MainWindow::Instance();
    const int entry = SelectedEntry();
    if (main == nullptr)
        return;
    if (const quint16 refused = table_.CopyTopic(entry, main->CopyBuffer())) {
        ShowMsg(refused, 'i');
        return;
    }
    Glob().CopyBufferFilled = true;
    FormActivate();
    SetStatus(kTopicCopied);
}

void DocumentWindow::Kopieeinfgen1Click() {
    MainWindow* main = MainWindow::Instance();
    if (main == nullptr || !Glob().CopyBufferFilled || RefuseWhenFull())
        return;
    const int entry = SelectedEntry();
    if (const quint16 refused = table_.InsertTopicCopy(entry, main->CopyBuffer().rows)) {
        ShowMsg(refused, 'i');
        return;
    }
    ChangedAt(entry);
}

void DocumentWindow::RowClick(int topicLine) {
    table_.TopicLine = topicLine;
    Panel("Panel1")->setText(QString::number(topicLine));
    menus_->titleRows[topicLine - 1]->setChecked(true);
    RefreshTopicList(SelectedEntry());
}

namespace {

constexpr quint16 kTooLarge = 1225;
constexpr quint16 kNotRegularFile = 1230;

// The message for a negative result of ReadHpFile; 0 for none.
quint16 LoadFailureMessage(int result) {
    switch (result) {
    case hpfile::kCannotOpen:
        return kCannotOpen;
    case hpfile::kNotHpFile:
        return kNotHpFile;
    case hpfile::kTooManyTopics:
        return kTooManyTopics;
    case hpfile::kNotRegularFile:
        return kNotRegularFile;
    case hpfile::kTooLarge:
        return kTooLarge;
    default:
        return 0;
    }
}

} // namespace

bool DocumentWindow::LoadFromFile(const QString& name) {
    const int result = ReadHpFile(name, table_);
    if (result < 0) {
        if (const quint16 message = LoadFailureMessage(result))
            ShowMsg(message, 'e');
        return false;
    }
    RefreshTopicList(1);
    ShowTopic();
    table_.FileName = name;
    setWindowTitle(QFileInfo(name).fileName());
    return true;
}

bool DocumentWindow::SaveToFile(const QString& name) {
    if (!WriteHpFile(name, table_, table_.TopicCount(), true, Glob().DeleteEmpty)) {
        ShowMsg(kCannotWrite, 'e');
        return false;
    }
    if (Glob().DeleteEmpty)
        LoadFromFile(name);
    SetStatus(kFileSaved);
    if (MainWindow* main = MainWindow::Instance())
        main->AddRecentFile(name);
    return true;
}

bool DocumentWindow::Dateispeichern() {
    if (!HasFile())
        return Speichernunter();
    if (!SaveToFile(table_.FileName))
        return false;
    SetModified(false);
    return true;
}

bool DocumentWindow::Speichernunter() {
    const QString suggested = HasFile() ? QFileInfo(table_.FileName).fileName() : windowTitle();
    const QString name = TheFileDialogs().SaveFileName(
        this, QStringLiteral("Datei speichern"), Glob().PrefPath, suggested, AllFilesFilter());
    if (name.isEmpty() || !SaveToFile(name))
        return false;
    table_.FileName = name;
    setWindowTitle(QFileInfo(name).fileName());
    SetModified(false);
    return true;
}

bool DocumentWindow::CloseQuery() {
    if (!table_.Modified)
        return true;
    if (Glob().Sound)
        ThePrompter().Sound(Beep::Exclamation);
    MessageRequest question;
    question.baseId = kSaveChanges;
    question.text = strings::Format(Tx(kSaveChanges), {windowTitle()});
    question.icon = MsgIcon::Warning;
    question.buttons = {MsgButton::Yes, MsgButton::No, MsgButton::Cancel};
    const MsgButton answer = ThePrompter().Show(question);
    return answer == MsgButton::No || (answer == MsgButton::Yes && Dateispeichern());
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (!CloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    if (MainWindow* main = MainWindow::Instance())
        main->DocumentClosing(this);
}

// ---- the topic list: keys, the right button and drag and drop ----

int DocumentWindow::EntryAt(const QPoint& position) const {
    const QModelIndex index = topicBox_->indexAt(position);
    return index.isValid() ? index.row() + 1 : 0;
}

bool DocumentWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == topicBox_ && event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Insert || key == Qt::Key_Delete) {
            if (key == Qt::Key_Insert)
                Topiceinfgen1Click();
            else
                Topiclschen1Click();
            topicBox_->setFocus();
            return true;
        }
    }
    if (watched != topicBox_->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        ListMouseDown(static_cast<QMouseEvent*>(event));
        return static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
    case QEvent::MouseMove:
        return ListMouseMove(static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease:
        dragEntry_ = 0;
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove:
        ListDragEvent(static_cast<QDropEvent*>(event), false);
        return true;
    case QEvent::DragLeave:
        RestoreSelectionAfterDrag();
        return true;
    case QEvent::Drop:
        ListDragEvent(static_cast<QDropEvent*>(event), true);
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void DocumentWindow::ListMouseDown(QMouseEvent* event) {
    topicBox_->setFocus();
    const int entry = EntryAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        ListContextMenu(event->position().toPoint());
        return;
    }
    dragEntry_ =
        event->button() == Qt::LeftButton && entry > 0 && !table_.IsPseudoTopic(entry) ? entry : 0;
    dragStart_ = event->position().toPoint();
}

void DocumentWindow::ListContextMenu(const QPoint& position) {
    const int entry = EntryAt(position);
    if (entry == 0)
        return;
    FormActivate();
    const bool topic = !table_.IsPseudoTopic(entry);
    menus_->listInsert->setEnabled(topic);
    menus_->listDelete->setEnabled(topic);
    menus_->listCopy->setEnabled(topic);
    SelectEntry(entry);
    menuRunner(*menus_->list, topicBox_->viewport()->mapToGlobal(position));
}

// The list a drag is over, if any: it gets its selection back when the drag ends elsewhere.
static QPointer<DocumentWindow> listUnderDrag;

// True while a left press on a topic may become a drag: the list must not follow the mouse
// with its selection then, or it would leave the dragged topic.
bool DocumentWindow::ListMouseMove(QMouseEvent* event) {
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
    drag->setMimeData(DragData());
    const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    if (self) {
        dragSource_ = 0;
        EndDrag(sourceEntry, result != Qt::IgnoreAction);
    }
    return true;
}

// The dragging window, when the drag carries a topic of a document window that still exists.
static DocumentWindow* DragSourceOf(const QMimeData* mime) {
    if (!mime->hasFormat(QString::fromLatin1(DocumentWindow::kTopicMimeType)))
        return nullptr;
    const quintptr address = mime->data(QString::fromLatin1(DocumentWindow::kTopicMimeType)).toULongLong();
    MainWindow* main = MainWindow::Instance();
    const QList<DocumentWindow*> documents = main ? main->DocumentWindows() : QList<DocumentWindow*>();
    for (DocumentWindow* document : documents) {
        if (reinterpret_cast<quintptr>(document) == address)
            return document;
    }
    return nullptr;
}

void DocumentWindow::ListDragEvent(QDropEvent* event, bool drop) {
    DocumentWindow* source = DragSourceOf(event->mimeData());
    if (source == nullptr) {
        event->ignore();
        return;
    }
    if (listUnderDrag != this) {
        if (listUnderDrag)
            listUnderDrag->RestoreSelectionAfterDrag();
        listUnderDrag = this;
        selectionBeforeDrag_ = SelectedEntry();
    }
    const int entry = EntryAt(event->position().toPoint());
    DragOverEntry(entry);
    if (entry == 0) {
        event->ignore();
        if (drop)
            RestoreSelectionAfterDrag();
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
            target->DropFrom(from, sourceEntry, entry, globalPos);
    });
}

void DocumentWindow::RestoreSelectionAfterDrag() {
    if (listUnderDrag != this)
        return;
    listUnderDrag = nullptr;
    SelectEntry(table_.IsEntry(selectionBeforeDrag_) ? selectionBeforeDrag_ : 1);
}

QMimeData* DocumentWindow::DragData() {
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kTopicMimeType),
                  QByteArray::number(reinterpret_cast<quintptr>(this)));
    return mime;
}

void DocumentWindow::DragOverEntry(int entry) {
    SelectEntry(entry);
}

bool DocumentWindow::DropFrom(DocumentWindow* source, int sourceEntry, int targetEntry, const QPoint& globalPos) {
    if (source == this && targetEntry == sourceEntry)
        return false;
    Menus& m = *menus_;
    m.dropMove->setEnabled(
        TopicTable::MoveChangesOrder(source->table_, sourceEntry, table_, targetEntry));
    QAction* chosen = menuRunner(*m.drop, globalPos);
    if (chosen == m.dropCopy || chosen == m.dropMove) {
        const DragMode mode = chosen == m.dropMove ? DragMode::Move : DragMode::Copy;
        if (const quint16 refused =
                TopicTable::MoveTopic(source->table_, sourceEntry, table_, targetEntry, mode)) {
            ShowMsg(refused, 'i');
        } else {
            if (source != this) {
                source->RefreshTopicList(source->table_.Selection);
                source->SetModified(source->table_.Modified);
            }
            RefreshTopicList(table_.Selection);
            SetModified(true);
        }
    } else {
        SelectEntry(targetEntry);
        source->SelectEntry(sourceEntry);
    }
    ShowTopic();
    return true;
}

void DocumentWindow::EndDrag(int sourceEntry, bool accepted) {
    if (listUnderDrag)
        listUnderDrag->RestoreSelectionAfterDrag();
    if (!accepted)
        SelectEntry(sourceEntry);
}
