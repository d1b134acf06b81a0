// Files and the real program, the way a user meets them: dropped from a file manager, saved for
// the first time, saved over another.
#include "DesktopSession.h"
#include "Sandbox.h"
#include "XScreen.h"
#include "core/FileName.h"
#include "core/HpFile.h"

#include <QFile>
#include <QTest>

namespace {

const QString kErrorBox = QStringLiteral("^Fehler$");
const QString kSaveDialog = QStringLiteral("^Datei speichern$");
// The first document window, at the top left of the workspace: its data box and its list.
const QPoint kDataBox = screen::point("data-box");
const QRect kDataBoxArea = screen::rect("data-box-area");
const QPoint kFirstEntry = screen::point("first-entry");

QString writeDatabase(const DesktopSession& session, const QString& name) {
    const QString file = session.path(name);
    writeBytes(file, database({{"dropped topic"}}));
    return file;
}

QByteArray settings(const DesktopSession& session) {
    QFile file(session.settingsFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool remembers(const DesktopSession& session, const QString& file) {
    return settings(session).contains("=" + filename::toBytes(file) + "\n");
}

QByteArray firstRow(const QString& fileName) {
    TopicTable table;
    return readHpFile(fileName, table) > 0 ? table.row(1, 1) : QByteArrayLiteral("<unreadable>");
}

// A file as the program writes it, so that saving the same topics gives the same bytes.
QByteArray asWritten(const QList<TopicRows>& topics) {
    TopicTable table;
    table.fill(topics);
    return formatHpFile(table, table.topicCount(), true, false);
}

QStringList quit() {
    return {QStringLiteral("alt+f"), QStringLiteral("q")};
}

} // namespace

class DesktopFiles : public QObject {
    Q_OBJECT

  private slots:
    void filesDroppedOnADocumentOpen();
    void firstSaveGoesHomeAndReplacingAsks();
    void namesThatAreNoUtf8Open();
    void topicsToASpreadsheetAndBack();
    void compareTakeSaveAndUndo();
    void aDeviceTypedOnTheIoPageIsThePort();
};

// Files dragged from a file manager onto a document's data box open in windows of their own
// and join the recent files, two names that differ in letter case as two files; the data box
// takes no text from the drag. The thirty text files among them are reported in one box.
void DesktopFiles::filesDroppedOnADocumentOpen() {
    DesktopSession session;
    const QString first = writeDatabase(session, QStringLiteral("first.hp"));
    const QString second = writeDatabase(session, QStringLiteral("second.hp"));
    const QString upper = writeDatabase(session, QStringLiteral("SECOND.hp"));
    QStringList dragged = {second, upper};
    for (int n = 1; n <= 30; ++n) {
        dragged.append(session.path(QStringLiteral("notes%1.txt").arg(n, 2, 10, QChar(u'0'))));
        writeBytes(dragged.last(), "not a database\n");
    }
    QVERIFY(session.start({first}));
    const QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    session.click(kFirstEntry); // the focus leaves the data box, whose cursor would blink
    const QImage boxBefore = xscreen::grab(kDataBoxArea);
    session.startOther(QStringLiteral(OMBREL_FILE_SOURCE), dragged);
    const QString files = session.waitForWindowOfAnyProgram(QStringLiteral("Files"));
    QVERIFY(!files.isEmpty());
    session.drag(session.geometry(files).center(), kDataBox);

    const QString box = session.waitForWindow(kErrorBox);
    QVERIFY(!box.isEmpty());
    QCOMPARE(xscreen::grab(kDataBoxArea), boxBefore);
    session.keys(box, {QStringLiteral("Return")});
    QVERIFY(session.waitForWindow(kErrorBox, 1500).isEmpty());
    QVERIFY(session.answers(main));
    session.keys(main, quit());
    QCOMPARE(session.waitForExit(), 0);
    for (const QString& file : {first, second, upper})
        QVERIFY2(remembers(session, file), qPrintable(file));
    QVERIFY(!remembers(session, dragged.last()));
}

// With no preferred folder (a new user's settings, the program in a folder of root's), the
// first save lands in the user's home; a later Save as onto that file asks first, and only a
// Yes replaces it.
void DesktopFiles::firstSaveGoesHomeAndReplacingAsks() {
    DesktopSession session;
    writeBytes(session.settingsFile(),
               "[Application]\nName=Ombrel\nVersion=2.7\nLanguage=1\nTop=0\nLeft=0\n"
               "Width=800\nHeight=560\n");
    QVERIFY(session.start());
    const QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    session.keys(main, {QStringLiteral("alt+f"), QStringLiteral("n")});
    const QString saved = session.home() + QStringLiteral("/mine.hp");
    const auto saveAs = [&](const QString& topic, const QStringList& answers) {
        session.click(kDataBox);
        session.keys(main, {QStringLiteral("ctrl+a")});
        session.type(main, topic);
        session.keys(main, {QStringLiteral("F5"), QStringLiteral("alt+f"), QStringLiteral("a")});
        const QString dialog = session.waitForWindow(kSaveDialog);
        QVERIFY(!dialog.isEmpty());
        session.keys(dialog, {QStringLiteral("ctrl+a")});
        session.type(dialog, QStringLiteral("mine.hp"));
        session.keys(dialog, QStringList{QStringLiteral("Return")} + answers);
        QVERIFY(session.windowGone(dialog));
    };
    saveAs(QStringLiteral("kept"), {});
    QCOMPARE(firstRow(saved), QByteArray("kept"));
    saveAs(QStringLiteral("mistyped"), {QStringLiteral("Return"), QStringLiteral("Escape")}); // No
    QCOMPARE(firstRow(saved), QByteArray("kept"));
    saveAs(QStringLiteral("replaced"), {QStringLiteral("alt+y")});
    QCOMPARE(firstRow(saved), QByteArray("replaced"));
    QVERIFY(session.answers(main));
}

// Files whose names are no UTF-8 (Latin-1, from an old archive) open from the command line and
// from a second start, by the bytes of their names, and join the recent files as they are.
void DesktopFiles::namesThatAreNoUtf8Open() {
    DesktopSession session;
    const QString given = writeDatabase(session, filename::fromBytes("caf\xE9.hp"));
    const QString handed = writeDatabase(session, filename::fromBytes("na\xEFve.hp"));
    QVERIFY(session.start({given}));
    const QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    QCOMPARE(session.runToEnd({handed}), 0);
    QVERIFY(session.waitForWindow(QStringLiteral("^Fehler$"), 2000).isEmpty());
    session.keys(main, {QStringLiteral("alt+f"), QStringLiteral("q")});
    QCOMPARE(session.waitForExit(), 0);
    QVERIFY(remembers(session, given));
    QVERIFY(remembers(session, handed));
}

// File > Export writes the topics as CSV, the characters as the data box shows them; File >
// Import reads that file into a new window, which saves the same topics again.
void DesktopFiles::topicsToASpreadsheetAndBack() {
    DesktopSession session;
    const QString original = session.path(QStringLiteral("notes.hp"));
    writeBytes(original, database({{"Title", "", "a,b"}, {"tab\there \x8D"}}));
    QVERIFY(session.start({original}));
    const QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    const auto choose = [&](const QString& item, const QString& title, const QString& name) {
        session.keys(main, {QStringLiteral("alt+f"), item});
        const QString dialog = session.waitForWindow(title);
        QVERIFY(!dialog.isEmpty());
        session.keys(dialog, {QStringLiteral("ctrl+a")});
        session.type(dialog, name);
        session.keys(dialog, {QStringLiteral("Return")});
        QVERIFY(session.windowGone(dialog));
    };
    choose(QStringLiteral("x"), QStringLiteral("^Export topics$"), QStringLiteral("sheet.csv"));
    const QString sheet = session.path(QStringLiteral("sheet.csv"));
    QTRY_COMPARE(readBytes(sheet), QByteArray("Title,,\"a,b\"\r\ntab\u2409here \u2192\r\n"));

    session.keys(main, {QStringLiteral("alt+f"), QStringLiteral("c")}); // Save as saves the import
    choose(QStringLiteral("i"), QStringLiteral("^Import topics$"), QStringLiteral("sheet.csv"));
    choose(QStringLiteral("a"), kSaveDialog, QStringLiteral("copy.hp"));
    TopicTable before;
    TopicTable after;
    QCOMPARE(readHpFile(original, before), 2);
    QTRY_COMPARE(readHpFile(session.path(QStringLiteral("copy.hp")), after), 2);
    QCOMPARE(after.topics(), before.topics());
    QVERIFY(session.answers(main));
}

// File > Compare with... with no other document open asks for a file, which opens beside it;
// the first difference is chosen, its topic taken into B and saved there; B's Undo and a save
// give B's file back as it was, byte for byte.
void DesktopFiles::compareTakeSaveAndUndo() {
    DesktopSession session;
    const QString a = session.path(QStringLiteral("pc.hp"));
    const QString b = session.path(QStringLiteral("calculator.hp"));
    writeBytes(a, database({{"shop", "milk"}, {"phone", "555"}}));
    const QByteArray original = asWritten({{"phone", "555"}, {"shop", "oat milk"}});
    writeBytes(b, original);
    QVERIFY(session.start({a}));
    const QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    session.keys(main, {QStringLiteral("alt+f"), QStringLiteral("m")});
    const QString dialog = session.waitForWindow(QStringLiteral("^Compare with\\.\\.\\.$"));
    QVERIFY(!dialog.isEmpty());
    session.keys(dialog, {QStringLiteral("ctrl+a")});
    session.type(dialog, b);
    session.keys(dialog, {QStringLiteral("Return")});
    QVERIFY(session.windowGone(dialog));
    const QString compare = session.waitForWindow(QStringLiteral("^Compare$"));
    QVERIFY(!compare.isEmpty());
    session.keys(compare, {QStringLiteral("alt+o"), QStringLiteral("Escape")});
    QVERIFY(session.windowGone(compare));
    session.keys(main, {QStringLiteral("F2")});
    TopicTable taken;
    QCOMPARE(readHpFile(b, taken), 2);
    QCOMPARE(taken.row(2, 2), QByteArray("milk"));

    session.keys(main, {QStringLiteral("ctrl+z"), QStringLiteral("F2")});
    QCOMPARE(readBytes(b), original);
    QCOMPARE(readBytes(a), database({{"shop", "milk"}, {"phone", "555"}}));
}

// The port as a user gives an emulator's pseudo-terminal: on the I/O page, Device and its path
// typed, then Ok; the path is the port from then on.
void DesktopFiles::aDeviceTypedOnTheIoPageIsThePort() {
    DesktopSession session;
    QVERIFY(session.start());
    const QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    session.keys(main, {QStringLiteral("alt+o"), QStringLiteral("s")}); // Options, Settings
    const QString dialog = session.waitForWindow(QStringLiteral("^Settings$"));
    QVERIFY(!dialog.isEmpty());
    QStringList toIoPage(5, QStringLiteral("ctrl+Tab"));
    session.keys(dialog, toIoPage + QStringList({QStringLiteral("alt+d"), QStringLiteral("Tab")}));
    const QString device = session.path(QStringLiteral("emulator/pty 1"));
    session.type(dialog, device);
    session.keys(dialog, {QStringLiteral("Return")});
    QVERIFY(session.windowGone(dialog));
    session.keys(main, quit());
    QCOMPARE(session.waitForExit(), 0);
    QVERIFY2(settings(session).contains("\nPort=" + filename::toBytes(device) + "\n"),
             settings(session).constData());
}

QTEST_GUILESS_MAIN(DesktopFiles)
#include "tst_desktop_files.moc"
