#include "Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace paths {
namespace {

QString EnvironmentDir(const char* name, const QString& fallback) {
    const QString value = qEnvironmentVariable(name);
    return QDir::isAbsolutePath(value) ? value : fallback;
}

QString WithSeparator(const QString& directory) {
    return directory.endsWith(u'/') ? directory : directory + u'/';
}

bool MakePrivateDir(const QString& directory) {
    if (!QDir().mkpath(directory))
        return false;
    return QFile::setPermissions(directory, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
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
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir())
        return runtime;
    const QString cache =
        EnvironmentDir("XDG_CACHE_HOME", QDir::homePath() + QStringLiteral("/.cache"));
    return cache;
}

QString WorkDir() {
    const QString work = RuntimeDir() + QStringLiteral("/ombrel");
    MakePrivateDir(work);
    return work;
}

} // namespace paths
