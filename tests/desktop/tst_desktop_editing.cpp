// Editing with real keys and a real mouse in the real program: what the user's hand does to the
// bytes on disk.
#include "DesktopSession.h"
#include "Sandbox.h"
#include "core/HpFile.h"

#include <QTest>

namespace {

// Where things stand on the screen: the main window at the top left corner (as the preseeded
// settings place it), document windows stacked in the workspace in the order they opened.
constexpr QPoint kFirstEntry{300, 108};
constexpr int kEntryHeight = 19;
constexpr QPoint kDataBox{110, 160};
constexpr QPoint kTitleBar{200, 64};
constexpr int kWindowStep = 190;
// The drop menu opens at the mouse; its items are this far apart.
constexpr QPoint kFirstMenuItem{30, 14};
constexpr int kMenuItemHeight = 23;

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
        titles.append(table.title(topic));
    return titles;
}

void writeTopics(const QString& fileName, const QList<TopicRows>& topics) {
    TopicTable table;
    table.fill(topics);
    QVERIFY(writeHpFile(fileName, table, table.topicCount(), true, false));
}

QList<TopicRows> titledTopics(const QList<QByteArray>& titles) {
    QList<TopicRows> topics;
    for (const QByteArray& title : titles)
        topics.append(TopicRows{title, "row two of " + title});
    return topics;
}

} // namespace

class DesktopEditing : public QObject {
    Q_OBJECT

  private slots:
    void everyCodeSurvivesTheDataBox();
    void dragWithinAList();
    void refusedDropKeepsTheTargetUsable();
    void undoACommitWithTheKeyboard();

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

// Every code a row can hold goes into the data box, is committed unchanged with F5 and saved
// with F2: the file holds the same bytes. (Code 26 ends a file and cannot be stored.)
void DesktopEditing::everyCodeSurvivesTheDataBox() {
    DesktopSession session;
    TopicRows rows;
    for (int code = 0; code < 256; ++code) {
        if (code != 26)
            rows[code / 32] += char(code);
    }
    const QString file = session.path(QStringLiteral("codes.hp"));
    writeTopics(file, {rows, TopicRows{"second"}});
    const QString main = open(session, {file});
    QVERIFY(!main.isEmpty());

    session.click(dataBox(0));
    session.keys(main, {QStringLiteral("F5"), QStringLiteral("F2")});

    QVERIFY2(session.answers(main), session.errorOutput().constData());
    TopicTable saved;
    QCOMPARE(readHpFile(file, saved), 2);
    for (int row = 1; row <= kRowsPerTopic; ++row)
        QCOMPARE(saved.row(1, row).toHex(' '), rows[row - 1].toHex(' '));
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

QTEST_GUILESS_MAIN(DesktopEditing)
#include "tst_desktop_editing.moc"
