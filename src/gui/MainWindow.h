#pragma once

#include "core/TopicTable.h"
#include "gui/Workspace.h"

#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QStringList>

#include <memory>

class Preferences;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class CharacterTable;
class TransferDialog;
class FindDialog;
class DocumentWindow;
class TransferParametersDialog;
class ScanDialog;
class SettingsDialog;
class SortDialog;
class AboutDialog;

// The program's frame: the workspace of document windows, the menus, the tool bar, the status
// bar with its three panels, the recent files and the file commands. There is one.
class MainWindow : public QMainWindow, public Workspace {
    Q_OBJECT

  public:
    explicit MainWindow(Preferences& preferences, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Workspace
    DocumentWindow* activeDocument() const override;
    DocumentWindow* newDocument() override;
    DocumentWindow* openDocument(const QString& fileName, RecentFiles recent) override;
    // Status panels: 0 "D: " + open documents, 1 "U: " + UnsavedCount, 2 hints and messages.
    void showStatus(const QString& text) override;

    void enableDocumentCommands(bool enabled);
    void addRecentFile(const QString& name);
    void paintBackground();
    void recountUnsaved();
    quint16 unsavedCount() const { return unsavedCount_; }

    TopicCopyBuffer& copyBuffer() { return copyBuffer_; }
    // Open document windows, the most recently active first.
    QList<DocumentWindow*> documentWindows() const;
    QMdiArea* workspace() const { return workspace_; }
    const QStringList& recentFiles() const { return recentFiles_; }
    QString statusPanelText(int panel) const;

    // The Repeat command follows the document rule once a find was confirmed.
    QAction* repeatAction() const;

    // A file name that a second start of the program handed over: the window comes to the
    // front and opens it.
    void handOver(const QString& path);
    // The splash went: the program may end from now on, and the command-line file opens once
    // the event loop is back (a failing file shows its box over this window).
    void splashGone(const QString& commandLineFile);

    // The dialogs that live as long as the program, made once right after the main window in
    // the order the program has always made them: character table, find, sort, settings,
    // About, transfer, scanner, advanced transfer parameters. Each reads its own settings as
    // it is made and belongs to the main window.
    void createLongLivedWindows();
    ScanDialog* scanDialog() const { return scan_; }
    FindDialog* findDialog() const { return find_; }
    SortDialog* sortDialog() const { return sortForm_; }
    CharacterTable* characterTable() const { return charTab_; }
    SettingsDialog* settingsDialog() const { return options_; }
    AboutDialog* aboutDialog() const { return about_; }
    TransferDialog* transferDialog() const { return transferDialog_; }
    TransferParametersDialog* transferParametersDialog() const { return advancedDialog_; }

    // The character table marks its command and presses its button while it shows.
    void charTabShown(bool shown);
    // What the settings dialog applied: background, tool bar, every document's boxes.
    void showSettings();
    QToolBar* toolBar() const { return toolBar_; }

  signals:
    // A document window was made (new, opened or restored), before anything is loaded into it.
    void documentMade(DocumentWindow* document);

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Files dropped from a file manager open as if chosen in the Open dialog.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // Every command of the frame, made in one place.
    struct Actions {
        // File
        QAction* newFile = nullptr;
        QAction* open = nullptr;
        QAction* close = nullptr;
        QAction* closeAll = nullptr;
        QAction* save = nullptr;
        QAction* saveAs = nullptr;
        QAction* saveAll = nullptr;
        QAction* quit = nullptr;
        // Edit: placeholders while no document window is active
        QList<QAction*> editPlaceholders;
        // Search
        QAction* find = nullptr;
        QAction* repeat = nullptr;
        QAction* scanner = nullptr;
        // Transmit
        QAction* send = nullptr;
        QAction* receive = nullptr;
        QAction* transferTarvo = nullptr;
        // Options
        QAction* charTab = nullptr;
        QAction* settings = nullptr;
        // Window
        QAction* tile = nullptr;
        QAction* cascade = nullptr;
        QAction* arrangeIcons = nullptr;
        QAction* minimizeAll = nullptr;
        QAction* showAll = nullptr;
        // Help
        QAction* helpTopics = nullptr;
        QAction* helpOnHelp = nullptr;
        QAction* about = nullptr;
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

    // The tool bar: buttons 27 wide, separators of 8. The gap before the Help button starts
    // after ten buttons and three separators; the window keeps room for 48 more.
    static constexpr int kButtonWidth = 27;
    static constexpr int kSeparatorWidth = 8;
    static constexpr int kGapLeft = 10 * kButtonWidth + 3 * kSeparatorWidth;
    static constexpr int kRoomAfterGapLeft = 48;

    void createActions();
    void createToolBarActions();
    void connectActions();
    void createMenus();
    QMenu* addMenu(const char* name, quint16 tag, const QList<QAction*>& items);
    void createToolBar();
    void addToolButton(QAction* action, const char* themeIcon, const char* image);
    void addToolSeparator();
    void createStatusBar();
    void readSettings();
    void readWindowPlacement();
    void checkPrefPath();
    void rebuildRecentFileItems();
    void rebuildWindowList();
    void documentActivated(QMdiSubWindow* window);
    void documentClosing(DocumentWindow* document); // a document window whose close was accepted
    void showEditMenuOf(DocumentWindow* document);
    void showHint(const QString& hint);
    void menuClosed();
    void updateMinimumWidth();
    void setCommandEnabled(QAction* action, bool enabled);
    bool isOpen(const DocumentWindow* document) const;
    bool closeDocument(DocumentWindow* document);
    bool documentsMayClose() const;
    void saveOnExit();
    void showDocumentCount();
    void showUnsavedCount();

    // Commands
    void openFile();
    void closeActiveDocument();
    void closeAll();
    void saveActive();
    void saveActiveAs();
    void saveAll();
    void commitActiveTopic();
    void insertTopicInActive();
    void deleteTopicInActive();
    void arrangeIcons();
    void tile();
    void minimizeAll();
    void showAll();
    void openScanner();
    void findText();
    void repeatFind();
    void toggleCharacterTable();
    void openSettingsDialog();
    void showAbout();
    void sendToCalculator();
    void receiveFromCalculator();
    void sendTarvoLibrary();

    Preferences& preferences_;
    std::unique_ptr<Actions> actions_;
    QMdiArea* workspace_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* toolBarGap_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* placeholderEditMenu_ = nullptr;
    QMenu* searchMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    // The Edit menu that stands in the menu bar and the document window it belongs to.
    QPointer<QAction> editMenuSlot_;
    QPointer<DocumentWindow> editMenuOwner_;
    QList<QLabel*> panels_;
    QString currentHint_;
    QStringList recentFiles_;
    // The open document windows in the order they were made; a window leaves once its close
    // was accepted, before it is destroyed.
    QList<QPointer<DocumentWindow>> documents_;
    QPixmap backgroundImage_;
    TopicCopyBuffer copyBuffer_;
    quint16 unsavedCount_ = 0;
    bool findDone_ = false;         // Repeat follows the document rule once a search started
    bool defaultsRestored_ = false; // the settings file holds the defaults; nothing more is written
    bool splashDone_ = false;       // the program may not end while the splash shows
    ScanDialog* scan_ = nullptr;
    FindDialog* find_ = nullptr;
    SortDialog* sortForm_ = nullptr;
    CharacterTable* charTab_ = nullptr;
    SettingsDialog* options_ = nullptr;
    AboutDialog* about_ = nullptr;
    TransferDialog* transferDialog_ = nullptr;
    TransferParametersDialog* advancedDialog_ = nullptr;
};
