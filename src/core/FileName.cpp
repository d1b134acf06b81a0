#include "core/FileName.h"

#include <QFile>

#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace filename {
namespace {

constexpr char16_t kKeptByteBase = 0xDC00;
constexpr char16_t kFirstKeptByte = kKeptByteBase + 0x80;
constexpr char16_t kLastKeptByte = kKeptByteBase + 0xFF;

bool isKeptByte(const QStringView name, qsizetype at) {
    const char16_t unit = name[at].unicode();
    return unit >= kFirstKeptByte && unit <= kLastKeptByte &&
           (at == 0 || !name[at - 1].isHighSurrogate());
}

// The length of the UTF-8 character that starts at `at`, with its code point; 0 when the
// bytes there are no character (a stray continuation byte, a sequence cut short, a code point
// written too long, a surrogate, or one beyond U+10FFFF).
int characterAt(QByteArrayView bytes, qsizetype at, char32_t& codePoint) {
    const auto byte = [&](qsizetype offset) {
        return static_cast<unsigned char>(bytes[at + offset]);
    };
    const unsigned char lead = byte(0);
    int length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0)
        length = 2, value = lead & 0x1F, smallest = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, value = lead & 0x0F, smallest = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, value = lead & 0x07, smallest = 0x10000;
    else
        return 0;
    if (at + length > bytes.size())
        return 0;
    for (int offset = 1; offset < length; ++offset) {
        if ((byte(offset) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(offset) & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    codePoint = value;
    return length;
}

void appendUtf8(QByteArray& bytes, char32_t codePoint) {
    const auto add = [&](unsigned value) { bytes.append(static_cast<char>(value)); };
    if (codePoint < 0x80) {
        add(codePoint);
    } else if (codePoint < 0x800) {
        add(0xC0 | (codePoint >> 6));
        add(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        add(0xE0 | (codePoint >> 12));
        add(0x80 | ((codePoint >> 6) & 0x3F));
        add(0x80 | (codePoint & 0x3F));
    } else {
        add(0xF0 | (codePoint >> 18));
        add(0x80 | ((codePoint >> 12) & 0x3F));
        add(0x80 | ((codePoint >> 6) & 0x3F));
        add(0x80 | (codePoint & 0x3F));
    }
}

bool exists(const QString& name) {
    struct stat info;
    return ::lstat(toBytes(name).constData(), &info) == 0;
}

// The one entry of the folder whose name Qt's own decoding reads as `shown`; empty when there
// is none or more than one.
QString entryReadAs(const QString& folder, const QString& shown) {
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(toBytes(folder).constData()),
                                                        ::closedir);
    if (!directory)
        return QString();
    QString found;
    int matches = 0;
    while (const dirent* entry = ::readdir(directory.get())) {
        if (QFile::decodeName(entry->d_name) == shown && ++matches == 1)
            found = fromBytes(entry->d_name);
    }
    return matches == 1 ? found : QString();
}

} // namespace

QByteArray toBytes(QStringView name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    for (qsizetype at = 0; at < name.size(); ++at) {
        const QChar unit = name[at];
        if (unit.isHighSurrogate() && at + 1 < name.size() && name[at + 1].isLowSurrogate()) {
            appendUtf8(bytes, QChar::surrogateToUcs4(unit, name[at + 1]));
            ++at;
        } else if (isKeptByte(name, at)) {
            bytes.append(static_cast<char>(unit.unicode() - kKeptByteBase));
        } else if (unit.isSurrogate()) {
            appendUtf8(bytes, QChar::ReplacementCharacter);
        } else {
            appendUtf8(bytes, unit.unicode());
        }
    }
    return bytes;
}

QString fromBytes(QByteArrayView bytes) {
    QString name;
    name.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        char32_t codePoint = 0;
        const int length = characterAt(bytes, at, codePoint);
        if (length == 0) {
            name.append(QChar(char16_t(kKeptByteBase + static_cast<unsigned char>(bytes[at]))));
            ++at;
            continue;
        }
        if (QChar::requiresSurrogates(codePoint)) {
            name.append(QChar(QChar::highSurrogate(codePoint)));
            name.append(QChar(QChar::lowSurrogate(codePoint)));
        } else {
            name.append(QChar(char16_t(codePoint)));
        }
        at += length;
    }
    return name;
}

QString forDisplay(const QString& name) {
    QString shown = name;
    for (qsizetype at = 0; at < shown.size(); ++at) {
        if (isKeptByte(shown, at))
            shown[at] = QChar::ReplacementCharacter;
    }
    return shown;
}

QStringList parameters(int argc, const char* const* argv) {
    QStringList list;
    for (int index = 1; index < argc; ++index)
        list.append(fromBytes(argv[index]));
    return list;
}

QString absolute(const QString& name) {
    if (name.startsWith(u'/'))
        return name;
    const std::unique_ptr<char, void (*)(void*)> directory(::getcwd(nullptr, 0), std::free);
    if (!directory)
        return name;
    const QString folder = fromBytes(directory.get());
    if (name.isEmpty())
        return folder;
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

QString onDisk(const QString& name) {
    if (!name.startsWith(u'/') || !name.contains(QChar::ReplacementCharacter) || exists(name))
        return name;
    QString resolved;
    for (const QString& part : name.mid(1).split(u'/')) {
        QString next = resolved + u'/' + part;
        if (part.contains(QChar::ReplacementCharacter) && !exists(next)) {
            const QString entry =
                entryReadAs(resolved.isEmpty() ? QStringLiteral("/") : resolved, part);
            if (entry.isEmpty())
                return name;
            next = resolved + u'/' + entry;
        }
        resolved = next;
    }
    return resolved;
}

} // namespace filename
