// The main window's share of comparing documents and of the files received from the
// calculator: the compare window, the list of received files, and the copy of each file the
// transfer received, kept before it opens.
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/CompareWindow.h"
#include "gui/dialogs/ReceivedDialog.h"
#include "platform/Preferences.h"
#include "platform/ReceivedCopies.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QDateTime>

CompareWindow& MainWindow::compareWindow() {
    if (compare_ == nullptr) {
        compare_ = new CompareWindow(*this, this);
        applyLanguageTo(compare_);
    }
    return *compare_;
}

ReceivedDialog& MainWindow::receivedDialog() {
    if (received_ == nullptr) {
        received_ = new ReceivedDialog(*this, preferences_, this);
        connect(received_, &ReceivedDialog::compareRequested, this, &MainWindow::compareDocuments);
        applyLanguageTo(received_);
    }
    return *received_;
}

void MainWindow::compareWith(DocumentWindow& document) {
    compareDocuments(&document, nullptr);
}

void MainWindow::compareDocuments(DocumentWindow* a, DocumentWindow* b) {
    CompareWindow& window = compareWindow();
    window.compare(a, b);
    window.show();
    window.raise();
    window.activateWindow();
    if (window.sideB() == nullptr) // no other document is open: a file, then
        window.chooseFile();
}

void MainWindow::showReceivedFiles() {
    receivedDialog().showCopies();
}

DocumentWindow* MainWindow::openReceivedFile(const QString& fileName) {
    keepReceived(fileName);
    return openDocument(fileName, RecentFiles::Skip);
}

// A file the transfer received is kept as it came before it opens.
void MainWindow::keepReceived(const QString& fileName) {
    using namespace settings;
    const int keep =
        readInteger(preferences_.settings(), key::kKeepReceived, fallback::kKeepReceived);
    QString error;
    if (received::keep(fileName, keep, QDateTime::currentDateTime(), &error).isEmpty() &&
        !error.isEmpty())
        showWarning(strings::format(strings::text(textid::kReceivedNotKept), {error}));
    if (received_ != nullptr && received_->isVisible())
        received_->fill();
}
