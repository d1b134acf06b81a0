#include "platform/SettingsFile.h"

#include "core/AtomicFile.h"
#include "core/FileName.h"
#include "core/RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

// UTF-8 in, UTF-8 out: the file needs no wide-character conversion. Values keep their bytes as
// file names do (core/FileName.h), so that a name that is no UTF-8 comes back whole.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

namespace {
constexpr qsizetype kMaxStringRead = 1023;

// Only a regular file is read: a pipe in its place would hold the start up. A run of NUL bytes
// (a block the file system lost in a crash) ends a line, for the reader and the writer alike,
// so that the lines after it still count.
QByteArray readSettingsText(const QString& fileName) {
    RegularFile file;
    if (file.open(fileName) != RegularFile::Opened::Yes)
        return QByteArray();
    QByteArray text(file.size(), Qt::Uninitialized);
    const qint64 read = file.read(text.data(), text.size());
    text.truncate(read < 0 ? 0 : read);
    QByteArray lines;
    lines.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text[at] != '\0')
            lines.append(text[at]);
        else if (at == 0 || text[at - 1] != '\0')
            lines.append('\n');
    }
    return lines;
}
} // namespace

// Reading goes through SimpleIni (case-insensitive; the first of duplicated keys counts);
// writing edits the file's own lines, so everything the program does not know stays as it was.
struct SettingsFile::State {
    CSimpleIniA ini{true, true, false};
    QByteArray text;
    QDateTime loadedModified;
    qint64 loadedSize = -1;

    void parse() {
        ini.Reset();
        ini.LoadData(text.constData(), static_cast<size_t>(text.size()));
    }
};

namespace {

QByteArray sectionName(const QByteArray& line) {
    const QByteArray trimmed = line.trimmed();
    if (!trimmed.startsWith('[') || !trimmed.contains(']'))
        return QByteArray();
    return trimmed.mid(1, trimmed.indexOf(']') - 1).trimmed();
}

bool sameName(const QByteArray& a, const char* b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isKeyLine(const QByteArray& line, const char* key) {
    const qsizetype equals = line.indexOf('=');
    return equals > 0 && sameName(line.left(equals).trimmed(), key);
}

// Sets one value in the lines of an INI text: the first line of that key in the first section
// of that name, else a new line after the section's last line that is not blank, else a new
// section at the end.
void setValueInText(QByteArray& text, const char* section, const char* key,
                    const QByteArray& value) {
    QByteArrayList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    qsizetype sectionStart = -1;
    qsizetype lastFilled = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray name = sectionName(lines[i]);
        if (!name.isNull()) {
            if (sectionStart >= 0)
                break;
            if (sameName(name, section))
                sectionStart = lastFilled = i;
            continue;
        }
        if (sectionStart < 0)
            continue;
        if (isKeyLine(lines[i], key)) {
            const QByteArray ending = lines[i].endsWith('\r') ? "\r" : "";
            lines[i] = lines[i].left(lines[i].indexOf('=') + 1) + value + ending;
            text = lines.join('\n') + '\n';
            return;
        }
        if (!lines[i].trimmed().isEmpty())
            lastFilled = i;
    }
    const QByteArray entry = QByteArray(key) + '=' + value;
    if (sectionStart >= 0) {
        lines.insert(lastFilled + 1, entry);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QByteArray());
        lines.append('[' + QByteArray(section) + ']');
        lines.append(entry);
    }
    text = lines.join('\n') + '\n';
}

// A new user has no settings folder yet. The missing folders are made private (0700), as a
// user's configuration folder is; folders that exist keep their modes.
bool makeFolder(const QString& path) {
    const QFileInfo folder(path);
    if (folder.isDir())
        return true;
    if (folder.exists() || !makeFolder(folder.absolutePath()))
        return false;
    return QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) ||
           QFileInfo(path).isDir();
}

} // namespace

SettingsFile::SettingsFile(const QString& fileName)
    : fileName_(fileName), state_(std::make_unique<State>()) {
    removeWriteLeftovers(fileName_);
    reloadIfChanged();
}

SettingsFile::~SettingsFile() = default;

bool SettingsFile::exists() const {
    return QFileInfo::exists(fileName_);
}

// The file has one writer, but it is read fresh whenever it changed on disk since the last look.
void SettingsFile::reloadIfChanged() const {
    const QFileInfo info(fileName_);
    const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
    const qint64 size = info.exists() ? info.size() : -1;
    if (modified == state_->loadedModified && size == state_->loadedSize)
        return;
    state_->text = readSettingsText(fileName_);
    state_->parse();
    state_->loadedModified = modified;
    state_->loadedSize = size;
}

void SettingsFile::save() {
    if (batchDepth_ > 0) {
        unsaved_ = true;
        return;
    }
    unsaved_ = false;
    if (!makeFolder(QFileInfo(fileName_).absolutePath()) ||
        !writeFileAtomically(fileName_, state_->text)) {
        if (writeFailed_)
            writeFailed_(fileName_);
        return;
    }
    const QFileInfo info(fileName_);
    state_->loadedModified = info.lastModified();
    state_->loadedSize = info.size();
}

QString SettingsFile::readString(const char* section, const char* key,
                                 const QString& defaultValue) const {
    reloadIfChanged();
    const char* value = state_->ini.GetValue(section, key, nullptr);
    if (value == nullptr)
        return defaultValue;
    return filename::fromBytes(value).left(kMaxStringRead);
}

int parseSettingsInteger(const QString& text, int defaultValue) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    int value = 0;
    if (trimmed.size() > 2 && (trimmed.startsWith(u"0x") || trimmed.startsWith(u"0X")))
        value = static_cast<int>(trimmed.mid(2).toUInt(&ok, 16));
    else
        value = trimmed.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

int SettingsFile::readInteger(const char* section, const char* key, int defaultValue) const {
    return parseSettingsInteger(readString(section, key, QString()), defaultValue);
}

bool SettingsFile::readBool(const char* section, const char* key, bool defaultValue) const {
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool SettingsFile::canHold(const QString& value) {
    return !value.contains(u'\n') && !value.contains(u'\r') && !value.contains(QChar(u'\0'));
}

bool SettingsFile::writeString(const char* section, const char* key, const QString& value) {
    if (!canHold(value))
        return false;
    reloadIfChanged();
    setValueInText(state_->text, section, key, filename::toBytes(value));
    state_->parse();
    save();
    return true;
}

void SettingsFile::writeInteger(const char* section, const char* key, int value) {
    writeString(section, key, QString::number(value));
}

void SettingsFile::writeBool(const char* section, const char* key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void SettingsFile::setWriteFailureHandler(std::function<void(const QString&)> handler) {
    writeFailed_ = std::move(handler);
}

SettingsFile::Batch::Batch(SettingsFile& file) : file_(file) {
    ++file_.batchDepth_;
}

SettingsFile::Batch::~Batch() {
    if (--file_.batchDepth_ == 0 && file_.unsaved_)
        file_.save();
}
