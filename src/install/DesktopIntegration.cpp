#include "install/DesktopIntegration.h"

#include "platform/Paths.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>

extern const unsigned char kOmbrelMimePackage[];

namespace desktop {
namespace {

constexpr int kToolMilliseconds = 60000;
constexpr const char* kFontName = "HP48.TTF";
constexpr const char* kFontFamily = "HP48";
constexpr const char* kMimePackage = "ombrel-hpfile.xml";
constexpr const char* kHandlerTitle = "Ombrel";
// An installation by the package manager (or cmake --install) puts this file beside the
// program: the program directory then belongs to the package.
constexpr const char* kPackageMarker = "installed-by-package";
// What update-mime-database makes from the packages beside them.
constexpr const char* kGeneratedMimeFiles[] = {
    "XMLnamespaces", "aliases",    "generic-icons", "globs",     "globs2", "icons",
    "magic",         "mime.cache", "subclasses",    "treemagic", "types",  "version"};

// Runs a desktop tool to its end; true when it ran and exited with 0.
bool runTool(const QString& program, const QStringList& arguments, QByteArray* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(kToolMilliseconds)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString environmentDir(const char* name, const QString& fallback) {
    const QString value = qEnvironmentVariable(name);
    return QDir::isAbsolutePath(value) ? value : fallback;
}

QString applicationsFolder() {
    return dataHome() + QStringLiteral("/applications");
}

QString mimeFolder() {
    return dataHome() + QStringLiteral("/mime");
}

// A string value of a desktop entry: backslashes and control characters escaped.
QString entryValue(const QString& text) {
    QString escaped;
    for (const QChar c : text) {
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else if (c == u'\t')
            escaped += QStringLiteral("\\t");
        else if (c == u'\r')
            escaped += QStringLiteral("\\r");
        else
            escaped += c;
    }
    return escaped;
}

using EntryKeys = QList<QPair<const char*, QString>>;

QByteArray desktopEntry(const EntryKeys& keys) {
    QString text = QStringLiteral("[Desktop Entry]\n");
    for (const auto& [key, value] : keys)
        text += QString::fromLatin1(key) + u'=' + entryValue(value) + u'\n';
    return text.toUtf8();
}

bool writeFile(const QString& fileName, const QByteArray& bytes, bool executable) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return false;
    QFile::Permissions permissions =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    if (executable)
        permissions |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    return QFile::setPermissions(fileName, permissions);
}

// A folder the program wrote into goes again once nothing is left in it.
void removeIfEmpty(const QString& folder) {
    QDir().rmdir(folder);
}

// The package's type of database files (packaging/ombrel-mime.xml), built in.
QByteArray mimePackage() {
    return QByteArray(reinterpret_cast<const char*>(kOmbrelMimePackage));
}

bool updateMimeDatabase() {
    return runTool(QStringLiteral("update-mime-database"), {mimeFolder()});
}

// After the program's type went: the database is made anew from the packages that are left,
// or, when none is left, the files made from ours go too.
void refreshMimeDatabase() {
    const QString packages = mimeFolder() + QStringLiteral("/packages");
    if (!QDir(packages).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        updateMimeDatabase();
        return;
    }
    if (!QFileInfo(mimeFolder()).isDir())
        return;
    for (const char* name : kGeneratedMimeFiles)
        QFile::remove(mimeFolder() + u'/' + QString::fromLatin1(name));
    QFile::remove(mimeFolder() + u'/' + kMimeType + QStringLiteral(".xml"));
    removeIfEmpty(mimeFolder() + QStringLiteral("/application"));
    removeIfEmpty(packages);
    removeIfEmpty(mimeFolder());
}

// Takes the handler out of every default and association list of one mimeapps.list; the file
// goes when nothing but group headers is left in it.
void removeHandlerFromList(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    file.close();
    const QString typeKey = kMimeType + u'=';
    QStringList kept;
    bool changed = false;
    bool hasEntries = false;
    for (const QString& line : lines) {
        QString result = line;
        if (line.startsWith(typeKey)) {
            QStringList handlers = line.mid(typeKey.size()).split(u';', Qt::SkipEmptyParts);
            changed |= handlers.removeAll(kHandlerName) > 0;
            if (handlers.isEmpty())
                continue;
            result = typeKey + handlers.join(u';') + u';';
        }
        const QString trimmed = result.trimmed();
        if (!trimmed.isEmpty() && !trimmed.startsWith(u'['))
            hasEntries = true;
        kept.append(result);
    }
    if (!changed)
        return;
    if (!hasEntries) {
        QFile::remove(fileName);
        return;
    }
    const QFile::Permissions permissions = file.permissions();
    if (writeFile(fileName, kept.join(u'\n').toUtf8(), false))
        QFile::setPermissions(fileName, permissions);
}

bool isReserved(QChar c) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

} // namespace

QString dataHome() {
    return environmentDir("XDG_DATA_HOME", QDir::homePath() + QStringLiteral("/.local/share"));
}

QString configHome() {
    return paths::configDir();
}

QString desktopFolder() {
    QByteArray output;
    QString folder;
    if (runTool(QStringLiteral("xdg-user-dir"), {QStringLiteral("DESKTOP")}, &output))
        folder = QString::fromLocal8Bit(output).trimmed();
    if (!QDir::isAbsolutePath(folder))
        folder = QDir::homePath() + QStringLiteral("/Desktop");
    if (QDir(folder) == QDir(QDir::homePath()))
        return QString(); // the desktop is switched off
    return QDir::cleanPath(folder);
}

bool installedByPackage() {
    return QFileInfo::exists(paths::progDir() + QString::fromLatin1(kPackageMarker));
}

bool hasCounterpart(ShortcutKind kind) {
    return kind == ShortcutKind::ProgramsMenu || kind == ShortcutKind::Desktop;
}

QString specialFolder(ShortcutKind kind) {
    QString folder;
    if (kind == ShortcutKind::ProgramsMenu)
        folder = applicationsFolder();
    else if (kind == ShortcutKind::Desktop)
        folder = desktopFolder();
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

bool ensureFolder(ShortcutKind kind) {
    const QString folder = specialFolder(kind);
    if (folder.isEmpty())
        return false;
    if (kind == ShortcutKind::Desktop)
        return QFileInfo(folder).isDir();
    return QDir().mkpath(folder);
}

QString shortcutName(const QString& version) {
    return QStringLiteral("Ombrel ") + version;
}

QString shortcutFile(ShortcutKind kind, const QString& version) {
    const QString folder = specialFolder(kind);
    if (folder.isEmpty())
        return QString();
    return folder + QStringLiteral("ombrel-") + version + QStringLiteral(".desktop");
}

bool makeLink(const QString& target, const QString& linkFile, const QString& description) {
    if (linkFile.isEmpty() || !QFileInfo(QFileInfo(linkFile).absolutePath()).isDir())
        return false;
    const EntryKeys keys = {
        {"Type", QStringLiteral("Application")}, {"Name", description},
        {"Exec", execArgument(target)},          {"TryExec", target},
        {"Terminal", QStringLiteral("false")},   {"Categories", QStringLiteral("Office;")},
    };
    // Desktops start only entries on the desktop that may be executed.
    return writeFile(linkFile, desktopEntry(keys), true);
}

QString fontFile() {
    return dataHome() + QStringLiteral("/fonts/") + QString::fromLatin1(kFontName);
}

bool fontKnown() {
    return runTool(QStringLiteral("fc-list"),
                   {QStringLiteral("-q"), QStringLiteral(":family=") + kFontFamily});
}

bool installFont(const QString& source) {
    const QString target = fontFile();
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    if (QFileInfo::exists(target) && !QFile::remove(target))
        return false;
    if (!QFile::copy(source, target))
        return false;
    runTool(QStringLiteral("fc-cache"), {QStringLiteral("-f"), folder});
    return true;
}

bool removeFont() {
    const QString target = fontFile();
    if (!removeFile(target))
        return false;
    // The folder goes first when nothing else is in it: fc-cache then drops the folder's cache
    // instead of writing a new one for an empty folder.
    const QString folder = QFileInfo(target).absolutePath();
    removeIfEmpty(folder);
    runTool(QStringLiteral("fc-cache"), {QStringLiteral("-f"), folder});
    return true;
}

QString mimePackageFile() {
    return mimeFolder() + QStringLiteral("/packages/") + QString::fromLatin1(kMimePackage);
}

QString handlerFile() {
    return applicationsFolder() + u'/' + kHandlerName;
}

bool registerFileClass(const QString& exeFile) {
    const EntryKeys handler = {
        {"Type", QStringLiteral("Application")},
        {"Name", QString::fromLatin1(kHandlerTitle)},
        {"Exec", execArgument(exeFile) + QStringLiteral(" %f")},
        {"TryExec", exeFile},
        {"MimeType", kMimeType + u';'},
        {"NoDisplay", QStringLiteral("true")},
        {"Terminal", QStringLiteral("false")},
    };
    const bool registered =
        QDir().mkpath(QFileInfo(mimePackageFile()).absolutePath()) &&
        writeFile(mimePackageFile(), mimePackage(), false) && updateMimeDatabase() &&
        QDir().mkpath(applicationsFolder()) &&
        writeFile(handlerFile(), desktopEntry(handler), false) &&
        runTool(QStringLiteral("xdg-mime"), {QStringLiteral("default"), kHandlerName, kMimeType});
    if (!registered)
        unregisterFileClass();
    return registered;
}

void unregisterFileClass() {
    removeFile(mimePackageFile());
    refreshMimeDatabase();
    removeFile(handlerFile());
    removeHandlerFromList(configHome() + QStringLiteral("/mimeapps.list"));
    removeHandlerFromList(applicationsFolder() + QStringLiteral("/mimeapps.list"));
    removeIfEmpty(applicationsFolder());
}

QString removalEntryFile(const QString& version) {
    return applicationsFolder() + QStringLiteral("/ombrel-") + version +
           QStringLiteral("-removal.desktop");
}

bool createRemovalEntry(const QString& exeFile, const QString& version) {
    // Named apart from the program's own entry, in both languages whatever was installed.
    const auto name = [&version](int language) {
        return strings::format(strings::text(textid::kRemovalEntryName, language), {version});
    };
    const EntryKeys keys = {
        {"Type", QStringLiteral("Application")},
        {"Name", name(strings::kEnglish)},
        {"Name[de]", name(strings::kGerman)},
        {"Exec", execArgument(exeFile) + u' ' + execArgument(kRemovalSwitch)},
        {"TryExec", exeFile},
        {"Terminal", QStringLiteral("false")},
        {"Categories", QStringLiteral("Settings;PackageManager;")},
    };
    return QDir().mkpath(applicationsFolder()) &&
           writeFile(removalEntryFile(version), desktopEntry(keys), false);
}

bool removeRemovalEntry(const QString& version) {
    const bool removed = removeFile(removalEntryFile(version));
    removeIfEmpty(applicationsFolder());
    return removed;
}

bool removeFile(const QString& fileName) {
    const QFileInfo file(fileName);
    if (!file.exists() && !file.isSymLink())
        return true;
    return QFile::remove(fileName);
}

QString execArgument(const QString& argument) {
    QString text = argument;
    text.replace(u'%', QStringLiteral("%%"));
    if (std::none_of(text.cbegin(), text.cend(), isReserved))
        return text;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

} // namespace desktop
