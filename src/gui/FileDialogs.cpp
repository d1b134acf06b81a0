#include "gui/FileDialogs.h"

#include "core/FileName.h"

#include <QDir>
#include <QFileDialog>

#include <algorithm>

namespace {

// Qt's dialogs give a name that is no UTF-8 with its odd bytes replaced; the name that comes
// back is that of the file on disk.
class QtFileDialogs : public FileDialogs {
  public:
    QString openFileName(QWidget* parent, const QString& title, const QString& directory,
                         const QString& filter) override {
        return filename::onDisk(QFileDialog::getOpenFileName(parent, title, directory, filter));
    }

    QString saveFileName(QWidget* parent, const QString& title, const QString& directory,
                         const QString& fileName, const QStringList& filters,
                         int& chosen) override {
        QString selected = filters.value(chosen);
        const QString name = QFileDialog::getSaveFileName(
            parent, title, QDir(directory).filePath(fileName), filters.join(u";;"), &selected);
        chosen = std::max<int>(0, static_cast<int>(filters.indexOf(selected)));
        return filename::onDisk(name);
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
