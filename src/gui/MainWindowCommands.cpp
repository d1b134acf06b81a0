// The main window's commands: the one table they are made from, the rule that enables them,
// and the handlers of the frame.
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
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
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolBar>

#include <functional>

namespace {

QMdiSubWindow* subWindowOf(const DocumentWindow* document) {
    return qobject_cast<QMdiSubWindow*>(document->parentWidget());
}

const QKeySequence none; // a command without a key

} // namespace

// Every command of the menus, menu by menu in the order they show; a row without a name is a
// separator.
const QList<MainWindow::Command>& MainWindow::commandTable() {
    using A = Available;
    using D = DocumentWindow;
    using M = MainWindow;
    static const QList<Command> frame{
        {"fileMenu", "newFile", textid::kNewFileItem, none, &M::newFile},
        {"fileMenu", "openFile", textid::kOpenFileItem, Qt::Key_F3, &M::openFile},
        {"fileMenu", "closeFile", textid::kCloseFileItem, none, &M::closeFile},
        {"fileMenu", "closeAll", textid::kCloseAllItem, none, &M::closeAll, A::WithDocument},
        {"fileMenu", nullptr},
        {"fileMenu", "saveFile", textid::kSaveFileItem, Qt::Key_F2, &M::saveFile},
        {"fileMenu", "saveFileAs", textid::kSaveFileAsItem, none, &M::saveFileAs},
        {"fileMenu", "saveAll", textid::kSaveAllItem, none, &M::saveAll, A::WithDocument},
        {"fileMenu", nullptr},
        {"fileMenu", "importTopics", textid::kImportItem, none, &M::importTopics},
        {"fileMenu", "exportTopics", textid::kExportItem, none, &M::exportTopics},
        {"fileMenu", "compareWith", textid::kCompareWithItem, none, &M::compareWith},
        {"fileMenu", "receivedFiles", textid::kReceivedFilesItem, none, &M::showReceivedFiles},
        {"fileMenu", nullptr},
        {"fileMenu", "quit", textid::kQuitItem, none, &M::quit},
        {"editMenu", "commitTopic", textid::kCommitTopicItem, Qt::Key_F5, &D::commitTopic},
        {"editMenu", "deleteText", textid::kDeleteTextItem, none, &D::deleteText},
        {"editMenu", "copyText", textid::kCopyTextItem, Qt::CTRL | Qt::Key_Insert, &D::copyText},
        {"editMenu", "pasteText", textid::kPasteTextItem, Qt::SHIFT | Qt::Key_Insert,
         &D::pasteText},
        {"editMenu", nullptr},
        {"editMenu", "insertTopic", textid::kInsertTopicItem, Qt::Key_F4, &D::insertTopic},
        {"editMenu", "deleteTopic", textid::kDeleteTopicItem, Qt::Key_F8, &D::deleteTopic},
        {"editMenu", "copyTopic", textid::kCopyTopicItem, none, &D::copyTopic},
        {"editMenu", "insertTopicCopy", textid::kInsertTopicCopyItem, none, &D::insertTopicCopy,
         A::WithCopy},
        {"editMenu", "sortTopics", textid::kSortTopicsItem, none, &M::sortTopicsOf},
        {"searchMenu", "find", textid::kFindItem, Qt::Key_F7, &M::findIn},
        {"searchMenu", "repeatFind", textid::kRepeatFindItem, Qt::CTRL | Qt::Key_F7, &M::repeatFind,
         A::AfterFind},
        {"searchMenu", nullptr},
        {"searchMenu", "scanner", textid::kScannerItem, none, &M::openScanner},
        {"transferMenu", "send", textid::kSendItem, none, &M::sendDocument},
        {"transferMenu", "receive", textid::kReceiveItem, none, &M::receiveFromCalculator},
        {"transferMenu", nullptr},
        {"transferMenu", "sendLibrary", textid::kSendLibraryItem, none, &M::sendTarvoLibrary},
        {"optionsMenu", "characterTable", textid::kCharacterTableItem, Qt::Key_F6,
         &M::toggleCharacterTable},
        {"optionsMenu", "settings", textid::kSettingsItem, none, &M::openSettingsDialog},
        {"windowMenu", "tile", textid::kTileItem, none, &M::tile, A::WithDocument},
        {"windowMenu", "cascade", textid::kCascadeItem, none, &M::cascade, A::WithDocument},
        {"windowMenu", "arrangeIcons", textid::kArrangeIconsItem, none, &M::arrangeIcons,
         A::WithDocument},
        {"windowMenu", nullptr},
        {"windowMenu", "minimizeAll", textid::kMinimizeAllItem, none, &M::minimizeAll,
         A::WithDocument},
        {"windowMenu", "showAll", textid::kShowAllItem, none, &M::showAll, A::WithDocument},
        {"helpMenu", "helpTopics", textid::kHelpTopicsItem, Qt::Key_F1, &M::showHelpTopics},
        {"helpMenu", "helpOnHelp", textid::kHelpOnHelpItem, none, &M::showHelpOnHelp},
        {"helpMenu", nullptr},
        {"helpMenu", "about", textid::kAboutItem, none, &M::showAbout},
    };
    static const QList<Command> table = frame + viewMenuCommands(); // the View menu's own rows
    return table;
}

// The tool bar's buttons, each running a command of the table.
const QList<MainWindow::ToolButton>& MainWindow::toolButtonTable() {
    using K = ButtonKind;
    static const QList<ToolButton> table{
        {K::Button, "newButton", textid::kNewButton, "newFile", "document-new", "tb-new.png"},
        {K::Button, "openButton", textid::kOpenButton, "openFile", "document-open", "tb-open.png"},
        {K::Button, "saveButton", textid::kSaveButton, "saveFile", "document-save", "tb-save.png"},
        {K::Separator},
        {K::Button, "commitButton", textid::kCommitButton, "commitTopic", "", "tb-commit.png"},
        {K::Button, "insertButton", textid::kInsertButton, "insertTopic", "list-add",
         "tb-insert.png"},
        {K::Button, "deleteButton", textid::kDeleteButton, "deleteTopic", "list-remove",
         "tb-delete.png"},
        {K::Separator},
        {K::Button, "findButton", textid::kFindButton, "find", "edit-find", "tb-find.png"},
        {K::Button, "characterTableButton", textid::kCharacterTableButton, "characterTable",
         "accessories-character-map", "tb-chartab.png"},
        {K::Button, "calculatorScreenButton", textid::kScreenButtonHint, "calculatorScreen", "",
         "tb-screen.png"},
        {K::Separator},
        {K::Button, "sendButton", textid::kSendButton, "send", "", "tb-tohp.png"},
        {K::Button, "receiveButton", textid::kReceiveButton, "receive", "", "tb-topc.png"},
        {K::Gap},
        {K::Button, "helpButton", textid::kHelpButton, "helpTopics", "help-contents",
         "tb-help.png"},
    };
    return table;
}

void MainWindow::createCommands() {
    for (const Command& command : commandTable()) {
        if (command.name)
            commands_.insert(QLatin1String(command.name), commandAction(command));
    }
    // Ticked while the character table shows.
    commands_.value(QStringLiteral("characterTable"))->setCheckable(true);
    createScreenCommands();
}

QAction* MainWindow::commandAction(const Command& command) {
    QAction* action = tagged(new QAction(this), command.name, command.textId);
    action->setShortcut(command.key);
    connect(action, &QAction::triggered, this, [this, &command] { run(command); });
    return action;
}

void MainWindow::run(const Command& command) {
    if (const auto* onFrame = std::get_if<Command::OnFrame>(&command.handler)) {
        (this->**onFrame)();
        return;
    }
    DocumentWindow* document = activeDocument();
    if (document == nullptr || !isAvailable(command))
        return;
    if (const auto* onWindow = std::get_if<Command::OnWindow>(&command.handler))
        (document->**onWindow)();
    else
        (this->*std::get<Command::OnDocument>(command.handler))(*document);
}

bool MainWindow::isAvailable(const Command& command) const {
    const bool document = activeDocument() != nullptr;
    switch (command.available) {
    case Available::Always:
        return command.handler.index() == 0 || document;
    case Available::WithDocument:
        return document;
    case Available::AfterFind:
        return document && findDone_;
    case Available::WithCopy:
        return document && copyBuffer_.filled;
    }
    return false;
}

// Runs whenever what the rule looks at turns: a document window made, activated or closed, a
// search started, a topic copied.
void MainWindow::updateCommands() {
    for (const Command& command : commandTable()) {
        if (command.name)
            commands_.value(QLatin1String(command.name))->setEnabled(isAvailable(command));
    }
    for (auto button = buttons_.cbegin(); button != buttons_.cend(); ++button)
        button.key()->setEnabled(button.value()->isEnabled());
}

// ---- file commands ----

void MainWindow::newFile() {
    newDocument();
}

void MainWindow::closeFile(DocumentWindow& document) {
    closeDocument(&document);
}

// From the least recently active window to the most recent one; a window whose close query
// is answered with Cancel stays open and the others are still asked.
void MainWindow::closeAll() {
    const QList<DocumentWindow*> documents = documentWindows();
    for (auto document = documents.crbegin(); document != documents.crend(); ++document)
        closeDocument(*document);
}

void MainWindow::saveFile(DocumentWindow& document) {
    document.save();
}

void MainWindow::saveFileAs(DocumentWindow& document) {
    document.saveAs();
}

void MainWindow::saveAll() {
    const QList<DocumentWindow*> documents = documentWindows();
    for (auto document = documents.crbegin(); document != documents.crend(); ++document)
        (*document)->save();
    showStatus(strings::text(textid::kAllFilesSaved)); // also when a save failed or was cancelled
}

void MainWindow::quit() {
    close();
}

// ---- the dialogs, each made on its first use ----

namespace {

// A dialog just made speaks the program's language from the start.
template <typename Dialog> Dialog& madeOnce(Dialog*& dialog, const std::function<Dialog*()>& make) {
    if (dialog == nullptr) {
        dialog = make();
        applyLanguageTo(dialog);
    }
    return *dialog;
}

} // namespace

CharacterTable& MainWindow::characterTable() {
    return madeOnce<CharacterTable>(charTab_, [this] {
        auto* table = new CharacterTable(preferences_, *this, this);
        connect(table, &CharacterTable::shownChanged, this, &MainWindow::charTabShown);
        return table;
    });
}

FindDialog& MainWindow::findDialog() {
    return madeOnce<FindDialog>(find_, [this] {
        auto* find = new FindDialog(preferences_, this);
        connect(find, &FindDialog::searchStarted, this, [this] {
            findDone_ = true;
            updateCommands();
        });
        return find;
    });
}

SortDialog& MainWindow::sortDialog() {
    return madeOnce<SortDialog>(sortForm_, [this] { return new SortDialog(preferences_, this); });
}

SettingsDialog& MainWindow::settingsDialog() {
    return madeOnce<SettingsDialog>(options_, [this] {
        auto* options = new SettingsDialog(preferences_, this);
        connect(options, &SettingsDialog::applied, this, &MainWindow::showSettings);
        connect(options, &SettingsDialog::defaultsRestored, this, [this] {
            defaultsRestored_ = true;
            close();
        });
        connect(options, &SettingsDialog::transferParametersRequested, this,
                [this] { transferParametersDialog().openAdvanced(options_); });
        return options;
    });
}

AboutDialog& MainWindow::aboutDialog() {
    return madeOnce<AboutDialog>(about_, [this] { return new AboutDialog(this); });
}

TransferDialog& MainWindow::transferDialog() {
    return madeOnce<TransferDialog>(
        transferDialog_, [this] { return new TransferDialog(preferences_, *this, this); });
}

ScanDialog& MainWindow::scanDialog() {
    return madeOnce<ScanDialog>(scan_,
                                [this] { return new ScanDialog(preferences_, *this, this); });
}

TransferParametersDialog& MainWindow::transferParametersDialog() {
    return madeOnce<TransferParametersDialog>(
        advancedDialog_, [this] { return new TransferParametersDialog(preferences_, this); });
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
        document->showCalculatorGlyphs();
    }
    if (charTab_)
        charTab_->showCalculatorGlyphs();
}

void MainWindow::sortTopicsOf(DocumentWindow& document) {
    sortDialog().sortTopics(&document);
}

void MainWindow::findIn(DocumentWindow& document) {
    findDialog().showFind(&document);
}

void MainWindow::repeatFind(DocumentWindow& document) {
    findDialog().searchNext(&document);
}

void MainWindow::openScanner() {
    scanDialog().showScanner();
}

// The table shows when it was hidden and hides when it showed; the main window keeps the focus.
void MainWindow::toggleCharacterTable() {
    CharacterTable& table = characterTable();
    table.setVisible(!table.isVisible());
    charTabShown(table.isVisible());
    activateWindow();
}

void MainWindow::charTabShown(bool shown) {
    QAction* command = commands_.value(QStringLiteral("characterTable"));
    command->setChecked(shown);
    for (auto button = buttons_.cbegin(); button != buttons_.cend(); ++button) {
        if (button.value() == command)
            button.key()->setChecked(shown);
    }
}

void MainWindow::openSettingsDialog() {
    settingsDialog().openSettings();
}

void MainWindow::showAbout() {
    aboutDialog().exec();
}

void MainWindow::showHelpTopics() {
    showHelp(help::kContents);
}

void MainWindow::showHelpOnHelp() {
    showHelp(help::kHelpOnHelp);
}

void MainWindow::sendDocument(DocumentWindow& document) {
    if (sendAnyway(document))
        transferDialog().openTransfer(TransferMode::SendDocument);
}

void MainWindow::receiveFromCalculator() {
    transferDialog().openTransfer(TransferMode::ReceiveFile);
}

void MainWindow::sendTarvoLibrary() {
    transferDialog().openTransfer(TransferMode::SendLibrary);
}

// ---- the windows ----

void MainWindow::tile() {
    tileWindows(*workspace_);
}

void MainWindow::cascade() {
    workspace_->cascadeSubWindows();
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
