#include "core/CharacterNames.h"

#include <QFile>
#include <QStringList>

#include <array>

extern const unsigned char kHp48CharsetTsv[];

namespace hp48 {
namespace {

using Names = std::array<QString, 256>;

// "LATIN CAPITAL LETTER A WITH GRAVE" reads "latin capital letter A with grave"; a control code
// goes by its own name, "SYMBOL FOR NULL" by "null".
QString englishName(const QString& unicodeName) {
    QString name = unicodeName.toLower();
    if (name.startsWith(u"symbol for "))
        name.remove(0, 11);
    QStringList words = name.split(u' ');
    for (qsizetype i = 2; i < words.size(); ++i) {
        if (words[i - 2] == u"capital" && words[i - 1] == u"letter" && words[i].size() <= 2)
            words[i] = words[i].toUpper();
    }
    return words.join(u' ');
}

// The lines of a table, each split at its tabs; comments left out.
QList<QStringList> rowsOf(const QString& table) {
    QList<QStringList> rows;
    for (const QString& line : table.split(u'\n', Qt::SkipEmptyParts)) {
        if (!line.startsWith(u'#'))
            rows.append(line.split(u'\t'));
    }
    return rows;
}

// The charset's 'map' rows: kind, code, hex, unicode, name.
Names readEnglish() {
    Names names;
    const QString table = QString::fromUtf8(reinterpret_cast<const char*>(kHp48CharsetTsv));
    for (const QStringList& fields : rowsOf(table)) {
        const uint code = fields.value(1).toUInt();
        if (fields.size() >= 5 && fields[0] == u"map" && code < 256)
            names[code] = englishName(fields[4]);
    }
    return names;
}

// Rows of code and name.
Names readGerman() {
    Names names;
    QFile file(QStringLiteral(":/names/hp48-charnames-de.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return names;
    for (const QStringList& fields : rowsOf(QString::fromUtf8(file.readAll()))) {
        bool isCode = false;
        const uint code = fields[0].toUInt(&isCode);
        if (fields.size() == 2 && isCode && code < 256)
            names[code] = fields[1];
    }
    return names;
}

} // namespace

QString characterName(uchar code, int language) {
    if (language == 1) {
        static const Names english = readEnglish();
        return english[code];
    }
    static const Names german = readGerman();
    return german[code];
}

} // namespace hp48
