#pragma once

#include "platform/RecoveryKeeper.h"
#include "platform/RecoveryStore.h"

#include <QList>

class DocumentWindow;
class MainWindow;

// The recovery copies of one run of the program: made before the main window, so that it
// outlives every document; on a normal end its own copies go with it.
class Recovery {
  public:
    // Claims the copies that crashed runs of the program left over.
    Recovery();

    // Every document window the main window makes from now on keeps a recovery copy.
    void watch(MainWindow& mainWindow);
    // Offers the leftovers, if any, and restores or discards each as the user decides; the rest
    // stays for the next start. Then tells of the copies that could not be offered.
    void offer(MainWindow& mainWindow);

  private:
    void restore(MainWindow& mainWindow, const RecoveryCopy& copy);
    void tellUnoffered() const;

    RecoveryStore store_;
    RecoveryKeeper keeper_;
    QList<RecoveryCopy> leftovers_;
    UnofferedCopies unoffered_;
};
