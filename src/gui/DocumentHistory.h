#pragma once

#include "core/TopicTable.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QUndoCommand>
#include <QUndoStack>

class Document;
class QAction;
class QUndoGroup;
class QWidget;

// One document's share of a step: its topics before and after the change, and the entry
// selected once the change is taken back or made again.
struct StepPart {
    QPointer<Document> document;
    QList<TopicRows> before;
    QList<TopicRows> after;
    int undoEntry = 1;
    int redoEntry = 1;
};

// The share of a document that has just changed: after holds its topics now.
StepPart changedPart(Document& document, const QList<TopicRows>& before, int undoEntry,
                     int redoEntry);

// A change of one document, or of two for a topic moved between documents, taken back or made
// again as a whole by putting back each document's topics.
class TopicStep : public QUndoCommand {
  public:
    TopicStep(quint16 nameId, const QList<StepPart>& parts);

    quint16 nameId() const { return nameId_; }
    const QList<StepPart>& parts() const { return parts_; }
    bool changesNothing() const;
    // Whether a document it changed is gone.
    bool spansGoneDocument() const;
    // The first document that no longer holds what the step expects there: a step of another
    // document changed it since. Nullptr when the step may be taken.
    Document* changedSince(bool undoing) const;
    // While the history rebuilds itself, the steps only take their places.
    void setSilent(bool silent) { silent_ = silent; }

    void undo() override;
    void redo() override;

  private:
    void apply(bool undoing);

    quint16 nameId_;
    QList<StepPart> parts_;
    bool pushed_ = false; // the change itself ran before the stack's first redo
    bool silent_ = false;
};

// The steps of one document. It knows no window: a step puts topics back through the documents
// it changed. A step that changed another document too can no longer be taken once that
// document is gone, and neither can the steps before it: they go from the history, so no
// topic is ever taken out of one document without going back into the other.
class DocumentHistory : public QObject {
    Q_OBJECT

  public:
    static constexpr int kStepLimit = 100;

    explicit DocumentHistory(Document& document, QObject* parent = nullptr);
    ~DocumentHistory() override;
    DocumentHistory(const DocumentHistory&) = delete;
    DocumentHistory& operator=(const DocumentHistory&) = delete;

    // The stack the frame's undo group follows while the document is the active one.
    QUndoStack* stack() const { return stack_; }
    static DocumentHistory* of(QUndoStack* stack);

    // A change that was just made, kept when it changed something.
    void record(quint16 nameId, const QList<StepPart>& parts);
    // Takes the next step back or again. When another step changed a document of it since,
    // nothing is taken and that document is returned.
    const Document* take(bool undoing);
    // The document was loaded anew: no step reaches back past it.
    void clear() { stack_->clear(); }

  private:
    void forget();
    void rebuild(const QList<TopicStep*>& kept, int doneCount);

    Document& document_;
    QUndoStack* stack_;
    QSet<const QObject*> watched_; // the other documents the steps span
};

// The Undo and Redo items, named after the step each takes in the program's language, acting
// on the history of the undo group's active stack. Without one both are disabled.
class StepItems : public QObject {
    Q_OBJECT

  public:
    // Relabelled when `window` hears of a language change.
    StepItems(QUndoGroup& group, QWidget* window);

    QAction* undoItem() const { return undo_; }
    QAction* redoItem() const { return redo_; }
    void relabel();

  signals:
    // A step was not taken: `changed` holds what another step left there since.
    void stepRefused(const QString& item, const Document* changed);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void take(bool undoing);

    QUndoGroup& group_;
    QAction* undo_;
    QAction* redo_;
};
