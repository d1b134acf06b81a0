#include "ByteArguments.h"
#include "EnvironmentOverride.h"
#include "Sandbox.h"
#include "SpecialFiles.h"
#include "core/Hp48Codec.h"
#include "core/HpFile.h"
#include "core/OccurrenceCount.h"
#include "core/TopicTable.h"
#include "platform/StringTable.h"
#include "platform/Version.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <sys/resource.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// A cli that reads without bound fails here at once instead of taking the machine's memory.
// AddressSanitizer reserves far more address space, so it runs without the limit.
void limitAddressSpace() {
#ifndef __SANITIZE_ADDRESS__
    const rlimit limit{512 * kMiB, 512 * kMiB};
    setrlimit(RLIMIT_AS, &limit);
#endif
}

// The largest resident size any finished cli run reached, in KiB.
long peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

CliRun cli(const QStringList& arguments, const QByteArray& input = {}) {
    QProcess cli;
    cli.setChildProcessModifier(limitAddressSpace);
    startWithBytes(cli, QStringLiteral(OMBREL_CLI_BINARY), arguments);
    cli.write(input);
    cli.closeWriteChannel();
    CliRun run;
    if (!cli.waitForFinished(10000) || cli.exitStatus() != QProcess::NormalExit) {
        cli.kill();
        return run;
    }
    return {cli.exitCode(), cli.readAllStandardOutput(), cli.readAllStandardError()};
}

QByteArray englishLine(quint16 baseId) {
    return strings::text(baseId, strings::kEnglish).toUtf8() + '\n';
}

using Topics = QList<QStringList>;

// The file FormatHpFile makes of the topics, each row encoded as the calculator stores it.
QByteArray hpFile(const Topics& topics, bool trimRows, bool trimTopics = false) {
    QList<TopicRows> encoded;
    for (const QStringList& rows : topics) {
        encoded.append(TopicRows());
        for (qsizetype row = 0; row < rows.size(); ++row)
            encoded.last()[row] = hp48::encodeRow(rows[row]).bytes;
    }
    TopicTable table;
    table.fill(encoded);
    return formatHpFile(table, table.topicCount(), trimRows, trimTopics);
}

// A file of one-row topics written by hand, since a table holds at most 199.
QByteArray manyTopics(int count) {
    return "%%HP: T(1)A(R)F(,);\r\n{ " + QByteArray("{\"t\"}\r\n").repeated(count) + "}\r\n";
}

QByteArray jsonOf(const Topics& topics) {
    QJsonArray list;
    for (const QStringList& rows : topics)
        list.append(QJsonArray::fromStringList(rows));
    return QJsonDocument(QJsonObject{{QStringLiteral("topics"), list}}).toJson();
}

QStringList sortedLines(const QByteArray& output) {
    QStringList lines = QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
    std::sort(lines.begin(), lines.end());
    return lines;
}

const QString kQuoted = QStringLiteral("say \"hi\"");
const QString kMacronX = QStringLiteral("x\u0304"); // byte 129
// "abc" in any letter case 3 + 1 + 2 + 1 = 7 times, in this case 3 + 0 + 1 + 1 = 5 times.
const Topics kSevenAbc = {{"abc abc abc", "ABC"}, {"AbC x abc"}, {"", "", "abc"}};

} // namespace

class TestCli : public QObject {
    Q_OBJECT

  private slots:
    void check();
    void exportGivesJson();
    void importWritesTrimmedFile();
    void importRefusesWhatCannotBeStored_data();
    void importRefusesWhatCannotBeStored();
    void exportImportRoundTrip();
    void translationModes();
    void refusesWhatIsNoRegularFileOrTooLarge();
    void scan();
    void scanSkipsWhatIsNoRegularDatabase();
    void scanListsInDirectoryOrderAndReadsLargeFilesWhole();
    void previewDrawsTheScreen();
    void previewRefusesWhatItCannotDraw();
    void namesThatAreNoUtf8();
    void diffListsTheTopicsThatDiffer();
    void portsListsTheDevicesPresent();
    void usageErrors();
    void helpAndVersion();
};

void TestCli::check() {
    Sandbox sandbox;
    const QString three = sandbox.path(QStringLiteral("three.txt"));
    writeBytes(three, hpFile({{"a"}, {}, {"c", "d"}}, false));
    QCOMPARE(cli({"check", three}).out, QByteArray("3 topics\ntranslation mode 1\n"));
    const QString full = sandbox.path(QStringLiteral("full.txt"));
    writeBytes(full, manyTopics(199));
    const CliRun fullRun = cli({"check", full});
    QCOMPARE(fullRun.exitCode, 0);
    QCOMPARE(fullRun.out, QByteArray("199 topics\ntranslation mode 1\n"));
    QCOMPARE(fullRun.err, QByteArray());

    const QString tooMany = sandbox.path(QStringLiteral("many.txt"));
    writeBytes(tooMany, manyTopics(200));
    const QString notHp = sandbox.path(QStringLiteral("plain.txt"));
    writeBytes(notHp, "just some text\r\n{ {\"a\"} }\r\n");
    for (auto [file, code, baseId] : {std::tuple{sandbox.root() + "/missing.txt", 3, 1115},
                                      {sandbox.root(), 3, 1230},
                                      {notHp, 4, 1120},
                                      {tooMany, 5, 1210}}) {
        for (const char* command : {"check", "export"}) {
            const CliRun run = cli({command, file});
            QCOMPARE(run.exitCode, code);
            QCOMPARE(run.err, englishLine(static_cast<quint16>(baseId)));
            QCOMPARE(run.out, QByteArray());
        }
    }
}

void TestCli::exportGivesJson() {
    Sandbox sandbox;
    const QString file = sandbox.path(QStringLiteral("db.txt"));
    const QStringList fullTopic = {kMacronX, "", "", "", "", "", "", "", "", "end"};
    writeBytes(file, hpFile({{"Title", "", "a→b", "", ""}, {}, fullTopic, {kQuoted}}, false));

    const CliRun run = cli({"export", file});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    QVERIFY2(error.error == QJsonParseError::NoError, run.out.constData());
    const QJsonArray topics{QJsonArray{"Title", "", QStringLiteral("a→b")}, QJsonArray{},
                            QJsonArray::fromStringList(fullTopic), QJsonArray{kQuoted}};
    QCOMPARE(document.object(), QJsonObject({{"topics", topics}}));

    writeBytes(file, "%%HP: T(1)A(R)F(,);\r\n{ {\"\x8D\x81\"}\r\n}\r\n");
    const QJsonObject decoded = QJsonDocument::fromJson(cli({"export", file}).out).object();
    QCOMPARE(decoded, QJsonObject({{"topics", QJsonArray{QJsonArray{"\u2192x\u0304"}}}}));
}

void TestCli::importWritesTrimmedFile() {
    Sandbox sandbox;
    const Topics topics = {
        {"first", "", "→ x̄", "", ""}, {"", ""}, {kQuoted, "tab\there"}, {}, {""}};
    const QString json = sandbox.path(QStringLiteral("in.json"));
    writeBytes(json, jsonOf(topics));
    const QString out = sandbox.path(QStringLiteral("out.txt"));

    const CliRun run = cli({"import", json, out});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(readBytes(out), hpFile(topics, true));

    // A write killed before its rename left its temporary file beside the file; the next write
    // of that file removes it, and nothing that only looks alike or may be a write under way.
    const QStringList kept = {".out.txt.~ombrel-k3J9x", "out.txt.~ombrel-k3J9xQ",
                              ".in.json.~ombrel-k3J9xQ", ".out.txt.~ombrel-fresh1"};
    for (const QString& name : kept + QStringList{".out.txt.~ombrel-k3J9xQ"}) {
        writeBytes(sandbox.path(name), "a complete file");
        if (!name.endsWith(u"fresh1"))
            ageFile(sandbox.path(name), 120);
    }
    QCOMPARE(cli({"import", "-", out, "--drop-empty-topics"}, jsonOf(topics)).exitCode, 0);
    QCOMPARE(readBytes(out), hpFile(topics.mid(0, 3), true));
    QStringList left = QDir(sandbox.root()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    QStringList expected = kept + QStringList{"in.json", "out.txt"};
    expected.sort();
    QCOMPARE(left, expected);
}

void TestCli::importRefusesWhatCannotBeStored_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("message");
    // The column counts bytes of the stored row: x̄ is two characters but one byte.
    QTest::newRow("euro sign")
        << "json" << jsonOf({{"ok"}, {"a", "b", "x̄x̄€"}})
        << QByteArray("Record 2: The character in row 3, column 3 has no HP48 code.\n");
    QTest::newRow("end-of-file mark")
        << "csv" << QByteArray("\"a,\"\"\u241A\"\r\n")
        << QByteArray("Record 1: The character in row 1, column 4 has no HP48 code.\n");
    QTest::newRow("11 rows") << "tsv" << QByteArray("\nr\tr\tr\tr\tr\tr\tr\tr\tr\tr\tr\n")
                             << QByteArray("Record 2 has 11 rows; a topic holds at most ten.\n");
    QTest::newRow("200 topics") << "text" << QByteArray("t\n\n").repeated(200)
                                << QByteArray("Record 200 is one too many");
    QTest::newRow("row not text") << "json" << QByteArray(R"({"topics": [["a", 5]]})")
                                  << QByteArray("Record 1 is not a list");
    QTest::newRow("not JSON") << "json" << QByteArray("{\"topics\": [") << QByteArray("JSON");
}

void TestCli::importRefusesWhatCannotBeStored() {
    QFETCH(QString, format);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, message);
    Sandbox sandbox;
    const QString in = sandbox.path(QStringLiteral("in.json"));
    writeBytes(in, input);
    const QString existing = sandbox.path(QStringLiteral("old.txt"));
    writeBytes(existing, hpFile({{"keep me"}}, true));

    const CliRun run = cli({"import", in, sandbox.root() + "/new.txt", "--format", format});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(message), run.err.constData());
    QCOMPARE(cli({"import", "--format", format, in, existing}).exitCode, 2);
    QCOMPARE(readBytes(existing), hpFile({{"keep me"}}, true));
    QCOMPARE(QDir(sandbox.root()).entryList(QDir::Files), QStringList({"in.json", "old.txt"}));
}

void TestCli::exportImportRoundTrip() {
    Sandbox sandbox;
    const QByteArray trimmed = hpFile({{"Title", "", "∠ → x̄ ␉", kQuoted},
                                       {},
                                       {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
                                       {"ÄÖÜß äöü", "", ""}},
                                      true);
    const QString original = sandbox.path(QStringLiteral("original.txt"));
    writeBytes(original, trimmed);
    const QString copy = sandbox.path(QStringLiteral("copy.txt"));
    // JSON when no format is named.
    for (const QStringList& format :
         {QStringList(), {"--format", "csv"}, {"--format", "tsv"}, {"--format", "text"}}) {
        const CliRun exported = cli(QStringList{"export", original} + format);
        QCOMPARE(exported.exitCode, 0);
        QVERIFY(exported.out.startsWith(format.isEmpty() ? "{\"topics\":[[\"Title\"" : "Title"));
        QCOMPARE(cli(QStringList{"import", "-", copy} + format, exported.out).exitCode, 0);
        QCOMPARE(readBytes(copy), trimmed);
    }
}

// A file as a calculator in mode 3 writes it: LF line ends, backslash codes, an entry that is
// no text and a row past the tenth. check and export say what they left out; convert and
// import write the mode asked for and nothing else changes.
void TestCli::translationModes() {
    Sandbox sandbox;
    const QString calculator = sandbox.path(QStringLiteral("calc.txt"));
    writeBytes(calculator, "%%HP: T(3)A(D)F(.);\n{ { \"\\->\\228\\\\\" 42 \"b\" \"\" \"\" \"\" "
                           "\"\" \"\" \"\" \"\" \"\" \"11\" }\n{ \"C$ 3\" }\n}\n");
    const QByteArray leftOut = "Reading \"" + calculator.toUtf8() +
                               "\":\nRows past the tenth of a topic, left out: 1\n"
                               "Entries that are not text, left out: 1\n"
                               "Saving writes the file without them.\n";
    const CliRun checked = cli({"check", calculator});
    QCOMPARE(checked.exitCode, 0);
    QCOMPARE(checked.out, QByteArray("2 topics\ntranslation mode 3\n"));
    QCOMPARE(checked.err, leftOut);
    const CliRun exported = cli({"export", calculator});
    QCOMPARE(exported.err, leftOut);
    QCOMPARE(QJsonDocument::fromJson(exported.out).object()["topics"].toArray()[0].toArray()[0],
             QJsonValue(QStringLiteral("→ä\\")));

    const QString converted = sandbox.path(QStringLiteral("converted.txt"));
    QCOMPARE(cli({"convert", calculator, converted, "--translation", "1"}).exitCode, 0);
    QCOMPARE(readBytes(converted), "%%HP: T(1)A(D)F(.);\r\n{ {\"\x8d\xe4\\\"\r\n\"b\"}\r\n"
                                   "{\"C$ 3\"}\r\n}\r\n");
    const QString back = sandbox.path(QStringLiteral("back.txt"));
    QCOMPARE(cli({"convert", converted, back, "--translation", "3"}).exitCode, 0);
    QCOMPARE(readBytes(back), "%%HP: T(3)A(D)F(.);\r\n{ {\"\\->\\228\\\\\"\r\n\"b\"}\r\n"
                              "{\"C$ 3\"}\r\n}\r\n");
    QCOMPARE(cli({"check", back}).err, QByteArray());

    const QString imported = sandbox.path(QStringLiteral("imported.txt"));
    QCOMPARE(cli({"import", "-", imported, "--translation", "0"}, exported.out).exitCode, 0);
    QVERIFY(readBytes(imported).startsWith("%%HP: T(0)A(R)F(,);\n{ {\"\x8d\xe4\\\"\n\"b\"}\n"));
}

void TestCli::refusesWhatIsNoRegularFileOrTooLarge() {
    Sandbox sandbox;
    const QString pipe = sandbox.path(QStringLiteral("pipe"));
    makePipe(pipe);
    const QString zeroLink = sandbox.path(QStringLiteral("zero"));
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zeroLink));
    const QString overBound = sandbox.path(QStringLiteral("over.txt"));
    makeSparseFile(overBound, hpFile({{"a"}}, true), hpfile::kMaxFileSize + 1);
    const QString huge = sandbox.path(QStringLiteral("huge.txt"));
    makeSparseFile(huge, "just text", 1024 * kMiB);
    for (auto [file, code, baseId] : {std::tuple{QStringLiteral("/dev/zero"), 3, 1230},
                                      {pipe, 3, 1230},
                                      {zeroLink, 3, 1230},
                                      {overBound, 6, 1225},
                                      {huge, 4, 1120}}) {
        for (const char* command : {"check", "export"}) {
            const CliRun run = cli({command, file});
            QVERIFY2(run.exitCode == code, qPrintable(file));
            QCOMPARE(run.err, englishLine(static_cast<quint16>(baseId)));
        }
    }
    const QString atBound = sandbox.path(QStringLiteral("at.txt"));
    makeSparseFile(atBound, hpFile({{"a"}}, true), hpfile::kMaxFileSize);
    QCOMPARE(cli({"check", atBound}).out, QByteArray("1 topics\ntranslation mode 1\n"));

    const CliRun endless = cli({"import", "/dev/zero", sandbox.root() + "/new.txt"});
    QCOMPARE(endless.exitCode, 6);
    QCOMPARE(endless.err, englishLine(1225));
    QVERIFY(!QFile::exists(sandbox.root() + "/new.txt"));
}

void TestCli::scan() {
    Sandbox sandbox;
    const QString dir = sandbox.path(QStringLiteral("dir/"));
    writeBytes(dir + "seven.txt", hpFile(kSevenAbc, false));
    writeBytes(dir + "exactly200.txt",
               hpFile({QStringList(10, QString("abc").repeated(20))}, true));
    writeBytes(dir + "over200.txt", hpFile({QStringList(10, QString("abc").repeated(21))}, true));
    writeBytes(dir + "other.txt", hpFile({{"a→b →", "ä Ä"}}, true));
    writeBytes(dir + "not-hp.txt", "abc abc abc\n");
    writeBytes(dir + ".hidden.txt", hpFile({{"abc"}}, true));
    writeBytes(sandbox.path(QStringLiteral("dir/sub.txt/inner.txt")), hpFile({{"abc"}}, true));

    const CliRun run = cli({"scan", dir, "abc"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(sortedLines(run.out),
             QStringList({"       007\tseven.txt", "       200\texactly200.txt",
                          "      >200\tover200.txt"}));
    QCOMPARE(sortedLines(cli({"scan", dir, "abc", "--case-sensitive"}).out),
             QStringList({"       005\tseven.txt", "       200\texactly200.txt",
                          "      >200\tover200.txt"}));
    // The text is looked for as the calculator stores it; only a..z fold.
    QCOMPARE(cli({"scan", dir, "→"}).out, QByteArray("       002\tother.txt\n"));
    QCOMPARE(cli({"scan", dir, "ä"}).out, QByteArray("       001\tother.txt\n"));
    for (const char* nowhere : {"", "€"}) {
        const CliRun none = cli({"scan", dir, nowhere});
        QCOMPARE(none.exitCode, 0);
        QCOMPARE(none.out, QByteArray());
    }
    QCOMPARE(cli({"scan", sandbox.root() + "/nowhere", "abc"}).exitCode, 3);
}

void TestCli::scanSkipsWhatIsNoRegularDatabase() {
    Sandbox sandbox;
    const QString dir = sandbox.path(QStringLiteral("dir/"));
    writeBytes(dir + "seven.txt", hpFile(kSevenAbc, false));
    makePipe(dir + "pipe");
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), dir + "zero"));
    makeSparseFile(dir + "huge.txt", "abc, no database", 1024 * kMiB);
    makeSparseFile(dir + "over.txt", hpFile({{"abc"}}, true), hpfile::kMaxFileSize + 1);
    // Sizes beyond what 32 bits hold, with and without the header.
    makeSparseFile(dir + "huge-db.txt", hpFile({{"abc"}}, true), 3'000'000'000);
    makeSparseFile(dir + "huge3.txt", "abc, no database", 3'000'000'000);

    const CliRun run = cli({"scan", dir, "abc"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QByteArray("       007\tseven.txt\n"));
    QCOMPARE(run.err, QByteArray());
    QVERIFY2(peakResidentKiB() < 256 * 1024, qPrintable(QString::number(peakResidentKiB())));
}

// Files are counted side by side, large ones taking longer, yet listed in the directory's order.
// A file larger than the read buffer holds an occurrence across the buffer's end.
void TestCli::scanListsInDirectoryOrderAndReadsLargeFilesWhole() {
    Sandbox sandbox;
    const QString dir = sandbox.path(QStringLiteral("dir/"));
    const QByteArray start = "%%HP: T(1)A(R)F(,);\r\n{ {\"";
    const QByteArray large = start + QByteArray(scan::kReadBufferSize - start.size() - 1, 'x') +
                             "abc" + QByteArray(100, 'x') +
                             "\"\r\nC$ 7 abc abc\r\n\"ABC\"}\r\n}\r\n";
    QHash<QString, int> counts;
    for (int file = 0; file < 60; ++file) {
        const QString name = QStringLiteral("f%1.hp").arg(file);
        counts[name] = file % 2 == 0 ? 4 : file % 7 + 1;
        writeBytes(dir + name,
                   file % 2 == 0 ? large : hpFile({QStringList(counts[name], "abc")}, true));
    }
    QByteArray expected;
    for (const QString& name : scan::scannableFiles(dir))
        expected += scan::entryText(counts[name], name).toUtf8() + '\n';
    QCOMPARE(cli({"scan", dir, "abc"}).out, expected);
}

void TestCli::previewDrawsTheScreen() {
    Sandbox sandbox;
    const QString data = QStringLiteral(OMBREL_SOURCE_DIR "/tests/data/screen/");
    const QString file = sandbox.path(QStringLiteral("my topics.txt"));
    QVERIFY(QFile::copy(data + "topic.txt", file));
    for (const char* font : {"1", "2", "3", ""}) {
        const QString png = sandbox.path(QStringLiteral("screen %1.png").arg(font));
        QStringList arguments = {"preview", file, "--png", png, "--topic", "1"};
        if (*font)
            arguments << "--font" << font;
        const CliRun run = cli(arguments);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QByteArray());
        const char* golden = QByteArray(font) == "1" ? "small"
                             : font[0] == '3'        ? "large"
                                                     : "medium";
        QCOMPARE(QImage(png).convertToFormat(QImage::Format_RGB32),
                 QImage(data + golden + ".png").convertToFormat(QImage::Format_RGB32));
    }
    const QString large = sandbox.path(QStringLiteral("three times.png"));
    QCOMPARE(cli({"preview", file, "--topic", "1", "--scale", "3", "--png", large}).exitCode, 0);
    QCOMPARE(QImage(large).size(), QSize(3 * 137, 3 * 70));
}

void TestCli::previewRefusesWhatItCannotDraw() {
    Sandbox sandbox;
    const QString file = sandbox.path(QStringLiteral("db.txt"));
    writeBytes(file, hpFile({{"a"}, {"b"}}, true));
    const QString old = sandbox.path(QStringLiteral("old.png"));
    writeBytes(old, "an older picture");
    const QList<std::tuple<QStringList, int, QByteArray>> calls = {
        {{"--topic", "3"}, 2, "there is no topic 3"},
        {{"--topic", "0"}, 2, "there is no topic 0"},
        {{"--topic", "1", "--font", "4"}, 2, "--font is 1"},
        {{"--topic", "1", "--scale", "9"}, 2, "--scale is 1 to 8"},
        {{"--topic", "1", "--scale", "0"}, 2, "--scale is 1 to 8"},
    };
    for (const auto& [options, code, message] : calls) {
        const CliRun run = cli(QStringList{"preview", file, "--png", old} + options);
        QCOMPARE(run.exitCode, code);
        QVERIFY2(run.err.contains(message), run.err.constData());
    }
    QCOMPARE(cli({"preview", sandbox.root() + "/none.txt", "--topic", "1", "--png", old}).exitCode,
             3);
    QCOMPARE(readBytes(old), QByteArray("an older picture"));
    const CliRun nowhere =
        cli({"preview", file, "--topic", "1", "--png", sandbox.root() + "/no/such/dir/a.png"});
    QCOMPARE(nowhere.exitCode, 3);
    QVERIFY(nowhere.err.startsWith("cannot write "));
    QCOMPARE(QDir(sandbox.root()).entryList(QDir::Files), QStringList({"db.txt", "old.png"}));
}

// A file name that is no UTF-8 (Latin-1 "café.hp" from an old archive) is read, written and
// listed by its own bytes.
void TestCli::namesThatAreNoUtf8() {
    Sandbox sandbox;
    const QString dir = sandbox.path(QStringLiteral("dir/"));
    const QString latin1 = dir + filename::fromBytes("caf\xE9.hp");
    writeBytes(latin1, hpFile({{"abc"}, {"d"}}, true));
    QCOMPARE(cli({"check", latin1}).out, QByteArray("2 topics\ntranslation mode 1\n"));
    const CliRun exported = cli({"export", latin1});
    QCOMPARE(exported.exitCode, 0);
    const QString copy = dir + filename::fromBytes("na\xEFve.hp");
    QCOMPARE(cli({"import", "-", copy}, exported.out).exitCode, 0);
    QCOMPARE(readBytes(copy), readBytes(latin1));
    QByteArrayList lines = cli({"scan", dir, "abc"}).out.split('\n');
    std::sort(lines.begin(), lines.end());
    QCOMPARE(lines, QByteArrayList({"", "       001\tcaf\xE9.hp", "       001\tna\xEFve.hp"}));
}

// Exit 0 for the same topics in another order, 1 with a block for each differing topic, and an
// unreadable side an error of its own, as diff(1) has it.
void TestCli::diffListsTheTopicsThatDiffer() {
    Sandbox sandbox;
    const QString a = sandbox.path(QStringLiteral("a.txt"));
    const QString b = sandbox.path(QStringLiteral("b.txt"));
    writeBytes(a, hpFile({{"Shop", "milk", "bread"}, {"Phone", "555"}, {"Old", "x"}}, false));
    writeBytes(b, hpFile({{"Phone", "555"}, {"Old", "x"}, {"Shop", "milk", "bread"}}, true));
    const QString c = sandbox.path(QStringLiteral("c.txt"));
    writeBytes(
        c, hpFile({{"New", "a→b"}, {"Shop", "oat milk", "bread", "jam"}, {"Phone", "555"}}, true));

    const CliRun same = cli({"diff", a, b});
    QCOMPARE(same.exitCode, 0);
    QCOMPARE(same.out, QByteArray());
    const CliRun reordered = cli({"diff", a, c});
    QCOMPARE(reordered.exitCode, 1);
    QCOMPARE(reordered.err, QByteArray());
    QCOMPARE(QString::fromUtf8(reordered.out), QStringLiteral("* New: only in B (B 1)\n"
                                                              "> 1: New\n"
                                                              "> 2: a→b\n"
                                                              "* Shop: changed (A 1, B 2)\n"
                                                              "< 2: milk\n"
                                                              "> 2: oat milk\n"
                                                              "< 4: \n"
                                                              "> 4: jam\n"
                                                              "* Old: only in A (A 3)\n"
                                                              "< 1: Old\n"
                                                              "< 2: x\n"));
    const CliRun missing = cli({"diff", a, sandbox.path(QStringLiteral("missing.txt"))});
    QCOMPARE(missing.exitCode, 3);
    QCOMPARE(missing.err, englishLine(1115));
    QCOMPARE(missing.out, QByteArray());
}

// The devices below the root the environment names: a port without a UART is left out, an
// adapter shows once, by its stable link and the name in it.
void TestCli::portsListsTheDevicesPresent() {
    Sandbox sandbox;
    const QString root = sandbox.path(QStringLiteral("root/"));
    for (const char* device : {"dev/ttyS0", "dev/ttyS1", "dev/ttyUSB0", "dev/ttyACM0"})
        writeBytes(root + QLatin1String(device), {});
    writeBytes(root + QStringLiteral("sys/class/tty/ttyS1/type"), "0\n");
    const QString link = root + QStringLiteral("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00");
    QDir().mkpath(QFileInfo(link).path());
    QVERIFY(QFile::link(QStringLiteral("../../ttyUSB0"), link));
    const EnvironmentOverride devices("OMBREL_DEVICE_ROOT", QFile::encodeName(root));
    const CliRun run = cli({"ports"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out),
             link + QStringLiteral("\tFTDI FT232R USB UART (ttyUSB0)\n") + root +
                 QStringLiteral("dev/ttyACM0\n") + root + QStringLiteral("dev/ttyS0\n"));
    QCOMPARE(run.err, QByteArray());
}

void TestCli::usageErrors() {
    const QList<QStringList> wrongCalls = {
        {},
        {"help"},
        {"check"},
        {"check", "a", "b"},
        {"export"},
        {"export", "f.txt", "--format", "xls"},
        {"import", "a.json"},
        {"import", "a.csv", "out", "--format"},
        {"import", "a.json", "out", "--drop"},
        {"import", "a.json", "out", "--translation"},
        {"import", "a.json", "out", "--translation", "4"},
        {"convert", "in", "out"},
        {"convert", "in", "out", "--translation", "03"},
        {"diff", "a.txt"},
        {"diff", "a.txt", "b.txt", "c.txt"},
        {"scan", "dir"},
        {"scan", "dir", "text", "--ignore-case"},
        {"--version", "check"},
        {"preview", "f.txt", "--topic", "1"},
        {"preview", "f.txt", "--png", "o.png"},
        {"preview", "f.txt", "--topic", "1", "--png"},
        {"preview", "f.txt", "--topic", "1", "--png", "o.png", "--topic", "2"},
        {"preview", "f.txt", "--topic", "1", "--png", "o.png", "--colour", "2"},
        {"ports", "--all"},
        {"send", "f.txt"},
        {"send", "f.txt", "--port", "/dev/ttyS0", "--baud", "fast"},
        {"receive", "out", "--port"},
        {"send-library", "extra", "--port", "/dev/ttyS0"},
    };
    for (const QStringList& arguments : wrongCalls) {
        const CliRun run = cli(arguments);
        QVERIFY2(run.exitCode == 2, qPrintable(arguments.join(u' ')));
        QVERIFY(run.err.startsWith("usage:"));
        QCOMPARE(run.out, QByteArray());
    }
}

// Asked for, the usage is no error: it goes to standard output, with exit code 0.
void TestCli::helpAndVersion() {
    const CliRun help = cli({"--help"});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.startsWith("usage: ombrel-cli check FILE\n"));
    QCOMPARE(help.err, QByteArray());
    const CliRun version = cli({"--version"});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, "ombrel-cli " + QByteArray(version::kText) + "\n");
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
