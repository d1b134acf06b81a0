#include "core/OccurrenceCount.h"
#include "Sandbox.h"

#include <QDir>
#include <QTest>

namespace {

quint16 Count(const QByteArray& data, const QByteArray& text, bool caseSensitive = false) {
    return scan::CountInData(data, text, caseSensitive);
}

} // namespace

class TestOccurrences : public QObject {
    Q_OBJECT

  private slots:
    void countsWithoutOverlap() {
        QCOMPARE(Count(Database({{"abc abc abc"}, {"x", "abc"}}), "abc"), quint16(4));
        QCOMPARE(Count(Database({{"aaaa"}}), "aa"), quint16(2));
        QCOMPARE(Count(Database({{"aaaa"}}), ""), quint16(0));
        QCOMPARE(Count(Database({{"aaaa"}}), "aaaaa"), quint16(0));
    }

    void caseFoldsOnlyAsciiLetters() {
        const QByteArray data = Database({{"ABC aBc abc", "\xc4\xe4"}});
        QCOMPARE(Count(data, "abc"), quint16(3));
        QCOMPARE(Count(data, "abc", true), quint16(1));
        QCOMPARE(Count(data, "\xe4"), quint16(1)); // a-umlaut is not its capital
        QCOMPARE(Count(Database({{"{|}~"}}), "[\\]^", false), quint16(0));
    }

    void onlyKeptRowsOfGoodFilesCount() {
        QList<QByteArray> twelve(12, "zz");
        twelve[10] = twelve[11] = "hit";
        QCOMPARE(Count(Database({twelve}), "hit"), quint16(0));
        QCOMPARE(Count("not a database hit", "hit"), quint16(0));
        QCOMPARE(Count(Database({}), "hit"), quint16(0));
        QList<QList<QByteArray>> tooMany(200, {"hit"});
        QCOMPARE(Count(Database(tooMany), "hit"), quint16(0));
        tooMany.removeLast();
        QCOMPARE(Count(Database(tooMany), "hit"), quint16(199));
    }

    void countingStopsEachRowPastTheLimit() {
        // 250 hits in one row stop at 201; each further row is searched once more.
        QCOMPARE(Count(Database({{QByteArray(250, 'a')}}), "a"), quint16(201));
        QCOMPARE(Count(Database({{QByteArray(250, 'a'), "aaa", "a"}}), "a"), quint16(203));
    }

    void entryTexts() {
        QCOMPARE(scan::EntryText(7, QStringLiteral("a.hp")), QStringLiteral("       007\ta.hp"));
        QCOMPARE(scan::EntryText(200, QStringLiteral("b")), QStringLiteral("       200\tb"));
        QCOMPARE(scan::EntryText(201, QStringLiteral("c")), QStringLiteral("      >200\tc"));
        QCOMPARE(scan::EntryText(1234, QStringLiteral("d")).left(scan::kEntryPrefixLength),
                 QStringLiteral("      >200\t"));
    }

    void scansVisibleOrdinaryFilesOnly() {
        Sandbox sandbox;
        const QString dir = sandbox.Path(QStringLiteral("db/"));
        WriteBytes(dir + "one.hp", Database({{"hit"}}));
        WriteBytes(dir + ".hidden.hp", Database({{"hit"}}));
        QDir().mkpath(dir + "sub");
        WriteBytes(dir + "sub/inner.hp", Database({{"hit"}}));
        QCOMPARE(scan::ScannableFiles(dir), QStringList{QStringLiteral("one.hp")});
        QCOMPARE(scan::CountInFile(dir + "one.hp", "HIT", false), quint16(1));
        QCOMPARE(scan::CountInFile(dir + "missing.hp", "HIT", false), quint16(0));
    }
};

QTEST_GUILESS_MAIN(TestOccurrences)
#include "tst_occurrences.moc"
