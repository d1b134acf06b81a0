#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace paths {
namespace {

constexpr mode_t kPrivateMode = 0700;

QString environmentDir(const char* name, const QString& fallback) {
    const QString value = qEnvironmentVariable(name);
    return QDir::isAbsolutePath(value) ? value : fallback;
}

QString withSeparator(const QString& directory) {
    return directory.endsWith(u'/') ? directory : directory + u'/';
}

// The system's runtime folder when it is one this user alone can enter; after su, or in a
// container, it may name someone else's folder or a shared one.
QString systemRuntimeDir() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return QDir::isAbsolutePath(runtime) && isPrivateDir(runtime) ? runtime : QString();
}

QString fallbackDir() {
    return environmentDir("XDG_CACHE_HOME", QDir::homePath() + QStringLiteral("/.cache")) +
           QStringLiteral("/ombrel");
}

} // namespace

QString progDir() {
    const QString overridden = qEnvironmentVariable("OMBREL_PROGDIR");
    if (!overridden.isEmpty())
        return withSeparator(QDir(overridden).absolutePath());
    return withSeparator(QFileInfo(exeFile()).absolutePath());
}

QString documentsDir() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return withSeparator(documents);
    return withSeparator(QDir::homePath());
}

QString exeFile() {
    const QString path = QCoreApplication::applicationFilePath();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

QString configDir() {
    return environmentDir("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config"));
}

QString settingsFile() {
    return configDir() + QStringLiteral("/Ombrel.ini");
}

QString runtimeDir() {
    const QString runtime = systemRuntimeDir();
    return runtime.isEmpty() ? fallbackDir() : runtime;
}

QString workDir() {
    const QString runtime = systemRuntimeDir();
    return runtime.isEmpty() ? fallbackDir() : runtime + QStringLiteral("/ombrel");
}

QString usableWorkDir() {
    const QString work = workDir();
    return ensurePrivateDir(work) ? work : QString();
}

QString recoveryDir() {
    return environmentDir("XDG_STATE_HOME", QDir::homePath() + QStringLiteral("/.local/state")) +
           QStringLiteral("/ombrel/recovery");
}

QString receivedDir() {
    return environmentDir("XDG_DATA_HOME", QDir::homePath() + QStringLiteral("/.local/share")) +
           QStringLiteral("/ombrel/received");
}

bool isPrivateDir(const QString& directory) {
    struct stat status {};
    if (::lstat(QFile::encodeName(directory).constData(), &status) != 0)
        return false;
    return S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() &&
           (status.st_mode & 0777) == kPrivateMode;
}

bool ensurePrivateDir(const QString& directory) {
    const QByteArray name = QFile::encodeName(QDir::cleanPath(directory));
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0) {
        if (!QDir().mkpath(QFileInfo(directory).absolutePath()))
            return false;
        ::mkdir(name.constData(), kPrivateMode); // another start may make it at the same time
    }
    return isPrivateDir(directory);
}

} // namespace paths
