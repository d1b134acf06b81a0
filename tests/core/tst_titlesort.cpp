// The title sort: the four comparisons, both directions and the order equal titles end in.

#include "core/Sort.h"
#include "core/TopicTable.h"

#include <QLocale>
#include <QTest>

namespace {

using sort::Comparison;

// A table of one-row topics, each with its number in row 2.
TopicTable titledTable(const QByteArrayList& titles) {
    QList<TopicRows> topics;
    for (qsizetype i = 0; i < titles.size(); ++i)
        topics.append(TopicRows{titles[i], QByteArray::number(i + 1)});
    TopicTable table;
    table.fill(topics);
    return table;
}

// The titles after a sort, or with `row` 2, the numbers the topics had before it.
QByteArrayList sorted(const QByteArrayList& titles, Comparison comparison, bool descending = false,
                      int row = 1) {
    TopicTable table = titledTable(titles);
    sort::sortTable(table, 1, comparison, descending);
    QByteArrayList rows;
    for (int entry = 1; entry <= table.topicCount(); ++entry)
        rows.append(table.row(entry, row));
    return rows;
}

} // namespace

class TestTitleSort : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // The comparisons by locale follow the user's locale; the tests fix one.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void theFourComparisons() {
        const QByteArrayList titles{"Kiwi", "apple", "Banana"};
        const QByteArrayList byLanguage{"apple", "Banana", "Kiwi"};
        QCOMPARE(sorted(titles, Comparison::LocaleCase), byLanguage);
        QCOMPARE(sorted(titles, Comparison::LocaleNoCase), byLanguage);
        QCOMPARE(sorted(titles, Comparison::Ordinal), (QByteArrayList{"Banana", "Kiwi", "apple"}));
        QCOMPARE(sorted(titles, Comparison::OrdinalNoCase), byLanguage);
        // "A" and "a": the comparisons that heed case order them, each in its own way; the
        // others take them as equal and leave them where they stand
        const QByteArrayList pairs{"A", "a", "B", "b"};
        QCOMPARE(sorted(pairs, Comparison::LocaleCase), (QByteArrayList{"a", "A", "b", "B"}));
        QCOMPARE(sorted(pairs, Comparison::Ordinal), (QByteArrayList{"A", "B", "a", "b"}));
        QCOMPARE(sorted(pairs, Comparison::LocaleNoCase), pairs);
        QCOMPARE(sorted(pairs, Comparison::OrdinalNoCase), pairs);
        // ä is code 228, Ä 196: above every ASCII letter and never folded
        QCOMPARE(sorted({"\xE4", "z", "\xC4", "Ab", "A"}, Comparison::OrdinalNoCase),
                 (QByteArrayList{"A", "Ab", "z", "\xC4", "\xE4"}));
        QCOMPARE(sorted({"b", "\xE4", "a"}, Comparison::LocaleNoCase),
                 (QByteArrayList{"a", "\xE4", "b"}));
        // without a locale of the user's own (LANG=C) the locale still sorts as a language does
        QLocale::setDefault(QLocale::c());
        const QByteArrayList inTheCLocale = sorted(titles, Comparison::LocaleCase);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(inTheCLocale, byLanguage);
    }

    void equalTitlesEndWhereTheGapsLeaveThem() {
        QCOMPARE(sorted({"Z", "M", "M", "A"}, Comparison::Ordinal, false, 2),
                 (QByteArrayList{"4", "3", "2", "1"}));
        // after an exchange the sort steps back by the gap
        QCOMPARE(sorted({"B", "B", "C", "C", "A"}, Comparison::Ordinal, false, 2),
                 (QByteArrayList{"5", "2", "1", "4", "3"}));
        // descending reverses the comparison only
        QCOMPARE(sorted({"A", "M", "M", "Z"}, Comparison::Ordinal, true, 2),
                 (QByteArrayList{"4", "3", "2", "1"}));
        QCOMPARE(sorted({"Z", "M", "M", "A"}, Comparison::LocaleCase, true, 2),
                 (QByteArrayList{"1", "2", "3", "4"}));
        for (Comparison comparison : {Comparison::LocaleCase, Comparison::LocaleNoCase,
                                      Comparison::Ordinal, Comparison::OrdinalNoCase})
            QCOMPARE(sorted({"b", "", " ", "a", ""}, comparison),
                     (QByteArrayList{"", "", " ", "a", "b"}));
    }
};

QTEST_GUILESS_MAIN(TestTitleSort)
#include "tst_titlesort.moc"
