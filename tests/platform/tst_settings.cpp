#include "FileSizeLimit.h"
#include "Sandbox.h"
#include "platform/Settings.h"
#include "platform/SettingsFile.h"
#include "platform/Version.h"

#include <QDir>
#include <QTest>

#include <tuple>
#include <utility>

namespace {

// The file as "Section/Key=Value" lines in file order; comments and blank lines left out.
QStringList keyLines(const QString& fileName) {
    QStringList lines;
    QString section;
    for (const QByteArray& raw : readBytes(fileName).split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (line.startsWith(u'['))
            section = line.mid(1, line.indexOf(u']') - 1);
        else if (line.contains(u'=') && !line.startsWith(u';'))
            lines.append(section + u'/' + line);
    }
    return lines;
}

// What WriteDefaults writes on a screen of w x h into a new file ("div" truncates toward zero).
QStringList expectedDefaults(int w, int h, int language) {
    const auto n = [](int value) { return QString::number(value); };
    return {"-Warning-/Message=This file is maintained by Ombrel, do NOT modify !",
            "Application/Name=Ombrel",
            "Application/Version=" + QLatin1String(version::kText),
            "Application/Language=" + n(language),
            "Application/WindowState=0",
            "Application/Top=" + n(h / 3 - 167),
            "Application/Left=" + n(w / 2 - 370),
            "Application/Height=410",
            "Application/Width=740",
            "Sort/Direction=0",
            "Sort/Ansi=1",
            "Sort/UpCase=0",
            "Sort/Top=" + n((h - 202) / 2),
            "Sort/Left=" + n((w - 435) / 2),
            "Find/Location=1",
            "Find/UpCase=0",
            "Find/Top=" + n((h - 239) / 2),
            "Find/Left=" + n((w - 391) / 2),
            "Scan/UpCase=0",
            "Scan/Top=" + n((h - 437) / 2),
            "Scan/Left=" + n((w - 377) / 2),
            "Colors/Text=1",
            "Colors/Background=8",
            "Transfer/Port=COM2",
            "Transfer/Baud=9600",
            "Transfer/Compress=1",
            "Transfer/Parity=none",
            "Transfer/Retries=2",
            "Transfer/Send packet-length=48",
            "Transfer/Receive packet-length=48",
            "Transfer/Top=" + n((h - 247) / 2),
            "Transfer/Left=" + n((w - 401) / 2),
            "CharTab/AutoOn=0",
            "CharTab/Top=" + n(h / 3 + 243),
            "CharTab/Left=" + n(w / 2 - 370),
            "Misc/Sound=1",
            "Misc/EditMode=0",
            "Misc/ReversedBoxes=0",
            "Misc/Background=1",
            "Misc/ToolBar=1",
            "Misc/DeleteEmpty=0",
            "Misc/TopicLine=1",
            "Misc/AskDelTopic=1",
            "Misc/PrefPath=none",
            "Misc/Translation=1",
            "Misc/Calculator=48",
            "Misc/Top=" + n((h - 328) / 2),
            "Misc/Left=" + n((w - 442) / 2)};
}

void replace(QStringList& lines, const QString& key, const QString& value) {
    for (QString& line : lines) {
        if (line.startsWith(key + u'='))
            line = key + u'=' + value;
    }
}

QStringList directoryEntries(const QString& directory) {
    return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

  private slots:
    void valueEncodings_data();
    void valueEncodings();
    void missingFileGivesDefaults();
    void sectionsAndKeysIgnoreCase();
    void unknownContentSurvivesWrites();
    void theFirstOfDuplicatedKeysCounts();
    void nulBytesEndALine();
    void writeDefaults_data();
    void writeDefaults();
    void writeDefaultsLeavesFilesAndInstal();
    void saveOnExit_data();
    void saveOnExit();
    void recentFiles();
    void failedWriteLeavesOldFileWhole();
    void valuesThatWouldEndTheirLineAreRefused();
};

void TestSettings::valueEncodings_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("asInteger"); // read with default 77
    QTest::addColumn<bool>("asBool");   // read with default true
    QTest::newRow("decimal") << QByteArray("12") << 12 << true;
    QTest::newRow("negative") << QByteArray("-5") << -5 << true;
    QTest::newRow("zero") << QByteArray("0") << 0 << false;
    QTest::newRow("2 is true") << QByteArray("2") << 2 << true;
    QTest::newRow("hex") << QByteArray("0x10") << 16 << true;
    QTest::newRow("hex upper") << QByteArray("0X1f") << 31 << true;
    QTest::newRow("hex zero") << QByteArray("0x0") << 0 << false;
    QTest::newRow("0x alone") << QByteArray("0x") << 77 << true;
    QTest::newRow("word") << QByteArray("yes") << 77 << true;
    QTest::newRow("trailing junk") << QByteArray("12abc") << 77 << true;
    QTest::newRow("empty") << QByteArray("") << 77 << true;
}

void TestSettings::valueEncodings() {
    QFETCH(QByteArray, stored);
    QFETCH(int, asInteger);
    QFETCH(bool, asBool);
    Sandbox sandbox;
    writeBytes(sandbox.settingsFile(), "[Misc]\nValue=" + stored + "\n");
    const SettingsFile file(sandbox.settingsFile());
    QCOMPARE(file.readInteger("Misc", "Value", 77), asInteger);
    QCOMPARE(file.readBool("Misc", "Value", true), asBool);
    if (asInteger == 77) // a value that is no integer gives either default
        QCOMPARE(file.readBool("Misc", "Value", false), false);
    QCOMPARE(file.readString("Misc", "Value", "default"), QString::fromUtf8(stored));
}

void TestSettings::missingFileGivesDefaults() {
    Sandbox sandbox;
    SettingsFile file(sandbox.settingsFile());
    QCOMPARE(file.readString("Application", "Name", "ERROR"), QStringLiteral("ERROR"));
    QCOMPARE(file.readInteger("Application", "Language", 0), 0);
    QCOMPARE(file.readBool("Misc", "Sound", true), true);
    QVERIFY(settings::readRecentFiles(file).isEmpty());
    QVERIFY(!file.exists()); // reading never creates it

    const QString longText = QString(1023, u'a') + QStringLiteral("bcd");
    file.writeString("Misc", "PrefPath", longText);
    QVERIFY(readBytes(sandbox.settingsFile()).contains(longText.toUtf8())); // stored whole
    QCOMPARE(SettingsFile(sandbox.settingsFile()).readString("Misc", "PrefPath", {}),
             QString(1023, u'a'));
}

void TestSettings::sectionsAndKeysIgnoreCase() {
    Sandbox sandbox;
    writeBytes(sandbox.settingsFile(), "[APPLICATION]\nlanguage=1\n[misc]\nSOUND=0\n");
    SettingsFile file(sandbox.settingsFile());
    QCOMPARE(settings::readInteger(file, settings::key::kLanguage, 0), 1);
    QCOMPARE(settings::readBool(file, settings::key::kSound, true), false);
    settings::write(file, settings::key::kLanguage, 0);
    QCOMPARE(keyLines(sandbox.settingsFile()),
             QStringList({"APPLICATION/language=0", "misc/SOUND=0"}));
}

void TestSettings::unknownContentSurvivesWrites() {
    Sandbox sandbox;
    writeBytes(sandbox.settingsFile(), "; kept by hand\n[Application]\nLanguage=0\n"
                                       "; about the colour\nColour=blue\n"
                                       "[Plugins]\nPath=/opt/x\n"
                                       "remember to set the port\n"
                                       "[Misc]\nSound=1\n; last line\n");
    SettingsFile file(sandbox.settingsFile());
    settings::writeDefaults(file, QSize(800, 600), 1);

    const QStringList lines = keyLines(sandbox.settingsFile());
    QVERIFY(lines.contains("Application/Colour=blue"));
    QVERIFY(lines.contains("Plugins/Path=/opt/x"));
    QVERIFY(lines.contains("Application/Language=1"));
    const QByteArray written = readBytes(sandbox.settingsFile());
    QVERIFY(written.contains("; kept by hand\n") && written.contains("; about the colour\n"));
    // A note without a key, and the comment that ends the file.
    QVERIFY2(written.contains("remember to set the port\n"), written.constData());
    QVERIFY2(written.contains("; last line\n"), written.constData());
}

void TestSettings::theFirstOfDuplicatedKeysCounts() {
    Sandbox sandbox;
    writeBytes(sandbox.settingsFile(), "[Misc]\r\nSound=0\r\nSOUND=1\r\n[misc]\r\nEditMode=1\r\n");
    SettingsFile file(sandbox.settingsFile());
    QCOMPARE(file.readBool("Misc", "Sound", true), false);
    file.writeBool("misc", "sound", true);
    QCOMPARE(file.readBool("Misc", "Sound", false), true);
    QCOMPARE(readBytes(sandbox.settingsFile()),
             QByteArray("[Misc]\r\nSound=1\r\nSOUND=1\r\n[misc]\r\nEditMode=1\r\n"));
}

// A block of NUL bytes (a crash lost it) ends a line: the sections after it are read, and a
// write lands where the reader looks instead of in a section of its own that reads as unset.
void TestSettings::nulBytesEndALine() {
    Sandbox sandbox;
    writeBytes(sandbox.settingsFile(), QByteArray(512, '\0') + "[Misc]\nSound=0\n");
    SettingsFile file(sandbox.settingsFile());
    QCOMPARE(file.readBool("Misc", "Sound", true), false);
    file.writeBool("Misc", "Sound", true);
    QCOMPARE(SettingsFile(sandbox.settingsFile()).readBool("Misc", "Sound", false), true);
    QCOMPARE(readBytes(sandbox.settingsFile()), QByteArray("\n[Misc]\nSound=1\n"));
}

void TestSettings::writeDefaults_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("language");
    QTest::newRow("1920x1080 German") << QSize(1920, 1080) << 0;
    QTest::newRow("1366x768 English") << QSize(1366, 768) << 1;
    QTest::newRow("301x201, smaller than the dialogs") << QSize(301, 201) << 1;
}

void TestSettings::writeDefaults() {
    QFETCH(QSize, screen);
    QFETCH(int, language);
    Sandbox sandbox;
    SettingsFile file(sandbox.settingsFile());
    settings::writeDefaults(file, screen, language);

    QCOMPARE(keyLines(sandbox.settingsFile()),
             expectedDefaults(screen.width(), screen.height(), language));
    // Written as booleans, read back as integers.
    QCOMPARE(settings::readInteger(file, settings::key::kSortDirection, 7), 0);
    QCOMPARE(settings::readInteger(file, settings::key::kFindLocation, 7), 1);
    QCOMPARE(directoryEntries(sandbox.configDir()), QStringList({"Ombrel.ini"}));
}

void TestSettings::writeDefaultsLeavesFilesAndInstal() {
    Sandbox sandbox;
    writeBytes(sandbox.settingsFile(),
               "[Files]\n1=/x/a.txt\n[Instal]\nProgG=1\n[Misc]\nSound=0\nTopicLine=5\n");
    SettingsFile file(sandbox.settingsFile());
    settings::writeDefaults(file, QSize(1920, 1080), 1);

    QStringList lines = keyLines(sandbox.settingsFile());
    QCOMPARE(lines.mid(0, 2), QStringList({"Files/1=/x/a.txt", "Instal/ProgG=1"}));
    lines = lines.mid(2);
    lines.sort();
    QStringList expected = expectedDefaults(1920, 1080, 1);
    expected.sort();
    QCOMPARE(lines, expected);
}

void TestSettings::saveOnExit_data() {
    QTest::addColumn<int>("windowState");
    QTest::addColumn<bool>("defaultsRestored");
    QTest::newRow("normal") << 0 << false;
    QTest::newRow("minimised") << 1 << false;
    QTest::newRow("maximised") << 2 << false;
    QTest::newRow("defaults restored") << 0 << true;
}

void TestSettings::saveOnExit() {
    QFETCH(int, windowState);
    QFETCH(bool, defaultsRestored);
    Sandbox sandbox;
    SettingsFile file(sandbox.settingsFile());
    settings::writeDefaults(file, QSize(1920, 1080), 0);

    settings::ExitState state;
    state.defaultsRestored = defaultsRestored;
    state.windowState = windowState;
    state.mainGeometry = QRect(11, 22, 600, 300); // left, top, width, height
    state.charTabPosition = QPoint(31, 41);
    state.settingsPosition = QPoint(32, 42);
    state.transferPosition = QPoint(33, 43);
    state.recentFiles = {"/r/one", "/r/two"};
    settings::saveOnExit(file, state);

    QStringList expected = expectedDefaults(1920, 1080, 0);
    if (!defaultsRestored) {
        replace(expected, "Application/WindowState", QString::number(windowState));
        if (windowState == 0) {
            for (auto [key, value] :
                 {std::pair{"Top", "22"}, {"Left", "11"}, {"Height", "300"}, {"Width", "600"}})
                replace(expected, QStringLiteral("Application/") + key, value);
        }
        for (auto [section, top, left] :
             {std::tuple{"CharTab", "41", "31"}, {"Misc", "42", "32"}, {"Transfer", "43", "33"}}) {
            replace(expected, section + QStringLiteral("/Top"), top);
            replace(expected, section + QStringLiteral("/Left"), left);
        }
    }
    expected << "Files/1=/r/one"
             << "Files/2=/r/two";
    QCOMPARE(keyLines(sandbox.settingsFile()), expected);
}

void TestSettings::recentFiles() {
    Sandbox sandbox;
    writeBytes(sandbox.settingsFile(), "[files]\n1=/a/one\n2=\n3=/a/three\n4=/a/four\n5=/a/five\n");
    SettingsFile file(sandbox.settingsFile());
    QCOMPARE(settings::readRecentFiles(file), QStringList({"/a/one", "/a/three", "/a/four"}));

    settings::ExitState state;
    state.recentFiles = {"/b/new1", "/b/new2"};
    settings::saveOnExit(file, state);
    QCOMPARE(settings::readRecentFiles(SettingsFile(sandbox.settingsFile())),
             QStringList({"/b/new1", "/b/new2", "/a/three", "/a/four"}));

    // Written back shorter, a list leaves its older keys: a name read twice is listed once.
    state.recentFiles = {"/b/new1", "/A/THREE"};
    settings::saveOnExit(file, state);
    QCOMPARE(settings::readRecentFiles(SettingsFile(sandbox.settingsFile())),
             QStringList({"/b/new1", "/A/THREE", "/a/four"}));
}

void TestSettings::failedWriteLeavesOldFileWhole() {
    Sandbox sandbox;
    SettingsFile file(sandbox.settingsFile());
    settings::writeDefaults(file, QSize(1920, 1080), 0);
    const QByteArray before = readBytes(sandbox.settingsFile());
    QStringList reported;
    file.setWriteFailureHandler([&reported](const QString& name) { reported.append(name); });
    {
        const FileSizeLimit limit(static_cast<rlim_t>(before.size()));
        settings::write(file, settings::key::kPrefPath, QString(200, u'p'));
    }
    QCOMPARE(reported, QStringList({sandbox.settingsFile()}));
    QCOMPARE(readBytes(sandbox.settingsFile()), before);
    QCOMPARE(directoryEntries(sandbox.configDir()), QStringList({"Ombrel.ini"}));

    settings::write(file, settings::key::kLanguage, 1); // the program goes on
    QCOMPARE(SettingsFile(sandbox.settingsFile()).readInteger("Application", "Language", 0), 1);
}

void TestSettings::valuesThatWouldEndTheirLineAreRefused() {
    Sandbox sandbox;
    SettingsFile file(sandbox.settingsFile());
    file.writeString("Misc", "PrefPath", QStringLiteral("/kept/"));
    const QByteArray before = readBytes(sandbox.settingsFile());
    for (const QString& value :
         {QStringLiteral("/a\n[Colors]\nText=9"), QStringLiteral("/a\r[Colors]\rText=9"),
          QString::fromUtf8("/a\0[Colors]", 11)}) {
        QVERIFY(!file.writeString("Misc", "PrefPath", value));
        QCOMPARE(readBytes(sandbox.settingsFile()), before);
        QCOMPARE(file.readString("Misc", "PrefPath", {}), QStringLiteral("/kept/"));
    }
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
