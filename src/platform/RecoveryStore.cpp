#include "platform/RecoveryStore.h"

#include "core/AtomicFile.h"
#include "core/FileName.h"
#include "core/HpFile.h"
#include "core/RegularFile.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>
#include <QUuid>

#include <algorithm>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kCopySuffix = QStringLiteral(".hp");
const QString kSideSuffix = QStringLiteral(".json");
const QString kLockSuffix = QStringLiteral(".lock");
const QString kFileKey = QStringLiteral("file");
const QString kWrittenKey = QStringLiteral("written");
// A name that is no UTF-8 is kept by its bytes too, which JSON text cannot hold.
const QString kFileBytesKey = QStringLiteral("fileBytes");
constexpr qint64 kMaxSideFileBytes = 64 * 1024;
// Far below the usual limit of 1,024 open files; the rest wait for the next start.
constexpr size_t kMostClaimedFolders = 64;

std::unique_ptr<QLockFile> takeLock(const QString& folder) {
    auto lock = std::make_unique<QLockFile>(folder + kLockSuffix);
    lock->setStaleLockTime(0); // only a lock whose owner has died is stale
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

QByteArray sideFileBytes(const QString& originalFile) {
    QJsonObject fields;
    fields.insert(kFileKey, filename::forDisplay(originalFile));
    if (filename::forDisplay(originalFile) != originalFile)
        fields.insert(kFileBytesKey,
                      QString::fromLatin1(filename::toBytes(originalFile).toBase64()));
    fields.insert(kWrittenKey, QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    return QJsonDocument(fields).toJson(QJsonDocument::Compact);
}

QString sideFileOf(const QString& copyFile) {
    return copyFile.chopped(kCopySuffix.size()) + kSideSuffix;
}

// A copy whose side file is missing or damaged still restores: as a new document, copied when
// its file was last written. Only a regular side file is read: a pipe would hold the start up.
RecoveryCopy readCopy(const QString& copyFile) {
    RecoveryCopy copy{copyFile, QString(), QFileInfo(copyFile).lastModified()};
    RegularFile side;
    if (side.open(sideFileOf(copyFile)) != RegularFile::Opened::Yes)
        return copy;
    QByteArray text(std::min(side.size(), kMaxSideFileBytes), Qt::Uninitialized);
    text.truncate(std::max<qint64>(side.read(text.data(), text.size()), 0));
    const QJsonObject fields = QJsonDocument::fromJson(text).object();
    copy.originalFile = fields.contains(kFileBytesKey)
                            ? filename::fromBytes(QByteArray::fromBase64(
                                  fields.value(kFileBytesKey).toString().toLatin1()))
                            : fields.value(kFileKey).toString();
    const QDateTime written =
        QDateTime::fromString(fields.value(kWrittenKey).toString(), Qt::ISODateWithMs);
    if (written.isValid())
        copy.written = written;
    return copy;
}

enum class LockKind { Missing, Regular, Replaceable, Damaged };

// What stands where a folder's lock file belongs. Anything but a regular file belongs to no
// running program, which holds a regular lock file it wrote itself: it can be replaced when that
// loses nothing (a pipe, a socket, a link, an empty folder), and is damaged otherwise.
LockKind lockKindOf(const QString& lockFile) {
    struct stat info;
    if (::lstat(filename::toBytes(lockFile).constData(), &info) != 0)
        return LockKind::Missing;
    if (S_ISREG(info.st_mode))
        return LockKind::Regular;
    const bool holdsFiles =
        S_ISDIR(info.st_mode) && !QDir(lockFile).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                         QDir::Hidden | QDir::System);
    return holdsFiles ? LockKind::Damaged : LockKind::Replaceable;
}

bool removeReplaceable(const QString& lockFile) {
    const QByteArray name = filename::toBytes(lockFile);
    struct stat info;
    return ::lstat(name.constData(), &info) == 0 &&
           (S_ISDIR(info.st_mode) ? ::rmdir(name.constData()) : ::unlink(name.constData())) == 0;
}

// Whether the program a regular lock file names may still run, read without taking the lock:
// it names another machine, or a process of this one that lives. One that names no program is
// damaged.
bool ownerMayRun(const QString& lockFile) {
    qint64 processId = 0;
    QString host;
    QString program;
    if (!QLockFile(lockFile).getLockInfo(&processId, &host, &program))
        return false;
    if (!host.isEmpty() && host != QSysInfo::machineHostName())
        return true;
    return ::kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM;
}

enum class LockState { Claimed, HeldElsewhere, Damaged };

// The lock of a folder a program left. One whose program has died is taken over, and so is a
// damaged one that names no program, unless a program holds it open.
LockState claimLock(const QString& folder, std::unique_ptr<QLockFile>& claimed) {
    const QString lockFile = folder + kLockSuffix;
    const LockKind kind = lockKindOf(lockFile);
    if (kind == LockKind::Damaged ||
        (kind == LockKind::Replaceable && !removeReplaceable(lockFile)))
        return LockState::Damaged;
    auto lock = std::make_unique<QLockFile>(lockFile);
    lock->setStaleLockTime(0);
    qint64 processId = 0;
    QString host;
    QString program;
    if (!lock->tryLock(0) && (lock->error() != QLockFile::LockFailedError ||
                              lock->getLockInfo(&processId, &host, &program) ||
                              !lock->removeStaleLockFile() || !lock->tryLock(0)))
        return LockState::HeldElsewhere;
    claimed = std::move(lock);
    return LockState::Claimed;
}

QStringList copyFilesIn(const QString& folder) {
    const QDir directory(folder);
    QStringList files;
    for (const QString& name : directory.entryList({u'*' + kCopySuffix}, QDir::Files, QDir::Name))
        files.append(directory.filePath(name));
    return files;
}

} // namespace

RecoveryStore::RecoveryStore() : root_(paths::recoveryDir()) {}

RecoveryStore::~RecoveryStore() {
    if (isOpen())
        QDir(ownFolder_).removeRecursively(); // before its lock goes with the members
}

bool RecoveryStore::open() {
    if (isOpen())
        return true;
    if (!paths::ensurePrivateDir(QFileInfo(root_).path()) || !paths::ensurePrivateDir(root_))
        return false;
    const QString folder = root_ + u'/' + QUuid::createUuid().toString(QUuid::WithoutBraces);
    std::unique_ptr<QLockFile> lock = takeLock(folder);
    if (!lock || !paths::ensurePrivateDir(folder))
        return false;
    ownLock_ = std::move(lock);
    ownFolder_ = folder;
    return true;
}

QString RecoveryStore::slotPath(int slot, const QString& suffix) const {
    return ownFolder_ + u'/' + QString::number(slot) + suffix;
}

bool RecoveryStore::write(int slot, const TopicTable& table, const QString& originalFile,
                          const hpparse::Header& header) {
    // The side file first: a copy never stands without the name of its file.
    return open() &&
           writeFileAtomically(slotPath(slot, kSideSuffix), sideFileBytes(originalFile)) &&
           writeHpFile(slotPath(slot, kCopySuffix), table, table.topicCount(), true, false, header);
}

void RecoveryStore::remove(int slot) {
    if (!isOpen())
        return;
    QFile::remove(slotPath(slot, kCopySuffix));
    QFile::remove(slotPath(slot, kSideSuffix));
}

QList<RecoveryCopy> RecoveryStore::claimLeftovers() {
    QList<RecoveryCopy> copies;
    unoffered_ = UnofferedCopies();
    if (!paths::isPrivateDir(root_))
        return copies;
    const QDir root(root_);
    for (const QString& name :
         root.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        const QString folder = root.filePath(name);
        if (folder != ownFolder_ && paths::isPrivateDir(folder))
            claimFolder(folder, copies);
    }
    std::stable_sort(
        copies.begin(), copies.end(),
        [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.written < b.written; });
    return copies;
}

// Taking a lock writes it to the disk, and a claimed folder holds its lock file open: only a
// folder whose copies are offered is claimed.
void RecoveryStore::claimFolder(const QString& folder, QList<RecoveryCopy>& copies) {
    const QStringList files = copyFilesIn(folder);
    if (files.isEmpty() || claimed_.size() >= kMostClaimedFolders)
        return passOver(folder, files);
    std::unique_ptr<QLockFile> lock;
    switch (claimLock(folder, lock)) {
    case LockState::HeldElsewhere:
        return; // its program runs, or another start has claimed it
    case LockState::Damaged:
        unoffered_.behindDamagedLock += static_cast<int>(files.size());
        unoffered_.damagedLocks.append(folder + kLockSuffix);
        return;
    case LockState::Claimed:
        for (const QString& file : files)
            copies.append(readCopy(file));
        claimed_.push_back({folder, std::move(lock)});
        return;
    }
}

// A folder of a program that has ended, not claimed: without copies it goes, with its lock file
// when that can go without a loss; its copies wait for the next start otherwise.
void RecoveryStore::passOver(const QString& folder, const QStringList& files) {
    const QString lockFile = folder + kLockSuffix;
    const LockKind kind = lockKindOf(lockFile);
    if (kind == LockKind::Regular && ownerMayRun(lockFile))
        return;
    if (!files.isEmpty() && kind == LockKind::Damaged) {
        unoffered_.behindDamagedLock += static_cast<int>(files.size());
        unoffered_.damagedLocks.append(lockFile);
    } else if (!files.isEmpty()) {
        unoffered_.waiting += static_cast<int>(files.size());
    } else if (QDir(folder).removeRecursively()) {
        if (kind == LockKind::Regular)
            QFile::remove(lockFile);
        else if (kind == LockKind::Replaceable)
            removeReplaceable(lockFile);
    }
}

void RecoveryStore::removeLeftover(const RecoveryCopy& copy) {
    QFile::remove(copy.copyFile);
    QFile::remove(sideFileOf(copy.copyFile));
}

void RecoveryStore::releaseLeftovers() {
    for (const Claimed& claimed : claimed_) {
        if (copyFilesIn(claimed.folder).isEmpty())
            QDir(claimed.folder).removeRecursively();
    }
    claimed_.clear(); // the locks go: what stays is offered at the next start
}
