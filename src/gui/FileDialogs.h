#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Every file and directory dialog goes through the installed file dialogs, so windows can be
// driven by tests without a modal dialog. An empty result means the user cancelled.
class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& directory,
                                 const QString& filter) = 0;
    // A name that exists already is chosen only after the dialog's question whether to replace
    // that file. The filters are choices of how to write it: `chosen` comes in as the one
    // offered first and goes out as the one taken.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& directory,
                                 const QString& fileName, const QStringList& filters,
                                 int& chosen) = 0;
    // With one filter, nothing to choose.
    QString saveFileName(QWidget* parent, const QString& title, const QString& directory,
                         const QString& fileName, const QString& filter) {
        int only = 0;
        return saveFileName(parent, title, directory, fileName, QStringList{filter}, only);
    }
};

FileDialogs& theFileDialogs();
// Installs dialogs (not owned) and returns the previous ones; nullptr restores the default.
FileDialogs* setFileDialogs(FileDialogs* dialogs);

// The one filter of the open and save dialogs, in either language.
inline QString allFilesFilter() {
    return QStringLiteral("Alle Dateien (*)");
}
