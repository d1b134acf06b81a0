#include "gui/Localizer.h"
#include "gui/dialogs/HelpWindow.h"
#include "ProgramFrame.h"
#include "Sandbox.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompter.h"
#include "platform/Settings.h"
#include "gui/dialogs/CharacterTable.h"
#include "platform/Preferences.h"
#include "gui/DocumentWindow.h"
#include "gui/dialogs/SettingsDialog.h"
#include "gui/dialogs/ScanDialog.h"
#include "gui/MainWindow.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include <memory>

namespace {

const QByteArray kOneTopic = "%%HP: T(1)A(R)F(,);\r\n{ {\"x\"}}";

// Every setting the dialog shows, none at its default.
const char kPrepared[] = "[Transfer]\n"
                         "Port=COM3\n"
                         "Baud=2400\n"
                         "Compress=0\n"
                         "Device3=/dev/ttyUSB0\n"
                         "[CharTab]\n"
                         "AutoOn=1\n"
                         "[Misc]\n"
                         "AskDelTopic=0\n"
                         "Sound=0\n"
                         "EditMode=1\n"
                         "TopicLine=5\n"
                         "ReversedBoxes=1\n"
                         "DeleteEmpty=1\n"
                         "ToolBar=0\n"
                         "Background=0\n"
                         "[Colors]\n"
                         "Text=4\n"
                         "Background=13\n"
                         "[Application]\n"
                         "Language=1\n";

struct Frame : ProgramFrame {
    Frame() { UseProgramDirectory(); }
    SettingsDialog& Dialog() const { return *main->settingsDialog(); }
    template <typename T> T* Control(const char* name) const {
        T* control = Dialog().findChild<T*>(QLatin1String(name));
        if (!control)
            qFatal("no control %s", name);
        return control;
    }
    bool Checked(const char* name) const { return Control<QCheckBox>(name)->isChecked(); }
    void Check(const char* name, bool on) const { Control<QCheckBox>(name)->setChecked(on); }
    int PortIndex() const { return Control<QRadioButton>("PortButton1")->group()->checkedId(); }
    int SpeedIndex() const { return Control<QRadioButton>("SpeedButton1")->group()->checkedId(); }
    QString Database(const QString& name) const {
        const QString path = sandbox.Path(QStringLiteral("db/") + name);
        WriteBytes(path, kOneTopic);
        return path;
    }
};

// The lines of a settings file that hold a key, in file order.
QStringList KeyLines(const QByteArray& file) {
    QStringList lines;
    for (const QByteArray& line : file.split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        if (!text.isEmpty())
            lines.append(text);
    }
    return lines;
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT

  private slots:
    void pagesControlsAndTags() {
        Frame frame;
        frame.Open();
        auto* pages = frame.Control<QTabWidget>("PageControl1");
        const QStringList names = {"TabSheet1", "TabSheet7", "TabSheet2", "TabSheet6",
                                   "TabSheet3", "TabSheet4", "TabSheet5"};
        const QList<int> tags = {3905, 3805, 3910, 3800, 3915, 3920, 3925};
        const QStringList contexts = {"prog", "ask", "lay", "color", "lang", "iopar", "pfad"};
        QCOMPARE(pages->count(), 7);
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(pages->widget(i)->objectName(), names[i]);
            QCOMPARE(pages->tabText(i), Tx(quint16(tags[i])));
            pages->setCurrentIndex(i);
            QCOMPARE(frame.Dialog().HelpContext(), contexts[i]);
        }
        QCOMPARE(frame.Dialog().windowTitle(), Tx(3900));
        for (auto [name, tag] : {std::pair{"F5Box", 3935},
                                 {"DelEmptyBox", 3955},
                                 {"CharStartBox", 3940},
                                 {"SoundBox", 3945},
                                 {"KompBox", 3950},
                                 {"DelTBox", 3815},
                                 {"ReversedBox", 3975},
                                 {"ToolBarBox", 3960},
                                 {"BkgndBox", 3980}})
            QCOMPARE(frame.Control<QCheckBox>(name)->text(), Tx(quint16(tag)));
        for (auto [name, tag] :
             {std::pair{"Label4", 3810}, {"Label1", 3990}, {"Label2", 3965}, {"Label3", 3970}})
            QCOMPARE(frame.Control<QLabel>(name)->text(), Tx(quint16(tag)));
        for (auto [name, tag] : {std::pair{"OKBtn", 15},
                                 {"CancelBtn", 20},
                                 {"DefBtn", 35},
                                 {"HelpBtn", 25},
                                 {"MoreButton", 3995}})
            QCOMPARE(frame.Control<QPushButton>(name)->text(), Tx(quint16(tag)));
        QCOMPARE(frame.Control<QRadioButton>("deuRButt")->text(), QStringLiteral("  Deutsch"));
        QCOMPARE(frame.Control<QRadioButton>("PortButton4")->text(), QStringLiteral("   COM 4"));
        QCOMPARE(frame.Control<QRadioButton>("SpeedButton1")->text(), QStringLiteral("    1200"));
        // First made: COM 2 and 9600.
        QCOMPARE(frame.PortIndex(), 1);
        QCOMPARE(frame.SpeedIndex(), 3);
        auto* colours = frame.Control<QComboBox>("TextCombo");
        QCOMPARE(colours->count(), 15);
        QCOMPARE(colours->maxVisibleItems(), 6);
        QVERIFY(frame.Control<QLineEdit>("RowText")->isReadOnly());
    }

    void loadsEveryControlFromTheSettings() {
        Frame frame;
        WriteBytes(frame.sandbox.SettingsFile(), kPrepared);
        frame.Open();
        const QString preferred = frame.sandbox.Path(QStringLiteral("pref/sub/"));
        QDir().mkpath(preferred);
        Glob().PrefPath = preferred;
        frame.Dialog().LoadControls();
        QCOMPARE(frame.PortIndex(), 2);
        QCOMPARE(frame.SpeedIndex(), 1);
        for (const char* on : {"CharStartBox", "F5Box", "ReversedBox", "DelEmptyBox"})
            QVERIFY2(frame.Checked(on), on);
        for (const char* off : {"DelTBox", "SoundBox", "KompBox", "ToolBarBox", "BkgndBox"})
            QVERIFY2(!frame.Checked(off), off);
        QCOMPARE(frame.Control<QSpinBox>("RowUpDown")->value(), 5);
        QCOMPARE(frame.Control<QComboBox>("TextCombo")->currentIndex(), 4);
        QCOMPARE(frame.Control<QComboBox>("BkgndCombo")->currentIndex(), 13);
        QVERIFY(frame.Control<QRadioButton>("engRButt")->isChecked());
        QCOMPARE(frame.Control<QComboBox>("Device1Box")->currentText(),
                 QStringLiteral("/dev/ttyS0"));
        QCOMPARE(frame.Control<QComboBox>("Device3Box")->currentText(),
                 QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(frame.Dialog().CurrentDirectory(), QDir::cleanPath(preferred));
        QCOMPARE(frame.Control<QLabel>("DirLabel")->text(), QDir::cleanPath(preferred));
        auto* tree = frame.Control<QTreeView>("PfadBox");
        QTRY_COMPARE(static_cast<QFileSystemModel*>(tree->model())->filePath(tree->currentIndex()),
                     QDir::cleanPath(preferred));
        QVERIFY(!frame.Control<QComboBox>("LWBox")->currentText().isEmpty());
    }

    void portAndBaudRules_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("baud");
        QTest::addColumn<int>("portIndex");
        QTest::addColumn<int>("speedIndex");
        QTest::addColumn<QString>("portWritten");
        QTest::addColumn<QString>("baudWritten");
        QTest::newRow("COM1 1200") << "COM1"
                                   << "1200" << 0 << 0 << "COM1"
                                   << "1200";
        QTest::newRow("beyond the last") << "COM7"
                                         << "4800" << 3 << 2 << "COM4"
                                         << "4800";
        QTest::newRow("digit 0 none") << "COM0"
                                      << "9600" << -1 << 3 << "COM0"
                                      << "9600";
        QTest::newRow("unknown baud") << "COM2"
                                      << "19200" << 1 << 3 << "COM2"
                                      << "9600";
        QTest::newRow("no digit") << "COMX"
                                  << "2400" << 1 << 1 << "COM2"
                                  << "2400";
        QTest::newRow("too short") << "CO"
                                   << "2400" << 1 << 1 << "COM2"
                                   << "2400";
    }
    void portAndBaudRules() {
        QFETCH(QString, port);
        QFETCH(QString, baud);
        QFETCH(int, portIndex);
        QFETCH(int, speedIndex);
        QFETCH(QString, portWritten);
        QFETCH(QString, baudWritten);
        Frame frame;
        frame.Set("Transfer", "Port", port);
        frame.Set("Transfer", "Baud", baud);
        frame.Open();
        frame.Dialog().LoadControls();
        QCOMPARE(frame.PortIndex(), portIndex);
        QCOMPARE(frame.SpeedIndex(), speedIndex);
        frame.Dialog().OKBtnClick();
        QCOMPARE(frame.Get("Transfer", "Port"), portWritten);
        QCOMPARE(frame.Get("Transfer", "Baud"), baudWritten);
    }

    void okWritesEverythingInOrderAndAppliesIt() {
        Frame frame;
        MainWindow& main = frame.Open();
        const QString chosen = frame.sandbox.Path(QStringLiteral("files/"));
        QDir().mkpath(chosen);
        QFile::remove(frame.sandbox.SettingsFile());
        frame.Dialog().LoadControls();
        frame.Control<QRadioButton>("PortButton4")->setChecked(true);
        frame.Control<QRadioButton>("SpeedButton2")->setChecked(true);
        frame.Control<QComboBox>("Device2Box")->setCurrentText(QStringLiteral("/dev/ttyACM0"));
        frame.Control<QComboBox>("Device4Box")->setCurrentText(QString()); // back to default
        frame.Check("CharStartBox", true);
        frame.Check("SoundBox", false);
        frame.Check("F5Box", true);
        frame.Check("KompBox", false);
        frame.Check("DelEmptyBox", true);
        frame.Check("ReversedBox", true);
        frame.Check("BkgndBox", false);
        frame.Check("ToolBarBox", false);
        frame.Check("DelTBox", false);
        frame.Control<QComboBox>("TextCombo")->setCurrentIndex(11);
        frame.Control<QComboBox>("BkgndCombo")->setCurrentIndex(14);
        frame.Control<QSpinBox>("RowUpDown")->setValue(3);
        frame.Dialog().GoToDirectory(chosen);
        frame.Dialog().OKBtnClick();

        const QString prefPath = QDir::cleanPath(chosen) + u'/';
        QCOMPARE(KeyLines(ReadBytes(frame.sandbox.SettingsFile())),
                 QStringList({"[Transfer]",
                              "Port=COM4",
                              "Baud=2400",
                              "Device1=/dev/ttyS0",
                              "Device2=/dev/ttyACM0",
                              "Device3=/dev/ttyS2",
                              "Device4=/dev/ttyS3",
                              "Compress=0",
                              "[CharTab]",
                              "AutoOn=1",
                              "[Misc]",
                              "Sound=0",
                              "EditMode=1",
                              "DeleteEmpty=1",
                              "ReversedBoxes=1",
                              "Background=0",
                              "ToolBar=0",
                              "AskDelTopic=0",
                              "TopicLine=3",
                              "PrefPath=" + prefPath,
                              "[Colors]",
                              "Text=11",
                              "Background=14",
                              "[Application]",
                              "Language=0"}));
        const TGlobal& global = Glob();
        QVERIFY(!global.Sound && global.EditMode && !global.Compress && global.DeleteEmpty);
        QVERIFY(!global.Background && !global.AskDelTopic);
        QCOMPARE(global.PrefPath, prefPath);
        QVERIFY(main.ToolBar()->isHidden());
        QVERIFY(main.Workspace()->background().texture().isNull());
    }

    void rootDirectoryKeepsItsOneSeparator() {
        Frame frame;
        frame.Open();
        frame.Dialog().LoadControls();
        frame.Dialog().GoToDirectory(QDir::rootPath());
        frame.Dialog().OKBtnClick();
        QCOMPARE(frame.Get("Misc", "PrefPath"), QStringLiteral("/"));
    }

    void englishRelabelsEveryWindowAtOnce() {
        Frame frame;
        MainWindow& main = frame.Open();
        DocumentWindow* named = main.NeueDatei1Click();
        QVERIFY(named->LoadFromFile(frame.Database(QStringLiteral("named.hp"))));
        DocumentWindow* unnamed = main.NeueDatei1Click();
        QCOMPARE(unnamed->Caption(), QStringLiteral("Ohne Name"));
        frame.Dialog().LoadControls();
        frame.Control<QRadioButton>("engRButt")->setChecked(true);
        frame.Dialog().OKBtnClick();
        QCOMPARE(Glob().Language, quint8(1));
        QCOMPARE(main.findChild<QMenu*>("Datei1")->title(), QStringLiteral("&File"));
        QCOMPARE(unnamed->Caption(), QStringLiteral("Unnamed"));
        QCOMPARE(named->Caption(), QStringLiteral("named.hp"));
        QCOMPARE(frame.Dialog().windowTitle(), QStringLiteral("Settings"));
        QCOMPARE(main.characterTable()->windowTitle(), QStringLiteral("Character-table"));
        QCOMPARE(frame.Control<QCheckBox>("SoundBox")->text(),
                 QStringLiteral("Messages with sound"));
    }

    // Only 0 and 1 are ever written; any other value, by hand or from elsewhere, is German.
    void unknownLanguageIsGerman_data() {
        QTest::addColumn<QString>("stored");
        for (const char* stored : {"2", "-1", "257"})
            QTest::newRow(stored) << QString::fromLatin1(stored);
    }
    void unknownLanguageIsGerman() {
        QFETCH(QString, stored);
        Frame frame;
        frame.Set("Application", "Language", stored);
        MainWindow& main = frame.Open();
        QCOMPARE(Glob().Language, quint8(0));
        QCOMPARE(main.findChild<QMenu*>("Datei1")->title(), QStringLiteral("&Datei"));
        frame.Dialog().LoadControls();
        QVERIFY(frame.Control<QRadioButton>("deuRButt")->isChecked());
    }

    void swappingRearrangesAndRecoloursEveryDocument() {
        Frame frame;
        MainWindow& main = frame.Open();
        const QList<DocumentWindow*> documents = {main.NeueDatei1Click(), main.NeueDatei1Click()};
        for (DocumentWindow* document : documents)
            QCOMPARE(document->DataBox()->parentWidget()->x(), 0);
        frame.Dialog().LoadControls();
        frame.Check("ReversedBox", true);
        frame.Control<QComboBox>("TextCombo")->setCurrentIndex(0);
        frame.Control<QComboBox>("BkgndCombo")->setCurrentIndex(14);
        frame.Dialog().OKBtnClick();
        for (DocumentWindow* document : documents) {
            QCOMPARE(document->DataBox()->parentWidget()->x(), 251);
            QCOMPARE(document->DataBox()->palette().color(QPalette::Text), QColor(Qt::black));
            QCOMPARE(document->TopicBox()->palette().color(QPalette::Base), QColor(Qt::white));
        }
        // A document made afterwards starts the same way.
        QCOMPARE(main.NeueDatei1Click()->DataBox()->parentWidget()->x(), 251);
    }

    void defaultAnsweredNoChangesNothing() {
        Frame frame;
        WriteBytes(frame.sandbox.SettingsFile(), kPrepared);
        MainWindow& main = frame.Open();
        Glob().Sound = true;
        const QByteArray before = ReadBytes(frame.sandbox.SettingsFile());
        frame.Dialog().LoadControls();
        frame.Check("KompBox", true); // not saved
        frame.prompter.answers = {MsgButton::No};
        frame.Dialog().DefBtnClick();
        QCOMPARE(frame.prompter.ShownIds(), QList<quint16>{1165});
        QCOMPARE(frame.prompter.shown[0].buttons,
                 QList<MsgButton>({MsgButton::Yes, MsgButton::No}));
        QCOMPARE(frame.prompter.shown[0].icon, MsgIcon::Warning);
        QCOMPARE(frame.prompter.beeps, QList<Beep>{Beep::Exclamation});
        QCOMPARE(frame.Dialog().result(), SettingsDialog::kDefaultResult);
        QCOMPARE(ReadBytes(frame.sandbox.SettingsFile()), before);
        QVERIFY(!Glob().DefaultsRestored);
        QVERIFY(main.isVisible());
    }

    void defaultAnsweredYesResetsAndEnds() {
        Frame frame;
        WriteBytes(frame.sandbox.SettingsFile(), kPrepared);
        frame.Set("Files", "1", QStringLiteral("/d/kept"));
        frame.Set("Instal", "Font", QStringLiteral("1"));
        MainWindow& main = frame.Open();
        main.characterTable()->move(12, 34);
        main.scanDialog()->move(12, 34);
        frame.prompter.answers = {MsgButton::Yes};
        frame.Dialog().DefBtnClick();
        QVERIFY(Glob().DefaultsRestored);
        QVERIFY(!main.isVisible()); // the program ends
        frame.main.reset();
        const QSize screen = QGuiApplication::primaryScreen()->size();
        for (auto [section, key, value] :
             {std::tuple{"Misc", "Sound", QStringLiteral("1")},
              {"Misc", "ToolBar", QStringLiteral("1")},
              {"Transfer", "Port", QStringLiteral("COM2")},
              {"Colors", "Text", QStringLiteral("1")},
              {"Application", "Language", QStringLiteral("1")}, // the language in use stays
              {"CharTab", "Left", QString::number(screen.width() / 2 - 370)},
              {"Scan", "Left", QString::number((screen.width() - 377) / 2)},
              {"Files", "1", QStringLiteral("/d/kept")},
              {"Instal", "Font", QStringLiteral("1")}})
            QCOMPARE(frame.Get(section, key), value);
    }

    void theCommandRunsTheDialogModally() {
        Frame frame;
        MainWindow& main = frame.Open();
        frame.Set("Misc", "Sound", QStringLiteral("1"));
        QTimer::singleShot(0, &main, [&frame] {
            QVERIFY(frame.Dialog().isVisible());
            frame.Check("SoundBox", false);
            frame.Control<QPushButton>("OKBtn")->click();
        });
        main.findChild<QAction*>("Einstellungen1")->trigger();
        QVERIFY(!frame.Dialog().isVisible());
        QCOMPARE(frame.Get("Misc", "Sound"), QStringLiteral("0"));

        // Cancel writes nothing, and the page shown stays for the next opening.
        const QByteArray before = ReadBytes(frame.sandbox.SettingsFile());
        QTimer::singleShot(0, &main, [&frame] {
            frame.Control<QTabWidget>("PageControl1")->setCurrentIndex(5);
            frame.Check("SoundBox", true);
            frame.Control<QPushButton>("CancelBtn")->click();
        });
        main.findChild<QAction*>("Einstellungen1")->trigger();
        QCOMPARE(ReadBytes(frame.sandbox.SettingsFile()), before);
        QCOMPARE(frame.Dialog().HelpContext(), QStringLiteral("iopar"));

        // The dialog's position goes back at exit.
        frame.Dialog().move(111, 222);
        QVERIFY(main.close());
        QCOMPARE(frame.Get("Misc", "Left"), QStringLiteral("111"));
        QCOMPARE(frame.Get("Misc", "Top"), QStringLiteral("222"));
    }

    void helpOpensAtThePageShown() {
        Frame frame;
        frame.Set("Application", "Language", QStringLiteral("1"));
        frame.Open();
        frame.Control<QTabWidget>("PageControl1")->setCurrentIndex(3);
        frame.Control<QPushButton>("HelpBtn")->click();
        QVERIFY(HelpWindow::Instance());
        QVERIFY(HelpWindow::Instance()->isVisible());
        QCOMPARE(HelpWindow::Instance()->Browser()->source().fragment(),
                 QStringLiteral("en-color"));
    }

    void unreadableVolumeLeavesBothListsAlone() {
        Frame frame;
        frame.Open();
        frame.Dialog().LoadControls();
        const QString before = frame.Dialog().CurrentDirectory();
        auto* drives = frame.Control<QComboBox>("LWBox");
        const QString drive = drives->currentText();
        drives->addItem(QStringLiteral("/gone"), frame.sandbox.Root() + QStringLiteral("/gone"));
        frame.Dialog().LWBoxChange(drives->count() - 1);
        QCOMPARE(frame.Dialog().CurrentDirectory(), before);
        QCOMPARE(drives->currentText(), drive);
        QVERIFY(frame.prompter.shown.isEmpty());
    }

    void serialDevicesPresent() {
        Sandbox sandbox;
        const QString dev = sandbox.Path(QStringLiteral("dev/"));
        const QString tty = sandbox.Path(QStringLiteral("sys/"));
        for (const char* name :
             {"ttyS0", "ttyS1", "ttyS10", "ttyS2", "ttyUSB0", "ttyACM1", "tty0", "console"})
            WriteBytes(dev + QLatin1String(name), QByteArray());
        WriteBytes(sandbox.Path(QStringLiteral("sys/ttyS1/type")), "0\n"); // no UART
        WriteBytes(sandbox.Path(QStringLiteral("sys/ttyS2/type")), "4\n");
        QCOMPARE(SettingsDialog::SerialDevices(dev, tty),
                 QStringList({dev + "ttyACM1", dev + "ttyS0", dev + "ttyS2", dev + "ttyS10",
                              dev + "ttyUSB0"}));
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
