// The main window's commands: the actions, menus, tool bar and status bar, made in one place,
// and the handlers of the commands.
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/Pictures.h"
#include "gui/UndoSteps.h"
#include "gui/WindowArrangement.h"
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
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"
#include "transfer/TransferMode.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace {

// Only a desktop's own icon theme has action icons; hicolor, the fallback, has none to find.
bool desktopHasIconTheme() {
    return !QIcon::themeName().isEmpty() && QIcon::themeName() != QLatin1String("hicolor");
}

// The File menu's own items, separators included; the recent files follow them.
constexpr int kFixedFileItems = 10;
// The Window menu's own items; the document windows follow them.
constexpr int kFixedWindowItems = 6;

// The tool bar's buttons are 26 high with images of 20 x 20; of the room the window keeps after
// the gap's start, 45 lie from the gap's end to the right edge.
constexpr int kButtonHeight = 26;
constexpr int kImageSize = 20;
constexpr int kHelpButtonRoom = 45;
// The hand cursor points with its fingertip.
constexpr QPoint kHandHotSpot{8, 0};

constexpr int kCounterPanelWidth = 50;
constexpr int kStatusFontPixels = 13;

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

} // namespace

void MainWindow::createActions() {
    Actions& a = *actions_;
    a.newFile = makeAction(this, "newFile", 2105);
    a.open = makeAction(this, "openFile", 2110, Qt::Key_F3);
    a.close = makeAction(this, "closeFile", 2115);
    a.closeAll = makeAction(this, "closeAll", 2120);
    a.save = makeAction(this, "saveFile", 2125, Qt::Key_F2);
    a.saveAs = makeAction(this, "saveFileAs", 2130);
    a.saveAll = makeAction(this, "saveAll", 2135);
    a.quit = makeAction(this, "quit", 2140);

    a.editPlaceholders = {makeAction(this, "commitTopic", 2150, Qt::Key_F5),
                          makeAction(this, "deleteText", 2155),
                          makeAction(this, "copyText", 2160, Qt::CTRL | Qt::Key_Insert),
                          makeAction(this, "pasteText", 2165, Qt::SHIFT | Qt::Key_Insert),
                          nullptr,
                          makeAction(this, "insertTopic", 2170, Qt::Key_F4),
                          makeAction(this, "deleteTopic", 2175, Qt::Key_F8),
                          makeAction(this, "copyTopic", 2180),
                          makeAction(this, "insertTopicCopy", 2185),
                          makeAction(this, "sortTopics", 2190)};

    a.find = makeAction(this, "find", 2200, Qt::Key_F7);
    a.repeat = makeAction(this, "repeatFind", 2205, Qt::CTRL | Qt::Key_F7);
    a.scanner = makeAction(this, "scanner", 2210);
    a.send = makeAction(this, "send", 2220);
    a.receive = makeAction(this, "receive", 2225);
    a.transferTarvo = makeAction(this, "sendLibrary", 2285);
    a.charTab = makeAction(this, "characterTable", 2235, Qt::Key_F6);
    a.charTab->setCheckable(true);
    a.settings = makeAction(this, "settings", 2240);
    a.tile = makeAction(this, "tile", 2250);
    a.cascade = makeAction(this, "cascade", 2255);
    a.arrangeIcons = makeAction(this, "arrangeIcons", 2260);
    a.minimizeAll = makeAction(this, "minimizeAll", 2290);
    a.showAll = makeAction(this, "showAll", 2295);
    a.helpTopics = makeAction(this, "helpTopics", 2270, Qt::Key_F1);
    a.helpOnHelp = makeAction(this, "helpOnHelp", 2275);
    a.about = makeAction(this, "about", 2280);
    createToolBarActions();
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

// The tool bar's buttons are actions of their own: their hints differ from the menus'.
void MainWindow::createToolBarActions() {
    Actions& a = *actions_;
    a.newButton = makeAction(this, "newButton", 500);
    a.openButton = makeAction(this, "openButton", 505);
    a.saveButton = makeAction(this, "saveButton", 510);
    a.f5Button = makeAction(this, "commitButton", 515);
    a.insertButton = makeAction(this, "insertButton", 520);
    a.deleteButton = makeAction(this, "deleteButton", 525);
    a.findButton = makeAction(this, "findButton", 530);
    a.charTabButton = makeAction(this, "characterTableButton", 535);
    a.charTabButton->setCheckable(true);
    a.toHpButton = makeAction(this, "sendButton", 540);
    a.toPcButton = makeAction(this, "receiveButton", 545);
    a.helpButton = makeAction(this, "helpButton", 550);
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
    menuBar()->setObjectName(QStringLiteral("menuBar"));
    fileMenu_ = addMenu("fileMenu", 2100,
                        {a.newFile, a.open, a.close, a.closeAll, nullptr, a.save, a.saveAs,
                         a.saveAll, nullptr, a.quit});
    placeholderEditMenu_ = addMenu("editMenu", 2145, a.editPlaceholders);
    new StepItems(placeholderEditMenu_, this);
    editMenuSlot_ = placeholderEditMenu_->menuAction();
    searchMenu_ = addMenu("searchMenu", 2195, {a.find, a.repeat, nullptr, a.scanner});
    addMenu("transferMenu", 2215, {a.send, a.receive, nullptr, a.transferTarvo});
    addMenu("optionsMenu", 2230, {a.charTab, a.settings});
    windowMenu_ = addMenu("windowMenu", 2245,
                          {a.tile, a.cascade, a.arrangeIcons, nullptr, a.minimizeAll, a.showAll});
    connect(windowMenu_, &QMenu::aboutToShow, this, &MainWindow::rebuildWindowList);
    addMenu("helpMenu", 2265, {a.helpTopics, a.helpOnHelp, nullptr, a.about});
}

void MainWindow::addToolButton(QAction* action, const char* themeIcon, const char* image) {
    const QIcon own = ownIcon(QLatin1String(image));
    action->setIcon(desktopHasIconTheme() ? QIcon::fromTheme(QLatin1String(themeIcon), own) : own);
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
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(kImageSize, kImageSize));
    toolBar_->setCursor(
        QCursor(ownPicture(QStringLiteral("hand.png")), kHandHotSpot.x(), kHandHotSpot.y()));
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
    toolBarGap_->setObjectName(QStringLiteral("toolBarGap"));
    toolBarGap_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolBarGap_->setMinimumWidth(kRoomAfterGapLeft - kHelpButtonRoom);
    toolBar_->addWidget(toolBarGap_);
    addToolButton(a.helpButton, "help-contents", "tb-help.png");
    connect(toolBar_, &QToolBar::visibilityChanged, this, &MainWindow::updateMinimumWidth);
}

void MainWindow::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(kStatusFontPixels);
    font.setBold(true);
    bar->setFont(font);
    for (const char* text : {"D: 0", "U: 0", ""}) {
        auto* panel = new QLabel(QString::fromLatin1(text), bar);
        panel->setObjectName(QStringLiteral("statusPanel%1").arg(panels_.size()));
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

void MainWindow::tile() {
    tileWindows(*workspace_);
}

void MainWindow::arrangeIcons() {
    arrangeMinimizedWindows(*workspace_);
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

// ---- menus rebuilt when they open ----

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
