#include "platform/OmissionText.h"

#include "platform/StringTable.h"
#include "platform/TextIds.h"

#include <QStringList>

namespace {

void addCount(QStringList& lines, quint16 baseId, qint64 count, int language) {
    if (count > 0)
        lines.append(strings::format(strings::text(baseId, language), {QString::number(count)}));
}

} // namespace

QString omissionText(const hpparse::Omissions& omitted, const QString& fileName, int language) {
    if (!omitted.any())
        return QString();
    QStringList lines{strings::format(strings::text(textid::kLeftOutIntro, language), {fileName})};
    addCount(lines, textid::kLeftOutRows, omitted.rowsPastTenth, language);
    addCount(lines, textid::kLeftOutEntries, omitted.otherEntries, language);
    addCount(lines, textid::kLeftOutAfterEnd, static_cast<qint64>(omitted.bytesAfterEnd), language);
    if (omitted.leftOut())
        lines.append(strings::text(textid::kLeftOutSaving, language));
    addCount(lines, textid::kUnknownCodes, omitted.unknownCodes, language);
    return lines.join(u'\n');
}
