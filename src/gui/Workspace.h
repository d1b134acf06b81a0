#pragma once

#include <QList>
#include <QString>

class DocumentWindow;

// What the dialogs need of the main window: the active document, new document windows, a file
// opened into a window of its own, and the status line.
class Workspace {
  public:
    virtual ~Workspace() = default;

    virtual DocumentWindow* activeDocument() const = 0;
    // The open document windows, the most recently active first.
    virtual QList<DocumentWindow*> documentWindows() const = 0;
    // A new, empty document window; it is the active one.
    virtual DocumentWindow* newDocument() = 0;
    // Whether a file that opens joins the recent files.
    enum class RecentFiles { Remember, Skip };
    // Opens the file into a new document window, which becomes the active one; a file that
    // cannot be loaded is reported and its window goes again (nullptr).
    virtual DocumentWindow* openDocument(const QString& fileName, RecentFiles recent) = 0;
    // A file the transfer received: kept as it came among the received copies, then opened
    // like openDocument, without joining the recent files.
    virtual DocumentWindow* openReceivedFile(const QString& fileName) = 0;
    virtual void showStatus(const QString& text) = 0;
};
