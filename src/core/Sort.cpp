#include "core/Sort.h"

#include "core/Hp48Codec.h"
#include "core/TopicTable.h"

#include <QLocale>

#include <algorithm>

namespace sort {
namespace {

uchar upperAscii(uchar code) {
    return code >= 'a' && code <= 'z' ? static_cast<uchar>(code - 'a' + 'A') : code;
}

// Code by code, unsigned; a title that is the beginning of the other is the smaller one.
int compareCodes(QByteArrayView a, QByteArrayView b, bool foldAscii) {
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        uchar x = static_cast<uchar>(a[i]);
        uchar y = static_cast<uchar>(b[i]);
        if (foldAscii) {
            x = upperAscii(x);
            y = upperAscii(y);
        }
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// The user's locale; the bare C locale knows no collation of its own and would compare by
// code points, so it stands for the common order of the languages, as in English.
QLocale collationLocale() {
    const QLocale user;
    return user.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : user;
}

void swapTopics(TopicTable& table, int a, int b) {
    const TopicRows first = table.topic(a);
    const TopicRows second = table.topic(b);
    for (int row = 1; row <= kRowsPerTopic; ++row) {
        table.setRow(a, row, second[row - 1]);
        table.setRow(b, row, first[row - 1]);
    }
}

} // namespace

TitleComparer::TitleComparer(Comparison comparison)
    : comparison_(comparison), collator_(collationLocale()) {
    collator_.setCaseSensitivity(comparison == Comparison::LocaleNoCase ? Qt::CaseInsensitive
                                                                        : Qt::CaseSensitive);
}

int TitleComparer::operator()(QByteArrayView a, QByteArrayView b) const {
    switch (comparison_) {
    case Comparison::Ordinal:
        return compareCodes(a, b, false);
    case Comparison::OrdinalNoCase:
        return compareCodes(a, b, true);
    case Comparison::LocaleCase:
    case Comparison::LocaleNoCase:
        break;
    }
    return collator_.compare(hp48::decodeRow(a), hp48::decodeRow(b));
}

void sortTable(TopicTable& table, int titleRow, Comparison comparison, bool descending) {
    const TitleComparer compare(comparison);
    const auto outOfOrder = [&](int a, int b) {
        const int result = compare(table.row(a, titleRow), table.row(b, titleRow));
        return descending ? result < 0 : result > 0;
    };
    const int count = table.topicCount();
    for (int gap = count / 2; gap > 0; gap /= 2) {
        for (int i = 1; i <= count - gap; ++i) {
            for (int j = i; j >= 1 && outOfOrder(j, j + gap); j -= gap)
                swapTopics(table, j, j + gap);
        }
    }
}

} // namespace sort
