#pragma once

#include <QString>

class QWidget;

// Every file and directory dialog goes through the installed file dialogs, so windows can be
// driven by tests without a modal dialog. An empty result means the user cancelled.
class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& directory,
                                 const QString& filter) = 0;
    // No overwrite question: a database file is simply written.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& directory,
                                 const QString& fileName, const QString& filter) = 0;
};

FileDialogs& theFileDialogs();
// Installs dialogs (not owned) and returns the previous ones; nullptr restores the default.
FileDialogs* setFileDialogs(FileDialogs* dialogs);

// The one filter of the open and save dialogs, in either language.
inline QString allFilesFilter() {
    return QStringLiteral("Alle Dateien (*)");
}
