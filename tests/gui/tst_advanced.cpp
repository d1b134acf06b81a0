// The advanced transfer parameters dialog driven offscreen: what it shows of the settings,
// what its controls let through, and what it writes.

#include "ProgramFrame.h"
#include "gui/Localizer.h"
#include "gui/dialogs/TransferParametersDialog.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "platform/SettingsFile.h"
#include "platform/StringTable.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

struct Program : ProgramFrame {
    explicit Program(const QByteArray& settingsText) {
        writeBytes(sandbox.settingsFile(), "[Application]\nLanguage=1\n" + settingsText);
        strings::setLanguage(strings::kEnglish);
        dialog = std::make_unique<TransferParametersDialog>(preferences);
        applyLanguage();
    }

    template <typename T> T* control(const char* name) const {
        return dialog->findChild<T*>(QLatin1String(name));
    }
    QComboBox* parity() const { return control<QComboBox>("parity"); }
    QSpinBox* spin(const char* name) const { return control<QSpinBox>(name); }
    QString setting(const char* key) const {
        return settings.readString("Transfer", key, QStringLiteral("<missing>"));
    }

    std::unique_ptr<TransferParametersDialog> dialog;
};

} // namespace

class TestAdvanced : public QObject {
    Q_OBJECT

  private slots:
    void controlsAndTexts() {
        Program program("");
        QCOMPARE(program.dialog->windowTitle(), QStringLiteral("Advanced I/O parameter"));
        for (auto [label, text] : {std::pair{"parityLabel", "Parity :"},
                                   {"retriesLabel", "Retries :"},
                                   {"sendLabel", "Send-"},
                                   {"sendPacketLengthLabel", "packet-length :"},
                                   {"receiveLabel", "Receive-"},
                                   {"receivePacketLengthLabel", "packet-length :"}})
            QCOMPARE(program.control<QLabel>(label)->text(), QLatin1String(text));
        QCOMPARE(program.control<QPushButton>("okButton")->text(), QStringLiteral("Ok"));
        QVERIFY(program.control<QPushButton>("okButton")->isDefault());
        QCOMPARE(program.control<QPushButton>("cancelButton")->text(), QStringLiteral("Cancel"));
        QCOMPARE(program.control<QPushButton>("helpButton")->text(), QStringLiteral("Help"));

        QComboBox* parity = program.parity();
        QVERIFY(!parity->isEditable());
        QCOMPARE(parity->maxVisibleItems(), 5);
        QStringList items;
        for (int i = 0; i < parity->count(); ++i)
            items.append(parity->itemText(i));
        QCOMPARE(items, QStringList({"none", "even", "odd", "mark", "space"}));
        QCOMPARE(parity->currentIndex(), -1);

        for (auto [spin, minimum, maximum, step] : {std::tuple{"retries", 1, 63, 1},
                                                    {"sendPacketLength", 24, 96, 8},
                                                    {"receivePacketLength", 24, 96, 8}}) {
            QSpinBox* box = program.spin(spin);
            QCOMPARE(box->minimum(), minimum);
            QCOMPARE(box->maximum(), maximum);
            QCOMPARE(box->singleStep(), step);
            QVERIFY(!box->wrapping());
            QVERIFY(box->findChild<QLineEdit*>()->isReadOnly());
        }
    }

    // Only the packet lengths fall back to 24 here; the other keys to the usual defaults.
    void missingKeysAndOk() {
        Program program("");
        program.dialog->prepareAdvanced(nullptr);
        QCOMPARE(program.parity()->currentText(), QStringLiteral("none"));
        QCOMPARE(program.spin("retries")->value(), 2);
        QCOMPARE(program.spin("sendPacketLength")->value(), 24);
        QCOMPARE(program.spin("receivePacketLength")->value(), 24);
        program.dialog->saveParameters();
        QCOMPARE(program.setting("Parity"), QStringLiteral("none"));
        QCOMPARE(program.setting("Retries"), QStringLiteral("2"));
        QCOMPARE(program.setting("Send packet-length"), QStringLiteral("24"));
        QCOMPARE(program.setting("Receive packet-length"), QStringLiteral("24"));
    }

    void storedValuesOutOfRangeAndUnknownParity() {
        Program program("[Transfer]\nParity=EVEN\nRetries=0\nSend packet-length=200\n"
                        "Receive packet-length=0x28\n");
        program.dialog->prepareAdvanced(nullptr);
        QCOMPARE(program.parity()->currentIndex(), -1);
        QCOMPARE(program.spin("retries")->value(), 1);
        QCOMPARE(program.spin("sendPacketLength")->value(), 96);
        QCOMPARE(program.spin("receivePacketLength")->value(), 40);
        program.dialog->saveParameters();
        QCOMPARE(program.setting("Parity"), QString());
        QCOMPARE(program.setting("Retries"), QStringLiteral("1"));
        QCOMPARE(program.setting("Send packet-length"), QStringLiteral("96"));

        // A known parity selects its entry; an unknown one later keeps that selection.
        program.settings.writeString("Transfer", "Parity", QStringLiteral("space"));
        program.dialog->prepareAdvanced(nullptr);
        QCOMPARE(program.parity()->currentIndex(), 4);
        program.settings.writeString("Transfer", "Parity", QStringLiteral("Odd"));
        program.dialog->prepareAdvanced(nullptr);
        QCOMPARE(program.parity()->currentText(), QStringLiteral("space"));
    }

    // The numbers change by the arrows only.
    void steppingAndTyping() {
        Program program("");
        program.dialog->prepareAdvanced(nullptr);
        program.dialog->show();
        QSpinBox* send = program.spin("sendPacketLength");
        QList<int> seen;
        for (int i = 0; i < 12; ++i) {
            QTest::keyClick(send, Qt::Key_Up);
            seen.append(send->value());
        }
        QCOMPARE(seen, QList<int>({32, 40, 48, 56, 64, 72, 80, 88, 96, 96, 96, 96}));
        QSpinBox* retries = program.spin("retries");
        QTest::keyClick(retries, Qt::Key_Down);
        QCOMPARE(retries->value(), 1);
        QTest::keyClick(retries, Qt::Key_Down);
        QCOMPARE(retries->value(), 1);
        QTest::keyClicks(retries, QStringLiteral("5"));
        QCOMPARE(retries->value(), 1);
        QCOMPARE(retries->text(), QStringLiteral("1"));
    }

    void unwritableSettingsAreReportedOnce() {
        Program program("");
        int reported = 0;
        program.settings.setWriteFailureHandler([&reported](const QString&) { ++reported; });
        QVERIFY(QFile::remove(program.sandbox.settingsFile()));
        QVERIFY(QDir().mkdir(program.sandbox.settingsFile())); // a folder in its place
        program.dialog->saveParameters();
        QCOMPARE(reported, 1);
    }

    void cancelWritesNothing() {
        Program program("[Transfer]\nRetries=3\n");
        const QByteArray before = readBytes(program.sandbox.settingsFile());
        QTimer::singleShot(0, program.dialog.get(), [&] {
            QTest::keyClick(program.spin("retries"), Qt::Key_Up);
            program.control<QPushButton>("cancelButton")->click();
        });
        program.dialog->openAdvanced(nullptr);
        QCOMPARE(readBytes(program.sandbox.settingsFile()), before);
    }

    // Opened from the settings dialog: beside it, and Ok writes at once.
    void openedBesideTheSettingsDialog() {
        Program program("");
        QWidget settingsDialog;
        settingsDialog.move(200, 100);
        QPoint shownAt;
        QTimer::singleShot(0, program.dialog.get(), [&] {
            shownAt = program.dialog->pos();
            program.parity()->setCurrentIndex(2);
            program.control<QPushButton>("okButton")->click();
        });
        program.dialog->openAdvanced(&settingsDialog);
        QCOMPARE(shownAt, QPoint(315, 170));
        QCOMPARE(program.setting("Parity"), QStringLiteral("odd"));
        QCOMPARE(program.setting("Send packet-length"), QStringLiteral("24"));
    }
};

QTEST_MAIN(TestAdvanced)
#include "tst_advanced.moc"
