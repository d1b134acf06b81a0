#pragma once

#include "gui/FileDialogs.h"

#include <QList>
#include <QStringList>

// Records every file dialog instead of showing it, and answers from a script. Installed for
// its lifetime.
class ScriptedFileDialogs : public FileDialogs {
  public:
    ScriptedFileDialogs();
    ~ScriptedFileDialogs() override;

    QString openFileName(QWidget* parent, const QString& title, const QString& directory,
                         const QString& filter) override;
    using FileDialogs::saveFileName;
    QString saveFileName(QWidget* parent, const QString& title, const QString& directory,
                         const QString& fileName, const QStringList& filters, int& chosen) override;

    struct Request {
        bool save = false;
        QString title;
        QString directory;
        QString fileName; // the suggested name of a save dialog
        QString filter;   // of a save dialog: its filters, one a line
        int offered = 0;  // of a save dialog: the filter offered first
    };

    // Names chosen in the next open and save dialogs, in order; without one the dialog is
    // cancelled (an empty name). The filters chosen in the next save dialogs; without one the
    // filter offered stays.
    QStringList openAnswers;
    QStringList saveAnswers;
    QList<int> filterAnswers;
    QList<Request> requests;

  private:
    FileDialogs* previous_;
};
