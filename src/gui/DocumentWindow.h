#pragma once

#include "gui/Localizer.h"
#include "core/TopicTable.h"

#include <QWidget>

#include <functional>

class QMimeData;

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;

// A document window: one database file (or a new document) in the main window's workspace,
// its topic list and its data box side by side.
class DocumentWindow : public QWidget, public DocumentLanguageInfo {
    Q_OBJECT

  public:
    explicit DocumentWindow(QWidget* parent = nullptr);
    ~DocumentWindow() override;

    TopicTable& Table() { return table_; }
    const TopicTable& Table() const { return table_; }

    // Operations other windows call.
    bool LoadFromFile(const QString& name);
    bool SaveToFile(const QString& name);
    bool Dateispeichern(); // Save; without a file name it goes on to Save as
    bool Speichernunter(); // Save as
    // Whether the window may close: a modified document asks whether to save it first.
    bool CloseQuery();
    void Datenbernehmen1Click(); // commit the data box (F5)
    void Topiceinfgen1Click();   // insert an empty topic (F4)
    void Topiclschen1Click();    // delete the selected topic (F8)
    void Topickopieren1Click();  // copy the selected topic
    void Kopieeinfgen1Click();   // insert the copy
    void ShowTopic();
    void SetModified(bool modified);
    void ArrangeBoxes(bool reversed);
    void SetBoxColours(int textIndex, int backgroundIndex);
    void SelectEntry(int entry); // selects a list entry without showing it
    int SelectedEntry() const;
    // Called when the window becomes active: enables the insert-copy items once a copy exists.
    void FormActivate();

    // The window's Edit menu, shown in the main window's menu bar while it is active.
    QMenu* EditMenu() const { return editMenu_; }
    QPlainTextEdit* DataBox() const { return dataBox_; }
    QListWidget* TopicBox() const { return topicBox_; }
    QString Caption() const { return windowTitle(); }

    QLabel* Panel(const char* name) const;
    void RowClick(int topicLine); // the title row, 1 to 7

    // Drag and drop of topics between lists, by entry. A drop opens the drop menu of the
    // target window; the choice is made there.
    enum class DropChoice { Copy, Move, Cancel };
    // What a drag from this list carries: which window it comes from; the entry is the one a
    // left press armed.
    static constexpr char kTopicMimeType[] = "application/x-ombrel-topic";
    QMimeData* DragData();
    void DragOverEntry(int entry); // 0: over no entry
    bool DropFrom(DocumentWindow* source, int sourceEntry, int targetEntry, const QPoint& globalPos);
    void EndDrag(int sourceEntry, bool accepted);
    // A list a drag passed over, or was refused on, selects again what it selected before.
    void RestoreSelectionAfterDrag();
    // How menus opened by the window are run; tests replace it to choose without a popup.
    using MenuRunner = std::function<QAction*(QMenu& menu, const QPoint& globalPos)>;
    static void SetMenuRunner(MenuRunner runner);

    // DocumentLanguageInfo
    bool HasFile() const override;
    bool PseudoTopicSelected() const override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Menus;

    void CreateBoxes();
    void CreateMenus();
    void ApplyBoxFont();
    void ReadTopicLineSetting();
    void RefreshTopicList(int selectEntry);
    void UpdateRowCounters();
    void UpdateTopicPosition();
    void UpdateIcon();
    void SetStatus(quint16 textId);
    bool EncodeDataBox(QList<QByteArray>& lines);
    bool RefuseWhenFull();
    void ChangedAt(int entry); // list rebuilt, entry selected and shown, document modified
    void ListMouseDown(QMouseEvent* event);
    bool ListMouseMove(QMouseEvent* event);
    void ListContextMenu(const QPoint& position);
    void ListDragEvent(QDropEvent* event, bool drop);
    int EntryAt(const QPoint& position) const; // 0 below the last entry

    TopicTable table_;
    QPlainTextEdit* dataBox_ = nullptr;
    QListWidget* topicBox_ = nullptr;
    QWidget* dataSide_ = nullptr;
    QWidget* listSide_ = nullptr;
    QMenu* editMenu_ = nullptr;
    std::unique_ptr<Menus> menus_;
    int dragEntry_ = 0;  // the entry a left press armed for a drag
    int dragSource_ = 0; // the entry being dragged from this list, while its drag runs
    int selectionBeforeDrag_ = 0; // this list's selection when a drag came over it
    QPoint dragStart_;
};
