#include "transfer/PortCheck.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace transfer {
namespace {

Outcome problem(Cause cause, const QStringList& details) {
    return {cause, details};
}

QString groupName(gid_t group) {
    const struct group* entry = ::getgrgid(group);
    return entry != nullptr ? QString::fromLocal8Bit(entry->gr_name) : QString::number(group);
}

// Read and write: as the system grants them to this process, or as the mode bits grant them to
// another identity, where the superuser may always.
bool mayReadAndWrite(const QString& device, const struct stat& status, const Identity& identity) {
    if (identity.thisProcess)
        return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0 || errno != EACCES;
    if (identity.user == 0)
        return true;
    constexpr mode_t kOwner = S_IRUSR | S_IWUSR;
    constexpr mode_t kGroup = S_IRGRP | S_IWGRP;
    constexpr mode_t kOthers = S_IROTH | S_IWOTH;
    if (identity.user == status.st_uid)
        return (status.st_mode & kOwner) == kOwner;
    if (identity.groups.contains(status.st_gid))
        return (status.st_mode & kGroup) == kGroup;
    return (status.st_mode & kOthers) == kOthers;
}

// A UUCP lock file names the device's last path part and holds the process id of its holder,
// as ten characters of text or as a binary int.
QString liveLock(const QString& device, const QString& lockFolder) {
    const QString lock = lockFolder + QStringLiteral("/LCK..") +
                         QFileInfo(device).canonicalFilePath().section(u'/', -1);
    QFile file(lock);
    if (!QFileInfo(lock).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray contents = file.read(64);
    bool ok = false;
    pid_t holder = static_cast<pid_t>(contents.trimmed().toLong(&ok));
    if (!ok && contents.size() == sizeof(int)) {
        int binary = 0;
        std::memcpy(&binary, contents.constData(), sizeof binary);
        holder = binary;
        ok = true;
    }
    // A lock of a process that is gone is stale: Kermit takes it over.
    if (!ok || holder <= 0 || holder == ::getpid())
        return {};
    return ::kill(holder, 0) == 0 || errno == EPERM ? lock : QString();
}

// A device that another program put into exclusive mode (TIOCEXCL) refuses every further open
// but the superuser's, who may ask the device instead.
bool heldExclusively(const QString& device) {
    const int fd =
        ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == EBUSY;
    int exclusive = 0;
    const bool held = ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
    ::close(fd);
    return held;
}

} // namespace

Identity Identity::ofThisProcess() {
    Identity identity;
    identity.thisProcess = true;
    identity.user = ::geteuid();
    identity.groups.append(::getegid());
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        QList<gid_t> more(count);
        if (::getgroups(count, more.data()) == count)
            identity.groups += more;
    }
    return identity;
}

Outcome checkBeforeTransfer(const QString& kermitProgram, const QString& device,
                            const Identity& identity, const QString& lockFolder) {
    if (kermitProgram.isEmpty() || !QFileInfo(kermitProgram).isExecutable())
        return problem(Cause::KermitMissing, {});
    struct stat status {};
    if (device.isEmpty() || ::stat(QFile::encodeName(device).constData(), &status) != 0)
        return problem(Cause::NoSuchDevice, {device});
    if (!S_ISCHR(status.st_mode))
        return problem(Cause::NotCharacterDevice, {device});
    if (!mayReadAndWrite(device, status, identity)) {
        const QString group = groupName(status.st_gid);
        return problem(Cause::NoPermission, {device, group, group});
    }
    if (const QString lock = liveLock(device, lockFolder); !lock.isEmpty())
        return problem(Cause::DeviceLocked, {device, lock});
    if (heldExclusively(device))
        return problem(Cause::DeviceHeld, {device});
    return {};
}

} // namespace transfer
