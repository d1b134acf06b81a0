#pragma once

#include "core/Find.h"

#include <QDialog>

#include <memory>

namespace Ui {
class FindDialog;
}
class DocumentWindow;
class Preferences;

// The find dialog: looks for a text in the selected topic of a document window, or from the
// selected topic on to the end of its list, and selects the first occurrence in the data box.
// Made once when the program starts and hidden between uses; the search it was last started
// with goes on with Repeat.
class FindDialog : public QDialog {
    Q_OBJECT

  public:
    explicit FindDialog(Preferences& preferences, QWidget* parent = nullptr);
    ~FindDialog() override;

    // Find: shows the dialog modally; when it is closed with Start, its choices become the
    // search and the first occurrence is searched in the document.
    void showFind(DocumentWindow* document);
    // Start: takes the dialog's choices as the new search and searches once.
    bool startSearch(DocumentWindow* document);
    // Repeat: the next occurrence, from the entry selected in the document now. False after
    // telling that the text was not found.
    bool searchNext(DocumentWindow* document);

    // The dialog's choices and position, written with the other windows' when the program ends.
    void writeSettings() const;

  signals:
    // A search was started: Repeat has something to repeat from now on.
    void searchStarted();

  private:
    void readSettings();

    Preferences& preferences_;
    // The search Start began, kept until the next Start.
    TopicSearch search_;
    std::unique_ptr<Ui::FindDialog> ui_;
};
