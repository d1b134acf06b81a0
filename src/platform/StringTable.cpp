#include "platform/StringTable.h"

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

// The entries of one language only: the program rarely speaks the other one, so its texts are
// read when it first does.
QHash<quint16, QString> loadTable(bool english) {
    QHash<quint16, QString> table;
    const QString source = QString::fromUtf8(reinterpret_cast<const char*>(kOmbrelStrings));
    for (QStringView line : QStringView(source).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0)
            continue;
        // The id, and after a blank perhaps the name the program knows it by.
        const auto id = static_cast<quint16>(line.left(tab).split(u' ').first().toUInt());
        if (isEnglishId(id) == english)
            table.insert(id, unescape(line.mid(tab + 1)));
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
