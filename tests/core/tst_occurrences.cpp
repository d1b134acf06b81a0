#include "Sandbox.h"
#include "core/DirectoryScan.h"
#include "core/OccurrenceCount.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

namespace {

quint16 count(const QByteArray& data, const QByteArray& text, bool caseSensitive = false) {
    return scan::countInData(data, text, caseSensitive);
}

quint16 countInPieces(const QByteArray& data, const scan::Needle& needle, qsizetype pieceSize) {
    scan::PiecewiseCount count(needle);
    for (qsizetype at = 0; at < data.size(); at += pieceSize) {
        if (!count.feed(std::string_view(data.constData() + at,
                                         static_cast<size_t>(qMin(pieceSize, data.size() - at)))))
            break;
    }
    return count.result();
}

// Bytes made of the pieces a database is built of, in any order: most of them pass the header
// test, and the rest is topics, rows, counted rows with any length, end marks, letters and,
// read as codes in modes 2 and 3, backslashes.
QByteArray randomDatabaseLike(QRandomGenerator& random) {
    static const QList<QByteArray> kPieces = {
        "{",    "}",       "\"",    "C$ ",     "C$ 1", "C",     "$ ",   "0",    "3",
        "12",   " ",       "a",     "A",       "b",    "ab",    "aa",   "\r\n", "x",
        "\x1a", "C$ 2 ab", "C$ 10", "\"aba\"", "\\",   "\\097", "\\09", "\\<",  "<)"};
    static const QList<QByteArray> kHeads = {"%%HP: T(1)A(R)F(,)", "%%HP: T(1)A(R)F(,);\r\n{ ",
                                             "%%HP: T(3)A(R)F(.);\n{ ",
                                             "%%HP: T(2)A(R)F(.);\r\n{ "};
    QByteArray data = kHeads[random.bounded(10) == 0 ? 0 : 1 + random.bounded(3)];
    for (int piece = random.bounded(80); piece > 0; --piece)
        data += kPieces[random.bounded(kPieces.size())];
    return data;
}

QByteArray manyTopicsOfHits(int count) {
    return database(QList<QList<QByteArray>>(count, {"hit"}));
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
        // Rows with backslash codes are searched as the codes they stand for.
        const QByteArray codes = "%%HP: T(3)A(R)F(.);\n{ {\"x\\->y \\141\" \"\\\\->\"}}";
        QCOMPARE(count(codes, "\x8d"), quint16(2));
        QCOMPARE(count(codes, "\\->"), quint16(1));
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

    // A file larger than the read buffer is counted as it arrives, piece by piece; any way of
    // cutting the data gives the count of the whole.
    void countsInPiecesAsInTheWhole() {
        QList<QByteArray> samples = {
            database({{"abc abc abc"}, {"x", "abc"}}),
            database({{QByteArray(250, 'a'), "aaa", "a"}}),
            database({QList<QByteArray>(12, "aba")}),
            manyTopicsOfHits(199),
            manyTopicsOfHits(200),
            "%%HP: T(1)A(R)F(,);\r\n{ {C$ 12 aaaaaaaaaaaa\r\nC$ 999 a}}",
            "%%HP: T(1)A(R)F(,);\r\n{ {\"aaa\x1a\"a\"}}",
        };
        QRandomGenerator random(48);
        for (int sample = 0; sample < 3000; ++sample)
            samples.append(randomDatabaseLike(random));
        for (const char* text : {"a", "ab", "aBa", "C$", "\"a"}) {
            for (const bool caseSensitive : {false, true}) {
                const scan::Needle needle(text, caseSensitive);
                for (const QByteArray& data : samples) {
                    const quint16 whole = count(data, text, caseSensitive);
                    for (const qsizetype pieceSize : {1, 2, 3, 7, 64}) {
                        QVERIFY2(
                            countInPieces(data, needle, pieceSize) == whole,
                            qPrintable(QStringLiteral("%1 in pieces of %2: %3")
                                           .arg(QString::fromLatin1(text))
                                           .arg(pieceSize)
                                           .arg(QString::fromLatin1(data.toPercentEncoding()))));
                    }
                }
            }
        }
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

    // A scan signals its files in the directory's order and ends once; a second Start lets go
    // of the first scan, whose results never arrive; Cancel stops the threads, not only the
    // signals.
    void scannerSignalsInOrderAndStopsWhenCancelled() {
        Sandbox sandbox;
        const QString few = sandbox.path(QStringLiteral("few/"));
        for (int file = 1; file <= 3; ++file)
            writeBytes(few + QString::number(file), database({QList<QByteArray>(file, "hit")}));
        const QString many = sandbox.path(QStringLiteral("many/"));
        constexpr int kManyFiles = 20000;
        const QByteArray manyHits = manyTopicsOfHits(20);
        for (int file = 0; file < kManyFiles; ++file)
            writeBytes(many + QString::number(file), manyHits);

        scan::DirectoryScanner scanner;
        QStringList found;
        connect(&scanner, &scan::DirectoryScanner::found, &scanner,
                [&](const QString& name, quint16 count) {
                    found.append(scan::entryText(count, name));
                });
        QSignalSpy finished(&scanner, &scan::DirectoryScanner::finished);
        QSignalSpy progress(&scanner, &scan::DirectoryScanner::progress);
        scanner.start(many, "hit", false);
        scanner.start(few, "hit", false);
        QVERIFY(finished.wait(10000));
        QStringList expected;
        for (const QString& name : scan::scannableFiles(few))
            expected.append(scan::entryText(name.toUShort(), name));
        QCOMPARE(found, expected);
        QCOMPARE(finished.takeFirst(), QVariantList{false});
        QCOMPARE(progress.last(), QVariantList({3, 3}));

        found.clear();
        connect(&scanner, &scan::DirectoryScanner::found, &scanner, [&] { scanner.cancel(); });
        scanner.start(many, "hit", false);
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.takeFirst(), QVariantList{true});
        QCOMPARE(found.size(), 1);
        const int counted = scanner.filesCounted();
        QVERIFY2(counted < kManyFiles / 2, qPrintable(QString::number(counted)));
        QTest::qWait(50);
        QCOMPARE(scanner.filesCounted(), counted);
        QCOMPARE(finished.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestOccurrences)
#include "tst_occurrences.moc"
