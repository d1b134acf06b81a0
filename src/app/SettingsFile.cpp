#include "SettingsFile.h"

#include "AtomicFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

// UTF-8 in, UTF-8 out: the file needs no wide-character conversion.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

namespace {
constexpr qsizetype kMaxStringRead = 1023;
}

struct SettingsFile::State {
    CSimpleIniA ini{true, false, false};
    QDateTime loadedModified;
    qint64 loadedSize = -1;
};

SettingsFile::SettingsFile(const QString& fileName)
    : fileName_(fileName), state_(std::make_unique<State>()) {
    state_->ini.SetSpaces(false);
    ReloadIfChanged();
}

SettingsFile::~SettingsFile() = default;

bool SettingsFile::Exists() const {
    return QFileInfo::exists(fileName_);
}

// The file has one writer, but it is read fresh whenever it changed on disk since the last look.
void SettingsFile::ReloadIfChanged() const {
    const QFileInfo info(fileName_);
    const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
    const qint64 size = info.exists() ? info.size() : -1;
    if (modified == state_->loadedModified && size == state_->loadedSize)
        return;
    state_->ini.Reset();
    QFile file(fileName_);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray contents = file.readAll();
        state_->ini.LoadData(contents.constData(), static_cast<size_t>(contents.size()));
    }
    state_->loadedModified = modified;
    state_->loadedSize = size;
}

void SettingsFile::Save() {
    if (batchDepth_ > 0) {
        unsaved_ = true;
        return;
    }
    unsaved_ = false;
    std::string contents;
    state_->ini.Save(contents);
    if (!WriteFileAtomically(fileName_, QByteArray::fromStdString(contents))) {
        if (writeFailed_)
            writeFailed_(fileName_);
        return;
    }
    const QFileInfo info(fileName_);
    state_->loadedModified = info.lastModified();
    state_->loadedSize = info.size();
}

QString SettingsFile::ReadString(const char* section, const char* key,
                                 const QString& defaultValue) const {
    ReloadIfChanged();
    const char* value = state_->ini.GetValue(section, key, nullptr);
    if (value == nullptr)
        return defaultValue;
    return QString::fromUtf8(value).left(kMaxStringRead);
}

int ParseSettingsInteger(const QString& text, int defaultValue) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    int value = 0;
    if (trimmed.size() > 2 && (trimmed.startsWith(u"0x") || trimmed.startsWith(u"0X")))
        value = static_cast<int>(trimmed.mid(2).toUInt(&ok, 16));
    else
        value = trimmed.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

int SettingsFile::ReadInteger(const char* section, const char* key, int defaultValue) const {
    return ParseSettingsInteger(ReadString(section, key, QString()), defaultValue);
}

bool SettingsFile::ReadBool(const char* section, const char* key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void SettingsFile::WriteString(const char* section, const char* key, const QString& value) {
    ReloadIfChanged();
    state_->ini.SetValue(section, key, value.toUtf8().constData());
    Save();
}

void SettingsFile::WriteInteger(const char* section, const char* key, int value) {
    WriteString(section, key, QString::number(value));
}

void SettingsFile::WriteBool(const char* section, const char* key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void SettingsFile::SetWriteFailureHandler(std::function<void(const QString&)> handler) {
    writeFailed_ = std::move(handler);
}

SettingsFile::Batch::Batch(SettingsFile& file) : file_(file) {
    ++file_.batchDepth_;
}

SettingsFile::Batch::~Batch() {
    if (--file_.batchDepth_ == 0 && file_.unsaved_)
        file_.Save();
}
