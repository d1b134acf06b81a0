#include "app/Recovery.h"

#include "gui/DocumentWindow.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/RecoveryDialog.h"

#include <QMdiSubWindow>

Recovery::Recovery() : keeper_(store_) {
    leftovers_ = store_.claimLeftovers();
    if (leftovers_.isEmpty())
        store_.releaseLeftovers(); // folders of crashed runs that held no copy go at once
}

void Recovery::watch(MainWindow& mainWindow) {
    QObject::connect(&mainWindow, &MainWindow::documentMade, &keeper_,
                     [this](DocumentWindow* window) { keeper_.watch(&window->document()); });
}

void Recovery::offer(MainWindow& mainWindow) {
    RecoveryDialog dialog(leftovers_, &mainWindow);
    dialog.exec();
    for (int index = 0; index < leftovers_.size(); ++index) {
        if (dialog.choice(index) == RecoveryDialog::Choice::Restore)
            restore(mainWindow, leftovers_[index]);
        else if (dialog.choice(index) == RecoveryDialog::Choice::Discard)
            RecoveryStore::removeLeftover(leftovers_[index]);
    }
    leftovers_.clear();
    store_.releaseLeftovers();
}

// The restored document's copy becomes this program's; only once that is written does the old
// one go. A copy that cannot be read is reported and stays.
void Recovery::restore(MainWindow& mainWindow, const RecoveryCopy& copy) {
    DocumentWindow* window = mainWindow.newDocument();
    if (!window->restoreFrom(copy.copyFile, copy.originalFile)) {
        auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget());
        frame ? frame->close() : window->close();
        return;
    }
    if (keeper_.writeNow(&window->document()))
        RecoveryStore::removeLeftover(copy);
}
