#include "EnvironmentOverride.h"
#include "ProgramFrame.h"
#include "Sandbox.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompter.h"
#include "gui/DataBox.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/TopicList.h"
#include "gui/dialogs/CharacterTable.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/ScanDialog.h"
#include "gui/dialogs/SettingsDialog.h"
#include "platform/Preferences.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

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
#include <QSpinBox>
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
                         "Translation=2\n"
                         "Calculator=49\n"
                         "[Colors]\n"
                         "Text=4\n"
                         "Background=13\n"
                         "[Application]\n"
                         "Language=1\n";

struct Frame : ProgramFrame {
    Frame() { useProgramDirectory(); }
    SettingsDialog& dialog() const { return main->settingsDialog(); }
    template <typename T> T* control(const char* name) const {
        T* control = dialog().findChild<T*>(QLatin1String(name));
        if (!control)
            qFatal("no control %s", name);
        return control;
    }
    bool checked(const char* name) const { return control<QCheckBox>(name)->isChecked(); }
    void check(const char* name, bool on) const { control<QCheckBox>(name)->setChecked(on); }
    int portIndex() const { return control<QRadioButton>("port1")->group()->checkedId(); }
    int speedIndex() const { return control<QRadioButton>("speed1200")->group()->checkedId(); }
    QString database(const QString& name) const {
        const QString path = sandbox.path(QStringLiteral("db/") + name);
        writeBytes(path, kOneTopic);
        return path;
    }
};

// The lines of a settings file that hold a key, in file order.
QStringList keyLines(const QByteArray& file) {
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
    void pagesHelpAndFirstValues() {
        Frame frame;
        frame.open();
        auto* pages = frame.control<QTabWidget>("pages");
        const QStringList contexts = {"prog", "ask", "lay", "color", "lang", "iopar", "pfad"};
        QCOMPARE(pages->count(), 7);
        for (int i = 0; i < 7; ++i) {
            pages->setCurrentIndex(i);
            QCOMPARE(frame.dialog().helpContext(), contexts[i]);
        }
        // First made: COM 2 and 9600.
        QCOMPARE(frame.portIndex(), 1);
        QCOMPARE(frame.speedIndex(), 3);
        auto* colours = frame.control<QComboBox>("textColour");
        QCOMPARE(colours->count(), 15);
        QCOMPARE(colours->maxVisibleItems(), 6);
        QVERIFY(frame.control<QLineEdit>("topicRowText")->isReadOnly());
    }

    void loadsEveryControlFromTheSettings() {
        Frame frame;
        writeBytes(frame.sandbox.settingsFile(), kPrepared);
        frame.open();
        const QString preferred = frame.sandbox.path(QStringLiteral("pref/sub/"));
        QDir().mkpath(preferred);
        frame.preferences.preferredPath = preferred;
        frame.dialog().loadControls();
        QCOMPARE(frame.portIndex(), 2);
        QCOMPARE(frame.speedIndex(), 1);
        for (const char* on :
             {"characterTableOnStart", "quickEdit", "swapBoxes", "deleteEmptyTopics"})
            QVERIFY2(frame.checked(on), on);
        for (const char* off :
             {"askDeleteTopic", "sound", "compress", "toolBar", "backgroundPicture"})
            QVERIFY2(!frame.checked(off), off);
        QCOMPARE(frame.control<QSpinBox>("topicRow")->value(), 5);
        QCOMPARE(frame.control<QComboBox>("textColour")->currentIndex(), 4);
        QCOMPARE(frame.control<QComboBox>("backgroundColour")->currentIndex(), 13);
        QVERIFY(frame.control<QRadioButton>("english")->isChecked());
        QVERIFY(frame.control<QRadioButton>("newFilesAsCodes")->isChecked());
        QVERIFY(frame.control<QRadioButton>("calculatorHp49")->isChecked());
        QCOMPARE(frame.control<QComboBox>("device1")->currentText(), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(frame.control<QComboBox>("device3")->currentText(),
                 QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(frame.dialog().currentDirectory(), QDir::cleanPath(preferred));
        QCOMPARE(frame.control<QLabel>("directoryLabel")->text(), QDir::cleanPath(preferred));
        auto* tree = frame.control<QTreeView>("directoryTree");
        QTRY_COMPARE(static_cast<QFileSystemModel*>(tree->model())->filePath(tree->currentIndex()),
                     QDir::cleanPath(preferred));
        QVERIFY(!frame.control<QComboBox>("driveList")->currentText().isEmpty());
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
        QTest::newRow("a device's path") << "/dev/serial/by-id/usb-FTDI_A1-if00"
                                         << "9600" << 4 << 3 << "/dev/serial/by-id/usb-FTDI_A1-if00"
                                         << "9600";
    }
    void portAndBaudRules() {
        QFETCH(QString, port);
        QFETCH(QString, baud);
        QFETCH(int, portIndex);
        QFETCH(int, speedIndex);
        QFETCH(QString, portWritten);
        QFETCH(QString, baudWritten);
        Frame frame;
        frame.set("Transfer", "Port", port);
        frame.set("Transfer", "Baud", baud);
        frame.open();
        frame.dialog().loadControls();
        QCOMPARE(frame.portIndex(), portIndex);
        QCOMPARE(frame.speedIndex(), speedIndex);
        frame.dialog().applySettings();
        QCOMPARE(frame.get("Transfer", "Port"), portWritten);
        QCOMPARE(frame.get("Transfer", "Baud"), baudWritten);
    }

    // While the I/O page is shown, a device plugged in joins the list; a path typed is chosen
    // and stored as it is, a device picked by its name as its path.
    void ioPageFollowsTheDevicesAndStoresAPath() {
        Frame frame;
        const QString root = frame.sandbox.path(QStringLiteral("devices/"));
        writeBytes(root + QStringLiteral("dev/ttyS0"), {});
        const EnvironmentOverride devices("OMBREL_DEVICE_ROOT", QFile::encodeName(root));
        frame.open();
        frame.dialog().loadControls();
        frame.control<QTabWidget>("pages")->setCurrentWidget(frame.control<QWidget>("ioPage"));
        frame.dialog().show();
        auto* device = frame.control<QComboBox>("device");
        QCOMPARE(device->findData(root + QStringLiteral("dev/ttyACM0")), -1);
        writeBytes(root + QStringLiteral("dev/ttyACM0"), {});
        QTRY_VERIFY_WITH_TIMEOUT(device->findData(root + QStringLiteral("dev/ttyACM0")) >= 0, 3000);

        const QString typed = frame.sandbox.path(QStringLiteral("emulator/pty"));
        device->lineEdit()->selectAll();
        QTest::keyClicks(device->lineEdit(), typed);
        QCOMPARE(frame.portIndex(), 4);
        frame.dialog().applySettings();
        QCOMPARE(frame.get("Transfer", "Port"), typed);

        device->setCurrentIndex(device->findData(root + QStringLiteral("dev/ttyACM0")));
        frame.dialog().applySettings();
        QCOMPARE(frame.get("Transfer", "Port"), root + QStringLiteral("dev/ttyACM0"));
        frame.dialog().hide();
    }

    void okWritesEverythingInOrderAndAppliesIt() {
        Frame frame;
        MainWindow& main = frame.open();
        const QString chosen = frame.sandbox.path(QStringLiteral("files/"));
        QDir().mkpath(chosen);
        QFile::remove(frame.sandbox.settingsFile());
        frame.dialog().loadControls();
        frame.control<QRadioButton>("port4")->setChecked(true);
        frame.control<QRadioButton>("speed2400")->setChecked(true);
        frame.control<QComboBox>("device2")->setCurrentText(QStringLiteral("/dev/ttyACM0"));
        frame.control<QComboBox>("device4")->setCurrentText(QString()); // back to default
        frame.check("characterTableOnStart", true);
        frame.check("sound", false);
        frame.check("quickEdit", true);
        frame.check("compress", false);
        frame.check("deleteEmptyTopics", true);
        frame.check("swapBoxes", true);
        frame.check("backgroundPicture", false);
        frame.check("toolBar", false);
        frame.check("askDeleteTopic", false);
        frame.control<QComboBox>("textColour")->setCurrentIndex(11);
        frame.control<QComboBox>("backgroundColour")->setCurrentIndex(14);
        frame.control<QSpinBox>("topicRow")->setValue(3);
        frame.control<QRadioButton>("newFilesAsCodes")->setChecked(true);
        frame.control<QRadioButton>("calculatorHp49")->setChecked(true);
        frame.dialog().goToDirectory(chosen);
        const QString file = frame.sandbox.path(QStringLiteral("nbsp.hp"));
        writeBytes(file, "%%HP: T(1)A(R)F(,);\r\n{ {\"\xa0x\"}}");
        DocumentWindow* open = main.openDocument(file, Workspace::RecentFiles::Skip);
        frame.dialog().applySettings();

        const QString prefPath = QDir::cleanPath(chosen) + u'/';
        QCOMPARE(keyLines(readBytes(frame.sandbox.settingsFile())),
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
                              "Translation=3",
                              "Calculator=49",
                              "PrefPath=" + prefPath,
                              "[Colors]",
                              "Text=11",
                              "Background=14",
                              "[Application]",
                              "Language=0"}));
        const Preferences& applied = frame.preferences;
        QVERIFY(!applied.sound && applied.editMode && !applied.compress && applied.deleteEmpty);
        QVERIFY(!applied.background && !applied.askDelTopic);
        QCOMPARE(applied.preferredPath, prefPath);
        QVERIFY(applied.hp49 && applied.newTranslation == 3);
        // Code 160 shows as the HP49's euro sign at once, and stays code 160.
        QCOMPARE(topicListOf(open)->item(0)->text(), QStringLiteral(u"\u20ACx"));
        QCOMPARE(dataBoxOf(open)->toPlainText(), QStringLiteral(u"\u20ACx"));
        QVERIFY(!dataBoxOf(open)->hasTypedText()); // closing asks nothing
        QCOMPARE(main.newDocument()->document().header().translation, 3);
        QVERIFY(main.findChild<QToolBar*>(QStringLiteral("toolBar"))->isHidden());
        QVERIFY(frame.workspace()->background().texture().isNull());
    }

    void rootDirectoryKeepsItsOneSeparator() {
        Frame frame;
        frame.open();
        frame.dialog().loadControls();
        frame.dialog().goToDirectory(QDir::rootPath());
        frame.dialog().applySettings();
        QCOMPARE(frame.get("Misc", "PrefPath"), QStringLiteral("/"));
    }

    void englishRelabelsEveryWindowAtOnce() {
        Frame frame;
        MainWindow& main = frame.open();
        DocumentWindow* named = main.newDocument();
        QVERIFY(named->loadFromFile(frame.database(QStringLiteral("named.hp"))));
        DocumentWindow* unnamed = main.newDocument();
        QCOMPARE(unnamed->caption(), QStringLiteral("Ohne Name"));
        frame.dialog().loadControls();
        frame.control<QRadioButton>("english")->setChecked(true);
        frame.dialog().applySettings();
        QCOMPARE(strings::language(), strings::kEnglish);
        QCOMPARE(main.findChild<QMenu*>("fileMenu")->title(), QStringLiteral("&File"));
        QCOMPARE(unnamed->caption(), QStringLiteral("Unnamed"));
        QCOMPARE(named->caption(), QStringLiteral("named.hp"));
        QCOMPARE(frame.dialog().windowTitle(), QStringLiteral("Settings"));
        QCOMPARE(main.characterTable().windowTitle(), QStringLiteral("Character-table"));
        QCOMPARE(frame.control<QCheckBox>("sound")->text(), QStringLiteral("Messages with sound"));
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
        frame.set("Application", "Language", stored);
        MainWindow& main = frame.open();
        QCOMPARE(strings::language(), strings::kGerman);
        QCOMPARE(main.findChild<QMenu*>("fileMenu")->title(), QStringLiteral("&Datei"));
        frame.dialog().loadControls();
        QVERIFY(frame.control<QRadioButton>("german")->isChecked());
    }

    void swappingRearrangesAndRecoloursEveryDocument() {
        Frame frame;
        MainWindow& main = frame.open();
        const QList<DocumentWindow*> documents = {main.newDocument(), main.newDocument()};
        for (DocumentWindow* document : documents)
            QCOMPARE(dataBoxOf(document)->parentWidget()->x(), 0);
        frame.dialog().loadControls();
        frame.check("swapBoxes", true);
        frame.control<QComboBox>("textColour")->setCurrentIndex(0);
        frame.control<QComboBox>("backgroundColour")->setCurrentIndex(14);
        frame.dialog().applySettings();
        for (DocumentWindow* document : documents) {
            QCOMPARE(dataBoxOf(document)->parentWidget()->x(), 251);
            QCOMPARE(dataBoxOf(document)->palette().color(QPalette::Text), QColor(Qt::black));
            QCOMPARE(topicListOf(document)->palette().color(QPalette::Base), QColor(Qt::white));
        }
        // A document made afterwards starts the same way.
        QCOMPARE(dataBoxOf(main.newDocument())->parentWidget()->x(), 251);
    }

    void defaultAnsweredNoChangesNothing() {
        Frame frame;
        writeBytes(frame.sandbox.settingsFile(), kPrepared);
        MainWindow& main = frame.open();
        frame.prompter.setSoundOn(true);
        const QByteArray before = readBytes(frame.sandbox.settingsFile());
        frame.dialog().loadControls();
        frame.check("compress", true); // not saved
        frame.prompter.answers = {MsgButton::No};
        frame.dialog().restoreDefaults();
        QCOMPARE(frame.prompter.shownIds(), QList<quint16>{1165});
        QCOMPARE(frame.prompter.shown[0].buttons,
                 QList<MsgButton>({MsgButton::Yes, MsgButton::No}));
        QCOMPARE(frame.prompter.shown[0].icon, MsgIcon::Warning);
        QCOMPARE(frame.prompter.beeps, QList<Beep>{Beep::Exclamation});
        QCOMPARE(frame.dialog().result(), SettingsDialog::kDefaultResult);
        QCOMPARE(readBytes(frame.sandbox.settingsFile()), before);
        QVERIFY(main.isVisible());
    }

    void defaultAnsweredYesResetsAndEnds() {
        Frame frame;
        writeBytes(frame.sandbox.settingsFile(), kPrepared);
        frame.set("Files", "1", QStringLiteral("/d/kept"));
        frame.set("Instal", "Font", QStringLiteral("1"));
        MainWindow& main = frame.open();
        main.characterTable().move(12, 34);
        main.scanDialog().move(12, 34);
        frame.prompter.answers = {MsgButton::Yes};
        frame.dialog().restoreDefaults();
        QVERIFY(!main.isVisible()); // the program ends
        frame.main.reset();
        const QSize screen = QGuiApplication::primaryScreen()->size();
        for (auto [section, key, value] :
             {std::tuple{"Misc", "Sound", QStringLiteral("1")},
              {"Misc", "toolBar", QStringLiteral("1")},
              {"Transfer", "Port", QStringLiteral("COM2")},
              {"Colors", "Text", QStringLiteral("1")},
              {"Application", "Language", QStringLiteral("1")}, // the language in use stays
              {"CharTab", "Left", QString::number(screen.width() / 2 - 370)},
              {"Scan", "Left", QString::number((screen.width() - 377) / 2)},
              {"Files", "1", QStringLiteral("/d/kept")},
              {"Instal", "Font", QStringLiteral("1")}})
            QCOMPARE(frame.get(section, key), value);
    }

    void theCommandRunsTheDialogModally() {
        Frame frame;
        MainWindow& main = frame.open();
        frame.set("Misc", "Sound", QStringLiteral("1"));
        QTimer::singleShot(0, &main, [&frame] {
            QVERIFY(frame.dialog().isVisible());
            frame.check("sound", false);
            frame.control<QPushButton>("okButton")->click();
        });
        main.findChild<QAction*>("settings")->trigger();
        QVERIFY(!frame.dialog().isVisible());
        QCOMPARE(frame.get("Misc", "Sound"), QStringLiteral("0"));

        // Cancel writes nothing, and the page shown stays for the next opening.
        const QByteArray before = readBytes(frame.sandbox.settingsFile());
        QTimer::singleShot(0, &main, [&frame] {
            frame.control<QTabWidget>("pages")->setCurrentIndex(5);
            frame.check("sound", true);
            frame.control<QPushButton>("cancelButton")->click();
        });
        main.findChild<QAction*>("settings")->trigger();
        QCOMPARE(readBytes(frame.sandbox.settingsFile()), before);
        QCOMPARE(frame.dialog().helpContext(), QStringLiteral("iopar"));

        // The dialog's position goes back at exit.
        frame.dialog().move(111, 222);
        QVERIFY(main.close());
        QCOMPARE(frame.get("Misc", "Left"), QStringLiteral("111"));
        QCOMPARE(frame.get("Misc", "Top"), QStringLiteral("222"));
    }

    void helpOpensAtThePageShown() {
        Frame frame;
        frame.set("Application", "Language", QStringLiteral("1"));
        frame.open();
        frame.control<QTabWidget>("pages")->setCurrentIndex(3);
        frame.control<QPushButton>("helpButton")->click();
        QVERIFY(HelpWindow::instance());
        QVERIFY(HelpWindow::instance()->isVisible());
        QCOMPARE(HelpWindow::instance()->findChild<QTextBrowser*>()->source().fragment(),
                 QStringLiteral("en-color"));
    }

    void unreadableVolumeLeavesBothListsAlone() {
        Frame frame;
        frame.open();
        frame.dialog().loadControls();
        const QString before = frame.dialog().currentDirectory();
        auto* drives = frame.control<QComboBox>("driveList");
        const QString drive = drives->currentText();
        drives->addItem(QStringLiteral("/gone"), frame.sandbox.root() + QStringLiteral("/gone"));
        frame.dialog().showDriveDirectories(drives->count() - 1);
        QCOMPARE(frame.dialog().currentDirectory(), before);
        QCOMPARE(drives->currentText(), drive);
        QVERIFY(frame.prompter.shown.isEmpty());
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
