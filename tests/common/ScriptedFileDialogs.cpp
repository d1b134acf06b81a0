#include "ScriptedFileDialogs.h"

ScriptedFileDialogs::ScriptedFileDialogs() : previous_(setFileDialogs(this)) {}

ScriptedFileDialogs::~ScriptedFileDialogs() {
    setFileDialogs(previous_);
}

QString ScriptedFileDialogs::openFileName(QWidget*, const QString& title, const QString& directory,
                                          const QString& filter) {
    requests.append({false, title, directory, QString(), filter});
    return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
}

QString ScriptedFileDialogs::saveFileName(QWidget*, const QString& title, const QString& directory,
                                          const QString& fileName, const QStringList& filters,
                                          int& chosen) {
    requests.append({true, title, directory, fileName, filters.join(u'\n'), chosen});
    if (!filterAnswers.isEmpty())
        chosen = filterAnswers.takeFirst();
    return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
}
