#include "DirectoryScan.h"

#include "OccurrenceCount.h"
#include "RegularFile.h"

#include <QFile>
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
        : directory_(::opendir(QFile::encodeName(directory).constData())) {
        if (directory_ == nullptr)
            return;
        while (const dirent* entry = ::readdir(directory_)) {
            if (entry->d_name[0] != '.' && IsRegularFile(*entry))
                entries_.push_back({QByteArray(entry->d_name), entry->d_type == DT_REG});
        }
    }
    ~DirectoryListing() {
        if (directory_ != nullptr)
            ::closedir(directory_);
    }
    DirectoryListing(const DirectoryListing&) = delete;
    DirectoryListing& operator=(const DirectoryListing&) = delete;

    int Size() const { return static_cast<int>(entries_.size()); }
    QString Name(int index) const { return QFile::decodeName(entries_[index].name); }
    RegularFile::Opened Open(int index, RegularFile& file) const {
        const Entry& entry = entries_[index];
        return file.OpenEntry(::dirfd(directory_), entry.name.constData(), entry.listedAsRegular);
    }

  private:
    struct Entry {
        QByteArray name;
        bool listedAsRegular; // else a link, or a file system that does not tell the kind
    };

    // A link counts when what it leads to is a regular file.
    bool IsRegularFile(const dirent& entry) const {
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

    void List() {
        listing_ = std::make_unique<DirectoryListing>(directory_);
        counts_ = std::vector<std::atomic<int>>(static_cast<size_t>(listing_->Size()));
        for (std::atomic<int>& count : counts_)
            count.store(kNotCounted, std::memory_order_relaxed);
    }
    int Total() const { return listing_ ? listing_->Size() : 0; }

    void CountFiles(const std::function<void()>& afterEachFile = {}) {
        const std::unique_ptr<char[]> buffer(new char[kReadBufferSize]);
        while (!cancelled_.load(std::memory_order_relaxed)) {
            const int index = next_.fetch_add(1, std::memory_order_relaxed);
            if (index >= Total())
                return;
            counts_[index].store(Count(index, buffer.get()), std::memory_order_release);
            counted_.fetch_add(1, std::memory_order_relaxed);
            if (afterEachFile)
                afterEachFile();
        }
    }

    // Hands on the results from the first not yet handed on up to the first file not yet
    // counted; returns how many files are handed on in all.
    int DeliverInOrder(const FoundFile& found) {
        while (delivered_ < Total() && !IsCancelled()) {
            const int count = counts_[delivered_].load(std::memory_order_acquire);
            if (count == kNotCounted)
                break;
            ++delivered_;
            if (count > 0)
                found(listing_->Name(delivered_ - 1), static_cast<quint16>(count));
        }
        return delivered_;
    }

    void Cancel() { cancelled_.store(true); }
    bool IsCancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    int FilesCounted() const { return counted_.load(std::memory_order_relaxed); }

  private:
    static constexpr int kNotCounted = -1;

    quint16 Count(int index, char* buffer) const {
        RegularFile file;
        if (needle_.IsEmpty() || listing_->Open(index, file) != RegularFile::Opened::Yes)
            return 0;
        return CountInOpenFile(file, needle_, buffer, &cancelled_);
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
int HelperThreads(int files) {
    return std::max(0, std::min(QThreadPool::globalInstance()->maxThreadCount(), files) - 1);
}

} // namespace

QStringList ScannableFiles(const QString& directory) {
    const DirectoryListing listing(directory);
    QStringList names;
    names.reserve(listing.Size());
    for (int index = 0; index < listing.Size(); ++index)
        names.append(listing.Name(index));
    return names;
}

void ScanDirectory(const QString& directory, QByteArrayView text, bool caseSensitive,
                   const FoundFile& found) {
    DirectoryCount count(directory, text, caseSensitive);
    count.List();
    const int helpers = HelperThreads(count.Total());
    std::latch helpersDone(helpers);
    for (int helper = 0; helper < helpers; ++helper) {
        QThreadPool::globalInstance()->start([&] {
            count.CountFiles();
            helpersDone.count_down();
        });
    }
    // This thread counts as well, and hands on what is ready after each of its files.
    count.CountFiles([&] { count.DeliverInOrder(found); });
    helpersDone.wait();
    count.DeliverInOrder(found);
}

// A scan as the pool's threads and the scanner share it. The threads reach the scanner only
// through Post, which does nothing once the scanner has let go of the run.
struct DirectoryScanner::Run {
    Run(const QString& directory, const QByteArray& text, bool caseSensitive, DirectoryScanner* to)
        : count(directory, text, caseSensitive), receiver(to) {}

    // Calls scanner.*handler(run) on the scanner's thread.
    static void Post(const std::shared_ptr<Run>& run,
                     void (DirectoryScanner::*handler)(const std::shared_ptr<Run>&)) {
        const std::lock_guard lock(run->receiverMutex);
        if (DirectoryScanner* scanner = run->receiver) {
            QMetaObject::invokeMethod(
                scanner, [scanner, handler, run] { (scanner->*handler)(run); },
                Qt::QueuedConnection);
        }
    }

    // The first thread lists the directory, then calls the others in and counts with them.
    static void ListAndCount(const std::shared_ptr<Run>& run) {
        if (!run->count.IsCancelled())
            run->count.List();
        const int helpers = HelperThreads(run->count.Total());
        run->workers.store(helpers + 1);
        Post(run, &DirectoryScanner::Listed);
        for (int helper = 0; helper < helpers; ++helper)
            QThreadPool::globalInstance()->start([run] { Count(run); });
        Count(run);
    }

    static void Count(const std::shared_ptr<Run>& run) {
        // At most one delivery waits at a time; it hands on whatever is ready by then.
        run->count.CountFiles([&run] {
            if (!run->deliveryPosted.exchange(true))
                Post(run, &DirectoryScanner::Deliver);
        });
        if (run->workers.fetch_sub(1) == 1)
            Post(run, &DirectoryScanner::Stopped);
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
    LetGo();
}

void DirectoryScanner::Start(const QString& directory, const QByteArray& text, bool caseSensitive) {
    LetGo();
    run_ = std::make_shared<Run>(directory, text, caseSensitive, this);
    QThreadPool::globalInstance()->start([run = run_] { Run::ListAndCount(run); });
}

void DirectoryScanner::Cancel() {
    if (!IsRunning())
        return;
    run_->count.Cancel();
    if (run_->stopped) { // no thread is left to report it
        QMetaObject::invokeMethod(
            this, [this, run = run_] { Finish(run, true); }, Qt::QueuedConnection);
    }
}

bool DirectoryScanner::IsRunning() const {
    return run_ && !run_->finished;
}

int DirectoryScanner::FilesCounted() const {
    return run_ ? run_->count.FilesCounted() : 0;
}

// The run's threads stop after their current file; nothing of it reaches this scanner again.
void DirectoryScanner::LetGo() {
    if (!run_)
        return;
    run_->count.Cancel();
    const std::lock_guard lock(run_->receiverMutex);
    run_->receiver = nullptr;
}

void DirectoryScanner::Listed(const std::shared_ptr<Run>& run) {
    if (run != run_ || run->count.IsCancelled())
        return;
    emit progress(0, run->count.Total());
    if (run->count.Total() == 0)
        Finish(run, false);
}

void DirectoryScanner::Deliver(const std::shared_ptr<Run>& run) {
    // An exchange, not a store: it reads the flag a counting thread set after storing its
    // result, so that result is seen below.
    run->deliveryPosted.exchange(false);
    if (run != run_ || run->finished || run->count.IsCancelled())
        return;
    const int done = run->count.DeliverInOrder(
        [this](const QString& fileName, quint16 count) { emit found(fileName, count); });
    if (run != run_ || run->count.IsCancelled())
        return; // a receiver of found() began another scan or cancelled this one
    emit progress(done, run->count.Total());
    if (done == run->count.Total())
        Finish(run, false);
}

void DirectoryScanner::Stopped(const std::shared_ptr<Run>& run) {
    run->stopped = true;
    if (run == run_ && run->count.IsCancelled())
        Finish(run, true);
}

void DirectoryScanner::Finish(const std::shared_ptr<Run>& run, bool cancelled) {
    if (run != run_ || std::exchange(run->finished, true))
        return;
    emit finished(cancelled);
}

} // namespace scan
