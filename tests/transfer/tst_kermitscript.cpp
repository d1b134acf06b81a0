// The Kermit take script as text: its lines for each mode, and how values are written into it
// so that Kermit reads them back unchanged and nothing in them becomes a command. That Kermit
// really reads them so is shown against Kermit itself in tests/e2e.

#include "Sandbox.h"
#include "platform/Settings.h"
#include "platform/SettingsFile.h"
#include "transfer/KermitScript.h"

#include <QTest>

namespace {

kermit::ScriptValues valuesFor(TransferMode mode) {
    kermit::ScriptValues values;
    values.mode = mode;
    values.device = QStringLiteral("/dev/ttyS1");
    values.baud = QStringLiteral("9600");
    values.parity = QStringLiteral("none");
    values.retries = QStringLiteral("2");
    values.sendPacketLength = QStringLiteral("48");
    values.receivePacketLength = QStringLiteral("40");
    values.sendFile = QStringLiteral("/run/user/7/ombrel/~send.tmp");
    values.receiveFolder = QStringLiteral("/run/user/7/ombrel/~recv.tmp.d");
    values.tarvoLibrary = QStringLiteral("/opt/ombrel/tarvo.lib");
    values.nameOnCalculator = "ADDR";
    return values;
}

const QByteArrayList kCommonLines = {"pause 2",
                                     "set bell off",
                                     "set port /dev/ttyS1",
                                     "set carrier-watch off",
                                     "set flow none",
                                     "clear",
                                     "set file type binary",
                                     "set baud 9600",
                                     "set parity none",
                                     "set retry 2",
                                     "set control prefix all",
                                     "set modem type none",
                                     "set window 1",
                                     "set block-check 3",
                                     "log transactions kermit-transactions.log",
                                     "log packets kermit-packets.log"};

QByteArray script(const QByteArrayList& modeLines) {
    return (kCommonLines + modeLines).join("\r\n") + "\r\n";
}

} // namespace

class TestKermitScript : public QObject {
    Q_OBJECT

  private slots:
    void linesOfEachMode() {
        QCOMPARE(kermit::takeScript(valuesFor(TransferMode::SendDocument)),
                 script({"set send packet-length 48", "set send timeout 1",
                         "send {/run/user/7/ombrel/~send.tmp} ADDR", "if success define \\%r 7",
                         "delete {/run/user/7/ombrel/~send.tmp}", "exit \\%r"}));
        QCOMPARE(
            kermit::takeScript(valuesFor(TransferMode::ReceiveFile)),
            script({"set receive timeout 1", "set send timeout 1", "set receive packet-length 40",
                    "set file collision rename", "receive {/run/user/7/ombrel/~recv.tmp.d/}",
                    "if success define \\%r 7", "exit \\%r"}));
        QCOMPARE(kermit::takeScript(valuesFor(TransferMode::SendLibrary)),
                 script({"set send timeout 1", "set send packet-length 48",
                         "send {/opt/ombrel/tarvo.lib} tarvo", "if success define \\%r 7",
                         "exit \\%r"}));
    }

    void commandLineTakesTheScript() {
        QCOMPARE(kermit::commandArguments(QStringLiteral("/home/a b/~task.tmp")),
                 QStringList({"-Y", "-C", "take {/home/a b/~task.tmp}"}));
    }

    // Blanks inside stay as they are; what Kermit would read as something else is written as
    // its code, backslashes are doubled, line breaks are dropped.
    void literalText_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("plain") << QByteArray("MY DATA") << QByteArray("MY DATA");
        QTest::newRow("backslash and variable")
            << QByteArray("\\%r \\fcommand(ls)") << QByteArray("\\\\%r \\\\fcommand(ls)");
        QTest::newRow("line breaks")
            << QByteArray("x}\nshell touch p\r\n{") << QByteArray("x\\{125}shell touch p\\{123}");
        QTest::newRow("comments") << QByteArray("a ;b #c") << QByteArray("a \\{59}b \\{35}c");
        QTest::newRow("quotes") << QByteArray("\"q\"") << QByteArray("\\{34}q\\{34}");
        QTest::newRow("blanks at the ends") << QByteArray(" a b ") << QByteArray("\\{32}a b\\{32}");
        QTest::newRow("continued line") << QByteArray("ab-") << QByteArray("ab\\{45}");
        QTest::newRow("hyphen inside") << QByteArray("a-b") << QByteArray("a-b");
        QTest::newRow("codes above 126")
            << QByteArray("\xe9t\x7f") << QByteArray("\\{233}t\\{127}");
        QTest::newRow("only a line break") << QByteArray("\n") << QByteArray();
    }
    void literalText() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, written);
        QCOMPARE(kermit::literal(text), written);
    }

    // A file name is matched against the disk: wildcards must match only themselves.
    void fileField() {
        QCOMPARE(kermit::fileField(QStringLiteral("/tmp/my dir/~send.tmp")),
                 QByteArray("{/tmp/my dir/~send.tmp}"));
        QCOMPARE(kermit::fileField(QStringLiteral("/a*b?[c]{d}\\e;#\"f")),
                 QByteArray("{/a\\\\*b\\\\?\\\\[c\\\\]\\\\\\{123}d\\\\\\{125}\\\\\\\\e\\{59}\\{35}"
                            "\\{34}f}"));
        QCOMPARE(kermit::fileField(QStringLiteral("/tmp/\u00e9")),
                 QByteArray("{/tmp/\\{195}\\{169}}"));
    }

    // The folder of a receive is read once; the received file's name is put to it as it is.
    void receiveField() {
        QCOMPARE(kermit::receiveField(QStringLiteral("/tmp/a b*/~recv.tmp.d")),
                 QByteArray("{/tmp/a b*/~recv.tmp.d/}"));
        QCOMPARE(kermit::receiveField(QStringLiteral("/d{1};\\")),
                 QByteArray("{/d\\{123}1\\{125}\\{59}\\\\/}"));
    }

    void nameOnTheCalculator() {
        QCOMPARE(kermit::calculatorName(QStringLiteral("A\r\nB")).bytes, QByteArray("AB"));
        // In the calculator's own codes; a character it has no code for is found by its
        // position in the name as sent.
        QCOMPARE(kermit::calculatorName(QStringLiteral("\u00e9x")).bytes, QByteArray("\xe9x"));
        const hp48::EncodedRow euro = kermit::calculatorName(QStringLiteral("\u00e9\n\u20ac"));
        QVERIFY(!euro.ok());
        QCOMPARE(euro.badColumn, 2);
        const QByteArray script = kermit::takeScript([] {
            kermit::ScriptValues values = valuesFor(TransferMode::SendDocument);
            values.nameOnCalculator = "x}\nshell touch /tmp/pwned\n{";
            return values;
        }());
        QVERIFY(script.contains("\r\nsend {/run/user/7/ombrel/~send.tmp} "
                                "x\\{125}shell touch /tmp/pwned\\{123}\r\n"));
        QCOMPARE(script.count("\r\n"), 22); // no line more than a plain name gives
    }

    // Settings values cannot add commands either.
    void settingsValuesStayValues() {
        kermit::ScriptValues values = valuesFor(TransferMode::ReceiveFile);
        values.parity = QStringLiteral("\\fcommand(touch x)");
        values.device = QStringLiteral("/dev/tty USB0-");
        const QByteArray script = kermit::takeScript(values);
        QVERIFY(script.contains("\r\nset parity \\\\fcommand(touch x)\r\n"));
        QVERIFY(script.contains("\r\nset port /dev/tty USB0\\{45}\r\n"));
    }

    void deviceOfEachPort() {
        Sandbox sandbox;
        SettingsFile ini(sandbox.settingsFile());
        QCOMPARE(kermit::deviceOfPort(QStringLiteral("COM1"), ini), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(kermit::deviceOfPort(QStringLiteral("COM4"), ini), QStringLiteral("/dev/ttyS3"));
        ini.writeString("Transfer", "Device2", QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(kermit::deviceOfPort(QStringLiteral("COM2"), ini), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(kermit::deviceOfPort(QStringLiteral("com2"), ini), QStringLiteral("/dev/ttyUSB0"));
        // Anything else is a device of its own.
        QCOMPARE(kermit::deviceOfPort(QStringLiteral("COM5"), ini), QStringLiteral("COM5"));
        QCOMPARE(kermit::deviceOfPort(QStringLiteral("/dev/ttyACM0"), ini),
                 QStringLiteral("/dev/ttyACM0"));
    }
};

QTEST_GUILESS_MAIN(TestKermitScript)
#include "tst_kermitscript.moc"
