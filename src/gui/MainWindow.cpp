#include "gui/MainWindow.h"

#include "gui/ChildSignals.h"
#include "gui/DocumentHistory.h"
#include "gui/DocumentWindow.h"
#include "gui/FileDialogs.h"
#include "gui/Localizer.h"
#include "gui/OpenFailures.h"
#include "gui/Pictures.h"
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
#include "platform/Preferences.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QUndoGroup>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace {

constexpr int kMaxRecentFiles = settings::key::kRecentFiles;

// A document window has a fixed size: a minimise button but no maximise button, and a frame
// that does not resize.
constexpr Qt::WindowFlags kDocumentWindowFlags =
    Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

enum class WindowStateSetting { Normal = 0, Minimised = 1, Maximised = 2 };

QMdiSubWindow* subWindowOf(const DocumentWindow* document) {
    return qobject_cast<QMdiSubWindow*>(document->parentWidget());
}

QSize screenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

} // namespace

MainWindow::MainWindow(Preferences& preferences, QWidget* parent)
    : QMainWindow(parent), preferences_(preferences), undoGroup_(new QUndoGroup(this)) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QString::fromLatin1(settings::kProgramName));
    setWindowIcon(ownIcon(QStringLiteral("ombrel.png")));
    setContextMenuPolicy(Qt::NoContextMenu); // no menu to hide the tool bar

    setAcceptDrops(true);
    workspace_ = new QMdiArea(this);
    workspace_->setObjectName(QStringLiteral("workspace"));
    setCentralWidget(workspace_);
    backgroundImage_ = ownPicture(QStringLiteral("bkgnd.png"));
    // Sees every event: no tooltip windows over the frame, and a document window's icon goes
    // to its frame in the workspace.
    qApp->installEventFilter(this);

    createCommands();
    createMenus();
    createToolBar();
    createStatusBar();
    connect(workspace_, &QMdiArea::subWindowActivated, this, &MainWindow::documentActivated);
    updateCommands();
    readSettings();
    showScreenChoices();
    updateMinimumWidth();
    paintBackground();
    registerWindow(this);
}

MainWindow::~MainWindow() {
    disconnectChildSignals(this);
    qApp->removeEventFilter(this);
}

// ---- settings ----

void MainWindow::readSettings() {
    namespace key = settings::key;
    namespace fallback = settings::fallback;
    const SettingsFile& ini = preferences_.settings();
    toolBar_->setVisible(settings::readBool(ini, key::kToolBar, fallback::kToolBar));
    preferences_.read();
    thePrompter().setSoundOn(preferences_.sound);
    recentFiles_ = settings::readRecentFiles(ini);
    if (!recentFiles_.isEmpty())
        addRecentFile(recentFiles_.first());
    readWindowPlacement();
    if (settings::readBool(ini, key::kCharTabAutoOn, fallback::kCharTabAutoOn))
        characterTable().show();
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

// ---- recent files ----

void MainWindow::addRecentFile(const QString& name) {
    const QString added = name;    // the name may be an entry of the list itself
    recentFiles_.removeAll(added); // names differing in letter case are different files here
    recentFiles_.prepend(added);
    while (recentFiles_.size() > kMaxRecentFiles)
        recentFiles_.removeLast();
    rebuildRecentFileItems();
}

// ---- document windows ----

DocumentWindow* MainWindow::newDocument() {
    auto* document = new DocumentWindow(preferences_, copyBuffer_);
    connect(&document->document(), &Document::modifiedChanged, this, &MainWindow::showUnsavedCount);
    connect(document, &DocumentWindow::statusText, this, &MainWindow::showStatus);
    connect(document, &DocumentWindow::statusWarning, this, &MainWindow::showWarning);
    connect(document, &DocumentWindow::saved, this, &MainWindow::addRecentFile);
    connect(document, &DocumentWindow::topicCopied, this, &MainWindow::updateCommands);
    connect(document, &DocumentWindow::closing, this, &MainWindow::documentClosing);
    connect(document, &DocumentWindow::characterAtCursorChanged, this, [this, document] {
        if (document == activeDocument())
            showCharacterAtCursor();
    });
    undoGroup_->addStack(document->history().stack());
    QMdiSubWindow* window = workspace_->addSubWindow(document, kDocumentWindowFlags);
    window->setWindowIcon(document->windowIcon());
    window->setFixedSize(window->sizeHint());
    documents_.append(document);
    showDocumentCount();
    window->show();
    workspace_->setActiveSubWindow(window);
    updateCommands();
    emit documentMade(document);
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
    showUnsavedCount();
    showDocumentCount();
    updateCommands();
    showCharacterAtCursor();
}

void MainWindow::showDocumentCount() {
    panels_[0]->setText(QStringLiteral("D: %1").arg(documents_.size()));
}

// Counted afresh over the open documents whenever one of them turns.
void MainWindow::showUnsavedCount() {
    const auto unsaved = std::count_if(documents_.cbegin(), documents_.cend(),
                                       [](const QPointer<DocumentWindow>& document) {
                                           return document && document->document().isModified();
                                       });
    panels_[1]->setText(QStringLiteral("U: %1").arg(unsaved));
}

// Another top-level window taking the focus leaves no window active in the workspace: the
// document stays the one the commands act on.
void MainWindow::documentActivated(QMdiSubWindow* window) {
    auto* document = window ? qobject_cast<DocumentWindow*>(window->widget()) : nullptr;
    if (document && isOpen(document))
        undoGroup_->setActiveStack(document->history().stack());
    updateCommands();
    showCharacterAtCursor();
}

// A step was not taken: another step changed a document of it since.
void MainWindow::stepRefused(const QString& item, const Document* changed) {
    for (DocumentWindow* document : documentWindows()) {
        if (&document->document() == changed)
            thePrompter().showMessage(textid::kStepOutdated, MessageKind::Information,
                                      {item, document->caption()});
    }
}

void MainWindow::paintBackground() {
    if (preferences_.background && !backgroundImage_.isNull())
        workspace_->setBackground(QBrush(backgroundImage_)); // tiled from the top-left corner
    else
        workspace_->setBackground(palette().brush(QPalette::Dark));
}

// ---- status bar and hints ----

void MainWindow::showStatus(const QString& text) {
    panels_[2]->setText(text);
    panels_[2]->setPalette(palette()); // a warning's colour goes with it
}

void MainWindow::showWarning(const QString& text) {
    showStatus(text);
    QPalette warning = panels_[2]->palette();
    warning.setColor(QPalette::WindowText, Qt::red);
    panels_[2]->setPalette(warning);
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

// ---- files dropped on the window ----

namespace {

QStringList localFilesOf(const QMimeData* data) {
    QStringList files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    return files;
}

} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!localFilesOf(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

// Opened once the drop has ended, outside the drag's own event loop: a file that fails shows
// its box over the window.
void MainWindow::dropEvent(QDropEvent* event) {
    const QStringList files = localFilesOf(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    QTimer::singleShot(0, this, [this, files] {
        const OpenFailures failures; // one box for all that fail
        for (const QString& file : files)
            openDocument(file, RecentFiles::Remember);
    });
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
