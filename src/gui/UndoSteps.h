#pragma once

#include "core/TopicTable.h"

#include <QKeySequence>
#include <QObject>
#include <QPointer>
#include <QUndoCommand>
#include <QUndoStack>

#include <optional>

class DocumentWindow;
class QAction;
class QMenu;

// The keys of the Undo and Redo items. The data box keeps them for its own text while it has
// something of its own to take back.
inline const QList<QKeySequence> kUndoKeys{Qt::CTRL | Qt::Key_Z};
inline const QList<QKeySequence> kRedoKeys{Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y};

// One document's share of a step: its topics before and after the change, and the entry shown
// once the change is taken back or made again.
struct StepPart {
    QPointer<DocumentWindow> window;
    QList<TopicRows> before;
    QList<TopicRows> after;
    int undoEntry = 1;
    int redoEntry = 1;
};

// The share of a window whose document has just changed: after holds its topics now.
StepPart changedPart(DocumentWindow* window, const QList<TopicRows>& before, int undoEntry,
                     int redoEntry);

// A change of one document, or of two for a topic moved between windows, taken back or made
// again as a whole by putting back each document's topics. A document whose window has closed
// is left out.
class TopicStep : public QUndoCommand {
  public:
    TopicStep(quint16 nameId, const QList<StepPart>& parts);

    quint16 nameId() const { return nameId_; }
    bool changesNothing() const;
    // The first document that no longer holds what the step expects there: a step of another
    // window changed it since. Nullptr when the step may be taken.
    DocumentWindow* changedSince(bool undoing) const;

    void undo() override;
    void redo() override;

  private:
    void apply(bool undoing);

    quint16 nameId_;
    QList<StepPart> parts_;
    bool pushed_ = false; // the change itself ran before the stack's first redo
};

// The Undo and Redo items at the top of an Edit menu, named after the step each takes, in the
// program's language. Without a stack (the Edit menu while no document is open) both stay
// disabled.
class StepItems : public QObject {
    Q_OBJECT

  public:
    // Relabelled when `window` hears of a language change.
    StepItems(QMenu* menu, QWidget* window, const QUndoStack* stack = nullptr);

    QAction* undoItem() const { return undo_; }
    QAction* redoItem() const { return redo_; }
    void relabel();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    const QUndoStack* stack_;
    QAction* undo_;
    QAction* redo_;
};

// The steps of one document window, and the topics its file holds: the document counts as
// modified exactly when its topics differ from them.
class DocumentHistory : public QObject {
    Q_OBJECT

  public:
    static constexpr int kStepLimit = 100;

    DocumentHistory(DocumentWindow& window, QMenu* editMenu);
    ~DocumentHistory() override;

    const QUndoStack& stack() const { return stack_; }
    StepItems* items() const { return items_; }
    // Keeps a step that changed something.
    void push(TopicStep* step);
    void undo();
    void redo();
    // A file was loaded: no steps, and the file holds these topics.
    void restart(const QList<TopicRows>& topics);
    // The topics the file holds now; none when no file holds the document as it is.
    void setSaved(std::optional<QList<TopicRows>> topics);
    bool isSaved(const QList<TopicRows>& topics) const { return saved_ && *saved_ == topics; }

  private:
    void take(bool undoing);

    QUndoStack stack_;
    StepItems* items_;
    std::optional<QList<TopicRows>> saved_{QList<TopicRows>()};
};
