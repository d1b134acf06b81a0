#include "platform/RecoveryStore.h"

#include "core/AtomicFile.h"
#include "core/HpFile.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <algorithm>

namespace {

const QString kCopySuffix = QStringLiteral(".hp");
const QString kSideSuffix = QStringLiteral(".json");
const QString kLockSuffix = QStringLiteral(".lock");
const QString kFileKey = QStringLiteral("file");
const QString kWrittenKey = QStringLiteral("written");
constexpr qint64 kMaxSideFileBytes = 64 * 1024;

std::unique_ptr<QLockFile> takeLock(const QString& folder) {
    auto lock = std::make_unique<QLockFile>(folder + kLockSuffix);
    lock->setStaleLockTime(0); // only a lock whose owner has died is stale
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

QByteArray sideFileBytes(const QString& originalFile) {
    QJsonObject fields;
    fields.insert(kFileKey, originalFile);
    fields.insert(kWrittenKey, QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    return QJsonDocument(fields).toJson(QJsonDocument::Compact);
}

QString sideFileOf(const QString& copyFile) {
    return copyFile.chopped(kCopySuffix.size()) + kSideSuffix;
}

// A copy whose side file is missing or damaged still restores: as a new document, copied when
// its file was last written.
RecoveryCopy readCopy(const QString& copyFile) {
    RecoveryCopy copy{copyFile, QString(), QFileInfo(copyFile).lastModified()};
    QFile side(sideFileOf(copyFile));
    if (!side.open(QIODevice::ReadOnly))
        return copy;
    const QJsonObject fields = QJsonDocument::fromJson(side.read(kMaxSideFileBytes)).object();
    copy.originalFile = fields.value(kFileKey).toString();
    const QDateTime written =
        QDateTime::fromString(fields.value(kWrittenKey).toString(), Qt::ISODateWithMs);
    if (written.isValid())
        copy.written = written;
    return copy;
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

bool RecoveryStore::write(int slot, const TopicTable& table, const QString& originalFile) {
    // The side file first: a copy never stands without the name of its file.
    return open() &&
           writeFileAtomically(slotPath(slot, kSideSuffix), sideFileBytes(originalFile)) &&
           writeHpFile(slotPath(slot, kCopySuffix), table, table.topicCount(), true, false);
}

void RecoveryStore::remove(int slot) {
    if (!isOpen())
        return;
    QFile::remove(slotPath(slot, kCopySuffix));
    QFile::remove(slotPath(slot, kSideSuffix));
}

QList<RecoveryCopy> RecoveryStore::claimLeftovers() {
    QList<RecoveryCopy> copies;
    if (!paths::isPrivateDir(root_))
        return copies;
    const QDir root(root_);
    for (const QString& name :
         root.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        const QString folder = root.filePath(name);
        if (folder == ownFolder_ || !paths::isPrivateDir(folder))
            continue;
        std::unique_ptr<QLockFile> lock = takeLock(folder);
        if (!lock)
            continue; // its program runs, or another start has claimed it
        for (const QString& file : copyFilesIn(folder))
            copies.append(readCopy(file));
        claimed_.push_back({folder, std::move(lock)});
    }
    std::stable_sort(
        copies.begin(), copies.end(),
        [](const RecoveryCopy& a, const RecoveryCopy& b) { return a.written < b.written; });
    return copies;
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
