#pragma once

#include "core/Document.h"

#include <QWidget>

#include <functional>

class DataBox;
class DocumentHistory;
class Preferences;
class QAction;
class QLabel;
class QMenu;
class TopicList;

// A document window: one database file (or a new document) in the main window's workspace,
// its topic list and its data box side by side. It tells the main window what happens through
// its signals; the copy buffer it shares with every other document window.
class DocumentWindow : public QWidget {
    Q_OBJECT

  public:
    DocumentWindow(Preferences& preferences, TopicCopyBuffer& copyBuffer,
                   QWidget* parent = nullptr);
    ~DocumentWindow() override;

    Document& document() { return document_; }
    const TopicTable& table() const { return document_.table(); }

    bool loadFromFile(const QString& name);
    // A recovery copy, shown modified under its original file's name (none when empty).
    bool restoreFrom(const QString& copyFile, const QString& originalFile);
    bool saveToFile(const QString& name);
    bool save(); // without a file name it goes on to Save as
    bool saveAs();
    // Whether the window may close: a modified document asks whether to save it first.
    bool closeQuery();
    void commitTopic();     // F5: the data box becomes the selected topic's rows
    void insertTopic();     // F4
    void deleteTopic();     // F8
    void copyTopic();       // into the copy buffer
    void insertTopicCopy(); // the copy buffer's topic before the selected entry
    void showTopic();
    void setModified(bool modified);
    void arrangeBoxes(bool reversed);
    void setBoxColours(int textIndex, int backgroundIndex);
    void selectEntry(int entry); // selects a list entry without showing it
    int selectedEntry() const;
    // Called when the window becomes active: enables the insert-copy items once a copy exists.
    void enableInsertCopy();
    void setTitleRow(int topicLine); // 1 to 7

    // The steps to undo and redo. A change of the topics becomes a step: the topics before it,
    // the entry shown once it is undone and once it is made again.
    DocumentHistory& history() const { return *history_; }
    void recordStep(quint16 nameId, const QList<TopicRows>& before, int undoEntry, int redoEntry);
    // Topics a step puts back, with the entry it shows.
    void showStep(const QList<TopicRows>& topics, int entry);

    // The window's Edit menu, shown in the main window's menu bar while it is active.
    QMenu* editMenu() const { return editMenu_; }
    DataBox* dataBox() const { return dataBox_; }
    TopicList* topicList() const { return topicList_; }
    QString caption() const { return windowTitle(); }
    QLabel* rowCounter() const { return rowCounter_; }
    QLabel* rowLength() const { return rowLength_; }
    QLabel* titleRowPanel() const { return titleRow_; }
    QLabel* topicPosition() const { return topicPosition_; }

    // A drop of a topic from a list (of this window or another) on an entry of this list: the
    // drop menu asks whether to copy or move it here. False when nothing was to be asked.
    bool dropFrom(DocumentWindow* source, int sourceEntry, int targetEntry,
                  const QPoint& globalPos);
    // How menus opened by the window are run; tests replace it to choose without a popup.
    using MenuRunner = std::function<QAction*(QMenu& menu, const QPoint& globalPos)>;
    static void setMenuRunner(MenuRunner runner);

  signals:
    void modifiedChanged();
    void statusText(const QString& text);
    void saved(const QString& fileName);    // written to that file
    void closing(DocumentWindow* document); // its close was accepted
    void sortRequested(DocumentWindow* document);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    // The menus the window opens itself, with the items whose state it changes.
    struct Menus {
        QAction* insertCopy = nullptr;
        QMenu* list = nullptr;
        QAction* listInsert = nullptr;
        QAction* listDelete = nullptr;
        QAction* listCopy = nullptr;
        QAction* listInsertCopy = nullptr;
        QMenu* titleRow = nullptr;
        QList<QAction*> titleRows; // 1 to 7
        QMenu* drop = nullptr;
        QAction* dropCopy = nullptr;
        QAction* dropMove = nullptr;
    };
    static QAction* runMenu(QMenu& menu, const QPoint& globalPos);

    void createBoxes();
    QWidget* createDataSide();
    QWidget* createListSide();
    void createMenus();
    void createEditMenu();
    void createListMenus();
    void readTopicLineSetting();
    void refreshTopicList(int entryToSelect);
    void updateRowCounters();
    void updateTopicPosition();
    void updateCaption();
    void updateIcon();
    void setStatus(quint16 textId);
    bool showLoaded(int readResult); // a file read into the document, or its failure reported
    bool encodeDataBox(QList<QByteArray>& lines);
    bool refuseWhenFull();
    bool refused(quint16 refusal); // shows the message of a refused operation
    void changedAt(int entry);     // list rebuilt, entry selected and shown
    void openListMenu(int entry, const QPoint& globalPos);
    void moveOrCopyHere(DocumentWindow* source, int sourceEntry, int targetEntry, DragMode mode);

    Preferences& preferences_;
    TopicCopyBuffer& copyBuffer_;
    Document document_;
    DataBox* dataBox_ = nullptr;
    TopicList* topicList_ = nullptr;
    QWidget* dataSide_ = nullptr;
    QWidget* listSide_ = nullptr;
    QLabel* rowCounter_ = nullptr;    // the cursor's row and the rows of the data box
    QLabel* rowLength_ = nullptr;     // codes in the cursor's row
    QLabel* titleRow_ = nullptr;      // the row that titles the topics
    QLabel* topicPosition_ = nullptr; // the selected entry and the number of topics
    QMenu* editMenu_ = nullptr;
    std::unique_ptr<Menus> menus_;
    DocumentHistory* history_ = nullptr;
};
