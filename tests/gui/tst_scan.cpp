// The directory scanner driven offscreen inside the real main window: what it counts and
// lists, how it behaves while a scan runs, loading the listed files, its settings.

#include "ProgramFrame.h"
#include "Sandbox.h"
#include "ScriptedPrompter.h"
#include "SpecialFiles.h"
#include "app/Startup.h"
#include "core/DirectoryScan.h"
#include "core/FileName.h"
#include "core/OccurrenceCount.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/ScanDialog.h"
#include "platform/SettingsFile.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <utility>

namespace {

// One program with its long-lived windows, in a sandbox; the preferred directory is an empty
// directory of its own.
struct Program : ProgramFrame {
    explicit Program(const QByteArray& settingsText = "[Application]\nLanguage=1\n") {
        writeBytes(sandbox.settingsFile(), settingsText);
        open();
        preferences.preferredPath = directory();
    }

    QString directory() const { return sandbox.path(QStringLiteral("scan/")); }
    void file(const QString& name, const QByteArray& bytes) const {
        writeBytes(sandbox.path(QStringLiteral("scan/") + name), bytes);
    }
    // The names the scan meets, in its order, of those given.
    QStringList inScanOrder(const QStringList& names) const {
        QStringList ordered = scan::scannableFiles(directory());
        ordered.removeIf([&names](const QString& name) { return !names.contains(name); });
        return ordered;
    }

    ScanDialog& scan() const { return main->scanDialog(); }
    template <typename Widget> Widget* control(const char* name) const {
        return scan().findChild<Widget*>(QLatin1String(name));
    }
    // While a scan runs, the buttons that would start another wait for it.
    bool scanning() const { return !control<QPushButton>("startButton")->isEnabled(); }
    // Starts a scan and waits until it has ended; the entries it left.
    QStringList run(const QString& text, bool caseSensitive = false) const {
        control<QLineEdit>("searchText")->setText(text);
        control<QCheckBox>("caseSensitive")->setChecked(caseSensitive);
        scan().startScan();
        if (!QTest::qWaitFor([this] { return !scanning(); }, 20000))
            QTest::qFail("the scan did not end", __FILE__, __LINE__);
        return entries();
    }
    QStringList entries() const {
        QStringList entries;
        const QListWidget* list = control<QListWidget>("entryList");
        for (int row = 0; row < list->count(); ++row)
            entries.append(list->item(row)->text());
        return entries;
    }
    // Called each time the bar shows more files done during a scan.
    void onProgress(const std::function<void()>& act) const {
        QObject::connect(control<QProgressBar>("progressBar"), &QProgressBar::valueChanged, &scan(),
                         [act](int value) {
                             if (value > 0)
                                 act();
                         });
    }
    QStringList loadedFiles() const {
        QStringList loaded;
        for (const DocumentWindow* document : main->documentWindows())
            loaded.append(document->document().fileName());
        return loaded;
    }
};

const QStringList kThreeFiles = {"a.hp", "b.hp", "c.hp"};

} // namespace

class TestScan : public QObject {
    Q_OBJECT

  private slots:
    void countsAndListsOnlyTheOrdinaryDatabaseFiles() {
        Program program;
        // Three times in one row, once in another row of another topic, in another case.
        program.file("four.hp", database({{"title", "abc xabcx abc"}, {"x", "y", "ABC"}}));
        program.file("many.hp", database(QList<QList<QByteArray>>(
                                    5, QList<QByteArray>(10, "zq zq zq zq zq"))));
        QList<QByteArray> twelve(12, "row");
        twelve[10] = twelve[11] = "abc zq"; // rows the reader drops
        program.file("eleven.hp", database({twelve}));
        program.file("notes.txt", "abc zq abc zq, no database");
        program.file(".hidden.hp", database({{"abc zq"}}));
        program.file("sub/deep.hp", database({{"abc zq"}}));
        program.file("empty.hp", database({}));
        makePipe(program.directory() + "pipe.hp");
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), program.directory() + "zero.hp"));

        QCOMPARE(program.run("abc"), QStringList({"       004\tfour.hp"}));
        QCOMPARE(program.run("abc", true), QStringList({"       003\tfour.hp"}));
        QCOMPARE(program.run("zq"), QStringList({"      >200\tmany.hp"}));
        const auto* bar = program.control<QProgressBar>("progressBar");
        QCOMPARE(bar->maximum(), 5); // every ordinary file, whatever it holds
        QCOMPARE(bar->value(), 5);
        QCOMPARE(program.run(""), QStringList());
        QVERIFY(program.prompter.shown.isEmpty());

        program.file("more.hp", database({{"zq"}, {"ZQ"}}));
        const QStringList order = program.inScanOrder({"many.hp", "more.hp"});
        QCOMPARE(program.run("zq"),
                 QStringList({scan::entryText(order[0] == "many.hp" ? 201 : 2, order[0]),
                              scan::entryText(order[1] == "many.hp" ? 201 : 2, order[1])}));
    }

    void searchTextIsCodedLikeTheRows() {
        Program program;
        program.file("codes.hp", database({{"\x80 x \x80", "\x81", "a?b"}}));
        QCOMPARE(program.run(QStringLiteral("∡")), QStringList({"       002\tcodes.hp"}));
        QCOMPARE(program.run(QStringLiteral("x\u0304")), QStringList({"       001\tcodes.hp"}));
        // The euro sign has no code: it is in no file, not even as a stand-in character.
        QCOMPARE(program.run(QStringLiteral("a€b")), QStringList());

        auto* edit = program.control<QLineEdit>("searchText");
        for (QChar typed : {QChar(u'a'), QChar(0x2220)}) {
            edit->clear();
            for (int key = 0; key < 40; ++key)
                edit->insert(typed);
            QCOMPARE(edit->text(), QString(35, typed));
        }
    }

    void staysResponsiveWhileScanning() {
        Program program;
        for (const QString& name : kThreeFiles)
            program.file(name, database({{"ABC abc"}}));
        const QStringList order = program.inScanOrder(kThreeFiles);
        QStringList enabledDuringScan;
        bool startTried = false;
        program.onProgress([&] {
            for (const char* name : {"startButton", "loadSelectedButton", "loadAllButton"}) {
                if (program.control<QPushButton>(name)->isEnabled())
                    enabledDuringScan.append(name);
            }
            if (!std::exchange(startTried, true)) {
                program.control<QPushButton>("startButton")->click();
                program.scan().startScan(); // a Start that was already on its way
                // the scan counts with the text and the case choice it started with
                program.control<QLineEdit>("searchText")->setText(QStringLiteral("ABC"));
                program.control<QCheckBox>("caseSensitive")->setChecked(true);
            }
        });
        QCOMPARE(program.run("abc"),
                 QStringList({scan::entryText(2, order[0]), scan::entryText(2, order[1]),
                              scan::entryText(2, order[2])}));
        QVERIFY(startTried);
        QCOMPARE(enabledDuringScan, QStringList());
        for (const char* name : {"startButton", "loadSelectedButton", "loadAllButton"})
            QVERIFY2(program.control<QPushButton>(name)->isEnabled(), name);
    }

    // Start returns at once; Close cancels the scan: the dialog closes once no file is counted
    // any more, and the entries found so far stay.
    void closeDuringAScanStopsItAndKeepsTheEntriesSoFar() {
        Program program;
        constexpr int kFiles = 5000;
        const QByteArray twoHits = database({{"abc", "abc"}});
        for (int file = 0; file < kFiles; ++file)
            program.file(QString::number(file), twoHits);
        bool visibleAfterClose = false;
        QObject::connect(program.control<QListWidget>("entryList")->model(),
                         &QAbstractItemModel::rowsInserted, &program.scan(), [&] {
                             if (program.entries().size() == 1) {
                                 program.control<QPushButton>("closeButton")->click();
                                 visibleAfterClose = program.scan().isVisible();
                             }
                         });
        bool scanningAfterStart = false;
        QTimer::singleShot(0, &program.scan(), [&] {
            program.control<QLineEdit>("searchText")->setText(QStringLiteral("abc"));
            program.control<QPushButton>("startButton")->click();
            scanningAfterStart = program.scanning();
        });
        program.main->findChild<QAction*>(QStringLiteral("scanner"))->trigger();
        QVERIFY(scanningAfterStart); // the scan runs off the window's thread
        QVERIFY(visibleAfterClose);  // the scan ends before the dialog closes
        QVERIFY(!program.scan().isVisible());
        const QString first = scan::scannableFiles(program.directory()).first();
        QCOMPARE(program.entries(), QStringList({scan::entryText(2, first)}));
        const auto* scanner = program.scan().findChild<scan::DirectoryScanner*>();
        const int counted = scanner->filesCounted();
        QTest::qWait(50);
        QCOMPARE(scanner->filesCounted(), counted);
        QVERIFY(program.control<QPushButton>("startButton")->isEnabled());
    }

    void loadsIntoNewDocumentWindows() {
        Program program("[Application]\nLanguage=1\n[Files]\n1=/elsewhere/kept.hp\n");
        for (const QString& name : kThreeFiles)
            program.file(name, database({{"abc", name.toLatin1()}}));
        QStringList paths = program.inScanOrder(kThreeFiles);
        for (QString& name : paths)
            name.prepend(program.directory());
        QCOMPARE(program.run("abc").size(), 3);

        program.scan().loadSelected(); // nothing selected: nothing happens
        QCOMPARE(program.loadedFiles(), QStringList());
        program.control<QListWidget>("entryList")->setCurrentRow(1);
        program.control<QPushButton>("loadSelectedButton")->click();
        QCOMPARE(program.loadedFiles(), QStringList({paths[1]}));

        program.control<QPushButton>("loadAllButton")->click();
        QCOMPARE(program.loadedFiles().size(), 4);
        QCOMPARE(program.main->activeDocument()->document().fileName(), paths[2]);
        QCOMPARE(program.main->activeDocument()->caption(), QFileInfo(paths[2]).fileName());

        // A file removed since the scan is reported and its window goes; the others load.
        QVERIFY(QFile::remove(paths[1]));
        program.scan().loadAll();
        QCOMPARE(program.prompter.shownIds(), QList<quint16>({1115}));
        QCOMPARE(program.loadedFiles().size(), 6);
        QCOMPARE(program.loadedFiles().count(paths[1]), 2);
        QCOMPARE(program.main->activeDocument()->document().fileName(), paths[2]);
        QCOMPARE(program.recentFiles(), QStringList({"/elsewhere/kept.hp"}));

        // The names belong to the directory that was scanned, also when the preferred
        // directory changed since.
        program.preferences.preferredPath = program.sandbox.path(QStringLiteral("other/"));
        writeBytes(program.preferences.preferredPath + QFileInfo(paths[2]).fileName(),
                   database({{"another file of that name"}}));
        program.control<QListWidget>("entryList")->setCurrentRow(2);
        program.scan().loadSelected();
        QCOMPARE(program.main->activeDocument()->document().fileName(), paths[2]);

        // A name that is no UTF-8 (Latin-1, from an old archive) loads by its bytes.
        program.preferences.preferredPath = program.directory();
        const QString latin1 = filename::fromBytes("caf\xE9.hp");
        program.file(latin1, database({{"abc"}}));
        const QStringList found = program.run("abc");
        const qsizetype row = found.indexOf(scan::entryText(1, latin1));
        QVERIFY2(row >= 0, qPrintable(found.join(u'|')));
        program.control<QListWidget>("entryList")->setCurrentRow(static_cast<int>(row));
        program.scan().loadSelected();
        QCOMPARE(program.main->activeDocument()->document().fileName(),
                 program.directory() + latin1);
        QCOMPARE(program.prompter.shownIds().size(), 1);
    }

    void commandAndSettings() {
        Program program("[Application]\nLanguage=0\n[Scan]\nUpCase=1\nTop=120\nLeft=140\n");
        ScanDialog& scan = program.scan();
        QVERIFY(program.control<QCheckBox>("caseSensitive")->isChecked());
        QCOMPARE(scan.pos(), QPoint(140, 120));

        // The command is there without any document and shows the dialog modally, sized for
        // the longer German texts.
        QAction* command = program.main->findChild<QAction*>(QStringLiteral("scanner"));
        QVERIFY(command->isEnabled());
        QStringList seen;
        QTimer::singleShot(0, &scan, [&] {
            if (scan.isVisible() && scan.isModal())
                seen.append("modal");
            if (scan.focusWidget() == program.control<QLineEdit>("searchText"))
                seen.append("focus");
            for (const char* name : {"caseSensitive", "loadSelectedButton", "loadAllButton"}) {
                const auto* control = program.control<QAbstractButton>(name);
                if (control->width() < control->sizeHint().width())
                    seen.append(name);
            }
            program.control<QPushButton>("closeButton")->click();
        });
        command->trigger();
        QCOMPARE(seen, QStringList({"modal", "focus"}));
        QVERIFY(!scan.isVisible());

        // Written when the program ends, in their order.
        program.control<QCheckBox>("caseSensitive")->setChecked(false);
        scan.move(30, 40);
        writeBytes(program.sandbox.settingsFile(), "[Application]\nLanguage=0\n");
        QVERIFY(program.main->close()); // quit
        const QByteArray written = readBytes(program.sandbox.settingsFile());
        QVERIFY2(written.contains("[Scan]\nUpCase=0\nTop=40\nLeft=30\n"), written.constData());
    }
};

QTEST_MAIN(TestScan)
#include "tst_scan.moc"
