#pragma once

#include "core/TopicTable.h"
#include "gui/Workspace.h"
#include "platform/Settings.h"

#include <QHash>
#include <QKeySequence>
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QStringList>

#include <variant>

class Preferences;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QUndoGroup;
class CharacterTable;
class Document;
class TransferDialog;
class FindDialog;
class DocumentWindow;
class TransferParametersDialog;
class ScanDialog;
class SettingsDialog;
class SortDialog;
class AboutDialog;
class CompareWindow;
class ReceivedDialog;

// The program's frame: the workspace of document windows, the menus, the tool bar, the status
// bar with its three panels, the recent files and the commands. There is one.
//
// Every command of the menus is one action made from one table (commandTable()): its menu,
// name, text, key and handler. A handler on a document window acts on the active one, and the
// command is enabled only while there is one. Undo and Redo take the steps of the active
// document's history. A document window keeps only its own pop-up menus.
class MainWindow : public QMainWindow, public Workspace {
    Q_OBJECT

  public:
    explicit MainWindow(Preferences& preferences, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Workspace
    DocumentWindow* activeDocument() const override;
    DocumentWindow* newDocument() override;
    DocumentWindow* openDocument(const QString& fileName, RecentFiles recent) override;
    DocumentWindow* openReceivedFile(const QString& fileName) override;
    // Status panels: 0 "D: " + open documents, 1 "U: " + unsaved documents, 2 hints and
    // messages.
    void showStatus(const QString& text) override;
    void showWarning(const QString& text); // panel 2 in the warning colour

    void addRecentFile(const QString& name);
    void paintBackground();

    QList<DocumentWindow*> documentWindows() const override;

    // A file name that a second start of the program handed over: the window comes to the
    // front and opens it.
    void handOver(const QString& path);
    // The splash went: the program may end from now on, and the command-line file opens once
    // the event loop is back (a failing file shows its box over this window).
    void splashGone(const QString& commandLineFile);

    // The dialogs, each made on its first use and kept until the program ends; each reads
    // its own settings as it is made and belongs to the main window. The character table is
    // made at the start when its setting shows it there.
    CharacterTable& characterTable();
    FindDialog& findDialog();
    SortDialog& sortDialog();
    SettingsDialog& settingsDialog();
    AboutDialog& aboutDialog();
    TransferDialog& transferDialog();
    ScanDialog& scanDialog();
    TransferParametersDialog& transferParametersDialog();
    CompareWindow& compareWindow();
    ReceivedDialog& receivedDialog();

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
    // When a command can be chosen besides its handler's needs.
    enum class Available { Always, WithDocument, AfterFind, WithCopy };
    // One command of the frame. A handler of the frame runs as it is; one of a document window
    // runs on the active document window, and so does a handler of the frame that takes one.
    struct Command {
        using OnFrame = void (MainWindow::*)();
        using OnWindow = void (DocumentWindow::*)();
        using OnDocument = void (MainWindow::*)(DocumentWindow&);
        const char* menu; // the object name of its menu
        const char* name; // the action's object name; nullptr for a separator
        quint16 textId = 0;
        QKeySequence key{};
        std::variant<OnFrame, OnWindow, OnDocument> handler{};
        Available available = Available::Always;
    };
    // A button of the tool bar runs a command; its hint is its own.
    enum class ButtonKind { Button, Separator, Gap };
    struct ToolButton {
        ButtonKind kind;
        const char* name = nullptr;
        quint16 textId = 0;
        const char* command = nullptr;
        const char* themeIcon = "";
        const char* image = "";
    };
    static const QList<Command>& commandTable();
    static QList<Command> viewMenuCommands();
    static const QList<ToolButton>& toolButtonTable();

    // The tool bar: buttons 27 wide, separators of 8. The gap before the Help button starts
    // after eleven buttons and three separators; the window keeps room for 48 more.
    static constexpr int kButtonWidth = 27;
    static constexpr int kSeparatorWidth = 8;
    static constexpr int kGapLeft = 11 * kButtonWidth + 3 * kSeparatorWidth;
    static constexpr int kRoomAfterGapLeft = 48;

    void createCommands();
    QAction* commandAction(const Command& command);
    void run(const Command& command);
    bool isAvailable(const Command& command) const;
    void updateCommands();
    void createMenus();
    void createToolBar();
    void addToolButton(const ToolButton& button);
    void createStatusBar();
    void createScreenCommands();
    void readSettings();
    void readWindowPlacement();
    void rebuildRecentFileItems();
    void rebuildWindowList();
    int fixedItemCount(const char* menu) const;
    void documentActivated(QMdiSubWindow* window);
    void documentClosing(DocumentWindow* document); // a document window whose close was accepted
    void stepRefused(const QString& item, const Document* changed);
    void showHint(const QString& hint);
    void menuClosed();
    void updateMinimumWidth();
    bool isOpen(const DocumentWindow* document) const;
    bool closeDocument(DocumentWindow* document);
    bool documentsMayClose() const;
    void saveOnExit();
    void showDocumentCount();
    void showUnsavedCount();

    // Commands of the frame
    void newFile();
    void openFile();
    void closeFile(DocumentWindow& document);
    void closeAll();
    void saveFile(DocumentWindow& document);
    void saveFileAs(DocumentWindow& document);
    void saveAll();
    void importTopics(); // CSV, TSV, text or JSON into a new window
    void exportTopics(DocumentWindow& document);
    // Compares the document with another open one or a file, in the compare window; lists the
    // files received from the calculator (MainWindowCompare.cpp).
    void compareWith(DocumentWindow& document);
    void showReceivedFiles();
    void compareDocuments(DocumentWindow* a, DocumentWindow* b);
    void keepReceived(const QString& fileName);
    void quit();
    void sortTopicsOf(DocumentWindow& document);
    void findIn(DocumentWindow& document);
    void repeatFind(DocumentWindow& document);
    void openScanner();
    void sendDocument(DocumentWindow& document);
    // Whether to send a document with rows the calculator's transfer does not keep as they
    // stand: true when it has none or the user says so.
    bool sendAnyway(const DocumentWindow& document);
    void receiveFromCalculator();
    void sendTarvoLibrary();
    void toggleCharacterTable();
    void charTabShown(bool shown); // the command is ticked while the table shows
    void openSettingsDialog();
    void showSettings(); // what the settings dialog applied
    void tile();
    void cascade();
    void arrangeIcons();
    void minimizeAll();
    void showAll();
    void showHelpTopics();
    void showHelpOnHelp();
    void showAbout();
    // The View menu: the calculator screen beside every document window's data box, its font
    // and its size, kept in the settings.
    void toggleCalculatorScreen();
    void chooseSmallScreenFont();
    void chooseMediumScreenFont();
    void chooseLargeScreenFont();
    void chooseScreenScaleTwo();
    void chooseScreenScaleThree();
    void writeScreenSetting(settings::Key key, int value);
    void applyScreenSettings();
    void showScreenChoices(); // the ticks of the View menu and the button, from the settings
    void setCommandChecked(const char* name, bool checked); // with its tool bar button
    void showCharacterAtCursor();

    Preferences& preferences_;
    QHash<QString, QAction*> commands_; // by name
    QHash<QAction*, QAction*> buttons_; // each tool bar button with its command
    QUndoGroup* undoGroup_ = nullptr;
    QMdiArea* workspace_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QHash<QString, QMenu*> menus_; // by name
    QList<QLabel*> panels_;
    QLabel* characterPanel_ = nullptr; // code and name of the character at the cursor
    QString currentHint_;
    QStringList recentFiles_;
    // The open document windows in the order they were made; a window leaves once its close
    // was accepted, before it is destroyed.
    QList<QPointer<DocumentWindow>> documents_;
    QPixmap backgroundImage_;
    TopicCopyBuffer copyBuffer_;
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
    CompareWindow* compare_ = nullptr;
    ReceivedDialog* received_ = nullptr;
};
