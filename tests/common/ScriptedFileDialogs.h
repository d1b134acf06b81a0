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
    QString saveFileName(QWidget* parent, const QString& title, const QString& directory,
                         const QString& fileName, const QString& filter) override;

    struct Request {
        bool save = false;
        QString title;
        QString directory;
        QString fileName; // the suggested name of a save dialog
        QString filter;
    };

    // Names chosen in the next open and save dialogs, in order; without one the dialog is
    // cancelled (an empty name).
    QStringList openAnswers;
    QStringList saveAnswers;
    QList<Request> requests;

  private:
    FileDialogs* previous_;
};
