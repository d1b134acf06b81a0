#include "platform/ReceivedCopies.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace received {
namespace {

const QString kStampFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");
constexpr int kMaxSameSecond = 99;

// "2026-12-08_09-15-03.hp" or "2026-12-08_09-15-03_02.hp": names sort in the order of arrival.
const QRegularExpression& copyName() {
    static const QRegularExpression name(
        QStringLiteral(R"(^(\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d)(_\d\d)?\.hp$)"));
    return name;
}

QStringList copyNames(const QDir& folder) {
    QStringList names;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (copyName().match(name).hasMatch())
            names.append(name);
    }
    return names; // oldest first
}

} // namespace

QString keep(const QString& file, int keep, const QDateTime& arrived, QString* error) {
    if (keep <= 0)
        return {};
    auto failed = [error](const QString& reason) {
        if (error != nullptr)
            *error = reason;
        return QString();
    };
    const QString folder = paths::receivedDir();
    if (!paths::ensurePrivateDir(folder))
        return failed(QDir::toNativeSeparators(folder));
    const QString stamp = arrived.toString(kStampFormat);
    QString target = folder + u'/' + stamp + QStringLiteral(".hp");
    for (int n = 2; QFileInfo::exists(target) && n <= kMaxSameSecond; ++n)
        target = folder + u'/' + stamp + QStringLiteral("_%1.hp").arg(n, 2, 10, QChar(u'0'));
    QFile source(file);
    if (QFileInfo::exists(target) || !source.copy(target))
        return failed(source.errorString());
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    prune(keep);
    return target;
}

QList<Copy> copies() {
    const QDir folder(paths::receivedDir());
    QList<Copy> list;
    const QStringList names = copyNames(folder);
    for (auto name = names.crbegin(); name != names.crend(); ++name) {
        const QString stamp = copyName().match(*name).captured(1);
        const QFileInfo info(folder.filePath(*name));
        list.append({info.filePath(), QDateTime::fromString(stamp, kStampFormat), info.size()});
    }
    return list;
}

void prune(int keep) {
    const QDir folder(paths::receivedDir());
    const QStringList names = copyNames(folder);
    for (qsizetype n = 0; n < names.size() - qMax(keep, 0); ++n)
        QFile::remove(folder.filePath(names[n]));
}

} // namespace received
