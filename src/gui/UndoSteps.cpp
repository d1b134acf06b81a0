#include "gui/UndoSteps.h"

#include "gui/DocumentWindow.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QAction>
#include <QEvent>
#include <QMenu>

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

QAction* addItem(QMenu* menu, QAction* before, const char* name, const QList<QKeySequence>& keys) {
    auto* item = new QAction(menu);
    item->setObjectName(QString::fromLatin1(name));
    item->setShortcuts(keys);
    item->setEnabled(false);
    menu->insertAction(before, item);
    return item;
}

} // namespace

StepPart changedPart(DocumentWindow* window, const QList<TopicRows>& before, int undoEntry,
                     int redoEntry) {
    return {window, before, window->document().topics(), undoEntry, redoEntry};
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

DocumentWindow* TopicStep::changedSince(bool undoing) const {
    for (const StepPart& part : parts_) {
        if (part.window &&
            !sameTopics(part.window->document().topics(), undoing ? part.after : part.before))
            return part.window;
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
    for (const StepPart& part : parts_) {
        if (part.window)
            part.window->showStep(undoing ? part.before : part.after,
                                  undoing ? part.undoEntry : part.redoEntry);
    }
}

// ---- the menu items ----

StepItems::StepItems(QMenu* menu, QWidget* window, const QUndoStack* stack)
    : QObject(menu), stack_(stack) {
    QAction* first = menu->actions().value(0);
    undo_ = addItem(menu, first, "undo", kUndoKeys);
    redo_ = addItem(menu, first, "redo", kRedoKeys);
    menu->insertSeparator(first);
    window->installEventFilter(this);
    if (stack_) {
        connect(stack_, &QUndoStack::indexChanged, this, &StepItems::relabel);
        connect(stack_, &QUndoStack::canUndoChanged, this, &StepItems::relabel);
        connect(stack_, &QUndoStack::canRedoChanged, this, &StepItems::relabel);
    }
    relabel();
}

void StepItems::relabel() {
    const int index = stack_ ? stack_->index() : 0;
    const QUndoCommand* undoable = stack_ ? stack_->command(index - 1) : nullptr;
    const QUndoCommand* redoable = stack_ ? stack_->command(index) : nullptr;
    undo_->setText(itemLabel(textid::kUndoStep, undoable));
    redo_->setText(itemLabel(textid::kRedoStep, redoable));
    undo_->setEnabled(undoable != nullptr);
    redo_->setEnabled(redoable != nullptr);
}

bool StepItems::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        relabel();
    return QObject::eventFilter(watched, event);
}

// ---- a document window's steps ----

DocumentHistory::DocumentHistory(DocumentWindow& window, QMenu* editMenu) : QObject(&window) {
    stack_.setUndoLimit(kStepLimit);
    items_ = new StepItems(editMenu, &window, &stack_);
    connect(items_->undoItem(), &QAction::triggered, this, &DocumentHistory::undo);
    connect(items_->redoItem(), &QAction::triggered, this, &DocumentHistory::redo);
}

// The stack tells of its last steps going; nobody listens any more.
DocumentHistory::~DocumentHistory() {
    stack_.disconnect();
}

void DocumentHistory::push(TopicStep* step) {
    if (step->changesNothing()) {
        delete step;
        return;
    }
    stack_.push(step);
}

void DocumentHistory::undo() {
    take(true);
}

void DocumentHistory::redo() {
    take(false);
}

void DocumentHistory::take(bool undoing) {
    const int index = undoing ? stack_.index() - 1 : stack_.index();
    const auto* step = dynamic_cast<const TopicStep*>(stack_.command(index));
    if (step == nullptr)
        return;
    if (DocumentWindow* changed = step->changedSince(undoing)) {
        const QAction* item = undoing ? items_->undoItem() : items_->redoItem();
        thePrompter().showMessage(textid::kStepOutdated, MessageKind::Information,
                                  {QString(item->text()).remove(u'&'), changed->caption()});
        return;
    }
    if (undoing)
        stack_.undo();
    else
        stack_.redo();
}

void DocumentHistory::restart(const QList<TopicRows>& topics) {
    stack_.clear();
    setSaved(topics);
}

void DocumentHistory::setSaved(std::optional<QList<TopicRows>> topics) {
    saved_ = std::move(topics);
    if (saved_)
        stack_.setClean();
    else
        stack_.resetClean();
}
