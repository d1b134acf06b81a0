#include "ScriptedFileDialogs.h"

ScriptedFileDialogs::ScriptedFileDialogs() : previous_(SetFileDialogs(this)) {}

ScriptedFileDialogs::~ScriptedFileDialogs() {
    SetFileDialogs(previous_);
}

QString ScriptedFileDialogs::OpenFileName(QWidget*, const QString& title, const QString& directory,
                                          const QString& filter) {
    requests.append({false, title, directory, QString(), filter});
    return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
}

QString ScriptedFileDialogs::SaveFileName(QWidget*, const QString& title, const QString& directory,
                                          const QString& fileName, const QString& filter) {
    requests.append({true, title, directory, fileName, filter});
    return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
}
