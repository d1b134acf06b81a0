#pragma once

#include "platform/RecoveryStore.h"

#include <QDialog>

#include <memory>

namespace Ui {
class RecoveryDialog;
}

// The offer at a start after a crash: the recovery copies left over, each with its file and the
// time of the copy, all selected at first. Restore and Discard decide for the selected copies
// and take them from the list; the dialog closes when the list is empty. Later (or Esc) keeps
// the rest for the next start.
class RecoveryDialog : public QDialog {
    Q_OBJECT

  public:
    enum class Choice { Keep, Restore, Discard };

    explicit RecoveryDialog(const QList<RecoveryCopy>& copies, QWidget* parent = nullptr);
    ~RecoveryDialog() override;

    // What was decided for the copy at that index of the list given.
    Choice choice(int index) const { return choices_.value(index, Choice::Keep); }

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void fillList(const QList<RecoveryCopy>& copies);
    void decideSelected(Choice choice);
    void enableButtons();

    QList<Choice> choices_;
    std::unique_ptr<Ui::RecoveryDialog> ui_;
};
