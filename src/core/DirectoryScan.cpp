#include "core/DirectoryScan.h"

#include "core/FileName.h"
#include "core/OccurrenceCount.h"
#include "core/RegularFile.h"

#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <latch>
#include <mutex>
#include <utility>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

namespace scan {
namespace {

// The visible ordinary files of a directory in the order the file system lists them, kept
// open so that each is opened by its name in that same directory.
class DirectoryListing {
  public:
    explicit DirectoryListing(const QString& directory)
        : directory_(::opendir(filename::toBytes(directory).constData())) {
        if (directory_ == nullptr)
            return;
        while (const dirent* entry = ::readdir(directory_)) {
            if (entry->d_name[0] != '.' && isRegularFile(*entry))
                entries_.push_back({QByteArray(entry->d_name), entry->d_type == DT_REG});
        }
    }
    ~DirectoryListing() {
        if (directory_ != nullptr)
            ::closedir(directory_);
    }
    DirectoryListing(const DirectoryListing&) = delete;
    DirectoryListing& operator=(const DirectoryListing&) = delete;

    int size() const { return static_cast<int>(entries_.size()); }
    QString name(int index) const { return filename::fromBytes(entries_[index].name); }
    RegularFile::Opened open(int index, RegularFile& file) const {
        const Entry& entry = entries_[index];
        return file.openEntry(::dirfd(directory_), entry.name.constData(), entry.listedAsRegular);
    }

  private:
    struct Entry {
        QByteArray name;
        bool listedAsRegular; // else a link, or a file system that does not tell the kind
    };

    // A link counts when what it leads to is a regular file.
    bool isRegularFile(const dirent& entry) const {
        if (entry.d_type == DT_REG)
            return true;
        if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
            return false;
        struct stat info;
        return ::fstatat(::dirfd(directory_), entry.d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
    }

    DIR* directory_;
    std::vector<Entry> entries_;
};

// One count of a directory, shared by every thread that takes part: any number of them count
// files, taking the next one not yet taken; one at a time hands the results on in listing
// order.
class DirectoryCount {
  public:
    DirectoryCount(const QString& directory, QByteArrayView text, bool caseSensitive)
        : directory_(directory), needle_(text, caseSensitive) {}

    void list() {
        listing_ = std::make_unique<DirectoryListing>(directory_);
        counts_ = std::vector<std::atomic<int>>(static_cast<size_t>(listing_->size()));
        for (std::atomic<int>& count : counts_)
            count.store(kNotCounted, std::memory_order_relaxed);
    }
    int total() const { return listing_ ? listing_->size() : 0; }

    void countFiles(const std::function<void()>& afterEachFile = {}) {
        const std::unique_ptr<char[]> buffer(new char[kReadBufferSize]);
        while (!cancelled_.load(std::memory_order_relaxed)) {
            const int index = next_.fetch_add(1, std::memory_order_relaxed);
            if (index >= total())
                return;
            counts_[index].store(count(index, buffer.get()), std::memory_order_release);
            counted_.fetch_add(1, std::memory_order_relaxed);
            if (afterEachFile)
                afterEachFile();
        }
    }

    // Hands on the results from the first not yet handed on up to the first file not yet
    // counted; returns how many files are handed on in all.
    int deliverInOrder(const FoundFile& found) {
        while (delivered_ < total() && !isCancelled()) {
            const int count = counts_[delivered_].load(std::memory_order_acquire);
            if (count == kNotCounted)
                break;
            ++delivered_;
            if (count > 0)
                found(listing_->name(delivered_ - 1), static_cast<quint16>(count));
        }
        return delivered_;
    }

    void cancel() { cancelled_.store(true); }
    bool isCancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    int filesCounted() const { return counted_.load(std::memory_order_relaxed); }

  private:
    static constexpr int kNotCounted = -1;

    quint16 count(int index, char* buffer) const {
        RegularFile file;
        if (needle_.isEmpty() || listing_->open(index, file) != RegularFile::Opened::Yes)
            return 0;
        return countInOpenFile(file, needle_, buffer, &cancelled_);
    }

    const QString directory_;
    const Needle needle_;
    std::unique_ptr<DirectoryListing> listing_;
    std::vector<std::atomic<int>> counts_;
    std::atomic<int> next_{0};
    std::atomic<int> counted_{0};
    std::atomic<bool> cancelled_{false};
    int delivered_ = 0;
};

// The threads of the pool a count uses besides the one that starts it.
int helperThreads(int files) {
    return std::max(0, std::min(QThreadPool::globalInstance()->maxThreadCount(), files) - 1);
}

} // namespace

QStringList scannableFiles(const QString& directory) {
    const DirectoryListing listing(directory);
    QStringList names;
    names.reserve(listing.size());
    for (int index = 0; index < listing.size(); ++index)
        names.append(listing.name(index));
    return names;
}

void scanDirectory(const QString& directory, QByteArrayView text, bool caseSensitive,
                   const FoundFile& found) {
    DirectoryCount count(directory, text, caseSensitive);
    count.list();
    const int helpers = helperThreads(count.total());
    std::latch helpersDone(helpers);
    for (int helper = 0; helper < helpers; ++helper) {
        QThreadPool::globalInstance()->start([&] {
            count.countFiles();
            helpersDone.count_down();
        });
    }
    // This thread counts as well, and hands on what is ready after each of its files.
    count.countFiles([&] { count.deliverInOrder(found); });
    helpersDone.wait();
    count.deliverInOrder(found);
}

// A scan as the pool's threads and the scanner share it. The threads reach the scanner only
// through post, which does nothing once the scanner has let go of the run.
struct DirectoryScanner::Run {
    Run(const QString& directory, const QByteArray& text, bool caseSensitive, DirectoryScanner* to)
        : count(directory, text, caseSensitive), receiver(to) {}

    // Calls scanner.*handler(run) on the scanner's thread.
    static void post(const std::shared_ptr<Run>& run,
                     void (DirectoryScanner::*handler)(const std::shared_ptr<Run>&)) {
        const std::lock_guard lock(run->receiverMutex);
        if (DirectoryScanner* scanner = run->receiver) {
            QMetaObject::invokeMethod(
                scanner, [scanner, handler, run] { (scanner->*handler)(run); },
                Qt::QueuedConnection);
        }
    }

    // The first thread lists the directory, then calls the others in and counts with them.
    static void listAndCount(const std::shared_ptr<Run>& run) {
        if (!run->count.isCancelled())
            run->count.list();
        const int helpers = helperThreads(run->count.total());
        run->workers.store(helpers + 1);
        post(run, &DirectoryScanner::listed);
        for (int helper = 0; helper < helpers; ++helper)
            QThreadPool::globalInstance()->start([run] { countOnThisThread(run); });
        countOnThisThread(run);
    }

    static void countOnThisThread(const std::shared_ptr<Run>& run) {
        // At most one delivery waits at a time; it hands on whatever is ready by then.
        run->count.countFiles([&run] {
            if (!run->deliveryPosted.exchange(true))
                post(run, &DirectoryScanner::deliver);
        });
        if (run->workers.fetch_sub(1) == 1)
            post(run, &DirectoryScanner::stopped);
    }

    DirectoryCount count;
    std::mutex receiverMutex;
    DirectoryScanner* receiver;
    std::atomic<bool> deliveryPosted{false};
    std::atomic<int> workers{0};
    // On the scanner's thread only:
    bool stopped = false;
    bool finished = false;
};

DirectoryScanner::DirectoryScanner(QObject* parent) : QObject(parent) {}

DirectoryScanner::~DirectoryScanner() {
    letGo();
}

void DirectoryScanner::start(const QString& directory, const QByteArray& text, bool caseSensitive) {
    letGo();
    run_ = std::make_shared<Run>(directory, text, caseSensitive, this);
    QThreadPool::globalInstance()->start([run = run_] { Run::listAndCount(run); });
}

void DirectoryScanner::cancel() {
    if (!isRunning())
        return;
    run_->count.cancel();
    if (run_->stopped) { // no thread is left to report it
        QMetaObject::invokeMethod(
            this, [this, run = run_] { finish(run, true); }, Qt::QueuedConnection);
    }
}

bool DirectoryScanner::isRunning() const {
    return run_ && !run_->finished;
}

int DirectoryScanner::filesCounted() const {
    return run_ ? run_->count.filesCounted() : 0;
}

// The run's threads stop after their current file; nothing of it reaches this scanner again.
void DirectoryScanner::letGo() {
    if (!run_)
        return;
    run_->count.cancel();
    const std::lock_guard lock(run_->receiverMutex);
    run_->receiver = nullptr;
}

void DirectoryScanner::listed(const std::shared_ptr<Run>& run) {
    if (run != run_ || run->count.isCancelled())
        return;
    emit progress(0, run->count.total());
    if (run->count.total() == 0)
        finish(run, false);
}

void DirectoryScanner::deliver(const std::shared_ptr<Run>& run) {
    // An exchange, not a store: it reads the flag a counting thread set after storing its
    // result, so that result is seen below.
    run->deliveryPosted.exchange(false);
    if (run != run_ || run->finished || run->count.isCancelled())
        return;
    const int done = run->count.deliverInOrder(
        [this](const QString& fileName, quint16 count) { emit found(fileName, count); });
    if (run != run_ || run->count.isCancelled())
        return; // a receiver of found() began another scan or cancelled this one
    emit progress(done, run->count.total());
    if (done == run->count.total())
        finish(run, false);
}

void DirectoryScanner::stopped(const std::shared_ptr<Run>& run) {
    run->stopped = true;
    if (run == run_ && run->count.isCancelled())
        finish(run, true);
}

void DirectoryScanner::finish(const std::shared_ptr<Run>& run, bool cancelled) {
    if (run != run_ || std::exchange(run->finished, true))
        return;
    emit finished(cancelled);
}

} // namespace scan
