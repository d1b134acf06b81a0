#include "Sandbox.h"
#include "ScriptedPrompter.h"
#include "platform/CompanionFiles.h"
#include "platform/Paths.h"
#include "platform/ReceivedCopies.h"
#include "platform/SerialDevices.h"
#include "platform/StringTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTest>

namespace {

constexpr QFile::Permissions kPrivate = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// The sandbox puts OMBREL_PROGDIR back; PATH is put back here.
class ProgramDirs {
  public:
    explicit ProgramDirs(const Sandbox& sandbox)
        : progDir(sandbox.path(QStringLiteral("prog/"))),
          pathDir(sandbox.path(QStringLiteral("bin/"))), savedPath_(qgetenv("PATH")) {
        qputenv("OMBREL_PROGDIR", QFile::encodeName(progDir));
        qputenv("PATH", QFile::encodeName(pathDir));
    }
    ~ProgramDirs() { qputenv("PATH", savedPath_); }

    const QString progDir;
    const QString pathDir;

  private:
    QByteArray savedPath_;
};

void makeProgram(const QString& fileName, bool executable) {
    writeBytes(fileName, "#!/bin/sh\n");
    QFile::setPermissions(fileName, executable ? kPrivate : QFile::ReadOwner | QFile::WriteOwner);
}

QFile::Permissions ownerGroupOther(const QString& directory) {
    return QFile::permissions(directory) & 0x7077; // without the "current user" bits
}

} // namespace

class TestPaths : public QObject {
    Q_OBJECT

  private slots:
    void showMessageKinds_data();
    void showMessageKinds();
    void textFollowsLanguage();
    void programFileTable();
    void kermitProgram();
    void transferFilesInPrivateWorkDir();
    void receivedFilesKeepTheLast();
    void serialDevicesPresent_data();
    void serialDevicesPresent();
    void programDirectory();
};

void TestPaths::showMessageKinds_data() {
    QTest::addColumn<MessageKind>("kind");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<int>("language");
    QTest::addColumn<MsgIcon>("icon");
    QTest::addColumn<MsgButton>("button");
    QTest::addColumn<QList<Beep>>("beeps");
    QTest::newRow("error") << MessageKind::Error << true << 1 << MsgIcon::Error << MsgButton::Cancel
                           << QList<Beep>({Beep::Hand});
    QTest::newRow("silent error") << MessageKind::Error << false << 0 << MsgIcon::Error
                                  << MsgButton::Cancel << QList<Beep>();
    QTest::newRow("information") << MessageKind::Information << true << 0 << MsgIcon::Information
                                 << MsgButton::Ok << QList<Beep>({Beep::Asterisk});
    QTest::newRow("silent information") << MessageKind::Information << false << 1
                                        << MsgIcon::Information << MsgButton::Ok << QList<Beep>();
}

void TestPaths::showMessageKinds() {
    QFETCH(MessageKind, kind);
    QFETCH(bool, sound);
    QFETCH(int, language);
    QFETCH(MsgIcon, icon);
    QFETCH(MsgButton, button);
    QFETCH(QList<Beep>, beeps);
    strings::setLanguage(language);
    ScriptedPrompter prompter;
    prompter.setSoundOn(sound);

    prompter.showMessage(1115, kind);

    QCOMPARE(prompter.shownIds(), QList<quint16>({1115}));
    QCOMPARE(prompter.shown[0].text, strings::byId(static_cast<quint16>(1115 + language)));
    QCOMPARE(prompter.shown[0].icon, icon);
    QCOMPARE(prompter.shown[0].buttons, QList<MsgButton>({button}));
    QCOMPARE(prompter.beeps, beeps);
    QCOMPARE(int(Beep::Hand), 16);
    QCOMPARE(int(Beep::Asterisk), 64);
}

void TestPaths::textFollowsLanguage() {
    strings::setLanguage(strings::kGerman);
    QCOMPARE(strings::text(1160), QStringLiteral("Es läuft schon eine Instanz von Ombrel !"));
    strings::setLanguage(strings::kEnglish);
    QCOMPARE(strings::text(1160),
             QStringLiteral("There is already running an instance of Ombrel !"));
    QCOMPARE(strings::text(320), QString()); // no entry
    strings::setLanguage(7);                 // anything else is German
    QCOMPARE(strings::language(), strings::kGerman);
}

void TestPaths::programFileTable() {
    Sandbox sandbox;
    const ProgramDirs dirs(sandbox);
    QStringList names;
    QList<int> leftovers, required, withoutCounterpart;
    for (int number = 1; number <= programfiles::kCount; ++number) {
        names.append(programfiles::name(number));
        if (programfiles::isLeftover(number))
            leftovers.append(number);
        if (programfiles::isRequired(number))
            required.append(number);
        if (!programfiles::hasCounterpart(number) && programfiles::path(number).isEmpty())
            withoutCounterpart.append(number);
    }
    QCOMPARE(names, QStringList({"hp48.ttf", "~recv.tmp", "~send.tmp", "~task.tmp", "kermit.pif",
                                 "kermit.exe", "kermit.dos", "omhelp.hlp", "omhelp.cnt",
                                 "tarvo.lib", "omhelp.gid", "file_id.diz"}));
    QCOMPARE(leftovers, QList<int>({2, 3, 4, 5}));
    QCOMPARE(required, QList<int>({6, 8})); // the Kermit program and the help file
    QCOMPARE(withoutCounterpart, QList<int>({5, 7, 9, 11}));
    QCOMPARE(programfiles::path(programfiles::kFont), dirs.progDir + "HP48.TTF");
    QCOMPARE(programfiles::path(programfiles::kHelp), dirs.progDir + "omhelp.html");
    QCOMPARE(programfiles::path(programfiles::kTarvoLibrary), dirs.progDir + "tarvo.lib");
    QCOMPARE(programfiles::path(programfiles::kDescription), dirs.progDir + "file_id.diz");
}

void TestPaths::kermitProgram() {
    Sandbox sandbox;
    const ProgramDirs dirs(sandbox);
    QCOMPARE(programfiles::path(programfiles::kKermit), QString()); // none anywhere

    makeProgram(dirs.pathDir + "kermit", true);
    QCOMPARE(programfiles::path(programfiles::kKermit), dirs.pathDir + "kermit");
    makeProgram(dirs.progDir + "kermit", true);
    QCOMPARE(programfiles::path(programfiles::kKermit), dirs.progDir + "kermit");
    makeProgram(dirs.progDir + "kermit", false); // present but not executable
    QCOMPARE(programfiles::path(programfiles::kKermit), dirs.pathDir + "kermit");
}

void TestPaths::transferFilesInPrivateWorkDir() {
    Sandbox sandbox;
    const ProgramDirs dirs(sandbox);
    const QString workDir = sandbox.runtimeDir() + QStringLiteral("/ombrel/");
    QCOMPARE(programfiles::path(programfiles::kReceiveFile), workDir + "~recv.tmp");
    QCOMPARE(programfiles::path(programfiles::kSendFile), workDir + "~send.tmp");
    QCOMPARE(programfiles::path(programfiles::kTaskFile), workDir + "~task.tmp");
    QCOMPARE(ownerGroupOther(workDir), kPrivate);

    qunsetenv("XDG_RUNTIME_DIR"); // the sandbox puts it back
    const QString cacheWorkDir = sandbox.root() + QStringLiteral("/cache/ombrel/");
    QCOMPARE(programfiles::path(programfiles::kSendFile), cacheWorkDir + "~send.tmp");
    QCOMPARE(ownerGroupOther(cacheWorkDir), kPrivate);
}

// Each received file is kept as it came in a private folder, named by its arrival, two in one
// second side by side; past the limit the oldest go, and a limit of 0 keeps none.
void TestPaths::receivedFilesKeepTheLast() {
    Sandbox sandbox;
    const QString file = sandbox.path(QStringLiteral("~recv.tmp"));
    const QDateTime first(QDate(2026, 12, 8), QTime(9, 15, 3));
    QStringList kept;
    for (const QDateTime& arrived : {first, first, first.addSecs(60), first.addDays(1)}) {
        writeBytes(file,
                   "received " + arrived.toString().toUtf8() + QByteArray::number(kept.size()));
        kept.append(received::keep(file, 3, arrived));
        QCOMPARE(readBytes(kept.last()), readBytes(file));
    }
    const QString folder = sandbox.root() + QStringLiteral("/data/ombrel/received/");
    QCOMPARE(kept.first(), folder + "2026-12-08_09-15-03.hp");
    QCOMPARE(kept[1], folder + "2026-12-08_09-15-03_02.hp");
    QCOMPARE(ownerGroupOther(folder), kPrivate);
    QVERIFY(!QFileInfo::exists(kept.first()));
    QStringList listed;
    for (const received::Copy& copy : received::copies())
        listed.append(copy.path);
    QCOMPARE(listed, (QStringList{kept[3], kept[2], kept[1]}));
    QCOMPARE(received::copies().first().arrived, first.addDays(1));
    QCOMPARE(received::copies().first().size, QFileInfo(file).size());

    QCOMPARE(received::keep(file, 0, first.addDays(2)), QString());
    QCOMPARE(received::copies().size(), 3);
    received::prune(1);
    QCOMPARE(received::copies().size(), 1);
}

void TestPaths::programDirectory() {
    Sandbox sandbox;
    qunsetenv("OMBREL_PROGDIR");
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    QCOMPARE(paths::progDir(), executable.canonicalPath() + u'/');

    sandbox.path(QStringLiteral("elsewhere/x"));
    qputenv("OMBREL_PROGDIR", QFile::encodeName(sandbox.root() + QStringLiteral("/elsewhere")));
    QCOMPARE(paths::progDir(), sandbox.root() + QStringLiteral("/elsewhere/"));
    QCOMPARE(paths::settingsFile(), sandbox.settingsFile());
}

// A layout of devices below a root: "path" an empty file, "path=text" a file holding the text,
// "path -> target" a link.
void TestPaths::serialDevicesPresent_data() {
    QTest::addColumn<QStringList>("layout");
    QTest::addColumn<QStringList>("expected"); // "path" or "path<TAB>name", below the root
    QTest::newRow("ports with and without a UART")
        << QStringList({"dev/ttyS0", "dev/ttyS1", "dev/ttyS10", "dev/ttyS2", "dev/ttyUSB0",
                        "dev/ttyACM1", "dev/tty0", "dev/console", "sys/class/tty/ttyS1/type=0",
                        "sys/class/tty/ttyS2/type=4"})
        << QStringList({"dev/ttyACM1", "dev/ttyS0", "dev/ttyS2", "dev/ttyS10", "dev/ttyUSB0"});
    QTest::newRow("an adapter named by the kernel, once")
        << QStringList(
               {"dev/ttyUSB0", "dev/ttyACM0",
                "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A9X1-if00-port0 -> "
                "../../ttyUSB0",
                "sys/devices/usb1/1-1/product=FT232R USB UART",
                "sys/devices/usb1/1-1/manufacturer=FTDI",
                "sys/devices/usb1/1-1/1-1:1.0/ttyUSB0/dev=188:0",
                "sys/class/tty/ttyUSB0/device -> ../../../devices/usb1/1-1/1-1:1.0/ttyUSB0"})
        << QStringList({"dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A9X1-if00-port0\t"
                        "FTDI FT232R USB UART (ttyUSB0)",
                        "dev/ttyACM0"});
    QTest::newRow("names from the links alone, a link without its device left out")
        << QStringList(
               {"dev/ttyUSB0", "dev/ttyUSB1", "dev/ttyACM0",
                "dev/serial/by-id/usb-Silicon_Labs_CP2102_USB_to_UART_Bridge_0001-if00-port0 -> "
                "../../ttyUSB0",
                "dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0 "
                "-> ../../ttyUSB1",
                "dev/serial/by-id/usb-1a86_USB2.0-Serial-if00-port0 -> ../../ttyACM0",
                "dev/serial/by-id/usb-Gone_Adapter_77-if00-port0 -> ../../ttyUSB9"})
        << QStringList({"dev/serial/by-id/usb-1a86_USB2.0-Serial-if00-port0\t"
                        "1a86 USB2.0-Serial (ttyACM0)",
                        "dev/serial/by-id/"
                        "usb-Prolific_Technology_Inc._USB-Serial_Controller-if00-port0\t"
                        "Prolific Technology Inc. USB-Serial Controller (ttyUSB1)",
                        "dev/serial/by-id/usb-Silicon_Labs_CP2102_USB_to_UART_Bridge_0001-if00-"
                        "port0\tSilicon Labs CP2102 USB to UART Bridge (ttyUSB0)"});
}

void TestPaths::serialDevicesPresent() {
    QFETCH(QStringList, layout);
    QFETCH(QStringList, expected);
    Sandbox sandbox;
    const QString root = sandbox.path(QStringLiteral("root/"));
    for (const QString& entry : layout) {
        const qsizetype arrow = entry.indexOf(QLatin1String(" -> "));
        const qsizetype equals = entry.indexOf(u'=');
        if (arrow > 0) {
            const QString link = root + entry.left(arrow);
            QDir().mkpath(QFileInfo(link).path());
            QVERIFY(QFile::link(entry.mid(arrow + 4), link));
        } else {
            writeBytes(root + entry.left(equals), equals > 0 ? entry.mid(equals + 1).toUtf8() : "");
        }
    }
    QStringList found;
    for (const SerialDevice& device : listSerialDevices(
             {root + QStringLiteral("dev"), root + QStringLiteral("sys/class/tty")})) {
        const QString path = device.path.mid(root.size());
        found.append(device.name.isEmpty() ? path : path + u'\t' + device.name);
    }
    QCOMPARE(found, expected);
}

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
