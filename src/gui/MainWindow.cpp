#include "gui/MainWindow.h"

#include "gui/ChildSignals.h"
#include "gui/DocumentWindow.h"
#include "gui/FileDialogs.h"
#include "gui/Localizer.h"
#include "gui/ScreenPlacement.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/dialogs/CharacterTable.h"
#include "gui/dialogs/FindDialog.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/ScanDialog.h"
#include "gui/dialogs/SettingsDialog.h"
#include "gui/dialogs/SortDialog.h"
#include "gui/dialogs/TransferDialog.h"
#include "gui/dialogs/TransferParametersDialog.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryFile>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <utility>

namespace {

// The tool bar: buttons of 27 x 26 with images of 20 x 20, separators of 8.
constexpr int kButtonWidth = 27;
constexpr int kButtonHeight = 26;
constexpr int kImageSize = 20;
constexpr int kSeparatorWidth = 8;
// The gap before the Help button starts after ten buttons and three separators; the window
// keeps room for 48 more, 45 of them from the gap's end to the right edge.
constexpr int kGapLeft = 10 * kButtonWidth + 3 * kSeparatorWidth;
constexpr int kRoomAfterGapLeft = 48;
constexpr int kHelpButtonRoom = 45;
// The hand cursor points with its fingertip.
constexpr QPoint kHandHotSpot{8, 0};

constexpr int kCounterPanelWidth = 50;
constexpr int kStatusFontPixels = 13;

// The File menu's own items, separators included; the recent files follow them.
constexpr int kFixedFileItems = 10;
// The Window menu's own items; the document windows follow them.
constexpr int kFixedWindowItems = 6;
constexpr int kMaxRecentFiles = settings::key::kRecentFiles;

// A document window has a fixed size: a minimise button but no maximise button, and a frame
// that does not resize.
constexpr Qt::WindowFlags kDocumentWindowFlags =
    Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

enum class WindowStateSetting { Normal = 0, Minimised = 1, Maximised = 2 };

QAction* makeAction(QObject* parent, const char* name, quint16 tag, const QKeySequence& key = {}) {
    auto* action = tagged(new QAction(parent), name, tag);
    action->setShortcut(key);
    return action;
}

QMdiSubWindow* subWindowOf(const DocumentWindow* document) {
    return qobject_cast<QMdiSubWindow*>(document->parentWidget());
}

// Removes every item after the first `keep` ones; the removed items go once their handlers
// have returned, since one of them may be the item that was just clicked.
void truncateMenu(QMenu* menu, int keep) {
    const QList<QAction*> items = menu->actions();
    for (qsizetype i = keep; i < items.size(); ++i) {
        menu->removeAction(items[i]);
        items[i]->deleteLater();
    }
}

QString escapeAmpersands(QString text) {
    return text.replace(u'&', QStringLiteral("&&"));
}

// The preferred directory must exist and take a new file. The probe is a file of a name of
// its own, so that no file the user keeps there is touched.
bool isWritableDirectory(const QString& path) {
    if (!QFileInfo(path).isDir())
        return false;
    QTemporaryFile probe(QDir(path).filePath(QStringLiteral("~ombrel-XXXXXX.tmp")));
    probe.setAutoRemove(false);
    if (!probe.open())
        return false;
    probe.close();
    return probe.remove();
}

QSize screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

} // namespace

// Every command of the frame, made in one place.
struct MainWindow::Actions {
    // File
    QAction* newFile = nullptr;  // NeueDatei1
    QAction* open = nullptr;     // Dateiffnen1
    QAction* close = nullptr;    // Schliesen1
    QAction* closeAll = nullptr; // Alleschlieen1
    QAction* save = nullptr;     // Dateispeichern1
    QAction* saveAs = nullptr;   // Speichernunter1
    QAction* saveAll = nullptr;  // Allesspeichern1
    QAction* quit = nullptr;     // Beenden1
    // Edit: placeholders while no document window is active
    QList<QAction*> editPlaceholders;
    // Search
    QAction* find = nullptr;    // Suchen2
    QAction* repeat = nullptr;  // Wiederholen1
    QAction* scanner = nullptr; // Scanner1
    // Transmit
    QAction* send = nullptr;          // Senden1
    QAction* receive = nullptr;       // Empfangen1
    QAction* transferTarvo = nullptr; // Tarvokopieren1
    // Options
    QAction* charTab = nullptr;  // Zeichentabelle1
    QAction* settings = nullptr; // Einstellungen1
    // Window
    QAction* tile = nullptr;         // Nebeneinander1
    QAction* cascade = nullptr;      // berlappend1
    QAction* arrangeIcons = nullptr; // Symboleanordnen1
    QAction* minimizeAll = nullptr;  // Alleminimieren1
    QAction* showAll = nullptr;      // Alledarstellen1
    // Help
    QAction* helpTopics = nullptr; // Index1
    QAction* helpOnHelp = nullptr; // Hilfebenutzen1
    QAction* about = nullptr;      // ber1
    // Tool bar
    QAction* newButton = nullptr;
    QAction* openButton = nullptr;
    QAction* saveButton = nullptr;
    QAction* f5Button = nullptr;
    QAction* insertButton = nullptr;
    QAction* deleteButton = nullptr;
    QAction* findButton = nullptr;
    QAction* charTabButton = nullptr;
    QAction* toHpButton = nullptr;
    QAction* toPcButton = nullptr;
    QAction* helpButton = nullptr;
};

MainWindow::MainWindow(Preferences& preferences, QWidget* parent)
    : QMainWindow(parent), preferences_(preferences), actions_(std::make_unique<Actions>()) {
    setObjectName(QStringLiteral("MainProg"));
    setWindowTitle(QString::fromLatin1(settings::kProgramName));
    setWindowIcon(QIcon(QStringLiteral(":/images/ombrel.png")));
    setContextMenuPolicy(Qt::NoContextMenu); // no menu to hide the tool bar

    workspace_ = new QMdiArea(this);
    workspace_->setObjectName(QStringLiteral("Workspace"));
    setCentralWidget(workspace_);
    backgroundImage_.load(QStringLiteral(":/images/bkgnd.png"));
    // Sees every event: no tooltip windows over the frame, and a document window's icon goes
    // to its frame in the workspace.
    qApp->installEventFilter(this);

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    connectActions();
    enableDocumentCommands(false);
    setCommandEnabled(actions_->repeat, false);
    readSettings();
    updateMinimumWidth();
    paintBackground();
    registerWindow(this);
}

MainWindow::~MainWindow() {
    disconnectChildSignals(this);
    qApp->removeEventFilter(this);
}

void MainWindow::createActions() {
    Actions& a = *actions_;
    a.newFile = makeAction(this, "NeueDatei1", 2105);
    a.open = makeAction(this, "Dateiffnen1", 2110, Qt::Key_F3);
    a.close = makeAction(this, "Schliesen1", 2115);
    a.closeAll = makeAction(this, "Alleschlieen1", 2120);
    a.save = makeAction(this, "Dateispeichern1", 2125, Qt::Key_F2);
    a.saveAs = makeAction(this, "Speichernunter1", 2130);
    a.saveAll = makeAction(this, "Allesspeichern1", 2135);
    a.quit = makeAction(this, "Beenden1", 2140);

    a.editPlaceholders = {makeAction(this, "Datenbernehmen1", 2150, Qt::Key_F5),
                          makeAction(this, "Datenlschen1", 2155),
                          makeAction(this, "Datenkopieren1", 2160, Qt::CTRL | Qt::Key_Insert),
                          makeAction(this, "Dateneinfgen1", 2165, Qt::SHIFT | Qt::Key_Insert),
                          nullptr,
                          makeAction(this, "Topiceinfgen1", 2170, Qt::Key_F4),
                          makeAction(this, "Topiclschen1", 2175, Qt::Key_F8),
                          makeAction(this, "Topickopieren1", 2180),
                          makeAction(this, "Kopieeinfgen1", 2185),
                          makeAction(this, "Sortieren1", 2190)};

    a.find = makeAction(this, "Suchen2", 2200, Qt::Key_F7);
    a.repeat = makeAction(this, "Wiederholen1", 2205, Qt::CTRL | Qt::Key_F7);
    a.scanner = makeAction(this, "Scanner1", 2210);
    a.send = makeAction(this, "Senden1", 2220);
    a.receive = makeAction(this, "Empfangen1", 2225);
    a.transferTarvo = makeAction(this, "Tarvokopieren1", 2285);
    a.charTab = makeAction(this, "Zeichentabelle1", 2235, Qt::Key_F6);
    a.charTab->setCheckable(true);
    a.settings = makeAction(this, "Einstellungen1", 2240);
    a.tile = makeAction(this, "Nebeneinander1", 2250);
    a.cascade = makeAction(this, "berlappend1", 2255);
    a.arrangeIcons = makeAction(this, "Symboleanordnen1", 2260);
    a.minimizeAll = makeAction(this, "Alleminimieren1", 2290);
    a.showAll = makeAction(this, "Alledarstellen1", 2295);
    a.helpTopics = makeAction(this, "Index1", 2270, Qt::Key_F1);
    a.helpOnHelp = makeAction(this, "Hilfebenutzen1", 2275);
    a.about = makeAction(this, "ber1", 2280);

    a.newButton = makeAction(this, "NewButton", 500);
    a.openButton = makeAction(this, "OpenButton", 505);
    a.saveButton = makeAction(this, "SaveButton", 510);
    a.f5Button = makeAction(this, "F5Button", 515);
    a.insertButton = makeAction(this, "InsertButton", 520);
    a.deleteButton = makeAction(this, "DeleteButton", 525);
    a.findButton = makeAction(this, "FindButton", 530);
    a.charTabButton = makeAction(this, "CharTabButton", 535);
    a.charTabButton->setCheckable(true);
    a.toHpButton = makeAction(this, "ToHPButton", 540);
    a.toPcButton = makeAction(this, "ToPCButton", 545);
    a.helpButton = makeAction(this, "HelpButton", 550);

    for (QAction* placeholder : a.editPlaceholders) {
        if (placeholder)
            placeholder->setEnabled(false); // never: a document window brings its own
    }
    // Commands that are always available.
    for (QAction* action : {a.newFile, a.open, a.quit, a.scanner, a.receive, a.transferTarvo,
                            a.charTab, a.settings, a.helpTopics, a.helpOnHelp, a.about, a.newButton,
                            a.openButton, a.charTabButton, a.toPcButton, a.helpButton})
        setCommandEnabled(action, true);
}

void MainWindow::connectActions() {
    const Actions& a = *actions_;
    for (QAction* action : {a.newFile, a.newButton})
        connect(action, &QAction::triggered, this, [this] { newDocument(); });
    for (QAction* action : {a.open, a.openButton})
        connect(action, &QAction::triggered, this, &MainWindow::openFile);
    for (QAction* action : {a.save, a.saveButton})
        connect(action, &QAction::triggered, this, &MainWindow::saveActive);
    connect(a.close, &QAction::triggered, this, &MainWindow::closeActiveDocument);
    connect(a.closeAll, &QAction::triggered, this, &MainWindow::closeAll);
    connect(a.saveAs, &QAction::triggered, this, &MainWindow::saveActiveAs);
    connect(a.saveAll, &QAction::triggered, this, &MainWindow::saveAll);
    connect(a.quit, &QAction::triggered, this, &QWidget::close);
    connect(a.f5Button, &QAction::triggered, this, &MainWindow::commitActiveTopic);
    connect(a.insertButton, &QAction::triggered, this, &MainWindow::insertTopicInActive);
    connect(a.deleteButton, &QAction::triggered, this, &MainWindow::deleteTopicInActive);
    connect(a.scanner, &QAction::triggered, this, &MainWindow::openScanner);
    for (QAction* action : {a.find, a.findButton})
        connect(action, &QAction::triggered, this, &MainWindow::findText);
    connect(a.repeat, &QAction::triggered, this, &MainWindow::repeatFind);
    for (QAction* action : {a.charTab, a.charTabButton})
        connect(action, &QAction::triggered, this, &MainWindow::toggleCharacterTable);
    connect(a.settings, &QAction::triggered, this, &MainWindow::openSettingsDialog);
    for (QAction* action : {a.helpTopics, a.helpButton})
        connect(action, &QAction::triggered, this, [] { showHelp(help::kContents); });
    connect(a.helpOnHelp, &QAction::triggered, this, [] { showHelp(help::kHelpOnHelp); });
    connect(a.about, &QAction::triggered, this, &MainWindow::showAbout);
    for (QAction* action : {a.send, a.toHpButton})
        connect(action, &QAction::triggered, this, &MainWindow::sendToCalculator);
    for (QAction* action : {a.receive, a.toPcButton})
        connect(action, &QAction::triggered, this, &MainWindow::receiveFromCalculator);
    connect(a.transferTarvo, &QAction::triggered, this, &MainWindow::sendTarvoLibrary);
    connect(a.tile, &QAction::triggered, this, &MainWindow::tile);
    connect(a.cascade, &QAction::triggered, workspace_, &QMdiArea::cascadeSubWindows);
    connect(a.arrangeIcons, &QAction::triggered, this, &MainWindow::arrangeIcons);
    connect(a.minimizeAll, &QAction::triggered, this, &MainWindow::minimizeAll);
    connect(a.showAll, &QAction::triggered, this, &MainWindow::showAll);
    connect(workspace_, &QMdiArea::subWindowActivated, this, &MainWindow::documentActivated);
}

QMenu* MainWindow::addMenu(const char* name, quint16 tag, const QList<QAction*>& items) {
    QMenu* menu = tagged(menuBar()->addMenu(QString()), name, tag);
    for (QAction* item : items) {
        if (item)
            menu->addAction(item);
        else
            menu->addSeparator();
    }
    connect(menu, &QMenu::aboutToHide, this, &MainWindow::menuClosed);
    return menu;
}

void MainWindow::createMenus() {
    const Actions& a = *actions_;
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    fileMenu_ = addMenu("Datei1", 2100,
                        {a.newFile, a.open, a.close, a.closeAll, nullptr, a.save, a.saveAs,
                         a.saveAll, nullptr, a.quit});
    placeholderEditMenu_ = addMenu("Bearbeiten1", 2145, a.editPlaceholders);
    editMenuSlot_ = placeholderEditMenu_->menuAction();
    searchMenu_ = addMenu("Suchen1", 2195, {a.find, a.repeat, nullptr, a.scanner});
    addMenu("bertragen1", 2215, {a.send, a.receive, nullptr, a.transferTarvo});
    addMenu("Optionen1", 2230, {a.charTab, a.settings});
    windowMenu_ = addMenu("Fenster1", 2245,
                          {a.tile, a.cascade, a.arrangeIcons, nullptr, a.minimizeAll, a.showAll});
    connect(windowMenu_, &QMenu::aboutToShow, this, &MainWindow::rebuildWindowList);
    addMenu("Hilfe1", 2265, {a.helpTopics, a.helpOnHelp, nullptr, a.about});
}

void MainWindow::addToolButton(QAction* action, const char* themeIcon, const char* image) {
    action->setIcon(QIcon::fromTheme(QString::fromLatin1(themeIcon),
                                     QIcon(QStringLiteral(":/images/") + QLatin1String(image))));
    toolBar_->addAction(action);
    QWidget* button = toolBar_->widgetForAction(action);
    button->setObjectName(action->objectName());
    button->setFixedSize(kButtonWidth, kButtonHeight);
}

void MainWindow::addToolSeparator() {
    auto* separator = new QFrame(toolBar_);
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setFixedWidth(kSeparatorWidth);
    toolBar_->addWidget(separator);
}

void MainWindow::createToolBar() {
    const Actions& a = *actions_;
    toolBar_ = addToolBar(QString());
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(kImageSize, kImageSize));
    toolBar_->setCursor(
        QCursor(QPixmap(QStringLiteral(":/images/hand.png")), kHandHotSpot.x(), kHandHotSpot.y()));
    addToolButton(a.newButton, "document-new", "tb-new.png");
    addToolButton(a.openButton, "document-open", "tb-open.png");
    addToolButton(a.saveButton, "document-save", "tb-save.png");
    addToolSeparator();
    addToolButton(a.f5Button, "", "tb-commit.png");
    addToolButton(a.insertButton, "list-add", "tb-insert.png");
    addToolButton(a.deleteButton, "list-remove", "tb-delete.png");
    addToolSeparator();
    addToolButton(a.findButton, "edit-find", "tb-find.png");
    addToolButton(a.charTabButton, "accessories-character-map", "tb-chartab.png");
    addToolSeparator();
    addToolButton(a.toHpButton, "", "tb-tohp.png");
    addToolButton(a.toPcButton, "", "tb-topc.png");
    toolBarGap_ = new QLabel(toolBar_);
    toolBarGap_->setObjectName(QStringLiteral("Label1"));
    toolBarGap_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolBarGap_->setMinimumWidth(kRoomAfterGapLeft - kHelpButtonRoom);
    toolBar_->addWidget(toolBarGap_);
    addToolButton(a.helpButton, "help-contents", "tb-help.png");
    connect(toolBar_, &QToolBar::visibilityChanged, this, &MainWindow::updateMinimumWidth);
}

void MainWindow::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("SB"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kStatusFontPixels);
    font.setBold(true);
    bar->setFont(font);
    for (const char* text : {"D: 0", "U: 0", ""}) {
        auto* panel = new QLabel(QString::fromLatin1(text), bar);
        panel->setObjectName(QStringLiteral("SBPanel%1").arg(panels_.size()));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        const bool counter = panels_.size() < 2;
        if (counter) {
            panel->setFixedWidth(kCounterPanelWidth);
            panel->setAlignment(Qt::AlignCenter);
        }
        bar->addWidget(panel, counter ? 0 : 1);
        panels_.append(panel);
    }
}

// ---- settings ----

void MainWindow::readSettings() {
    namespace key = settings::key;
    namespace fallback = settings::fallback;
    const SettingsFile& ini = preferences_.settings();
    toolBar_->setVisible(settings::readBool(ini, key::kToolBar, fallback::kToolBar));
    preferences_.read();
    thePrompter().setSoundOn(preferences_.sound);
    checkPrefPath();
    recentFiles_ = settings::readRecentFiles(ini);
    if (!recentFiles_.isEmpty())
        addRecentFile(recentFiles_.first());
    readWindowPlacement();
}

void MainWindow::readWindowPlacement() {
    namespace key = settings::key;
    namespace fallback = settings::fallback;
    const SettingsFile& ini = preferences_.settings();
    const QSize screen = screenSize();
    const int width = settings::readInteger(ini, key::kMainWidth, fallback::kMainWidth);
    const int height = settings::readInteger(ini, key::kMainHeight, fallback::kMainHeight);
    const int top = settings::readInteger(ini, key::kMainTop, fallback::mainTop(screen));
    const int left = settings::readInteger(ini, key::kMainLeft, fallback::mainLeft(screen));
    placeOnScreen(*this, QRect(left, top, width, height));
    switch (static_cast<WindowStateSetting>(
        settings::readInteger(ini, key::kWindowState, fallback::kWindowState))) {
    case WindowStateSetting::Minimised:
        setWindowState(Qt::WindowMinimized);
        break;
    case WindowStateSetting::Maximised:
        setWindowState(Qt::WindowMaximized);
        break;
    default:
        break; // normal, also for any value the program never writes
    }
}

void MainWindow::checkPrefPath() {
    QString& path = preferences_.preferredPath;
    if (path == QLatin1String(settings::fallback::kPrefPath) || !isWritableDirectory(path))
        path = paths::progDir();
}

// Every window's settings in one save, so that a file that cannot be written is reported once.
// After the defaults were restored only the recent files are written; the rest stays restored.
void MainWindow::saveOnExit() {
    namespace key = settings::key;
    namespace fallback = settings::fallback;
    SettingsFile& ini = preferences_.settings();
    const SettingsFile::Batch batch(ini);
    settings::ExitState state;
    state.defaultsRestored = defaultsRestored_;
    state.windowState = static_cast<int>(isMinimized()   ? WindowStateSetting::Minimised
                                         : isMaximized() ? WindowStateSetting::Maximised
                                                         : WindowStateSetting::Normal);
    state.mainGeometry = QRect(pos(), size());
    // The character table, the settings dialog and the transfer dialog keep their places.
    state.charTabPosition =
        charTab_ ? charTab_->pos()
                 : settings::readPosition(ini, key::kCharTabPosition, fallback::kCharTabPosition);
    state.settingsPosition =
        options_ ? options_->pos()
                 : settings::readPosition(ini, key::kSettingsPosition, fallback::kSettingsPosition);
    state.transferPosition = transferDialog_ ? transferDialog_->pos()
                                             : settings::readPosition(ini, key::kTransferPosition,
                                                                      fallback::kTransferPosition);
    state.recentFiles = recentFiles_;
    settings::saveOnExit(ini, state);
    if (state.defaultsRestored)
        return;
    if (find_)
        find_->writeSettings();
    if (sortForm_)
        sortForm_->writeSettings();
    if (scan_)
        scan_->writeSettings();
}

// ---- the enabling rule ----

void MainWindow::setCommandEnabled(QAction* action, bool enabled) {
    action->setEnabled(enabled);
}

void MainWindow::enableDocumentCommands(bool enabled) {
    const Actions& a = *actions_;
    for (QAction* action : {a.close, a.closeAll, a.save, a.saveAs, a.saveAll, a.find, a.send})
        setCommandEnabled(action, enabled);
    if (findDone_)
        setCommandEnabled(a.repeat, enabled);
    for (QAction* action :
         {a.saveButton, a.f5Button, a.insertButton, a.deleteButton, a.findButton, a.toHpButton})
        setCommandEnabled(action, enabled);
    for (QAction* action : {a.send, a.tile, a.arrangeIcons, a.cascade, a.minimizeAll, a.showAll})
        setCommandEnabled(action, enabled);
}

QAction* MainWindow::repeatAction() const {
    return actions_->repeat;
}

// ---- recent files ----

void MainWindow::addRecentFile(const QString& name) {
    const QString added = name; // the name may be an entry of the list itself
    recentFiles_.removeIf(
        [&added](const QString& entry) { return entry.compare(added, Qt::CaseInsensitive) == 0; });
    recentFiles_.prepend(added);
    while (recentFiles_.size() > kMaxRecentFiles)
        recentFiles_.removeLast();
    rebuildRecentFileItems();
}

void MainWindow::rebuildRecentFileItems() {
    truncateMenu(fileMenu_, kFixedFileItems);
    if (recentFiles_.isEmpty())
        return;
    fileMenu_->addSeparator();
    for (qsizetype i = 0; i < recentFiles_.size(); ++i) {
        const QString name = recentFiles_[i];
        QAction* item =
            fileMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(escapeAmpersands(name)));
        connect(item, &QAction::triggered, this,
                [this, name] { openDocument(name, RecentFiles::Remember); });
    }
}

// ---- document windows ----

DocumentWindow* MainWindow::newDocument() {
    auto* document = new DocumentWindow(preferences_, copyBuffer_);
    connect(document, &DocumentWindow::modifiedChanged, this, &MainWindow::recountUnsaved);
    connect(document, &DocumentWindow::statusText, this, &MainWindow::showStatus);
    connect(document, &DocumentWindow::saved, this, &MainWindow::addRecentFile);
    connect(document, &DocumentWindow::closing, this, &MainWindow::documentClosing);
    connect(document, &DocumentWindow::sortRequested, this, [this](DocumentWindow* sorted) {
        if (sortForm_)
            sortForm_->sortTopics(sorted);
    });
    QMdiSubWindow* window = workspace_->addSubWindow(document, kDocumentWindowFlags);
    window->setWindowIcon(document->windowIcon());
    window->setFixedSize(window->sizeHint());
    documents_.append(document);
    showDocumentCount();
    if (documents_.size() == 1)
        enableDocumentCommands(true);
    window->show();
    workspace_->setActiveSubWindow(window);
    return document;
}

DocumentWindow* MainWindow::openDocument(const QString& fileName, RecentFiles recent) {
    DocumentWindow* document = newDocument();
    if (!document->loadFromFile(fileName)) {
        closeDocument(document);
        return nullptr;
    }
    if (recent == RecentFiles::Remember)
        addRecentFile(fileName);
    return document;
}

void MainWindow::openFile() {
    const QString name = theFileDialogs().openFileName(
        this, QStringLiteral("Datei öffnen"), preferences_.preferredPath, allFilesFilter());
    if (!name.isEmpty())
        openDocument(name, RecentFiles::Remember);
}

void MainWindow::handOver(const QString& path) {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
    openDocument(path, RecentFiles::Remember);
}

void MainWindow::splashGone(const QString& commandLineFile) {
    splashDone_ = true;
    if (commandLineFile.isEmpty())
        return;
    QTimer::singleShot(
        0, this, [this, commandLineFile] { openDocument(commandLineFile, RecentFiles::Remember); });
}

bool MainWindow::isOpen(const DocumentWindow* document) const {
    return std::any_of(
        documents_.cbegin(), documents_.cend(),
        [document](const QPointer<DocumentWindow>& open) { return open == document; });
}

QList<DocumentWindow*> MainWindow::documentWindows() const {
    // The workspace lists its windows from the least to the most recently active.
    const QList<QMdiSubWindow*> windows =
        workspace_->subWindowList(QMdiArea::ActivationHistoryOrder);
    QList<DocumentWindow*> documents;
    for (auto window = windows.crbegin(); window != windows.crend(); ++window) {
        auto* document = qobject_cast<DocumentWindow*>((*window)->widget());
        if (document && isOpen(document))
            documents.append(document);
    }
    return documents;
}

DocumentWindow* MainWindow::activeDocument() const {
    // The current window stays current while another top-level window has the focus.
    const QMdiSubWindow* window = workspace_->currentSubWindow();
    auto* document = window ? qobject_cast<DocumentWindow*>(window->widget()) : nullptr;
    return document && isOpen(document) ? document : nullptr;
}

bool MainWindow::closeDocument(DocumentWindow* document) {
    QMdiSubWindow* window = subWindowOf(document);
    return window ? window->close() : document->close();
}

void MainWindow::documentClosing(DocumentWindow* document) {
    documents_.removeIf(
        [document](const QPointer<DocumentWindow>& open) { return open == document; });
    if (document->table().modified && unsavedCount_ > 0)
        --unsavedCount_;
    showUnsavedCount();
    showDocumentCount();
    if (editMenuOwner_ == document)
        showEditMenuOf(nullptr);
    if (documents_.isEmpty())
        enableDocumentCommands(false);
}

void MainWindow::recountUnsaved() {
    const auto modified = std::count_if(documents_.cbegin(), documents_.cend(),
                                        [](const QPointer<DocumentWindow>& document) {
                                            return document && document->table().modified;
                                        });
    unsavedCount_ = static_cast<quint16>(modified);
    showUnsavedCount();
}

void MainWindow::showDocumentCount() {
    panels_[0]->setText(QStringLiteral("D: %1").arg(documents_.size()));
}

void MainWindow::showUnsavedCount() {
    panels_[1]->setText(QStringLiteral("U: %1").arg(unsavedCount_));
}

void MainWindow::documentActivated(QMdiSubWindow* window) {
    auto* document = window ? qobject_cast<DocumentWindow*>(window->widget()) : nullptr;
    if (document && isOpen(document)) {
        showEditMenuOf(document);
        document->enableInsertCopy();
    } else if (documents_.isEmpty()) {
        showEditMenuOf(nullptr);
    }
    // Otherwise another top-level window took the focus: the document keeps its menu.
}

void MainWindow::showEditMenuOf(DocumentWindow* document) {
    QMenu* menu = document ? document->editMenu() : placeholderEditMenu_;
    if (editMenuSlot_ == menu->menuAction())
        return;
    menuBar()->insertMenu(searchMenu_->menuAction(), menu);
    if (editMenuSlot_)
        menuBar()->removeAction(editMenuSlot_);
    editMenuSlot_ = menu->menuAction();
    editMenuOwner_ = document;
    connect(menu, &QMenu::aboutToHide, this, &MainWindow::menuClosed, Qt::UniqueConnection);
}

void MainWindow::rebuildWindowList() {
    truncateMenu(windowMenu_, kFixedWindowItems);
    const QList<QMdiSubWindow*> windows = workspace_->subWindowList();
    bool first = true;
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        auto* document = qobject_cast<DocumentWindow*>(window->widget());
        if (!document || !isOpen(document))
            continue;
        if (std::exchange(first, false))
            windowMenu_->addSeparator();
        QAction* item = windowMenu_->addAction(
            QStringLiteral("&%1 %2").arg(++number).arg(escapeAmpersands(document->caption())));
        item->setCheckable(true);
        item->setChecked(window == workspace_->currentSubWindow());
        const QPointer<QMdiSubWindow> target(window);
        connect(item, &QAction::triggered, this, [this, target] {
            if (!target)
                return;
            if (target->isMinimized())
                target->showNormal();
            workspace_->setActiveSubWindow(target);
        });
    }
}

// ---- file commands ----

void MainWindow::closeActiveDocument() {
    if (DocumentWindow* document = activeDocument())
        closeDocument(document);
}

// From the least recently active window to the most recent one; a window whose close query
// is answered with Cancel stays open and the others are still asked.
void MainWindow::closeAll() {
    const QList<DocumentWindow*> documents = documentWindows();
    for (auto document = documents.crbegin(); document != documents.crend(); ++document)
        closeDocument(*document);
}

void MainWindow::saveActive() {
    if (DocumentWindow* document = activeDocument())
        document->save();
}

void MainWindow::saveActiveAs() {
    if (DocumentWindow* document = activeDocument())
        document->saveAs();
}

void MainWindow::saveAll() {
    const QList<DocumentWindow*> documents = documentWindows();
    for (auto document = documents.crbegin(); document != documents.crend(); ++document)
        (*document)->save();
    showStatus(strings::text(textid::kAllFilesSaved)); // also when a save failed or was cancelled
}

void MainWindow::commitActiveTopic() {
    if (DocumentWindow* document = activeDocument())
        document->commitTopic();
}

void MainWindow::insertTopicInActive() {
    if (DocumentWindow* document = activeDocument())
        document->insertTopic();
}

void MainWindow::deleteTopicInActive() {
    if (DocumentWindow* document = activeDocument())
        document->deleteTopic();
}

void MainWindow::createLongLivedWindows() {
    // Each long-lived dialog is made here, in its place in the order above.
    charTab_ = new CharacterTable(preferences_, *this, this);
    connect(charTab_, &CharacterTable::shownChanged, this, &MainWindow::charTabShown);
    charTabShown(charTab_->isVisible());
    find_ = new FindDialog(preferences_, this);
    connect(find_, &FindDialog::searchStarted, this, [this] {
        findDone_ = true;
        setCommandEnabled(actions_->repeat, true);
    });
    sortForm_ = new SortDialog(preferences_, *this, this);
    options_ = new SettingsDialog(preferences_, this);
    connect(options_, &SettingsDialog::applied, this, &MainWindow::showSettings);
    connect(options_, &SettingsDialog::defaultsRestored, this, [this] {
        defaultsRestored_ = true;
        close();
    });
    about_ = new AboutDialog(this);
    transferDialog_ = new TransferDialog(preferences_, *this, this);
    scan_ = new ScanDialog(preferences_, *this, this);
    advancedDialog_ = new TransferParametersDialog(preferences_, this);
    options_->setTransferParametersDialog(advancedDialog_);
}

void MainWindow::showSettings() {
    paintBackground();
    const SettingsFile& ini = preferences_.settings();
    toolBar_->setVisible(
        settings::readBool(ini, settings::key::kToolBar, settings::fallback::kToolBar));
    const bool reversed =
        settings::readBool(ini, settings::key::kReversedBoxes, settings::fallback::kReversedBoxes);
    const int text =
        settings::readInteger(ini, settings::key::kTextColour, settings::fallback::kTextColour);
    const int background = settings::readInteger(ini, settings::key::kBackgroundColour,
                                                 settings::fallback::kBackgroundColour);
    for (DocumentWindow* document : documentWindows()) {
        document->arrangeBoxes(reversed);
        document->setBoxColours(text, background);
    }
}

void MainWindow::openScanner() {
    if (scan_)
        scan_->showScanner();
}

// The table shows when it was hidden and hides when it showed; the main window keeps the focus.
void MainWindow::toggleCharacterTable() {
    if (charTab_)
        charTab_->setVisible(!charTab_->isVisible());
    charTabShown(charTab_ && charTab_->isVisible());
    activateWindow();
}

void MainWindow::charTabShown(bool shown) {
    actions_->charTab->setChecked(shown);
    actions_->charTabButton->setChecked(shown);
}

void MainWindow::openSettingsDialog() {
    if (options_)
        options_->openSettings();
}

void MainWindow::showAbout() {
    if (about_)
        about_->exec();
}

void MainWindow::sendToCalculator() {
    if (transferDialog_ && activeDocument())
        transferDialog_->openTransfer(TransferMode::SendDocument);
}

void MainWindow::receiveFromCalculator() {
    if (transferDialog_)
        transferDialog_->openTransfer(TransferMode::ReceiveFile);
}

void MainWindow::sendTarvoLibrary() {
    if (transferDialog_)
        transferDialog_->openTransfer(TransferMode::SendLibrary);
}

void MainWindow::findText() {
    if (DocumentWindow* document = activeDocument(); document && find_)
        find_->showFind(document);
}

void MainWindow::repeatFind() {
    if (DocumentWindow* document = activeDocument(); document && find_)
        find_->searchNext(document);
}

// ---- window arrangement ----

// Document windows keep their size: tiling stacks them from the top, one below the other, and
// starts a new column where the workspace ends; when the columns fill its width, the next
// layer starts again near the top-left corner. The workspace itself never grows.
void MainWindow::tile() {
    constexpr int kLayerStep = 24;
    const QSize area = workspace_->viewport()->size();
    int layer = 0;
    QPoint next(0, 0);
    int columnWidth = 0;
    for (QMdiSubWindow* window : workspace_->subWindowList(QMdiArea::CreationOrder)) {
        if (window->isMinimized())
            continue;
        const QSize size = window->size();
        if (next.y() > layer * kLayerStep && next.y() + size.height() > area.height()) {
            next = QPoint(next.x() + columnWidth, layer * kLayerStep);
            columnWidth = 0;
        }
        if (next.x() > layer * kLayerStep && next.x() + size.width() > area.width()) {
            ++layer;
            next = QPoint(layer * kLayerStep, layer * kLayerStep);
        }
        window->move(next);
        next.ry() += size.height();
        columnWidth = std::max(columnWidth, size.width());
    }
}

// Minimised windows in rows along the bottom edge of the workspace, left to right.
void MainWindow::arrangeIcons() {
    const int areaWidth = workspace_->viewport()->width();
    int x = 0;
    int rowBottom = workspace_->viewport()->height();
    int rowHeight = 0;
    for (QMdiSubWindow* window : workspace_->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > areaWidth) {
            x = 0;
            rowBottom -= rowHeight;
            rowHeight = 0;
        }
        window->move(x, rowBottom - size.height());
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
}

void MainWindow::minimizeAll() {
    const QList<DocumentWindow*> documents = documentWindows();
    for (auto document = documents.crbegin(); document != documents.crend(); ++document)
        subWindowOf(*document)->showMinimized();
}

// Restoring a window makes it the most recently active one, so each round takes the next
// window from the end of the activation order; a window that is already normal stays where
// it is in that order.
void MainWindow::showAll() {
    const qsizetype count = documents_.size();
    for (qsizetype round = 0; round < count; ++round) {
        const QList<DocumentWindow*> documents = documentWindows();
        QMdiSubWindow* window = documents.isEmpty() ? nullptr : subWindowOf(documents.last());
        if (!window || !window->isMinimized())
            continue;
        window->showNormal();
        workspace_->setActiveSubWindow(window);
    }
}

void MainWindow::paintBackground() {
    if (preferences_.background && !backgroundImage_.isNull())
        workspace_->setBackground(QBrush(backgroundImage_)); // tiled from the top-left corner
    else
        workspace_->setBackground(palette().brush(QPalette::Dark));
}

// ---- status bar and hints ----

QString MainWindow::statusPanelText(int panel) const {
    return panel >= 0 && panel < panels_.size() ? panels_[panel]->text() : QString();
}

void MainWindow::showStatus(const QString& text) {
    panels_[2]->setText(text);
}

// A status message stays until the hint changes.
void MainWindow::showHint(const QString& hint) {
    if (hint == currentHint_)
        return;
    currentHint_ = hint;
    showStatus(hint);
}

void MainWindow::menuClosed() {
    showHint(QString());
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        showHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowIconChange) {
        const auto* document = qobject_cast<DocumentWindow*>(watched);
        QMdiSubWindow* window = document ? subWindowOf(document) : nullptr;
        if (window && window->windowIcon().cacheKey() != document->windowIcon().cacheKey())
            window->setWindowIcon(document->windowIcon()); // the frame shows the document's
    }
    if (event->type() == QEvent::ToolTip) {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this)
            return true; // hints show in the status bar only
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- size and closing ----

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    updateMinimumWidth();
}

// The window may not become narrower than the tool bar's fixed buttons and a little room for
// the gap before the Help button: so the Help button stays at the right end and no button
// slips into the tool bar's overflow. A minimum width lets the window system refuse the
// narrower size, rather than snapping back after it.
void MainWindow::updateMinimumWidth() {
    int minimum = kGapLeft + kRoomAfterGapLeft;
    if (!toolBar_->isHidden())
        minimum = std::max(minimum, toolBar_->sizeHint().width());
    setMinimumWidth(minimum);
}

// Every document window is asked, the most recently active first; the first refusal ends it.
bool MainWindow::documentsMayClose() const {
    const QList<DocumentWindow*> documents = documentWindows();
    return std::all_of(documents.cbegin(), documents.cend(),
                       [](DocumentWindow* document) { return document->closeQuery(); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // While the splash window shows the program may not end.
    if (!documentsMayClose() || !splashDone_) {
        event->ignore();
        return;
    }
    saveOnExit();
    event->accept();
}
