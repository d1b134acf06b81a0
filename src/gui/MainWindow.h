#pragma once

#include "core/TopicTable.h"

#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QStringList>

#include <memory>

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
class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The one main window while it exists, else nullptr.
    static MainWindow* Instance();

    // Operations the document windows and later dialogs call.
    void EnableDocumentCommands(bool enabled);
    bool OpenFileByName(const QString& name);
    void AddRecentFile(const QString& name);
    DocumentWindow* NeueDatei1Click(); // a new, empty document window; it is the active one
    void PaintBackground();

    // Status panels: 0 "D: " + open documents, 1 "U: " + UnsavedCount, 2 hints and messages.
    void SetStatusText(const QString& text);
    void DocumentOpened(DocumentWindow* document);
    void DocumentClosing(DocumentWindow* document); // a document window whose close was accepted
    void RecountUnsaved();
    quint16 UnsavedCount() const { return unsavedCount_; }

    TopicCopyBuffer& CopyBuffer() { return copyBuffer_; }
    // Open document windows, the most recently active first.
    QList<DocumentWindow*> DocumentWindows() const;
    DocumentWindow* ActiveDocument() const;
    QMdiArea* Workspace() const { return workspace_; }
    const QStringList& RecentFiles() const { return recentFiles_; }
    QString StatusPanelText(int panel) const;

    // The Repeat command follows the document rule once a find was confirmed.
    QAction* RepeatAction() const;

    // A file name that a second start of the program handed over: the window comes to the
    // front and opens it.
    void HandOver(const QString& path);

    // The dialogs that live as long as the program, made once right after the main window in
    // the order the program has always made them: character table, find, sort, settings,
    // About, transfer, scanner, advanced transfer parameters. Each reads its own settings as
    // it is made and belongs to the main window.
    void CreateLongLivedWindows();
    ScanDialog* scanDialog() const { return scan_; }
    FindDialog* findDialog() const { return find_; }
    SortDialog* sortDialog() const { return sortForm_; }
    CharacterTable* characterTable() const { return charTab_; }
    SettingsDialog* settingsDialog() const { return options_; }
    AboutDialog* aboutDialog() const { return about_; }
    TransferDialog* transferDialog() const { return transferDialog_; }
    TransferParametersDialog* transferParametersDialog() const { return advancedDialog_; }

    // The character table marks its command and presses its button while it shows.
    void CharTabShown(bool shown);
    QToolBar* ToolBar() const { return toolBar_; }

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Actions;

    void CreateActions();
    void ConnectActions();
    void CreateMenus();
    QMenu* AddMenu(const char* name, quint16 tag, const QList<QAction*>& items);
    void CreateToolBar();
    void AddToolButton(QAction* action, const char* themeIcon, const char* image);
    void AddToolSeparator();
    void CreateStatusBar();
    void ReadSettings();
    void ReadWindowPlacement();
    void CheckPrefPath();
    void RebuildRecentFileItems();
    void RebuildWindowList();
    void SubWindowActivated(QMdiSubWindow* window);
    void ShowEditMenuOf(DocumentWindow* document);
    void ShowHint(const QString& hint);
    void MenuClosed();
    void FormResize();
    void SetCommandEnabled(QAction* action, bool enabled);
    bool IsOpen(const DocumentWindow* document) const;
    bool CloseDocument(DocumentWindow* document);
    bool DocumentsMayClose() const;
    void SaveOnExit();
    void ShowDocumentCount();
    void ShowUnsavedCount();

    // Commands
    void Dateiffnen1Click();
    void Schliesen1Click();
    void Alleschlieen1Click();
    void Dateispeichern1Click();
    void Speichernunter1Click();
    void Allesspeichern1Click();
    void F5ButtonClick();
    void InsertButtonClick();
    void DeleteButtonClick();
    void Symboleanordnen1Click();
    void Nebeneinander1Click();
    void Alleminimieren1Click();
    void Alledarstellen1Click();
    void Detektiv1Click();
    void Suchen2Click();
    void Wiederholen1Click();
    void CharTab1Click();
    void Optionen1Click();
    void Uber1Click();
    void Senden1Click();
    void Empfangen1Click();
    void Tarvokopieren1Click();

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
    ScanDialog* scan_ = nullptr;
    FindDialog* find_ = nullptr;
    SortDialog* sortForm_ = nullptr;
    CharacterTable* charTab_ = nullptr;
    SettingsDialog* options_ = nullptr;
    AboutDialog* about_ = nullptr;
    TransferDialog* transferDialog_ = nullptr;
    TransferParametersDialog* advancedDialog_ = nullptr;
};
