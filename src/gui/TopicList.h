#pragma once

#include <QListWidget>
#include <QPoint>

class Document;

// The list of a document's topics, one entry a topic, the last entry the "<New>" entry: it shows
// the document's titles and its selection as they change, and a click selects in the document.
// A left
// press on a topic arms a drag that starts once the mouse moves with the button held; a drag of
// a topic over a list selects the entry under the mouse, and a drop on an entry is reported
// (dropped) once the drag has ended. Whatever a drag leaves without a selection gets its
// selection back. Insert and Delete keys and the right button are reported too.
class TopicList : public QListWidget {
    Q_OBJECT

  public:
    static constexpr char kTopicMimeType[] = "application/x-ombrel-topic";

    static constexpr int kEntryHeight = 19;

    explicit TopicList(QWidget* parent = nullptr);
    // The document the list shows from now on.
    void setDocument(Document* document);
    void showTitles(); // decoded afresh

    int entryAt(const QPoint& position) const; // 0 below the last entry
    int selectedEntry() const;                 // 0 when nothing is selected
    void selectEntry(int entry);               // in the list alone, as a drag does
    bool isTopic(int entry) const { return entry >= 1 && entry < count(); }

  signals:
    void dropped(TopicList* source, int sourceEntry, int targetEntry, const QPoint& globalPos);
    void contextMenuRequested(int entry, const QPoint& globalPos);
    void insertKeyReleased();
    void deleteKeyReleased();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void dragOverEntry(int entry); // 0: over no entry
    void endDrag(int sourceEntry, bool accepted);
    void restoreSelectionAfterDrag();
    void startDrag(int entry);
    void hoverDrag(QDropEvent* event, bool drop);

    Document* document_ = nullptr;
    int armedEntry_ = 0;          // the topic a left press armed for a drag
    int draggedEntry_ = 0;        // the topic being dragged from this list, while it is
    int selectionBeforeDrag_ = 0; // this list's selection when a drag came over it
    QPoint pressedAt_;
};
