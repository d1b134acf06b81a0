#pragma once

#include "core/Sort.h"

#include <QDialog>

#include <memory>

namespace Ui {
class SortDialog;
}
class DocumentWindow;
class Preferences;

// The sort dialog: asks for the order and the kind of comparison and sorts the topics of a
// document window by their titles. Made once when the program starts; its choices persist.
class SortDialog : public QDialog {
    Q_OBJECT

  public:
    explicit SortDialog(Preferences& preferences, QWidget* parent = nullptr);
    ~SortDialog() override;

    // Sort topics: fewer than two topics are refused with a message; otherwise the dialog
    // asks, and Start sorts the document.
    void sortTopics(DocumentWindow* document);

    sort::Comparison chosenComparison() const;
    bool descending() const;

    // The dialog's choices and position, written with the other windows' when the program ends.
    void writeSettings() const;

  private:
    void readSettings();

    Preferences& preferences_;
    std::unique_ptr<Ui::SortDialog> ui_;
};
