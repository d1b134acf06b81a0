#pragma once

#include "core/Compare.h"

#include <QDialog>
#include <QPointer>

#include <memory>

namespace Ui {
class CompareWindow;
}
class DocumentWindow;
class Workspace;

// Two open documents A and B compared topic by topic: the pairs with their state, the rows of
// the chosen pair side by side with the differing ones marked, the keys to the next and the
// previous difference (F7, Shift+F7). A take puts a topic, a row, or every difference of one
// kind from one side into the other; each take is a step of the history of the document it
// changes, so that document's Undo takes it back. The comparison follows every change of
// either document.
class CompareWindow : public QDialog {
    Q_OBJECT

  public:
    explicit CompareWindow(Workspace& workspace, QWidget* parent = nullptr);
    ~CompareWindow() override;

    // Compares `a` with `b`; without b, with the most recently active other document, else
    // with nothing until one is chosen.
    void compare(DocumentWindow* a, DocumentWindow* b = nullptr);
    DocumentWindow* sideA() const { return a_; }
    DocumentWindow* sideB() const { return b_; }
    const QList<compare::Pair>& pairs() const { return pairs_; }
    int currentPair() const;
    void setCurrentPair(int pair);

    // B is a file chosen in the open dialog, opened in a document window of its own.
    void chooseFile();
    void nextDifference();
    void previousDifference();
    void takeTopic(compare::Side into);
    void takeRow(compare::Side into); // the chosen row of a changed pair
    void takeAll(compare::Side into); // every pair of the kind chosen

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void relabel();
    void fillChoices();
    void otherChosen(int index);
    void watch(DocumentWindow* document);
    void documentClosing(DocumentWindow* document);
    void refresh();
    void showPair();
    void updateButtons();
    void stepTo(int direction);
    void take(compare::Side into, const QList<compare::Take>& takes);

    Workspace& workspace_;
    std::unique_ptr<Ui::CompareWindow> ui_;
    QPointer<DocumentWindow> a_;
    QPointer<DocumentWindow> b_;
    QList<compare::Pair> pairs_;
    bool gone_ = false;    // a compared document was closed
    bool filling_ = false; // the choice of B is being filled, not chosen
};
