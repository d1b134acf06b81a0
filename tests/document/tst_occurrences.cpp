#include "Sandbox.h"
#include "core/OccurrenceCount.h"

#include <QDir>
#include <QTest>

namespace {

quint16 count(const QByteArray& data, const QByteArray& text, bool caseSensitive = false) {
    return scan::countInData(data, text, caseSensitive);
}

} // namespace

class TestOccurrences : public QObject {
    Q_OBJECT

  private slots:
    void countsWithoutOverlap() {
        QCOMPARE(count(database({{"abc abc abc"}, {"x", "abc"}}), "abc"), quint16(4));
        QCOMPARE(count(database({{"aaaa"}}), "aa"), quint16(2));
        QCOMPARE(count(database({{"aaaa"}}), ""), quint16(0));
        QCOMPARE(count(database({{"aaaa"}}), "aaaaa"), quint16(0));
    }

    void caseFoldsOnlyAsciiLetters() {
        const QByteArray data = database({{"ABC aBc abc", "\xc4\xe4"}});
        QCOMPARE(count(data, "abc"), quint16(3));
        QCOMPARE(count(data, "abc", true), quint16(1));
        QCOMPARE(count(data, "\xe4"), quint16(1)); // a-umlaut is not its capital
        QCOMPARE(count(database({{"{|}~"}}), "[\\]^", false), quint16(0));
    }

    void onlyKeptRowsOfGoodFilesCount() {
        QList<QByteArray> twelve(12, "zz");
        twelve[10] = twelve[11] = "hit";
        QCOMPARE(count(database({twelve}), "hit"), quint16(0));
        QCOMPARE(count("not a database hit", "hit"), quint16(0));
        QCOMPARE(count(database({}), "hit"), quint16(0));
        QList<QList<QByteArray>> tooMany(200, {"hit"});
        QCOMPARE(count(database(tooMany), "hit"), quint16(0));
        tooMany.removeLast();
        QCOMPARE(count(database(tooMany), "hit"), quint16(199));
    }

    void countingStopsEachRowPastTheLimit() {
        // 250 hits in one row stop at 201; each further row is searched once more.
        QCOMPARE(count(database({{QByteArray(250, 'a')}}), "a"), quint16(201));
        QCOMPARE(count(database({{QByteArray(250, 'a'), "aaa", "a"}}), "a"), quint16(203));
    }

    void entryTexts() {
        QCOMPARE(scan::entryText(7, QStringLiteral("a.hp")), QStringLiteral("       007\ta.hp"));
        QCOMPARE(scan::entryText(200, QStringLiteral("b")), QStringLiteral("       200\tb"));
        QCOMPARE(scan::entryText(201, QStringLiteral("c")), QStringLiteral("      >200\tc"));
        QCOMPARE(scan::entryText(1234, QStringLiteral("d")).left(scan::kEntryPrefixLength),
                 QStringLiteral("      >200\t"));
    }

    void scansVisibleOrdinaryFilesOnly() {
        Sandbox sandbox;
        const QString dir = sandbox.path(QStringLiteral("db/"));
        writeBytes(dir + "one.hp", database({{"hit"}}));
        writeBytes(dir + ".hidden.hp", database({{"hit"}}));
        QDir().mkpath(dir + "sub");
        writeBytes(dir + "sub/inner.hp", database({{"hit"}}));
        QCOMPARE(scan::scannableFiles(dir), QStringList{QStringLiteral("one.hp")});
        QCOMPARE(scan::countInFile(dir + "one.hp", "HIT", false), quint16(1));
        QCOMPARE(scan::countInFile(dir + "missing.hp", "HIT", false), quint16(0));
    }
};

QTEST_GUILESS_MAIN(TestOccurrences)
#include "tst_occurrences.moc"
