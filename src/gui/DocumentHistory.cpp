#include "gui/DocumentHistory.h"

#include "core/Document.h"
#include "gui/StepKeys.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QAction>
#include <QEvent>
#include <QUndoGroup>
#include <QWidget>

#include <algorithm>

namespace {

bool isEmptyTopic(const TopicRows& rows) {
    return std::all_of(rows.cbegin(), rows.cend(),
                       [](const QByteArray& row) { return row.isEmpty(); });
}

// Saving may leave out trailing empty topics; a document that lost only those still holds what
// a step left there.
bool sameTopics(const QList<TopicRows>& current, const QList<TopicRows>& expected) {
    auto meaningful = [](const QList<TopicRows>& topics) {
        qsizetype count = topics.size();
        while (count > 0 && isEmptyTopic(topics[count - 1]))
            --count;
        return count;
    };
    const qsizetype count = meaningful(current);
    return count == meaningful(expected) &&
           std::equal(current.cbegin(), current.cbegin() + count, expected.cbegin());
}

// "Undo insert topic"; without a step the text before the name and its separator, "Undo".
QString itemLabel(quint16 formatId, const QUndoCommand* command) {
    const QString format = strings::text(formatId);
    if (const auto* step = dynamic_cast<const TopicStep*>(command))
        return strings::format(format, {strings::text(step->nameId())});
    QString plain = format.left(format.indexOf(QStringLiteral("%S")));
    while (plain.endsWith(u' ') || plain.endsWith(u':'))
        plain.chop(1);
    return plain;
}

QAction* makeItem(QObject* parent, const char* name, const QList<QKeySequence>& keys) {
    auto* item = new QAction(parent);
    item->setObjectName(QString::fromLatin1(name));
    item->setShortcuts(keys);
    item->setEnabled(false);
    return item;
}

} // namespace

StepPart changedPart(Document& document, const QList<TopicRows>& before, int undoEntry,
                     int redoEntry) {
    return {&document, before, document.topics(), undoEntry, redoEntry};
}

// ---- one step ----

TopicStep::TopicStep(quint16 nameId, const QList<StepPart>& parts)
    : nameId_(nameId), parts_(parts) {
    setText(strings::text(nameId));
}

bool TopicStep::changesNothing() const {
    return std::all_of(parts_.cbegin(), parts_.cend(),
                       [](const StepPart& part) { return part.before == part.after; });
}

// By the time a document's end is announced its pointers read null already: a part without
// its document is the part of the document going.
bool TopicStep::spansGoneDocument() const {
    return std::any_of(parts_.cbegin(), parts_.cend(),
                       [](const StepPart& part) { return part.document.isNull(); });
}

Document* TopicStep::changedSince(bool undoing) const {
    for (const StepPart& part : parts_) {
        if (part.document &&
            !sameTopics(part.document->topics(), undoing ? part.after : part.before))
            return part.document;
    }
    return nullptr;
}

void TopicStep::undo() {
    apply(true);
}

void TopicStep::redo() {
    if (std::exchange(pushed_, true))
        apply(false);
}

void TopicStep::apply(bool undoing) {
    if (silent_)
        return;
    for (const StepPart& part : parts_) {
        if (part.document)
            part.document->putBack(undoing ? part.before : part.after,
                                   undoing ? part.undoEntry : part.redoEntry);
    }
}

// ---- one document's steps ----

DocumentHistory::DocumentHistory(Document& document, QObject* parent)
    : QObject(parent), document_(document), stack_(new QUndoStack(this)) {
    stack_->setUndoLimit(kStepLimit);
}

// The stack tells of its last steps going; nobody listens any more.
DocumentHistory::~DocumentHistory() {
    stack_->disconnect();
}

DocumentHistory* DocumentHistory::of(QUndoStack* stack) {
    return stack ? qobject_cast<DocumentHistory*>(stack->parent()) : nullptr;
}

void DocumentHistory::record(quint16 nameId, const QList<StepPart>& parts) {
    auto* step = new TopicStep(nameId, parts);
    if (step->changesNothing()) {
        delete step;
        return;
    }
    for (const StepPart& part : parts) {
        Document* other = part.document;
        if (other == nullptr || other == &document_ || watched_.contains(other))
            continue;
        watched_.insert(other);
        connect(other, &QObject::destroyed, this, [this](QObject* gone) {
            watched_.remove(gone);
            forget();
        });
    }
    stack_->push(step);
}

const Document* DocumentHistory::take(bool undoing) {
    const int index = undoing ? stack_->index() - 1 : stack_->index();
    const auto* step = dynamic_cast<const TopicStep*>(stack_->command(index));
    if (step == nullptr)
        return nullptr;
    if (const Document* changed = step->changedSince(undoing))
        return changed;
    if (undoing)
        stack_->undo();
    else
        stack_->redo();
    return nullptr;
}

// A document that steps spanned is gone. The last of those steps that is done can no longer be
// taken back, so it goes with every step before it; the first of them that is undone can no
// longer be made again, so it goes with every step after it. The steps between stay.
void DocumentHistory::forget() {
    const int done = stack_->index();
    int first = 0;
    int last = stack_->count();
    for (int index = 0; index < stack_->count(); ++index) {
        const auto* step = static_cast<const TopicStep*>(stack_->command(index));
        if (!step->spansGoneDocument())
            continue;
        if (index >= done) {
            last = index;
            break;
        }
        first = index + 1;
    }
    if (first == 0 && last == stack_->count())
        return;
    QList<TopicStep*> kept;
    for (int index = first; index < last; ++index) {
        const auto* step = static_cast<const TopicStep*>(stack_->command(index));
        kept.append(new TopicStep(step->nameId(), step->parts()));
    }
    rebuild(kept, done - first);
}

// The stack cannot drop steps from its bottom: it is filled anew, the steps taking their places
// without touching any document.
void DocumentHistory::rebuild(const QList<TopicStep*>& kept, int doneCount) {
    stack_->clear();
    for (TopicStep* step : kept) {
        step->setSilent(true);
        stack_->push(step);
    }
    stack_->setIndex(doneCount);
    for (TopicStep* step : kept)
        step->setSilent(false);
}

// ---- the menu items ----

StepItems::StepItems(QUndoGroup& group, QWidget* window) : QObject(window), group_(group) {
    undo_ = makeItem(window, "undo", kUndoKeys);
    redo_ = makeItem(window, "redo", kRedoKeys);
    connect(undo_, &QAction::triggered, this, [this] { take(true); });
    connect(redo_, &QAction::triggered, this, [this] { take(false); });
    window->installEventFilter(this);
    connect(&group_, &QUndoGroup::activeStackChanged, this, &StepItems::relabel);
    connect(&group_, &QUndoGroup::indexChanged, this, &StepItems::relabel);
    connect(&group_, &QUndoGroup::canUndoChanged, this, &StepItems::relabel);
    connect(&group_, &QUndoGroup::canRedoChanged, this, &StepItems::relabel);
    relabel();
}

void StepItems::relabel() {
    const QUndoStack* stack = group_.activeStack();
    const int index = stack ? stack->index() : 0;
    const QUndoCommand* undoable = stack ? stack->command(index - 1) : nullptr;
    const QUndoCommand* redoable = stack ? stack->command(index) : nullptr;
    undo_->setText(itemLabel(textid::kUndoStep, undoable));
    redo_->setText(itemLabel(textid::kRedoStep, redoable));
    undo_->setEnabled(undoable != nullptr);
    redo_->setEnabled(redoable != nullptr);
}

void StepItems::take(bool undoing) {
    DocumentHistory* history = DocumentHistory::of(group_.activeStack());
    if (history == nullptr)
        return;
    const QString item = QString((undoing ? undo_ : redo_)->text()).remove(u'&');
    if (const Document* changed = history->take(undoing))
        emit stepRefused(item, changed);
}

bool StepItems::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        relabel();
    return QObject::eventFilter(watched, event);
}
