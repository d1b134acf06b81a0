// The main window's bars: the menus and the tool bar made from the command table, the status
// bar, and the menu items rebuilt when they change (recent files, open windows).
#include "gui/DocumentHistory.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/Pictures.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoGroup>

#include <algorithm>
#include <utility>

namespace {

// The menus of the menu bar, in their order.
struct MenuEntry {
    const char* name;
    quint16 textId;
};
const MenuEntry kMenus[] = {
    {"fileMenu", textid::kFileMenu},         {"editMenu", textid::kEditMenu},
    {"viewMenu", textid::kViewMenu},         {"searchMenu", textid::kSearchMenu},
    {"transferMenu", textid::kTransferMenu}, {"optionsMenu", textid::kOptionsMenu},
    {"windowMenu", textid::kWindowMenu},     {"helpMenu", textid::kHelpMenu},
};

// Only a desktop's own icon theme has action icons; hicolor, the fallback, has none to find.
bool desktopHasIconTheme() {
    return !QIcon::themeName().isEmpty() && QIcon::themeName() != QLatin1String("hicolor");
}

// The tool bar's buttons are 26 high with images of 20 x 20; of the room the window keeps after
// the gap's start, 45 lie from the gap's end to the right edge.
constexpr int kButtonHeight = 26;
constexpr int kImageSize = 20;
constexpr int kHelpButtonRoom = 45;
// The hand cursor points with its fingertip.
constexpr QPoint kHandHotSpot{8, 0};

constexpr int kCounterPanelWidth = 50;
constexpr int kCharacterPanelWidth = 220;
constexpr int kStatusFontPixels = 13;

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

void MainWindow::createMenus() {
    menuBar()->setObjectName(QStringLiteral("menuBar"));
    for (const MenuEntry& entry : kMenus) {
        QMenu* menu = tagged(menuBar()->addMenu(QString()), entry.name, entry.textId);
        connect(menu, &QMenu::aboutToHide, this, &MainWindow::menuClosed);
        menus_.insert(QLatin1String(entry.name), menu);
    }
    for (const Command& command : commandTable()) {
        QMenu* menu = menus_.value(QLatin1String(command.menu));
        if (command.name)
            menu->addAction(commands_.value(QLatin1String(command.name)));
        else
            menu->addSeparator();
    }
    // Undo and Redo head the Edit menu.
    auto* steps = new StepItems(*undoGroup_, this);
    connect(steps, &StepItems::stepRefused, this, &MainWindow::stepRefused);
    QMenu* edit = menus_.value(QStringLiteral("editMenu"));
    QAction* first = edit->actions().value(0);
    edit->insertActions(first, {steps->undoItem(), steps->redoItem()});
    edit->insertSeparator(first);
    connect(menus_.value(QStringLiteral("windowMenu")), &QMenu::aboutToShow, this,
            &MainWindow::rebuildWindowList);
}

// The items of a menu that come from the table; what follows them is rebuilt.
int MainWindow::fixedItemCount(const char* menu) const {
    return static_cast<int>(
        std::count_if(commandTable().cbegin(), commandTable().cend(),
                      [menu](const Command& command) { return qstrcmp(command.menu, menu) == 0; }));
}

void MainWindow::addToolButton(const ToolButton& button) {
    if (button.kind == ButtonKind::Separator) {
        auto* separator = new QFrame(toolBar_);
        separator->setFrameShape(QFrame::VLine);
        separator->setFrameShadow(QFrame::Sunken);
        separator->setFixedWidth(kSeparatorWidth);
        toolBar_->addWidget(separator);
        return;
    }
    if (button.kind == ButtonKind::Gap) {
        auto* gap = new QLabel(toolBar_);
        gap->setObjectName(QStringLiteral("toolBarGap"));
        gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        gap->setMinimumWidth(kRoomAfterGapLeft - kHelpButtonRoom);
        toolBar_->addWidget(gap);
        return;
    }
    QAction* command = commands_.value(QLatin1String(button.command));
    QAction* action = tagged(new QAction(this), button.name, button.textId);
    action->setCheckable(command->isCheckable());
    const QIcon own = ownIcon(QLatin1String(button.image));
    action->setIcon(desktopHasIconTheme() ? QIcon::fromTheme(QLatin1String(button.themeIcon), own)
                                          : own);
    connect(action, &QAction::triggered, command, &QAction::trigger);
    buttons_.insert(action, command);
    toolBar_->addAction(action);
    QWidget* widget = toolBar_->widgetForAction(action);
    widget->setObjectName(action->objectName());
    widget->setFixedSize(kButtonWidth, kButtonHeight);
}

void MainWindow::createToolBar() {
    toolBar_ = addToolBar(QString());
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(kImageSize, kImageSize));
    toolBar_->setCursor(
        QCursor(ownPicture(QStringLiteral("hand.png")), kHandHotSpot.x(), kHandHotSpot.y()));
    for (const ToolButton& button : toolButtonTable())
        addToolButton(button);
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
    characterPanel_ = new QLabel(bar);
    characterPanel_->setObjectName(QStringLiteral("characterPanel"));
    characterPanel_->setProperty(kTagProperty, textid::kCharacterAtCursorHint);
    characterPanel_->setProperty(kTagIsHintProperty, true);
    characterPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    characterPanel_->setMinimumWidth(kCharacterPanelWidth);
    bar->addPermanentWidget(characterPanel_);
}

// ---- menus rebuilt when they open ----

void MainWindow::rebuildRecentFileItems() {
    QMenu* fileMenu = menus_.value(QStringLiteral("fileMenu"));
    truncateMenu(fileMenu, fixedItemCount("fileMenu"));
    if (recentFiles_.isEmpty())
        return;
    fileMenu->addSeparator();
    for (qsizetype i = 0; i < recentFiles_.size(); ++i) {
        const QString name = recentFiles_[i];
        QAction* item =
            fileMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(escapeAmpersands(name)));
        connect(item, &QAction::triggered, this,
                [this, name] { openDocument(name, RecentFiles::Remember); });
    }
}

void MainWindow::rebuildWindowList() {
    QMenu* windowMenu = menus_.value(QStringLiteral("windowMenu"));
    truncateMenu(windowMenu, fixedItemCount("windowMenu"));
    const QList<QMdiSubWindow*> windows = workspace_->subWindowList();
    bool first = true;
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        auto* document = qobject_cast<DocumentWindow*>(window->widget());
        if (!document || !isOpen(document))
            continue;
        if (std::exchange(first, false))
            windowMenu->addSeparator();
        QAction* item = windowMenu->addAction(
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
