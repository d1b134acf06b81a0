// Editing with real keys and a real mouse in the real program: what the user's hand does to the
// bytes on disk.
#include "DesktopSession.h"
#include "Sandbox.h"
#include "XScreen.h"
#include "core/HpFile.h"
#include "core/LcdPicture.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTest>

#include <cstring>

namespace {

// Where things stand on the screen (tests/desktop/screen.txt).
const QPoint kFirstEntry = screen::point("first-entry");
const int kEntryHeight = screen::length("entry-height");
const QPoint kDataBox = screen::point("data-box");
const QPoint kTitleBar = screen::point("title-bar");
const int kWindowStep = screen::length("window-step");
// The drop menu opens at the mouse.
const QPoint kFirstMenuItem = screen::point("first-menu-item");
const int kMenuItemHeight = screen::length("menu-item-height");

QPoint entryPoint(int window, int entry) {
    return kFirstEntry + QPoint(0, window * kWindowStep + (entry - 1) * kEntryHeight);
}
QPoint belowEntries(int window) {
    return kFirstEntry + QPoint(0, window * kWindowStep + 6 * kEntryHeight);
}
QPoint dataBox(int window) {
    return kDataBox + QPoint(0, window * kWindowStep);
}
QPoint titleBar(int window) {
    return kTitleBar + QPoint(0, window * kWindowStep);
}

enum class DropChoice { Copy, Move, Cancel };
QPoint menuItem(QPoint dropPoint, DropChoice choice) {
    const int item = choice == DropChoice::Copy ? 0 : choice == DropChoice::Move ? 1 : 2;
    // The separator before Cancel is about a third of an item high.
    const int separator = choice == DropChoice::Cancel ? kMenuItemHeight / 3 : 0;
    return dropPoint + kFirstMenuItem + QPoint(0, item * kMenuItemHeight + separator);
}

QList<QByteArray> titles(const QString& fileName) {
    TopicTable table;
    if (readHpFile(fileName, table) < 0)
        return {QByteArrayLiteral("<unreadable>")};
    QList<QByteArray> titles;
    for (int topic = 1; topic <= table.topicCount(); ++topic)
        titles.append(table.row(topic, 1));
    return titles;
}

void writeTopics(const QString& fileName, const QList<TopicRows>& topics, int mode = 1) {
    TopicTable table;
    table.fill(topics);
    hpfile::Header header;
    header.translation = mode;
    QVERIFY(writeHpFile(fileName, table, table.topicCount(), true, false, header));
}

QList<TopicRows> titledTopics(const QList<QByteArray>& titles) {
    QList<TopicRows> topics;
    for (const QByteArray& title : titles)
        topics.append(TopicRows{title, "row two of " + title});
    return topics;
}

// The calculator screen's picture of typed lines, as the program draws it at twice its size.
QImage screenOf(const QStringList& lines) {
    const lcd::FontSize medium = lcd::FontSize::Medium;
    const QList<quint32> pixels =
        lcd::colourPixels(lcd::drawTopic(lcd::rowsOfText(lines, medium), medium), 2);
    return QImage(reinterpret_cast<const uchar*>(pixels.constData()), 2 * lcd::kPictureWidth,
                  2 * lcd::kPictureHeight, QImage::Format_RGB32)
        .copy();
}

// The virtual X server's screen.
const QRect kWholeScreen(QPoint(), screen::size("screen"));

// Where the picture shows on the screen, or (-1, -1).
QPoint placeOf(const QImage& picture, const QImage& screen) {
    const qsizetype rowBytes = picture.width() * 4;
    for (int y = 0; y + picture.height() <= screen.height(); ++y) {
        for (int x = 0; x + picture.width() <= screen.width(); ++x) {
            int row = 0;
            while (row < picture.height() && std::memcmp(screen.constScanLine(y + row) + x * 4,
                                                         picture.constScanLine(row), rowBytes) == 0)
                ++row;
            if (row == picture.height())
                return {x, y};
        }
    }
    return {-1, -1};
}

} // namespace

class DesktopEditing : public QObject {
    Q_OBJECT

  private slots:
    void everyCodeSurvivesTheDataBox_data();
    void everyCodeSurvivesTheDataBox();
    void aNewFileOfAnHp49InMode3();
    void dragWithinAList();
    void refusedDropKeepsTheTargetUsable();
    void moveToAnotherWindowLeavesTheSourceRight();
    void undoACommitWithTheKeyboard();
    void typedTextIsAskedForOnClose();
    void marksAndLabelsShowWhole();
    void aRowOfMegabytesKeepsTheWindowAnswering();
    void theScreenShowsWhatIsTyped();

  private:
    // Starts the program on the given files, one window each; the main window's id.
    QString open(DesktopSession& session, const QStringList& files);
    void drop(const DesktopSession& session, QPoint from, QPoint to, DropChoice choice);
};

QString DesktopEditing::open(DesktopSession& session, const QStringList& files) {
    if (!session.start({files.first()}))
        return {};
    const QString main = session.waitForMainWindow();
    for (const QString& file : files.mid(1)) {
        if (session.runToEnd({file}) != 0)
            return {};
    }
    QTest::qWait(500);
    return main;
}

void DesktopEditing::drop(const DesktopSession& session, QPoint from, QPoint to,
                          DropChoice choice) {
    session.drag(from, to);
    session.click(menuItem(to, choice));
}

void DesktopEditing::everyCodeSurvivesTheDataBox_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("bytes") << 1;
    QTest::newRow("backslash codes") << 3;
}

// Every code a row can hold goes into the data box, is committed unchanged with F5 and saved
// with F2: the file holds the same bytes, in the translation mode it was written in. (Code 26
// ends a file and cannot be stored.)
void DesktopEditing::everyCodeSurvivesTheDataBox() {
    QFETCH(int, mode);
    DesktopSession session;
    TopicRows rows;
    for (int code = 0; code < 256; ++code) {
        if (code != 26)
            rows[code / 32] += char(code);
    }
    const QString file = session.path(QStringLiteral("codes.hp"));
    writeTopics(file, {rows, TopicRows{"second"}}, mode);
    const QByteArray written = readBytes(file);
    const QString main = open(session, {file});
    QVERIFY(!main.isEmpty());

    session.click(dataBox(0));
    session.keys(main, {QStringLiteral("F5"), QStringLiteral("F2")});

    QVERIFY2(session.answers(main), session.errorOutput().constData());
    TopicTable saved;
    QCOMPARE(readHpFile(file, saved), 2);
    for (int row = 1; row <= kRowsPerTopic; ++row)
        QCOMPARE(saved.row(1, row).toHex(' '), rows[row - 1].toHex(' '));
    QCOMPARE(readBytes(file), written);
}

// With the HP49 and mode 3 chosen for new files, a typed euro sign is code 160, and Save as
// offers the backslash codes first: the new file is written "\160".
void DesktopEditing::aNewFileOfAnHp49InMode3() {
    DesktopSession session;
    QFile settings(session.settingsFile());
    QVERIFY(settings.open(QIODevice::Append));
    settings.write("Translation=3\nCalculator=49\n"); // the settings' last section is Misc
    settings.close();
    const QString file = session.path(QStringLiteral("euro.hp"));
    QVERIFY(session.start());
    const QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());

    session.keys(main, {QStringLiteral("alt+f"), QStringLiteral("n")}); // File, New file
    session.click(dataBox(0));
    session.type(main, QStringLiteral(u"5 \u20AC"));
    session.keys(main, {QStringLiteral("F5"), QStringLiteral("F2")});
    const QString dialog = session.waitForWindow(QStringLiteral("^Datei speichern$"));
    QVERIFY2(!dialog.isEmpty(), session.errorOutput().constData());
    session.keys(dialog, {QStringLiteral("ctrl+a")}); // over the name offered
    session.type(dialog, file);
    session.keys(dialog, {QStringLiteral("Return")});

    QTRY_COMPARE(readBytes(file), QByteArray("%%HP: T(3)A(R)F(,);\r\n{ {\"5 \\160\"}\r\n}\r\n"));
    QVERIFY2(session.answers(main), session.errorOutput().constData());
}

// Drags within one list with Move, Copy and Cancel: each choice leaves the topics in the order
// it promises, and the list shows what the data box shows afterwards (a commit right after the
// drag stores into the topic on view).
void DesktopEditing::dragWithinAList() {
    DesktopSession session;
    const QString file = session.path(QStringLiteral("five.hp"));
    writeTopics(file, titledTopics({"One", "Two", "Three", "Four", "Five"}));
    const QString main = open(session, {file});
    QVERIFY(!main.isEmpty());

    drop(session, entryPoint(0, 1), entryPoint(0, 3), DropChoice::Move);
    QVERIFY2(session.running(), session.errorOutput().constData());
    session.keys(main, {QStringLiteral("F2")});
    QCOMPARE(titles(file), (QList<QByteArray>{"Two", "One", "Three", "Four", "Five"}));

    drop(session, entryPoint(0, 1), entryPoint(0, 3), DropChoice::Copy);
    session.keys(main, {QStringLiteral("F2")});
    QCOMPARE(titles(file), (QList<QByteArray>{"Two", "One", "Two", "Three", "Four", "Five"}));

    drop(session, entryPoint(0, 4), entryPoint(0, 1), DropChoice::Cancel);
    session.click(dataBox(0));
    session.keys(main, {QStringLiteral("F5"), QStringLiteral("F2")});
    QCOMPARE(titles(file), (QList<QByteArray>{"Two", "One", "Two", "Three", "Four", "Five"}));
    TopicTable saved;
    QCOMPARE(readHpFile(file, saved), 6);
    QCOMPARE(saved.row(4, 2), QByteArray("row two of Three"));

    QVERIFY2(session.answers(main), session.errorOutput().constData());
}

// A drop below the last entry of another window's list is refused; that list keeps a selection,
// so the commands that act on it still work there.
void DesktopEditing::refusedDropKeepsTheTargetUsable() {
    DesktopSession session;
    const QString first = session.path(QStringLiteral("first.hp"));
    const QString second = session.path(QStringLiteral("second.hp"));
    writeTopics(first, titledTopics({"A1", "A2", "A3"}));
    writeTopics(second, titledTopics({"B1", "B2", "B3"}));
    const QString main = open(session, {first, second});
    QVERIFY(!main.isEmpty());

    session.drag(entryPoint(0, 1), belowEntries(1));
    session.click(titleBar(1));
    session.keys(main, {QStringLiteral("F4"), QStringLiteral("F2")});
    session.drag(entryPoint(1, 2), belowEntries(0));
    session.click(titleBar(0));
    session.keys(main, {QStringLiteral("F8")});
    session.keys(session.waitForWindow(QStringLiteral("^Bestätigen$")), {QStringLiteral("Return")});
    session.keys(main, {QStringLiteral("F2")});

    QVERIFY2(session.answers(main), session.errorOutput().constData());
    QCOMPARE(titles(second), (QList<QByteArray>{"", "B1", "B2", "B3"}));
    QCOMPARE(titles(first), (QList<QByteArray>{"A2", "A3"}));
}

// A topic moved to another window by the mouse: the source window then shows the topic that
// took its place, so F5 there stores what it shows and overwrites nothing.
void DesktopEditing::moveToAnotherWindowLeavesTheSourceRight() {
    DesktopSession session;
    const QString first = session.path(QStringLiteral("first.hp"));
    const QString second = session.path(QStringLiteral("second.hp"));
    writeTopics(first, titledTopics({"A1", "A2", "A3"}));
    writeTopics(second, titledTopics({"B1"}));
    const QString main = open(session, {first, second});
    QVERIFY(!main.isEmpty());

    drop(session, entryPoint(0, 2), entryPoint(1, 1), DropChoice::Move);
    session.click(dataBox(0));
    session.keys(main, {QStringLiteral("F5"), QStringLiteral("F2")});
    session.click(titleBar(1));
    session.keys(main, {QStringLiteral("F2")});

    QVERIFY2(session.answers(main), session.errorOutput().constData());
    QCOMPARE(titles(first), (QList<QByteArray>{"A1", "A3"}));
    TopicTable saved;
    QCOMPARE(readHpFile(first, saved), 2);
    QCOMPARE(saved.row(2, 2), QByteArray("row two of A3"));
    QCOMPARE(titles(second), (QList<QByteArray>{"A2", "B1"}));
}

// With the focus in the data box, Ctrl+Z first takes back what was typed since F5, then the
// commit itself: a save afterwards writes the file as it was.
void DesktopEditing::undoACommitWithTheKeyboard() {
    DesktopSession session;
    const QString file = session.path(QStringLiteral("undo.hp"));
    writeTopics(file, titledTopics({"One", "Two"}));
    const QByteArray original = readBytes(file);
    const QString main = open(session, {file});
    QVERIFY(!main.isEmpty());

    session.click(dataBox(0));
    session.type(main, QStringLiteral("Edited"));
    session.keys(main, {QStringLiteral("F5"), QStringLiteral("F2")});
    QVERIFY(readBytes(file).contains("Edited"));
    session.type(main, QStringLiteral("M"));
    session.keys(main, {QStringLiteral("ctrl+z"), QStringLiteral("F5"), QStringLiteral("F2")});
    QVERIFY(readBytes(file).contains("Edited") && !readBytes(file).contains("M"));
    session.keys(main, {QStringLiteral("ctrl+z"), QStringLiteral("F2")});
    QCOMPARE(readBytes(file), original);

    QVERIFY2(session.answers(main), session.errorOutput().constData());
}

// In German: the marks over the capitals of a list entry show, so that "Über" and "Uber" differ
// on the screen (where two "Uber" entries look the same); the label of the library transfer shows
// its closing " :".
void DesktopEditing::marksAndLabelsShowWhole() {
    DesktopSession session;
    writeBytes(session.settingsFile(),
               readBytes(session.settingsFile()).replace("Language=1", "Language=0"));
    writeBytes(session.programFolder() + QStringLiteral("/tarvo.lib"), "library");
    const QString file = session.path(QStringLiteral("marks.hp"));
    writeTopics(file, {{"Apfel"},
                       {"\xdc"
                        "ber"},
                       {"Uber"},
                       {"Uber"}});
    const QString main = open(session, {file});
    QVERIFY(!main.isEmpty());

    // Entry 1 is selected: its highlight gives the entries' tops.
    const QImage column = xscreen::grab(QRect(kFirstEntry.x() + 150, 0, 1, kFirstEntry.y() + 20));
    int top = kFirstEntry.y();
    while (top > 0 && column.pixel(0, top - 1) == column.pixel(0, kFirstEntry.y()))
        --top;
    const auto entry = [&](int n) {
        return xscreen::grab(
            QRect(kFirstEntry.x() - 60, top + (n - 1) * kEntryHeight, 240, kEntryHeight));
    };
    QCOMPARE(entry(4), entry(3));
    QVERIFY(entry(2) != entry(3));

    session.keys(main, {QStringLiteral("alt+Udiaeresis"), QStringLiteral("t")});
    const QString transfer = session.waitForWindow(QStringLiteral("^KERMIT Übertragung$"));
    QVERIFY(!transfer.isEmpty());
    // The label stands at 12,14 and was 130 wide; the name field it gives way to ends at 262.
    const QImage beyond = xscreen::grab(
        QRect(session.geometry(transfer).topLeft() + QPoint(142, 14), QSize(120, 18)));
    bool inked = false;
    for (int y = 0; y < beyond.height(); ++y) {
        for (int x = 0; x < beyond.width(); ++x)
            inked = inked || qGray(beyond.pixel(x, y)) < 100;
    }
    QVERIFY(inked);
    session.keys(transfer, {QStringLiteral("Escape")});
    QVERIFY(session.windowGone(transfer));
    session.keys(main, {QStringLiteral("alt+d"), QStringLiteral("b")}); // Datei, Beenden
    QCOMPARE(session.waitForExit(), 0);
}

// A row of 15 MB, which the reader accepts: the window goes on answering while the data box
// shows it, F5 there is refused with a message, and the file keeps every byte.
void DesktopEditing::aRowOfMegabytesKeepsTheWindowAnswering() {
    DesktopSession session;
    const QString file = session.path(QStringLiteral("long.hp"));
    writeTopics(file, {{QByteArray(15'000'000, 'Q'), "second row"}, {"other"}});
    const QByteArray original = readBytes(file);
    const QString main = open(session, {file});
    QVERIFY(!main.isEmpty());

    session.click(dataBox(0));
    session.type(main, QStringLiteral("xyz"));
    session.keys(main, {QStringLiteral("F5")});
    const QString refused = session.waitForWindow(QStringLiteral("^Fehler$"));
    QVERIFY(!refused.isEmpty());
    session.keys(refused, {QStringLiteral("Return")});
    session.keys(main, {QStringLiteral("F2")});
    QVERIFY2(session.answers(main), session.errorOutput().constData());
    QVERIFY(readBytes(file) == original);
}

// Text typed into the data box and not committed is a change: closing the program asks
// whether to save it, and Yes writes it into the file.
void DesktopEditing::typedTextIsAskedForOnClose() {
    DesktopSession session;
    const QString file = session.path(QStringLiteral("typed.hp"));
    writeTopics(file, titledTopics({"One", "Two"}));
    const QString main = open(session, {file});
    QVERIFY(!main.isEmpty());

    session.click(dataBox(0));
    session.type(main, QStringLiteral("Pending"));
    session.close(main);
    const QString question = session.waitForWindow(QStringLiteral("^Warnung$"));
    QVERIFY2(!question.isEmpty(), "no question before the typed text went");
    session.keys(question, {QStringLiteral("Return")});
    QCOMPARE(session.waitForExit(), 0);
    QVERIFY(readBytes(file).contains("Pending"));
}

// The calculator screen beside the data box shows each key typed, before any commit: the file
// keeps its rows.
void DesktopEditing::theScreenShowsWhatIsTyped() {
    DesktopSession session;
    QFile settings(session.settingsFile());
    QVERIFY(settings.open(QIODevice::Append));
    settings.write("[Screen]\nShown=1\n");
    settings.close();
    const QString file = session.path(QStringLiteral("typed.hp"));
    writeTopics(file, {TopicRows{"abc"}});
    const QByteArray stored = readBytes(file);
    const QString main = open(session, {file});
    QVERIFY(!main.isEmpty());

    const QPoint shown = placeOf(screenOf({"abc"}), xscreen::grab(kWholeScreen));
    QVERIFY(shown.x() >= 0);
    session.click(dataBox(0));
    session.type(main, QStringLiteral("XYZ"));
    const QImage typed = screenOf({"abcXYZ"});
    QPoint shownTyped;
    QDeadlineTimer deadline(5000);
    while ((shownTyped = placeOf(typed, xscreen::grab(kWholeScreen))) != shown &&
           !deadline.hasExpired())
        QTest::qWait(100);
    if (shownTyped != shown)
        session.shot(QStringLiteral("theScreenShowsWhatIsTyped"));
    QCOMPARE(shownTyped, shown);
    QCOMPARE(readBytes(file), stored);
}

QTEST_GUILESS_MAIN(DesktopEditing)
#include "tst_desktop_editing.moc"
