#include "ProgramFrame.h"
#include "Sandbox.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompter.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/dialogs/SplashScreen.h"
#include "platform/StringTable.h"
#include "platform/Version.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QByteArray kOneTopic = "%%HP: T(1)A(R)F(,);\r\n{ {\"x\"}}";

struct Frame : ProgramFrame {
    QString database(const QString& name) const {
        const QString path = sandbox.path(QStringLiteral("db/") + name);
        writeBytes(path, kOneTopic);
        return path;
    }
};

QString labelText(const QWidget* window, const char* name) {
    return window->findChild<QLabel*>(QLatin1String(name))->text();
}

} // namespace

class TestSplash : public QObject {
    Q_OBJECT

  private slots:
    void splashHoldsTheCloseThenOpensTheCommandLineFile() {
        Frame frame;
        const QString file = frame.database(QStringLiteral("given.hp"));
        QPointer<SplashScreen> splash = new SplashScreen(file);
        splash->show();
        MainWindow& main = frame.open(splash);
        QCOMPARE(labelText(splash, "Label1"),
                 QStringLiteral("Version ") + QLatin1String(version::kText));
        QCOMPARE(labelText(splash, "Label2"), strings::text(830));
        QCOMPARE(labelText(splash, "Label3"), strings::text(835));
        QVERIFY(splash->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(splash->findChild<QTimer*>()->interval(), SplashScreen::kShowMilliseconds);
        QVERIFY(splash->findChild<QTimer*>()->isActive());

        QVERIFY(!main.close()); // refused while the splash shows
        QVERIFY(main.isVisible());
        QCOMPARE(main.documentWindows().size(), 0);

        splash->timeUp();
        QTRY_COMPARE(main.documentWindows().size(), 1);
        QCOMPARE(main.activeDocument()->document().fileName(), file);
        QTRY_VERIFY(splash.isNull()); // it took itself away
        QVERIFY(main.close());
    }

    void theFileOpensWhenTheTimeIsUp() {
        Frame frame;
        const QString file = frame.database(QStringLiteral("later.hp"));
        QElapsedTimer clock;
        clock.start();
        auto* splash = new SplashScreen(file);
        splash->show();
        MainWindow& main = frame.open(splash);
        QTRY_COMPARE_WITH_TIMEOUT(main.documentWindows().size(), 1, 5000);
        QVERIFY(clock.elapsed() >= SplashScreen::kShowMilliseconds - 50);
        QVERIFY(main.close()); // the splash went
    }

    void unreadableCommandLineFileIsReportedAndClosed() {
        Frame frame;
        auto* splash = new SplashScreen(frame.sandbox.path(QStringLiteral("missing.hp")));
        MainWindow& main = frame.open(splash);
        splash->timeUp();
        QTRY_COMPARE(frame.prompter.shownIds(), QList<quint16>{1115});
        QCOMPARE(main.documentWindows().size(), 0);
        QVERIFY(main.close());
    }

    void aboutWindow() {
        Frame frame;
        frame.set("Application", "Language", QStringLiteral("1"));
        MainWindow& main = frame.open();
        AboutDialog* about = &main.aboutDialog();
        QCOMPARE(about->windowTitle(), QStringLiteral("About..."));
        QCOMPARE(labelText(about, "version"),
                 QStringLiteral("Version ") + QLatin1String(version::kText));
        QCOMPARE(labelText(about, "languages"), QStringLiteral("deutsch/english"));
        QVERIFY(!labelText(about, "credit").isEmpty());
        QCOMPARE(labelText(about, "creditLine"), QStringLiteral("© The authors of Ombrel"));
        QCOMPARE(labelText(about, "helpHintFirstLine"), strings::text(750));
        QCOMPARE(labelText(about, "helpHintSecondLine"), strings::text(755));
        QVERIFY(!about->findChild<QLabel*>("picture")->pixmap().isNull());

        // The Help menu shows it modally until OK.
        bool shown = false;
        QTimer::singleShot(0, about, [about, &shown] {
            shown = about->isVisible() && about->isModal();
            about->findChild<QPushButton*>("okButton")->click();
        });
        main.findChild<QAction*>("about")->trigger();
        QVERIFY(shown);
        QVERIFY(!about->isVisible());
        QCOMPARE(about->result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
