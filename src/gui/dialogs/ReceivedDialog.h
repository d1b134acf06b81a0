#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class ReceivedDialog;
}
class DocumentWindow;
class Preferences;
class Workspace;

// The files received from the calculator, as kept: the date and time each arrived, its topics
// and its size, the newest first. One opens as a received document, or opens to be compared
// with the active document. How many are kept is chosen here too.
class ReceivedDialog : public QDialog {
    Q_OBJECT

  public:
    ReceivedDialog(Workspace& workspace, Preferences& preferences, QWidget* parent = nullptr);
    ~ReceivedDialog() override;

    // Lists the copies anew and shows the dialog.
    void showCopies();
    // Lists the copies anew.
    void fill();
    void openChosen();
    void compareChosen();

  signals:
    // The copy opened as b is to be compared with the document a.
    void compareRequested(DocumentWindow* a, DocumentWindow* b);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void relabel();
    DocumentWindow* openCopy();

    Workspace& workspace_;
    Preferences& preferences_;
    std::unique_ptr<Ui::ReceivedDialog> ui_;
};
