#include "gui/TopicList.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

namespace {

// The list a drag is over, if any: it gets its selection back when the drag ends elsewhere.
QPointer<TopicList> listUnderDrag;

// The dragging list, when the drag carries a topic of a list of this program.
TopicList* dragSourceOf(const QDropEvent* event) {
    if (!event->mimeData()->hasFormat(QString::fromLatin1(TopicList::kTopicMimeType)))
        return nullptr;
    return qobject_cast<TopicList*>(event->source());
}

} // namespace

TopicList::TopicList(QWidget* parent) : QListWidget(parent) {
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}

int TopicList::entryAt(const QPoint& position) const {
    const QModelIndex index = indexAt(position);
    return index.isValid() ? index.row() + 1 : 0;
}

int TopicList::selectedEntry() const {
    return currentRow() + 1;
}

void TopicList::selectEntry(int entry) {
    const QSignalBlocker blocker(this);
    if (entry <= 0) {
        setCurrentIndex(QModelIndex());
        clearSelection();
    } else {
        setCurrentRow(entry - 1);
    }
}

void TopicList::mousePressEvent(QMouseEvent* event) {
    setFocus();
    const int entry = entryAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        if (entry > 0)
            emit contextMenuRequested(entry, event->globalPosition().toPoint());
        return;
    }
    armedEntry_ = event->button() == Qt::LeftButton && isTopic(entry) ? entry : 0;
    pressedAt_ = event->position().toPoint();
    QListWidget::mousePressEvent(event); // a plain click selects, and the window shows it
}

// While a left press on a topic may become a drag, the list does not follow the mouse with
// its selection, or it would leave the dragged topic.
void TopicList::mouseMoveEvent(QMouseEvent* event) {
    if (armedEntry_ == 0 || !(event->buttons() & Qt::LeftButton))
        return QListWidget::mouseMoveEvent(event);
    if ((event->position().toPoint() - pressedAt_).manhattanLength() >=
        QApplication::startDragDistance())
        startDrag(std::exchange(armedEntry_, 0));
}

void TopicList::mouseReleaseEvent(QMouseEvent* event) {
    armedEntry_ = 0;
    QListWidget::mouseReleaseEvent(event);
}

void TopicList::startDrag(int entry) {
    draggedEntry_ = entry;
    const QPointer<TopicList> self(this);
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kTopicMimeType), QByteArray());
    drag->setMimeData(mime);
    const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    if (!self)
        return;
    draggedEntry_ = 0;
    endDrag(entry, result != Qt::IgnoreAction);
}

void TopicList::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Insert || event->key() == Qt::Key_Delete) {
        if (event->key() == Qt::Key_Insert)
            emit insertKeyReleased();
        else
            emit deleteKeyReleased();
        setFocus();
        return;
    }
    QListWidget::keyReleaseEvent(event);
}

void TopicList::dragEnterEvent(QDragEnterEvent* event) {
    hoverDrag(event, false);
}

void TopicList::dragMoveEvent(QDragMoveEvent* event) {
    hoverDrag(event, false);
}

void TopicList::dragLeaveEvent(QDragLeaveEvent*) {
    restoreSelectionAfterDrag();
}

void TopicList::dropEvent(QDropEvent* event) {
    hoverDrag(event, true);
}

void TopicList::hoverDrag(QDropEvent* event, bool drop) {
    TopicList* source = dragSourceOf(event);
    if (source == nullptr) {
        event->ignore();
        return;
    }
    if (listUnderDrag != this) {
        if (listUnderDrag)
            listUnderDrag->restoreSelectionAfterDrag();
        listUnderDrag = this;
        selectionBeforeDrag_ = selectedEntry();
    }
    const int entry = entryAt(event->position().toPoint());
    dragOverEntry(entry);
    if (entry == 0) {
        event->ignore();
        if (drop)
            restoreSelectionAfterDrag();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    if (!drop)
        return;
    listUnderDrag = nullptr; // the drop decides the selections from here
    const int sourceEntry = source->draggedEntry_;
    const QPoint globalPos = viewport()->mapToGlobal(event->position().toPoint());
    // Reported once the drag has ended, outside the drag's own event loop.
    const QPointer<TopicList> target(this);
    const QPointer<TopicList> from(source);
    QTimer::singleShot(0, this, [target, from, sourceEntry, entry, globalPos] {
        if (target && from)
            emit target->dropped(from, sourceEntry, entry, globalPos);
    });
}

void TopicList::dragOverEntry(int entry) {
    selectEntry(entry);
}

void TopicList::restoreSelectionAfterDrag() {
    if (listUnderDrag != this)
        return;
    listUnderDrag = nullptr;
    selectEntry(selectionBeforeDrag_ >= 1 && selectionBeforeDrag_ <= count() ? selectionBeforeDrag_
                                                                             : 1);
}

void TopicList::endDrag(int sourceEntry, bool accepted) {
    if (listUnderDrag)
        listUnderDrag->restoreSelectionAfterDrag();
    if (!accepted)
        selectEntry(sourceEntry);
}
