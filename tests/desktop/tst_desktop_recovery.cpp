// Recovery copies with the real program: edits survive a crash, a normal end leaves nothing,
// and programs running side by side never take each other's copies.
#include "DesktopSession.h"
#include "Sandbox.h"
#include "core/HpFile.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

constexpr QPoint kDataBox{110, 160}; // of the first document window
constexpr int kCopyTimeoutMs = 15000;
const QString kOffer = QStringLiteral("^Recovery$");

QString recoveryDir(const DesktopSession& session) {
    return session.home() + QStringLiteral("/.local/state/ombrel/recovery");
}

// Each copy on disk with the file it stands for.
QMap<QString, QString> copies(const DesktopSession& session) {
    QMap<QString, QString> copies;
    QDirIterator it(recoveryDir(session), {QStringLiteral("*.hp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString copy = it.next();
        const QByteArray side = readBytes(copy.chopped(3) + QStringLiteral(".json"));
        copies.insert(copy, QJsonDocument::fromJson(side).object().value("file").toString());
    }
    return copies;
}

QList<TopicRows> topics(const QString& fileName) {
    TopicTable table;
    QList<TopicRows> topics;
    for (int topic = 1; topic <= readHpFile(fileName, table); ++topic)
        topics.append(table.topic(topic));
    return topics;
}

// Replaces the first topic of the active document with two typed rows, one holding quotes.
void editFirstTopic(const DesktopSession& session, const QString& main) {
    session.click(kDataBox);
    session.keys(main, {QStringLiteral("ctrl+a")});
    session.type(main, QStringLiteral("say \"hi\""));
    session.keys(main, {QStringLiteral("Return")});
    session.type(main, QStringLiteral("row two"));
    session.keys(main, {QStringLiteral("F5")});
}

const TopicRows kEdited{"say \"hi\"", "row two"};

} // namespace

class DesktopRecovery : public QObject {
    Q_OBJECT

  private slots:
    void crashedEditsComeBack();
    void runningProgramsKeepTheirCopies();
};

// An edit committed with F5 is copied; after SIGKILL the next start offers it, restores it
// modified under its file's name without writing that file, and F2 saves exactly the edit. A
// normal end then leaves no copy.
void DesktopRecovery::crashedEditsComeBack() {
    DesktopSession session;
    const QString file = session.path(QStringLiteral("topics.hp"));
    const QByteArray original = database({{"Hello", "world"}, {"Second"}});
    writeBytes(file, original);
    QVERIFY(session.start({file}));
    QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    editFirstTopic(session, main);
    QTRY_COMPARE_WITH_TIMEOUT(copies(session).values(), QStringList{file}, kCopyTimeoutMs);
    session.crash();

    QVERIFY(session.start());
    const QString offer = session.waitForWindow(kOffer);
    QVERIFY2(!offer.isEmpty(), session.errorOutput().constData());
    session.keys(offer, {QStringLiteral("Return")}); // Restore, every copy selected
    main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    QCOMPARE(readBytes(file), original);
    session.keys(main, {QStringLiteral("F2")});
    QCOMPARE(topics(file), (QList<TopicRows>{kEdited, TopicRows{"Second"}}));

    session.keys(main, {QStringLiteral("alt+f"), QStringLiteral("q")});
    QCOMPARE(session.waitForExit(), 0);
    QVERIFY(QDir(recoveryDir(session)).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot));
}

// A runs with a copy; B, started beside it, offers nothing. A crashes and B copies an edit of
// its own; C, started then, offers A's copy only and takes it over, while B's copy stays B's.
void DesktopRecovery::runningProgramsKeepTheirCopies() {
    DesktopSession session;
    const QString first = session.path(QStringLiteral("first.hp"));
    const QString second = session.path(QStringLiteral("second.hp"));
    writeBytes(first, database({{"first"}}));
    writeBytes(second, database({{"second"}}));
    QVERIFY(session.start({first}));
    const QString mainA = session.waitForMainWindow();
    QVERIFY(!mainA.isEmpty());
    editFirstTopic(session, mainA);
    QTRY_COMPARE_WITH_TIMEOUT(copies(session).size(), 1, kCopyTimeoutMs);
    const QString folderA = QFileInfo(copies(session).firstKey()).absolutePath();

    session.startInstance(QStringLiteral("runtimeB"), {second});
    QTest::qWait(4000); // B's splash has gone
    QVERIFY(session.windows(kOffer).isEmpty());
    session.crash();
    const QString mainB = session.waitForMainWindow();
    QVERIFY(!mainB.isEmpty());
    editFirstTopic(session, mainB);
    QTRY_COMPARE_WITH_TIMEOUT(copies(session).size(), 2, kCopyTimeoutMs);

    session.startInstance(QStringLiteral("runtimeC"));
    const QString offer = session.waitForWindow(kOffer);
    QVERIFY(!offer.isEmpty());
    session.keys(offer, {QStringLiteral("Return")});
    QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(folderA), kCopyTimeoutMs);
    QStringList standFor = copies(session).values();
    standFor.sort();
    QCOMPARE(standFor, (QStringList{first, second}));
}

QTEST_GUILESS_MAIN(DesktopRecovery)
#include "tst_desktop_recovery.moc"
