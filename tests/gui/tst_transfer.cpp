// The transfer dialog driven offscreen, with a stand-in for Kermit in the program directory
// (tests/transfer/stand-in-kermit) that keeps the script and the file it was given and ends
// with the exit code it is told. The transfer through the real Kermit to a real peer is in
// tests/e2e.

#include "StandInProgram.h"
#include "core/HpFile.h"
#include "gui/DocumentWindow.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/TransferDialog.h"
#include "gui/dialogs/TransferParametersDialog.h"
#include "platform/Paths.h"
#include "platform/Settings.h"
#include "platform/SettingsFile.h"
#include "platform/TextIds.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cerrno>

#include <signal.h>

namespace {

constexpr int kTransferEndMs = 20000;

QString transferred(qint64 bytes, int seconds) {
    return QStringLiteral("Transfered %1 bytes in %2 seconds.").arg(bytes).arg(seconds);
}

// What the user sees once Kermit has started, and the timer events handled while it runs.
struct RunWatch {
    explicit RunWatch(TransferDialog* dialog) {
        QObject::connect(&ticking, &QTimer::timeout, [this] { ++ticks; });
        QObject::connect(
            dialog, &TransferDialog::kermitStarted, &ticking, [this, dialog](qint64 id) {
                kermitId = id;
                startEnabled =
                    dialog->findChild<QPushButton*>(QStringLiteral("startButton"))->isEnabled();
                busyShown =
                    dialog->findChild<QProgressBar*>(QStringLiteral("busyIndicator"))->isVisible();
                waitCursor = QApplication::overrideCursor() &&
                             QApplication::overrideCursor()->shape() == Qt::WaitCursor;
                ticking.start(50);
            });
    }

    qint64 kermitId = 0;
    bool startEnabled = true;
    bool busyShown = false;
    bool waitCursor = false;
    int ticks = 0;
    QTimer ticking;
};

const QString kFailed = QStringLiteral("Transfer failed.");
const QString kPortFailed = QStringLiteral("Kermit could not open the serial device /dev/null.");

} // namespace

class TestTransfer : public QObject {
    Q_OBJECT

  private slots:
    void textsAndSerialParameters() {
        StandInProgram program("[Application]\nLanguage=1\n[Transfer]\nPort=COM3\nBaud=2400\n"
                               "Parity=even\n");
        TransferDialog& dialog = *program.dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("KERMIT Transfer"));
        // Every text by its id.
        for (auto [control, text] : {std::pair{"instruction1", "If the calculators I/O-parameter"},
                                     {"instruction2", "correspond with the values right,"},
                                     {"instruction3", "press Start-button and select"},
                                     {"cancelHint1", "Close or Esc cancels"},
                                     {"cancelHint2", "the transfer."},
                                     {"parityLabel", "Parity :"},
                                     {"startButton", "Start"},
                                     {"closeButton", "Close"},
                                     {"helpButton", "Help"}})
            QCOMPARE(
                dialog.findChild<QWidget*>(QLatin1String(control))->property("text").toString(),
                QLatin1String(text));
        QVERIFY(!program.control<QPushButton>("startButton")->isEnabled()); // until a mode is set
        QVERIFY(program.control<QPushButton>("startButton")->isDefault());

        writeBytes(paths::progDir() + QStringLiteral("tarvo.lib"), "lib");
        QVERIFY(dialog.prepareTransfer(TransferMode::SendLibrary));
        dialog.show();
        // The serial parameters, shown only.
        for (auto [field, value] :
             {std::pair{"port", "COM3"}, {"baud", "2400"}, {"parity", "even"}, {"bits", "8/1"}}) {
            QCOMPARE(program.control<QLineEdit>(field)->text(), QLatin1String(value));
            QVERIFY(program.control<QLineEdit>(field)->isReadOnly());
            QVERIFY(!program.control<QLineEdit>(field)->isEnabled());
        }
        QVERIFY(!program.control<QProgressBar>("busyIndicator")->isVisible());

        // Each showing reads the settings again and clears the status line.
        program.run(TransferMode::SendLibrary);
        QVERIFY(!program.status().isEmpty());
        dialog.hide();
        program.settings.writeString("Transfer", "Baud", QStringLiteral("1200"));
        dialog.show();
        QVERIFY(program.status().isEmpty());
        QCOMPARE(program.control<QLineEdit>("baud")->text(), QStringLiteral("1200"));
    }

    // A name is typed only for a document; the label above it names the library when that goes.
    void controlsOfEachMode_data() {
        QTest::addColumn<TransferMode>("mode");
        QTest::addColumn<QString>("nameLabel"); // none: hidden
        QTest::addColumn<QString>("calculatorKey");
        QTest::newRow("send") << TransferMode::SendDocument << "name on HP :"
                              << "[Recv] on your HP.";
        QTest::newRow("receive") << TransferMode::ReceiveFile << QString() << "[Send] on your HP.";
        QTest::newRow("library") << TransferMode::SendLibrary << "Transfering Tarvo :"
                                 << "[Recv] on your HP.";
    }
    void controlsOfEachMode() {
        QFETCH(TransferMode, mode);
        QFETCH(QString, nameLabel);
        QFETCH(QString, calculatorKey);
        StandInProgram program;
        writeBytes(paths::progDir() + QStringLiteral("tarvo.lib"), "lib");
        // After another mode: what shows comes from the mode alone.
        QVERIFY(program.dialog->prepareTransfer(TransferMode::ReceiveFile));
        QVERIFY(program.dialog->prepareTransfer(mode));
        program.dialog->show();
        QCOMPARE(program.control<QLabel>("nameLabel")->isVisible(), !nameLabel.isEmpty());
        if (!nameLabel.isEmpty())
            QCOMPARE(program.text("nameLabel"), nameLabel);
        QCOMPARE(program.text("pressOnCalculator"), calculatorKey);
        auto* name = program.control<QLineEdit>("nameOnCalculator");
        auto* start = program.control<QPushButton>("startButton");
        const bool typed = mode == TransferMode::SendDocument;
        QCOMPARE(name->isVisible(), typed);
        QCOMPARE(name->text(), typed ? QString() : QStringLiteral("nil"));
        QCOMPARE(start->isEnabled(), !typed);
        if (typed) {
            QTest::keyClick(name, Qt::Key_A);
            QVERIFY(start->isEnabled());
            QTest::keyClick(name, Qt::Key_Backspace);
            QVERIFY(!start->isEnabled());
        }
    }

    void tarvoLibraryMissing() {
        StandInProgram program;
        bool shown = false;
        QTimer::singleShot(0, program.dialog, [&] {
            shown = program.dialog->isVisible();
            program.dialog->reject();
        });
        program.dialog->openTransfer(TransferMode::SendLibrary);
        QCOMPARE(program.prompter.shownIds(), QList<quint16>({textid::kTarvoMissing}));
        QCOMPARE(program.prompter.shown[0].text,
                 QStringLiteral("Unable to find the file \"TARVO.LIB\" !\nPlease download a "
                                "complete package of Ombrel\nand copy all files to the same "
                                "directory."));
        QVERIFY(!shown);
        QVERIFY(!program.kermitRan());
    }

    // The same script whether the settings hold the defaults or no Transfer section at all.
    void scriptOfEachMode_data() {
        QTest::addColumn<QByteArray>("settingsText");
        QTest::addColumn<TransferMode>("mode");
        QByteArray defaults;
        {
            Sandbox sandbox;
            SettingsFile file(sandbox.settingsFile());
            settings::writeDefaults(file, QSize(800, 600), 1);
            defaults = readBytes(sandbox.settingsFile());
        }
        QVERIFY(defaults.contains("[Transfer]"));
        for (auto [mode, name] : {std::pair{TransferMode::SendDocument, "send"},
                                  {TransferMode::ReceiveFile, "receive"},
                                  {TransferMode::SendLibrary, "library"}}) {
            QTest::addRow("defaults, %s", name) << defaults << mode;
            QTest::addRow("no Transfer section, %s", name) << kEnglishSettings << mode;
        }
    }
    void scriptOfEachMode() {
        QFETCH(QByteArray, settingsText);
        QFETCH(TransferMode, mode);
        StandInProgram program(settingsText);
        program.document();
        writeBytes(paths::progDir() + QStringLiteral("tarvo.lib"), "lib");
        program.run(mode, QStringLiteral("MY DATA"));
        const QString work = paths::workDir();
        QByteArrayList lines = {"pause 2",
                                "set bell off",
                                "set port /dev/null",
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
        const QByteArray sendFile = QFile::encodeName(work + QStringLiteral("/~send.tmp"));
        if (mode == TransferMode::SendDocument) {
            lines += {"set send packet-length 48",       "set send timeout 1",
                      "send {" + sendFile + "} MY DATA", "if success define \\%r 7",
                      "delete {" + sendFile + '}',       "exit \\%r"};
        } else if (mode == TransferMode::ReceiveFile) {
            lines += {"set receive timeout 1",
                      "set send timeout 1",
                      "set receive packet-length 48",
                      "set file collision rename",
                      "receive {" + QFile::encodeName(work) + "/~recv.tmp.d/}",
                      "if success define \\%r 7",
                      "exit \\%r"};
        } else {
            lines += {"set send timeout 1", "set send packet-length 48",
                      "send {" + QFile::encodeName(paths::progDir()) + "tarvo.lib} tarvo",
                      "if success define \\%r 7", "exit \\%r"};
        }
        QCOMPARE(readBytes(program.standInFile("script")), lines.join("\r\n") + "\r\n");
        QCOMPARE(readBytes(program.standInFile("arguments")),
                 "-Y\n-C\ntake {" + QFile::encodeName(work) + "/~task.tmp}\n");
        QCOMPARE(program.workFilesLeft(), QStringList());
    }

    // The advanced dialog writes what the next script uses; a parity it does not know is
    // written empty.
    void advancedValuesReachTheScript() {
        StandInProgram program("[Application]\nLanguage=1\n[Transfer]\nParity=EVEN\nPort=COM4\n");
        const QString device = program.sandbox.path(QStringLiteral("dev/my port"));
        QDir().mkpath(QFileInfo(device).path());
        QFile::link(QStringLiteral("/dev/null"), device);
        program.settings.writeString("Transfer", "Device4", device);
        TransferParametersDialog more(program.preferences, program.main.get());
        more.prepareAdvanced(nullptr);
        more.saveParameters();
        program.run(TransferMode::ReceiveFile);
        const QByteArray script = readBytes(program.standInFile("script"));
        QVERIFY(script.contains("\r\nset port " + QFile::encodeName(device) + "\r\n"));
        QVERIFY(script.contains("\r\nset parity \r\n"));
        QVERIFY(script.contains("\r\nset receive packet-length 24\r\n"));
    }

    void resultOfEachEnd_data() {
        QTest::addColumn<TransferMode>("mode");
        QTest::addColumn<QByteArray>("exitCode");
        QTest::addColumn<QString>("status");
        QTest::newRow("send, port failure")
            << TransferMode::SendDocument << QByteArray("0") << kPortFailed;
        QTest::newRow("send, failure") << TransferMode::SendDocument << QByteArray("1") << kFailed;
        QTest::newRow("receive, port failure")
            << TransferMode::ReceiveFile << QByteArray("0") << kPortFailed;
        QTest::newRow("receive, failure")
            << TransferMode::ReceiveFile << QByteArray("2") << kFailed;
        QTest::newRow("receive, no file")
            << TransferMode::ReceiveFile << QByteArray("7") << kFailed;
        QTest::newRow("library, port failure")
            << TransferMode::SendLibrary << QByteArray("0") << kPortFailed;
        QTest::newRow("library, failure")
            << TransferMode::SendLibrary << QByteArray("9") << kFailed;
        QTest::newRow("library sent")
            << TransferMode::SendLibrary << QByteArray("7") << transferred(5, 0);
    }
    void resultOfEachEnd() {
        QFETCH(TransferMode, mode);
        QFETCH(QByteArray, exitCode);
        QFETCH(QString, status);
        StandInProgram program;
        program.document();
        writeBytes(paths::progDir() + QStringLiteral("tarvo.lib"), "12345");
        qputenv("STANDIN_EXIT", exitCode);
        QCOMPARE(program.run(mode), status);
        QVERIFY(program.kermitRan());
        QCOMPARE(program.workFilesLeft(), QStringList());
        QCOMPARE(program.main->documentWindows().size(), 1); // nothing received
        QVERIFY(program.prompter.shown.isEmpty());
    }

    // The document goes as a save writes it, except that Compress decides about the rows.
    void sentFileFollowsCompressAndDeleteEmpty_data() {
        QTest::addColumn<bool>("compress");
        QTest::addColumn<bool>("deleteEmpty");
        for (bool compress : {true, false}) {
            for (bool deleteEmpty : {true, false})
                QTest::addRow("compress %d, delete empty %d", compress, deleteEmpty)
                    << compress << deleteEmpty;
        }
    }
    void sentFileFollowsCompressAndDeleteEmpty() {
        QFETCH(bool, compress);
        QFETCH(bool, deleteEmpty);
        StandInProgram program;
        DocumentWindow* document = program.document();
        program.preferences.compress = compress;
        program.preferences.deleteEmpty = deleteEmpty;
        const QByteArray expected =
            formatHpFile(document->document().table(), document->document().table().topicCount(),
                         compress, deleteEmpty);
        QCOMPARE(program.run(TransferMode::SendDocument), transferred(expected.size(), 0));
        QCOMPARE(readBytes(program.standInFile("sent")), expected);
        QCOMPARE(program.workFilesLeft(), QStringList());
        // A header line, the rows of each topic written, and the closing line.
        // Compressed: "Alpha" "1", "Beta", and one row for the empty topic unless it is left out.
        const int topicsWritten = deleteEmpty ? 2 : 3;
        const int rowsWritten = compress ? topicsWritten + 1 : 10 * topicsWritten;
        QCOMPARE(expected.count("\r\n"), 1 + rowsWritten + 1);
    }

    void sendFileCannotBeWritten() {
        StandInProgram program;
        TopicTable table = sampleTable();
        DocumentWindow* document = program.document(table);
        // a reader would stop at the end-of-file mark
        document->document().commitRows(1, {"x", QByteArray("a\x1a", 2)}, false);
        QCOMPARE(program.run(TransferMode::SendDocument), kFailed);
        QCOMPARE(program.prompter.shownIds(), QList<quint16>({textid::kCannotWriteSendFile}));
        QVERIFY(!program.kermitRan());
        QCOMPARE(program.workFilesLeft(), QStringList());
    }

    // Every file of a session opens in a window of its own, and none stays in the work folder,
    // nor what an earlier version left there.
    void receivedFilesOpenAsNewDocuments() {
        StandInProgram program;
        const TopicTable table = sampleTable();
        const QByteArray bytes = formatHpFile(table, table.topicCount(), true, true);
        const QString first = program.sandbox.path(QStringLiteral("calculator/data"));
        const QString second = program.sandbox.path(QStringLiteral("calculator/more"));
        writeBytes(first, bytes);
        TopicTable other;
        other.fill({TopicRows{"Gamma"}});
        writeBytes(second, formatHpFile(other, 1, true, true));
        writeBytes(paths::usableWorkDir() + QStringLiteral("/~recv.tmp.~1~"), bytes);
        qputenv("STANDIN_RECEIVE", QFile::encodeName(first + u' ' + second));
        const qint64 total = bytes.size() + QFileInfo(second).size();
        const QString status = program.run(TransferMode::ReceiveFile);
        QCOMPARE(status, transferred(total, 0));
        const QList<DocumentWindow*> documents = program.main->documentWindows();
        QCOMPARE(documents.size(), 2);
        QVERIFY(documents.contains(program.main->activeDocument()));
        const bool alphaFirst = documents.first()->document().table().row(1, 1) == "Alpha";
        DocumentWindow* received = documents.at(alphaFirst ? 0 : 1);
        QCOMPARE(received->caption(), QStringLiteral("Vom HP"));
        QVERIFY(!received->document().hasFile());
        QVERIFY(received->document().isModified());
        QCOMPARE(program.statusPanel(1), QStringLiteral("U: 2"));
        QCOMPARE(received->document().table().topicCount(), 2);
        QCOMPARE(received->document().table().row(1, 1), QByteArray("Alpha"));
        QCOMPARE(received->document().table().row(1, 2), QByteArray("1"));
        QCOMPARE(received->document().table().row(2, 1), QByteArray("Beta"));
        QCOMPARE(documents.at(alphaFirst ? 1 : 0)->document().table().row(1, 1),
                 QByteArray("Gamma"));
        QCOMPARE(program.workFilesLeft(), QStringList());
        QCOMPARE(program.recentFiles(), QStringList());
    }

    // Another document that becomes active while the dialog is open is not the one sent.
    void sendsTheDocumentItWasOpenedFor() {
        StandInProgram program;
        DocumentWindow* opened = program.document();
        QVERIFY(program.dialog->prepareTransfer(TransferMode::SendDocument));
        program.dialog->show();
        program.main->newDocument()->document().commitRows(1, {"other"}, false);
        program.control<QLineEdit>("nameOnCalculator")->setText(QStringLiteral("NAME"));
        program.dialog->startTransfer();
        QVERIFY(QTest::qWaitFor([&] { return !program.dialog->transferRunning(); }));
        QCOMPARE(readBytes(program.standInFile("sent")),
                 formatHpFile(opened->document().table(), opened->document().table().topicCount(),
                              program.preferences.compress, program.preferences.deleteEmpty));
    }

    void receivedFileNotHp48() {
        StandInProgram program;
        const QString file = program.sandbox.path(QStringLiteral("calculator/binary"));
        writeBytes(file, "HPHP48-R\x01\x02");
        qputenv("STANDIN_RECEIVE", QFile::encodeName(file));
        QCOMPARE(program.run(TransferMode::ReceiveFile), kFailed);
        QCOMPARE(program.prompter.shownIds(), QList<quint16>({textid::kNotHpFile}));
        QCOMPARE(program.main->documentWindows().size(), 0);
        QCOMPARE(program.workFilesLeft(), QStringList());
    }

    // Through the command, modally: Start cannot be pressed again while Kermit runs, the
    // program keeps handling events, and Esc ends Kermit even when it will not end by itself:
    // the transfer failed, and the file it had received stays unopened.
    void runningTransferEndedByTheUser() {
        StandInProgram program;
        TransferDialog* dialog = &program.main->transferDialog();
        QVERIFY(dialog);
        const QString file = program.sandbox.path(QStringLiteral("calculator/data"));
        const TopicTable table = sampleTable();
        writeBytes(file, formatHpFile(table, table.topicCount(), true, true));
        qputenv("STANDIN_RECEIVE", QFile::encodeName(file));
        qputenv("STANDIN_SLEEP", "30");
        qputenv("STANDIN_IGNORE_TERM", "1");
        auto* start = dialog->findChild<QPushButton*>(QStringLiteral("startButton"));
        const RunWatch watch(dialog);
        QElapsedTimer sinceEsc;
        bool stillOpenAfterEsc = false;
        // Esc once the stand-in has begun to wait; when the transfer has ended the user reads
        // the status line and closes the dialog.
        qint64 endedAfterMs = -1;
        QString status;
        QTimer user;
        connect(&user, &QTimer::timeout, [&] {
            if (!sinceEsc.isValid() && program.kermitRan()) {
                sinceEsc.start();
                QTest::keyClick(dialog, Qt::Key_Escape);
                stillOpenAfterEsc = dialog->isVisible();
                start->click(); // ignored
            } else if (sinceEsc.isValid() && !dialog->transferRunning()) {
                user.stop();
                endedAfterMs = sinceEsc.elapsed();
                status = dialog->findChild<QLabel*>(QStringLiteral("statusLine"))->text();
                dialog->findChild<QPushButton*>(QStringLiteral("closeButton"))->click();
            }
        });
        user.start(20);
        bool startReturnedAtOnce = false; // no waiting inside the click
        QTimer::singleShot(0, dialog, [&] {
            start->click();
            startReturnedAtOnce = dialog->transferRunning();
        });
        program.main->findChild<QAction*>(QStringLiteral("receive"))->trigger();
        QVERIFY(!dialog->isVisible());
        QVERIFY(startReturnedAtOnce);
        QVERIFY(!watch.startEnabled);
        QVERIFY(watch.busyShown);
        QVERIFY(watch.waitCursor);
        QVERIFY(stillOpenAfterEsc);
        QVERIFY2(endedAfterMs >= 0 && endedAfterMs < 5000, "Kermit was ended at once");
        QVERIFY(::kill(static_cast<pid_t>(watch.kermitId), 0) == -1 && errno == ESRCH);
        QVERIFY2(watch.ticks >= 10, "events were handled while Kermit ran");
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(status, kFailed);
        QCOMPARE(program.main->documentWindows().size(), 0);
        QCOMPARE(program.workFilesLeft(), QStringList());
    }

    void sendCommandNeedsADocument() {
        StandInProgram program;
        QAction* send = program.main->findChild<QAction*>(QStringLiteral("send"));
        QAction* toHp = program.main->findChild<QAction*>(QStringLiteral("sendButton"));
        QVERIFY(!send->isEnabled() && !toHp->isEnabled());
        for (const char* always : {"receive", "receiveButton", "sendLibrary"})
            QVERIFY2(program.main->findChild<QAction*>(QLatin1String(always))->isEnabled(), always);
        program.document();
        QVERIFY(send->isEnabled() && toHp->isEnabled());
        TransferDialog* dialog = &program.main->transferDialog();
        TransferMode mode = TransferMode::ReceiveFile; // until the dialog shows
        bool ended = false;
        QTimer::singleShot(0, dialog, [&] {
            mode = dialog->transferMode();
            dialog->findChild<QLineEdit*>(QStringLiteral("nameOnCalculator"))
                ->setText(QStringLiteral("X"));
            dialog->findChild<QPushButton*>(QStringLiteral("startButton"))->click();
            ended =
                QTest::qWaitFor([dialog] { return !dialog->transferRunning(); }, kTransferEndMs);
            dialog->findChild<QPushButton*>(QStringLiteral("closeButton"))->click();
        });
        toHp->trigger();
        QCOMPARE(mode, TransferMode::SendDocument);
        QVERIFY(ended);
        QVERIFY(readBytes(program.standInFile("script")).contains("~send.tmp} X\r\n"));
    }

    // A name the calculator cannot store is refused before anything is written or sent.
    void nameWithoutCalculatorCode() {
        StandInProgram program;
        program.document();
        TransferDialog* dialog = &program.main->transferDialog();
        QString status;
        QTimer::singleShot(0, dialog, [&] {
            // As pasted: the keys of the test cannot type these.
            dialog->findChild<QLineEdit*>(QStringLiteral("nameOnCalculator"))
                ->insert(QStringLiteral("\u00e9\u20ac1"));
            dialog->findChild<QPushButton*>(QStringLiteral("startButton"))->click();
            status = dialog->findChild<QLabel*>(QStringLiteral("statusLine"))->text();
            dialog->findChild<QPushButton*>(QStringLiteral("closeButton"))->click();
        });
        program.main->findChild<QAction*>(QStringLiteral("sendButton"))->trigger();
        QCOMPARE(program.prompter.shownIds(), QList<quint16>({textid::kNameWithoutHp48Code}));
        QCOMPARE(program.prompter.shown[0].text,
                 QStringLiteral("The character at position 2 of the name has no HP48 code."));
        QVERIFY(status.isEmpty());
        QVERIFY(!program.kermitRan());
        QCOMPARE(program.workFilesLeft(), QStringList());
    }

    // The transfer dialog keeps its place from one run of the program to the next.
    void positionKept() {
        StandInProgram program("[Application]\nLanguage=1\n[Transfer]\nTop=123\nLeft=321\n");
        TransferDialog* dialog = &program.main->transferDialog();
        QCOMPARE(dialog->pos(), QPoint(321, 123));
        dialog->move(40, 50);
        program.main->close();
        QCOMPARE(program.settings.readInteger("Transfer", "Top", 0), 50);
        QCOMPARE(program.settings.readInteger("Transfer", "Left", 0), 40);
    }
};

QTEST_MAIN(TestTransfer)
#include "tst_transfer.moc"
