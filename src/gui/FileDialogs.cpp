#include "gui/FileDialogs.h"

#include <QDir>
#include <QFileDialog>

namespace {

class QtFileDialogs : public FileDialogs {
  public:
    QString openFileName(QWidget* parent, const QString& title, const QString& directory,
                         const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, title, directory, filter);
    }

    QString saveFileName(QWidget* parent, const QString& title, const QString& directory,
                         const QString& fileName, const QString& filter) override {
        return QFileDialog::getSaveFileName(parent, title, QDir(directory).filePath(fileName),
                                            filter, nullptr, QFileDialog::DontConfirmOverwrite);
    }
};

QtFileDialogs defaultDialogs;
FileDialogs* installedDialogs = nullptr;

} // namespace

FileDialogs& theFileDialogs() {
    return installedDialogs ? *installedDialogs : defaultDialogs;
}

FileDialogs* setFileDialogs(FileDialogs* dialogs) {
    FileDialogs* previous = installedDialogs;
    installedDialogs = dialogs;
    return previous;
}
