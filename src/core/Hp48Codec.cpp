#include "core/Hp48Codec.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <array>
#include <atomic>

extern const unsigned char kHp48CharsetTsv[];

namespace hp48 {
namespace {

struct Sequence {
    QString text;
    uchar code;
};

struct Charset {
    std::array<QString, 256> decoding;
    // Where the HP49 and 50 decode otherwise, and their spellings that encode on them alone.
    std::array<QString, 256> decoding49;
    QHash<char16_t, uchar> units49;
    // Single UTF-16 units that encode alone; -1 where a unit has no code of its own.
    std::array<short, 65536> singleUnit;
    // Multi-unit spellings keyed by their first unit, longest first.
    QHash<char16_t, QList<Sequence>> sequences;
};

QString textOfCodePoints(const QString& column) {
    QString text;
    for (const QString& part : column.split(u' ', Qt::SkipEmptyParts)) {
        const char32_t codePoint = part.mid(2).toUInt(nullptr, 16); // "U+2220"
        text += QString::fromUcs4(&codePoint, 1);
    }
    return text;
}

void addSpelling(Charset& charset, const QString& text, uchar code) {
    if (text.size() == 1) {
        charset.singleUnit[text.at(0).unicode()] = code;
        return;
    }
    QList<Sequence>& list = charset.sequences[text.at(0).unicode()];
    list.append({text, code});
    std::sort(list.begin(), list.end(),
              [](const Sequence& a, const Sequence& b) { return a.text.size() > b.text.size(); });
}

Charset loadCharset() {
    Charset charset;
    charset.singleUnit.fill(-1);
    const QString table = QString::fromUtf8(reinterpret_cast<const char*>(kHp48CharsetTsv));
    for (const QString& line : table.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() < 4)
            continue; // comments and the column heading
        const uchar code = static_cast<uchar>(fields[1].toUInt());
        const QString text = textOfCodePoints(fields[3]);
        if (fields[0] == u"map49" && text.size() == 1) {
            charset.decoding49[code] = text;
            charset.units49.insert(text.at(0).unicode(), code);
            continue;
        }
        if (fields[0] != u"map" && fields[0] != u"alias")
            continue;
        if (fields[0] == u"map")
            charset.decoding[code] = text;
        addSpelling(charset, text, code);
    }
    for (int code = 0; code < 256; ++code) {
        if (charset.decoding49[code].isEmpty())
            charset.decoding49[code] = charset.decoding[code];
    }
    return charset;
}

const Charset& theCharset() {
    static const Charset charset = loadCharset();
    return charset;
}

std::atomic<Model> theModel{Model::Hp48};

const std::array<QString, 256>& decodingOf(const Charset& charset,
                                           Model model = theModel.load(std::memory_order_relaxed)) {
    return model == Model::Hp49 ? charset.decoding49 : charset.decoding;
}

} // namespace

void setModel(Model model) {
    theModel.store(model, std::memory_order_relaxed);
}

Model model() {
    return theModel.load(std::memory_order_relaxed);
}

QString decodeByte(uchar code) {
    return decodingOf(theCharset())[code];
}

QString decodeByte(uchar code, Model model) {
    return decodingOf(theCharset(), model)[code];
}

QString decodeRow(QByteArrayView bytes) {
    const std::array<QString, 256>& decoding = decodingOf(theCharset());
    QString text;
    text.reserve(bytes.size());
    for (char byte : bytes)
        text += decoding[static_cast<uchar>(byte)];
    return text;
}

namespace {

// The code of the longest spelling at text[i] and how many units it takes; 0 units when the
// character there has no code.
qsizetype matchAt(const Charset& charset, QStringView text, qsizetype i, int& code) {
    const char16_t unit = text[i].unicode();
    if (auto found = charset.sequences.constFind(unit); found != charset.sequences.cend()) {
        for (const Sequence& sequence : *found) {
            if (text.sliced(i).startsWith(sequence.text)) {
                code = sequence.code;
                return sequence.text.size();
            }
        }
    }
    code = charset.singleUnit[unit];
    if (code < 0 && model() == Model::Hp49) {
        if (auto found = charset.units49.constFind(unit); found != charset.units49.cend())
            code = *found;
    }
    return code >= 0 ? 1 : 0;
}

} // namespace

EncodedRow encodeRow(QStringView text, int refusedCode) {
    const Charset& charset = theCharset();
    EncodedRow result;
    result.bytes.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        int code = -1;
        const qsizetype taken = matchAt(charset, text, i, code);
        if (taken == 0 || code == refusedCode) {
            result.badIndex = i;
            result.badColumn = static_cast<int>(result.bytes.size()) + 1;
            result.bytes.clear();
            return result;
        }
        result.bytes.append(static_cast<char>(code));
        i += taken;
    }
    return result;
}

int encodedLength(QStringView text) {
    const Charset& charset = theCharset();
    int length = 0;
    for (qsizetype i = 0; i < text.size(); ++length) {
        int code = -1;
        i += qMax<qsizetype>(1, matchAt(charset, text, i, code));
    }
    return length;
}

} // namespace hp48
