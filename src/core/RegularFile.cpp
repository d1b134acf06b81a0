#include "core/RegularFile.h"

#include "core/FileName.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool statFollowingLinks(const QString& fileName, struct stat& info) {
    return ::stat(filename::toBytes(fileName).constData(), &info) == 0;
}

} // namespace

RegularFile::~RegularFile() {
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

RegularFile::Opened RegularFile::open(const QString& fileName) {
    struct stat info;
    if (!statFollowingLinks(fileName, info))
        return Opened::CannotOpen;
    if (!S_ISREG(info.st_mode))
        return Opened::NotRegular;
    // Without blocking, in case the name was given to a pipe since the test above; the file
    // itself is tested again once it is open.
    descriptor_ =
        ::open(filename::toBytes(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return testOpened();
}

RegularFile::Opened RegularFile::openEntry(int directory, const char* name, bool listedAsRegular) {
    struct stat info;
    if (!listedAsRegular) {
        if (::fstatat(directory, name, &info, 0) != 0)
            return Opened::CannotOpen;
        if (!S_ISREG(info.st_mode))
            return Opened::NotRegular;
    }
    const int noLink = listedAsRegular ? O_NOFOLLOW : 0;
    descriptor_ = ::openat(directory, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | noLink);
    return testOpened();
}

RegularFile::Opened RegularFile::testOpened() {
    struct stat info;
    if (descriptor_ < 0)
        return Opened::CannotOpen;
    if (::fstat(descriptor_, &info) != 0)
        return Opened::CannotOpen;
    if (!S_ISREG(info.st_mode))
        return Opened::NotRegular;
    size_ = info.st_size;
    return Opened::Yes;
}

qint64 RegularFile::read(char* into, qint64 count) {
    qint64 total = 0;
    while (total < count) {
        const ssize_t read = ::read(descriptor_, into + total, static_cast<size_t>(count - total));
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            return -1;
        if (read == 0)
            break;
        total += read;
    }
    return total;
}

qint64 RegularFile::readOnce(char* into, qint64 count) {
    for (;;) {
        const ssize_t read = ::read(descriptor_, into, static_cast<size_t>(count));
        if (read >= 0 || errno != EINTR)
            return read;
    }
}

bool isNonRegularFile(const QString& fileName) {
    struct stat info;
    return statFollowingLinks(fileName, info) && !S_ISREG(info.st_mode);
}
