#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace paths {
namespace {

constexpr mode_t kPrivateMode = 0700;

QString EnvironmentDir(const char* name, const QString& fallback) {
    const QString value = qEnvironmentVariable(name);
    return QDir::isAbsolutePath(value) ? value : fallback;
}

QString WithSeparator(const QString& directory) {
    return directory.endsWith(u'/') ? directory : directory + u'/';
}

// The system's runtime folder when it is one this user alone can enter; after su, or in a
// container, it may name someone else's folder or a shared one.
QString SystemRuntimeDir() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return QDir::isAbsolutePath(runtime) && IsPrivateDir(runtime) ? runtime : QString();
}

QString FallbackDir() {
    return EnvironmentDir("XDG_CACHE_HOME", QDir::homePath() + QStringLiteral("/.cache")) +
           QStringLiteral("/ombrel");
}

} // namespace

QString ProgDir() {
    const QString overridden = qEnvironmentVariable("OMBREL_PROGDIR");
    if (!overridden.isEmpty())
        return WithSeparator(QDir(overridden).absolutePath());
    return WithSeparator(QFileInfo(ExeFile()).absolutePath());
}

QString ExeFile() {
    const QString path = QCoreApplication::applicationFilePath();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

QString WinDir() {
    return EnvironmentDir("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config"));
}

QString SettingsFile() {
    return WinDir() + QStringLiteral("/Ombrel.ini");
}

QString RuntimeDir() {
    const QString runtime = SystemRuntimeDir();
    return runtime.isEmpty() ? FallbackDir() : runtime;
}

QString WorkDir() {
    const QString runtime = SystemRuntimeDir();
    return runtime.isEmpty() ? FallbackDir() : runtime + QStringLiteral("/ombrel");
}

QString UsableWorkDir() {
    const QString work = WorkDir();
    return EnsurePrivateDir(work) ? work : QString();
}

bool IsPrivateDir(const QString& directory) {
    struct stat status {};
    if (::lstat(QFile::encodeName(directory).constData(), &status) != 0)
        return false;
    return S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() &&
           (status.st_mode & 0777) == kPrivateMode;
}

bool EnsurePrivateDir(const QString& directory) {
    const QByteArray name = QFile::encodeName(QDir::cleanPath(directory));
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0) {
        if (!QDir().mkpath(QFileInfo(directory).absolutePath()))
            return false;
        ::mkdir(name.constData(), kPrivateMode); // another start may make it at the same time
    }
    return IsPrivateDir(directory);
}

} // namespace paths
