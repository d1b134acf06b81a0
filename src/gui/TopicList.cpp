#include "gui/TopicList.h"

#include "core/Document.h"
#include "core/Hp48Codec.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTimer>

#include <utility>

namespace {

// More of a title than an entry can ever show: a longer one is cut before it is decoded, so
// that a row of megabytes costs no more to list and draw than a short one.
constexpr qsizetype kLongestTitleShown = 256;

// Draws an entry's title with its baseline one ascent below the entry's top. The calculator
// font's line is a pixel higher than an entry, and text centred in the entry loses its top
// pixels, where the marks over capitals (Ü, É, Ñ) stand; the lowest pixel of a descender matters
// less.
class EntryDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem entry = option;
        initStyleOption(&entry, index);
        const QString title = std::exchange(entry.text, QString());
        const QWidget* widget = option.widget;
        const QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &entry, painter, widget); // without text
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect room = entry.rect.adjusted(margin, 0, -margin, 0);
        // Hinted fully, a mark stands no higher than the font's ascent.
        QFont font = entry.font;
        font.setHintingPreference(QFont::PreferFullHinting);
        const QFontMetrics metrics(font);
        const QPalette::ColorGroup group =
            !(entry.state & QStyle::State_Enabled) ? QPalette::Disabled
            : entry.state & QStyle::State_Active   ? QPalette::Normal
                                                   : QPalette::Inactive;
        painter->save();
        painter->setClipRect(entry.rect);
        painter->setFont(font);
        painter->setPen(entry.palette.color(group, entry.state & QStyle::State_Selected
                                                       ? QPalette::HighlightedText
                                                       : QPalette::Text));
        painter->drawText(QPoint(room.left(), room.top() + metrics.ascent()),
                          metrics.elidedText(title, Qt::ElideRight, room.width()));
        painter->restore();
    }
};

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
    setItemDelegate(new EntryDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}

void TopicList::setDocument(Document* document) {
    document_ = document;
    connect(document, &Document::topicsChanged, this, &TopicList::showTitles);
    connect(document, &Document::titleRowChanged, this, &TopicList::showTitles);
    connect(document, &Document::selectionChanged, this, &TopicList::selectEntry);
    connect(this, &QListWidget::currentRowChanged, document, [document](int row) {
        if (row >= 0)
            document->select(row + 1);
    });
    showTitles();
}

void TopicList::showTitles() {
    const QSignalBlocker blocker(this);
    clear();
    for (int entry = 1; entry <= document_->table().entryCount(); ++entry) {
        auto* item = new QListWidgetItem(
            hp48::decodeRow(document_->title(entry).left(kLongestTitleShown)), this);
        item->setSizeHint(QSize(0, kEntryHeight));
    }
    selectEntry(document_->selection());
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
