#include "platform/StringTable.h"

#include <QByteArrayView>
#include <QHash>
#include <QStringList>

extern const unsigned char kOmbrelStrings[];

namespace strings {
namespace {

QString unescape(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar escaped = text[++i];
        out += escaped == u'n' ? QChar(u'\n') : escaped == u't' ? QChar(u'\t') : escaped;
    }
    return out;
}

bool isEnglishId(quint16 id) {
    return id % 5 == kEnglish;
}

// The id at the start of a line, before a blank and the name the program knows it by; 0 when
// it is not a number.
quint16 lineId(QByteArrayView head) {
    const qsizetype blank = head.indexOf(' ');
    const QByteArrayView digits = blank < 0 ? head : head.first(blank);
    uint id = 0;
    for (const char digit : digits) {
        if (digit < '0' || digit > '9' || id > 0xffff)
            return 0;
        id = id * 10 + uint(digit - '0');
    }
    return id > 0xffff ? 0 : static_cast<quint16>(id);
}

// The entries of one language only: the program rarely speaks the other one, so its texts are
// read when it first does. Only the texts taken are turned into QStrings.
QHash<quint16, QString> loadTable(bool english) {
    QHash<quint16, QString> table;
    const QByteArrayView source(reinterpret_cast<const char*>(kOmbrelStrings));
    for (qsizetype start = 0; start < source.size();) {
        qsizetype end = source.indexOf('\n', start);
        if (end < 0)
            end = source.size();
        const QByteArrayView line = source.sliced(start, end - start);
        start = end + 1;
        const qsizetype tab = line.indexOf('\t');
        if (line.startsWith('#') || tab <= 0)
            continue;
        const quint16 id = lineId(line.first(tab));
        if (isEnglishId(id) == english)
            table.insert(id, unescape(QString::fromUtf8(line.sliced(tab + 1))));
    }
    return table;
}

const QHash<quint16, QString>& tableWith(quint16 id) {
    if (isEnglishId(id)) {
        static const QHash<quint16, QString> english = loadTable(true);
        return english;
    }
    static const QHash<quint16, QString> german = loadTable(false);
    return german;
}

} // namespace

namespace {
int currentLanguage = kGerman;
} // namespace

void setLanguage(int language) {
    currentLanguage = language == kEnglish ? kEnglish : kGerman;
}

int language() {
    return currentLanguage;
}

QString byId(quint16 id) {
    return tableWith(id).value(id);
}

QString format(const QString& text, const QStringList& arguments) {
    QString out;
    qsizetype next = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool placeHolder =
            text[i] == u'%' && i + 1 < text.size() && (text[i + 1] == u'D' || text[i + 1] == u'S');
        if (placeHolder && next < arguments.size()) {
            out += arguments[next++];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace strings
