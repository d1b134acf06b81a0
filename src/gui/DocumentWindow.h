#pragma once

#include "core/TopicTable.h"
#include "gui/Localizer.h"

#include <QWidget>

#include <functional>

class Preferences;
class QAction;
class QMimeData;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;

// A document window: one database file (or a new document) in the main window's workspace,
// its topic list and its data box side by side. It tells the main window what happens through
// its signals; the copy buffer it shares with every other document window.
class DocumentWindow : public QWidget, public DocumentLanguageInfo {
    Q_OBJECT

  public:
    DocumentWindow(Preferences& preferences, TopicCopyBuffer& copyBuffer,
                   QWidget* parent = nullptr);
    ~DocumentWindow() override;

    TopicTable& table() { return table_; }
    const TopicTable& table() const { return table_; }

    // Operations other windows call.
    bool loadFromFile(const QString& name);
    bool saveToFile(const QString& name);
    bool save();   // Save; without a file name it goes on to Save as
    bool saveAs(); // Save as
    // Whether the window may close: a modified document asks whether to save it first.
    bool closeQuery();
    void commitTopic();     // commit the data box (F5)
    void insertTopic();     // insert an empty topic (F4)
    void deleteTopic();     // delete the selected topic (F8)
    void copyTopic();       // copy the selected topic
    void insertTopicCopy(); // insert the copy
    void showTopic();
    void setModified(bool modified);
    void arrangeBoxes(bool reversed);
    void setBoxColours(int textIndex, int backgroundIndex);
    void selectEntry(int entry); // selects a list entry without showing it
    int selectedEntry() const;
    // Called when the window becomes active: enables the insert-copy items once a copy exists.
    void enableInsertCopy();

    // The window's Edit menu, shown in the main window's menu bar while it is active.
    QMenu* editMenu() const { return editMenu_; }
    QPlainTextEdit* dataBox() const { return dataBox_; }
    QListWidget* topicBox() const { return topicBox_; }
    QString caption() const { return windowTitle(); }

    QLabel* panel(const char* name) const;
    void setTitleRow(int topicLine); // the title row, 1 to 7

    // Drag and drop of topics between lists, by entry. A drop opens the drop menu of the
    // target window; the choice is made there.
    enum class DropChoice { Copy, Move, Cancel };
    // What a drag from this list carries: which window it comes from; the entry is the one a
    // left press armed.
    static constexpr char kTopicMimeType[] = "application/x-ombrel-topic";
    QMimeData* dragData();
    void dragOverEntry(int entry); // 0: over no entry
    bool dropFrom(DocumentWindow* source, int sourceEntry, int targetEntry,
                  const QPoint& globalPos);
    void endDrag(int sourceEntry, bool accepted);
    // A list a drag passed over, or was refused on, selects again what it selected before.
    void restoreSelectionAfterDrag();
    // How menus opened by the window are run; tests replace it to choose without a popup.
    using MenuRunner = std::function<QAction*(QMenu& menu, const QPoint& globalPos)>;
    static void setMenuRunner(MenuRunner runner);

    // DocumentLanguageInfo
    bool hasFile() const override;
    bool pseudoTopicSelected() const override;

  signals:
    void modifiedChanged();
    void statusText(const QString& text);
    void saved(const QString& fileName);    // written to that file
    void closing(DocumentWindow* document); // its close was accepted
    void sortRequested(DocumentWindow* document);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Menus;

    void createBoxes();
    void createMenus();
    void applyBoxFont();
    void readTopicLineSetting();
    void refreshTopicList(int selectEntry);
    void updateRowCounters();
    void updateTopicPosition();
    void updateIcon();
    void setStatus(quint16 textId);
    bool encodeDataBox(QList<QByteArray>& lines);
    bool refuseWhenFull();
    void changedAt(int entry); // list rebuilt, entry selected and shown, document modified
    void listMouseDown(QMouseEvent* event);
    bool listMouseMove(QMouseEvent* event);
    void listContextMenu(const QPoint& position);
    void listDragEvent(QDropEvent* event, bool drop);
    int entryAt(const QPoint& position) const; // 0 below the last entry

    Preferences& preferences_;
    TopicCopyBuffer& copyBuffer_;
    TopicTable table_;
    QPlainTextEdit* dataBox_ = nullptr;
    QListWidget* topicBox_ = nullptr;
    QWidget* dataSide_ = nullptr;
    QWidget* listSide_ = nullptr;
    QMenu* editMenu_ = nullptr;
    std::unique_ptr<Menus> menus_;
    int dragEntry_ = 0;           // the entry a left press armed for a drag
    int dragSource_ = 0;          // the entry being dragged from this list, while its drag runs
    int selectionBeforeDrag_ = 0; // this list's selection when a drag came over it
    QPoint dragStart_;
};
