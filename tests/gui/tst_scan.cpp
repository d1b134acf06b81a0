// The directory scanner driven offscreen inside the real main window: what it counts and
// lists, how it behaves while a scan runs, loading the listed files, its settings.

#include "gui/Localizer.h"
#include "core/OccurrenceCount.h"
#include "Sandbox.h"
#include "ScriptedPrompter.h"
#include "platform/SettingsFile.h"
#include "SpecialFiles.h"
#include "app/Startup.h"
#include "platform/Preferences.h"
#include "gui/DocumentWindow.h"
#include "gui/dialogs/ScanDialog.h"
#include "gui/MainWindow.h"

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
struct Program {
    explicit Program(const QByteArray& settingsText = "[Application]\nLanguage=1\n") {
        WriteBytes(sandbox.SettingsFile(), settingsText);
        Glob().Ini = std::make_unique<SettingsFile>(sandbox.SettingsFile());
        FillPaths();
        Glob().ProgDir = sandbox.Path(QStringLiteral("prog/"));
        Glob().SplashDone = true;
        main = std::make_unique<MainWindow>();
        main->CreateLongLivedWindows();
        ApplyLanguage();
        main->show();
        Glob().PrefPath = Directory();
    }

    QString Directory() const { return sandbox.Path(QStringLiteral("scan/")); }
    void File(const QString& name, const QByteArray& bytes) const {
        WriteBytes(sandbox.Path(QStringLiteral("scan/") + name), bytes);
    }
    // The names the scan meets, in its order, of those given.
    QStringList InScanOrder(const QStringList& names) const {
        QStringList ordered = scan::ScannableFiles(Directory());
        ordered.removeIf([&names](const QString& name) { return !names.contains(name); });
        return ordered;
    }

    ScanDialog& Scan() const { return *main->scanDialog(); }
    template <typename Widget> Widget* Control(const char* name) const {
        return Scan().findChild<Widget*>(QLatin1String(name));
    }
    QStringList Run(const QString& text, bool caseSensitive = false) const {
        Control<QLineEdit>("Edit1")->setText(text);
        Control<QCheckBox>("CheckBox1")->setChecked(caseSensitive);
        Scan().BitBtn1Click();
        QStringList entries;
        const QListWidget* list = Control<QListWidget>("List");
        for (int row = 0; row < list->count(); ++row)
            entries.append(list->item(row)->text());
        return entries;
    }
    // Called as each file of a scan is begun, with its number from 1.
    void OnEachFile(const std::function<void(int file)>& act) const {
        QObject::connect(Control<QProgressBar>("ProgressBar1"), &QProgressBar::valueChanged,
                         &Scan(), [act](int value) {
                             if (value > 0)
                                 act(value);
                         });
    }
    QStringList LoadedFiles() const {
        QStringList loaded;
        for (const DocumentWindow* document : main->DocumentWindows())
            loaded.append(document->Table().FileName);
        return loaded;
    }

    Sandbox sandbox;
    GlobalScope global;
    ScriptedPrompter prompter;
    std::unique_ptr<MainWindow> main;
};

const QStringList kThreeFiles = {"a.hp", "b.hp", "c.hp"};

} // namespace

class TestScan : public QObject {
    Q_OBJECT

  private slots:
    void countsAndListsOnlyTheOrdinaryDatabaseFiles() {
        Program program;
        // Three times in one row, once in another row of another topic, in another case.
        program.File("four.hp", Database({{"title", "abc xabcx abc"}, {"x", "y", "ABC"}}));
        program.File("many.hp", Database(QList<QList<QByteArray>>(
                                    5, QList<QByteArray>(10, "zq zq zq zq zq"))));
        QList<QByteArray> twelve(12, "row");
        twelve[10] = twelve[11] = "abc zq"; // rows the reader drops
        program.File("eleven.hp", Database({twelve}));
        program.File("notes.txt", "abc zq abc zq, no database");
        program.File(".hidden.hp", Database({{"abc zq"}}));
        program.File("sub/deep.hp", Database({{"abc zq"}}));
        program.File("empty.hp", Database({}));
        MakePipe(program.Directory() + "pipe.hp");
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), program.Directory() + "zero.hp"));

        QCOMPARE(program.Run("abc"), QStringList({"       004\tfour.hp"}));
        QCOMPARE(program.Run("abc", true), QStringList({"       003\tfour.hp"}));
        QCOMPARE(program.Run("zq"), QStringList({"      >200\tmany.hp"}));
        const auto* bar = program.Control<QProgressBar>("ProgressBar1");
        QCOMPARE(bar->maximum(), 5); // every ordinary file, whatever it holds
        QCOMPARE(bar->value(), 5);
        QCOMPARE(program.Run(""), QStringList());
        QVERIFY(program.prompter.shown.isEmpty());

        program.File("more.hp", Database({{"zq"}, {"ZQ"}}));
        const QStringList order = program.InScanOrder({"many.hp", "more.hp"});
        QCOMPARE(program.Run("zq"),
                 QStringList({scan::EntryText(order[0] == "many.hp" ? 201 : 2, order[0]),
                              scan::EntryText(order[1] == "many.hp" ? 201 : 2, order[1])}));
    }

    void searchTextIsCodedLikeTheRows() {
        Program program;
        program.File("codes.hp", Database({{"\x80 x \x80", "\x81", "a?b"}}));
        QCOMPARE(program.Run(QStringLiteral("∡")), QStringList({"       002\tcodes.hp"}));
        QCOMPARE(program.Run(QStringLiteral("x\u0304")), QStringList({"       001\tcodes.hp"}));
        // The euro sign has no code: it is in no file, not even as a stand-in character.
        QCOMPARE(program.Run(QStringLiteral("a€b")), QStringList());

        auto* edit = program.Control<QLineEdit>("Edit1");
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
            program.File(name, Database({{"ABC abc"}}));
        const QStringList order = program.InScanOrder(kThreeFiles);
        QStringList enabledDuringScan;
        bool startTried = false;
        program.OnEachFile([&](int file) {
            for (const char* name : {"BitBtn1", "BitBtn4", "BitBtn5"}) {
                if (program.Control<QPushButton>(name)->isEnabled())
                    enabledDuringScan.append(name);
            }
            if (!std::exchange(startTried, true)) {
                program.Control<QPushButton>("BitBtn1")->click();
                program.Scan().BitBtn1Click(); // a Start that was already on its way
            }
            if (file == 3) // the case choice is taken anew for each file
                program.Control<QCheckBox>("CheckBox1")->setChecked(true);
        });
        QCOMPARE(program.Run("abc"),
                 QStringList({scan::EntryText(2, order[0]), scan::EntryText(2, order[1]),
                              scan::EntryText(1, order[2])}));
        QCOMPARE(enabledDuringScan, QStringList());
        for (const char* name : {"BitBtn1", "BitBtn4", "BitBtn5"})
            QVERIFY2(program.Control<QPushButton>(name)->isEnabled(), name);
    }

    void closeDuringAScanStopsItAndCloses() {
        Program program;
        for (const QString& name : kThreeFiles)
            program.File(name, Database({{"abc"}}));
        program.Scan().show();
        program.OnEachFile([&](int file) {
            if (file == 1)
                program.Control<QPushButton>("BitBtn2")->click();
            QVERIFY(program.Scan().isVisible()); // the scan ends before the dialog closes
        });
        const QString first = program.InScanOrder(kThreeFiles).first();
        QCOMPARE(program.Run("abc"), QStringList({scan::EntryText(1, first)}));
        QVERIFY(!program.Scan().isVisible());
        QCOMPARE(program.Control<QProgressBar>("ProgressBar1")->value(), 1);
        QVERIFY(program.Control<QPushButton>("BitBtn1")->isEnabled());
    }

    void loadsIntoNewDocumentWindows() {
        Program program("[Application]\nLanguage=1\n[Files]\n1=/elsewhere/kept.hp\n");
        for (const QString& name : kThreeFiles)
            program.File(name, Database({{"abc", name.toLatin1()}}));
        QStringList paths = program.InScanOrder(kThreeFiles);
        for (QString& name : paths)
            name.prepend(program.Directory());
        QCOMPARE(program.Run("abc").size(), 3);

        program.Scan().BitBtn4Click(); // nothing selected: nothing happens
        QCOMPARE(program.LoadedFiles(), QStringList());
        program.Control<QListWidget>("List")->setCurrentRow(1);
        program.Control<QPushButton>("BitBtn4")->click();
        QCOMPARE(program.LoadedFiles(), QStringList({paths[1]}));

        program.Control<QPushButton>("BitBtn5")->click();
        QCOMPARE(program.LoadedFiles().size(), 4);
        QCOMPARE(program.main->ActiveDocument()->Table().FileName, paths[2]);
        QCOMPARE(program.main->ActiveDocument()->Caption(), QFileInfo(paths[2]).fileName());

        // A file removed since the scan is reported and its window goes; the others load.
        QVERIFY(QFile::remove(paths[1]));
        program.Scan().BitBtn5Click();
        QCOMPARE(program.prompter.ShownIds(), QList<quint16>({1115}));
        QCOMPARE(program.LoadedFiles().size(), 6);
        QCOMPARE(program.LoadedFiles().count(paths[1]), 2);
        QCOMPARE(program.main->ActiveDocument()->Table().FileName, paths[2]);
        QCOMPARE(program.main->RecentFiles(), QStringList({"/elsewhere/kept.hp"}));

        // The names belong to the directory that was scanned, also when the preferred
        // directory changed since.
        Glob().PrefPath = program.sandbox.Path(QStringLiteral("other/"));
        WriteBytes(Glob().PrefPath + QFileInfo(paths[2]).fileName(),
                   Database({{"another file of that name"}}));
        program.Control<QListWidget>("List")->setCurrentRow(2);
        program.Scan().BitBtn4Click();
        QCOMPARE(program.main->ActiveDocument()->Table().FileName, paths[2]);
    }

    void commandAndSettings() {
        Program program("[Application]\nLanguage=0\n[Scan]\nUpCase=1\nTop=120\nLeft=140\n");
        ScanDialog& scan = program.Scan();
        QVERIFY(program.Control<QCheckBox>("CheckBox1")->isChecked());
        QCOMPARE(scan.pos(), QPoint(140, 120));

        // The command is there without any document and shows the dialog modally, sized for
        // the longer German texts.
        QAction* command = program.main->findChild<QAction*>(QStringLiteral("Scanner1"));
        QVERIFY(command->isEnabled());
        QStringList seen;
        QTimer::singleShot(0, &scan, [&] {
            if (scan.isVisible() && scan.isModal())
                seen.append("modal");
            if (scan.focusWidget() == program.Control<QLineEdit>("Edit1"))
                seen.append("focus");
            for (const char* name : {"CheckBox1", "BitBtn4", "BitBtn5"}) {
                const auto* control = program.Control<QAbstractButton>(name);
                if (control->width() < control->sizeHint().width())
                    seen.append(name);
            }
            program.Control<QPushButton>("BitBtn2")->click();
        });
        command->trigger();
        QCOMPARE(seen, QStringList({"modal", "focus"}));
        QVERIFY(!scan.isVisible());

        // Written when the program ends, in their order.
        program.Control<QCheckBox>("CheckBox1")->setChecked(false);
        scan.move(30, 40);
        WriteBytes(program.sandbox.SettingsFile(), "[Application]\nLanguage=0\n");
        QVERIFY(program.main->close()); // quit
        const QByteArray written = ReadBytes(program.sandbox.SettingsFile());
        QVERIFY2(written.contains("[Scan]\nUpCase=0\nTop=40\nLeft=30\n"), written.constData());
    }
};

QTEST_MAIN(TestScan)
#include "tst_scan.moc"
