#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// Counting a text in every file of a directory, on all of the machine's cores.
namespace scan {

using FoundFile = std::function<void(const QString& fileName, quint16 count)>;

// Counts the text in the directory's files (those of ScannableFiles) on the thread pool and the
// calling thread, and calls `found` on the calling thread for each file that holds it, in the
// order the directory lists them. A directory that cannot be read holds no files.
void scanDirectory(const QString& directory, QByteArrayView text, bool caseSensitive,
                   const FoundFile& found);

// The same count, off the caller's thread: signals arrive on the scanner's thread, in the order
// the directory lists the files. Every Start ends with one finished() unless a later Start or
// the scanner's end comes first; those let go of the running scan without further signals.
class DirectoryScanner : public QObject {
    Q_OBJECT

  public:
    explicit DirectoryScanner(QObject* parent = nullptr);
    ~DirectoryScanner() override;

    void start(const QString& directory, const QByteArray& text, bool caseSensitive);
    // Stops the counting between two files, or between two pieces of a long file; the files
    // found so far have been signalled, finished(true) follows once no thread counts any more.
    void cancel();
    bool isRunning() const;
    // The files the last scan has counted so far, in any order.
    int filesCounted() const;

  signals:
    // `done` files of `total` are counted and signalled; the first comes once the directory is
    // listed.
    void progress(int done, int total);
    void found(const QString& fileName, quint16 count);
    void finished(bool cancelled);

  private:
    struct Run;

    void letGo();
    void listed(const std::shared_ptr<Run>& run);
    void deliver(const std::shared_ptr<Run>& run);
    void stopped(const std::shared_ptr<Run>& run);
    void finish(const std::shared_ptr<Run>& run, bool cancelled);

    std::shared_ptr<Run> run_;
};

} // namespace scan
