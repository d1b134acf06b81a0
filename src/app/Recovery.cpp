#include "app/Recovery.h"

#include "gui/DocumentWindow.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/RecoveryDialog.h"
#include "platform/Prompter.h"
#include "platform/TextIds.h"

#include <QDir>

#include <QMdiSubWindow>

Recovery::Recovery() : keeper_(store_) {
    leftovers_ = store_.claimLeftovers();
    unoffered_ = store_.unoffered();
}

void Recovery::watch(MainWindow& mainWindow) {
    QObject::connect(&mainWindow, &MainWindow::documentMade, &keeper_,
                     [this](DocumentWindow* window) { keeper_.watch(&window->document()); });
}

void Recovery::offer(MainWindow& mainWindow) {
    if (!leftovers_.isEmpty()) {
        RecoveryDialog dialog(leftovers_, &mainWindow);
        dialog.exec();
        for (int index = 0; index < leftovers_.size(); ++index) {
            if (dialog.choice(index) == RecoveryDialog::Choice::Restore)
                restore(mainWindow, leftovers_[index]);
            else if (dialog.choice(index) == RecoveryDialog::Choice::Discard)
                RecoveryStore::removeLeftover(leftovers_[index]);
        }
    }
    leftovers_.clear();
    store_.releaseLeftovers();
    tellUnoffered();
}

void Recovery::tellUnoffered() const {
    if (unoffered_.behindDamagedLock > 0) {
        QStringList locks;
        for (const QString& lock : unoffered_.damagedLocks)
            locks.append(QDir::toNativeSeparators(lock));
        thePrompter().showMessage(
            textid::kRecoveryLockDamaged, MessageKind::Information,
            {QString::number(unoffered_.behindDamagedLock), locks.join(u'\n')});
    }
    if (unoffered_.waiting > 0)
        thePrompter().showMessage(textid::kRecoveryWaiting, MessageKind::Information,
                                  {QString::number(unoffered_.waiting)});
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
