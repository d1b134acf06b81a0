#include "core/AtomicFile.h"

#include "core/FileName.h"

#include <QRandomGenerator>

#include <cctype>
#include <cerrno>
#include <climits>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray kTemporaryMark = ".~ombrel-";
constexpr int kRandomLength = 6;
constexpr int kLongestName = 255;
// The longest part of the file's own name that its temporary file's name repeats.
constexpr qsizetype kLongestRepeated = kLongestName - 1 - 9 - kRandomLength;
constexpr int kMostLinks = 40;
constexpr int kMostAttempts = 100;
// A temporary file nobody has written for this long belongs to a write that was killed.
constexpr time_t kLeftoverAgeSeconds = 60;
const char kRandomLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray baseNameOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// The file at the end of a chain of links, so that a link stays a link and its file is written.
QByteArray followLinks(QByteArray path) {
    for (int depth = 0; depth < kMostLinks; ++depth) {
        struct stat info;
        if (::lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.constData(), target.data(), target.size());
        if (length <= 0 || length >= target.size())
            return path;
        target.truncate(length);
        path = target.startsWith('/') ? target : folderOf(path) + '/' + target;
    }
    return path;
}

// ".NAME.~ombrel-": what every temporary file of the file begins with.
QByteArray temporaryPrefix(const QByteArray& path) {
    return '.' + baseNameOf(path).left(kLongestRepeated) + kTemporaryMark;
}

bool isTemporaryName(const QByteArray& name, const QByteArray& prefix) {
    if (name.size() != prefix.size() + kRandomLength || !name.startsWith(prefix))
        return false;
    for (const char letter : name.mid(prefix.size())) {
        if (!std::isalnum(static_cast<unsigned char>(letter)))
            return false;
    }
    return true;
}

bool isLeftover(int folder, const char* name) {
    struct stat info;
    return ::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
           info.st_uid == ::geteuid() && std::time(nullptr) - info.st_mtime >= kLeftoverAgeSeconds;
}

void removeLeftoversOf(const QByteArray& path) {
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(folderOf(path).constData()),
                                                     ::closedir);
    if (!folder)
        return;
    const QByteArray prefix = temporaryPrefix(path);
    while (const dirent* entry = ::readdir(folder.get())) {
        if (isTemporaryName(entry->d_name, prefix) &&
            isLeftover(::dirfd(folder.get()), entry->d_name))
            ::unlinkat(::dirfd(folder.get()), entry->d_name, 0);
    }
}

// The temporary file of one write; it goes again unless it was renamed to the file's name.
class TemporaryFile {
  public:
    ~TemporaryFile() {
        if (descriptor_ >= 0)
            ::close(descriptor_);
        if (!name_.isEmpty())
            ::unlink(name_.constData());
    }

    // Made beside the file; with the file's permissions when it exists (mode >= 0).
    bool create(const QByteArray& path, int mode) {
        const QByteArray prefix = folderOf(path) + '/' + temporaryPrefix(path);
        for (int attempt = 0; attempt < kMostAttempts && descriptor_ < 0; ++attempt) {
            QByteArray name = prefix;
            for (int letter = 0; letter < kRandomLength; ++letter)
                name += kRandomLetters[QRandomGenerator::global()->bounded(62)];
            descriptor_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                 mode >= 0 ? 0600 : 0666);
            if (descriptor_ >= 0)
                name_ = name;
            else if (errno != EEXIST)
                return false;
        }
        return descriptor_ >= 0 && (mode < 0 || ::fchmod(descriptor_, mode) == 0);
    }

    bool write(const QByteArray& bytes) {
        for (qsizetype written = 0; written < bytes.size();) {
            const ssize_t count = ::write(descriptor_, bytes.constData() + written,
                                          static_cast<size_t>(bytes.size() - written));
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                return false;
            written += count;
        }
        return true;
    }

    // On the disk, closed, then renamed over the file.
    bool commit(const QByteArray& path) {
        const bool synced = ::fsync(descriptor_) == 0 || errno == EINVAL;
        const bool closed = ::close(descriptor_) == 0;
        descriptor_ = -1;
        if (!synced || !closed || ::rename(name_.constData(), path.constData()) != 0)
            return false;
        name_.clear();
        return true;
    }

  private:
    int descriptor_ = -1;
    QByteArray name_;
};

} // namespace

bool writeFileAtomically(const QString& fileName, const QByteArray& bytes) {
    const QByteArray path = followLinks(filename::toBytes(fileName));
    struct stat info;
    const bool exists = ::stat(path.constData(), &info) == 0;
    // The rename would put a regular file in the place of a pipe or a device, and replace a
    // file its owner has made read-only.
    if (exists && (!S_ISREG(info.st_mode) || ::access(path.constData(), W_OK) != 0))
        return false;
    removeLeftoversOf(path);
    TemporaryFile temporary;
    return temporary.create(path, exists ? static_cast<int>(info.st_mode & 07777) : -1) &&
           temporary.write(bytes) && temporary.commit(path);
}

void removeWriteLeftovers(const QString& fileName) {
    removeLeftoversOf(followLinks(filename::toBytes(fileName)));
}
