// Files and the real program, the way a user meets them: dropped from a file manager.
#include "DesktopSession.h"
#include "Sandbox.h"

#include <QFile>
#include <QTest>

namespace {

constexpr QPoint kWorkspace{600, 400};

QString writeDatabase(const DesktopSession& session, const QString& name) {
    const QString file = session.path(name);
    writeBytes(file, database({{"dropped topic"}}));
    return file;
}

bool remembers(const DesktopSession& session, const QString& file) {
    QFile settings(session.settingsFile());
    return settings.open(QIODevice::ReadOnly) &&
           settings.readAll().contains("=" + QFile::encodeName(file) + "\n");
}

} // namespace

class DesktopFiles : public QObject {
    Q_OBJECT

  private slots:
    void filesDroppedFromAFileManagerOpen();
};

// Two files dragged from a file manager onto the workspace open in windows of their own and join
// the recent files; a file that is no database is reported and opens nothing.
void DesktopFiles::filesDroppedFromAFileManagerOpen() {
    DesktopSession session;
    const QString first = writeDatabase(session, QStringLiteral("first.hp"));
    const QString second = writeDatabase(session, QStringLiteral("second.hp"));
    const QString notes = session.path(QStringLiteral("notes.txt"));
    writeBytes(notes, "not a database\n");
    QVERIFY(session.start());
    const QString main = session.waitForMainWindow();
    QVERIFY(!main.isEmpty());
    session.startOther(QStringLiteral(OMBREL_FILE_SOURCE), {first, second, notes});
    const QString files = session.waitForWindowOfAnyProgram(QStringLiteral("Files"));
    QVERIFY(!files.isEmpty());
    const QRect source = session.geometry(files);
    session.drag(source.center(), kWorkspace);
    const QString box = session.waitForWindow(QStringLiteral("^Fehler$"));
    QVERIFY(!box.isEmpty()); // the text file
    session.keys(box, {QStringLiteral("Return")});
    QVERIFY(session.answers(main));
    session.keys(main, {QStringLiteral("alt+f"), QStringLiteral("q")});
    QCOMPARE(session.waitForExit(), 0);
    QVERIFY(remembers(session, first));
    QVERIFY(remembers(session, second));
    QVERIFY(!remembers(session, notes));
}

QTEST_GUILESS_MAIN(DesktopFiles)
#include "tst_desktop_files.moc"
