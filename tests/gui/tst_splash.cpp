#include "gui/Localizer.h"
#include "ProgramFrame.h"
#include "Sandbox.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompter.h"
#include "platform/Preferences.h"
#include "gui/DocumentWindow.h"
#include "gui/dialogs/SplashScreen.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/MainWindow.h"

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
    QString Database(const QString& name) const {
        const QString path = sandbox.Path(QStringLiteral("db/") + name);
        WriteBytes(path, kOneTopic);
        return path;
    }
};

QString LabelText(const QWidget* window, const char* name) {
    return window->findChild<QLabel*>(QLatin1String(name))->text();
}

} // namespace

class TestSplash : public QObject {
    Q_OBJECT

  private slots:
    void splashHoldsTheCloseThenOpensTheCommandLineFile() {
        Frame frame;
        const QString file = frame.Database(QStringLiteral("given.hp"));
        QPointer<SplashScreen> splash = new SplashScreen(file);
        splash->show();
        MainWindow& main = frame.Open();
        QVERIFY(!Glob().SplashDone);
        QCOMPARE(LabelText(splash, "Label1"), QStringLiteral("Version 2.7"));
        QCOMPARE(LabelText(splash, "Label2"), Tx(830));
        QCOMPARE(LabelText(splash, "Label3"), Tx(835));
        QVERIFY(splash->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(splash->Timer1()->interval(), SplashScreen::kShowMilliseconds);
        QVERIFY(splash->Timer1()->isActive());

        QVERIFY(!main.close()); // refused while the splash shows
        QVERIFY(main.isVisible());
        QCOMPARE(main.DocumentWindows().size(), 0);

        splash->Timer1Timer();
        QVERIFY(Glob().SplashDone);
        QTRY_COMPARE(main.DocumentWindows().size(), 1);
        QCOMPARE(main.ActiveDocument()->Table().FileName, file);
        QTRY_VERIFY(splash.isNull()); // it took itself away
        QVERIFY(main.close());
    }

    void theFileOpensWhenTheTimeIsUp() {
        Frame frame;
        const QString file = frame.Database(QStringLiteral("later.hp"));
        QElapsedTimer clock;
        clock.start();
        auto* splash = new SplashScreen(file);
        splash->show();
        MainWindow& main = frame.Open();
        QTRY_COMPARE_WITH_TIMEOUT(main.DocumentWindows().size(), 1, 5000);
        QVERIFY(clock.elapsed() >= SplashScreen::kShowMilliseconds - 50);
        QVERIFY(Glob().SplashDone);
    }

    void unreadableCommandLineFileIsReportedAndClosed() {
        Frame frame;
        auto* splash = new SplashScreen(frame.sandbox.Path(QStringLiteral("missing.hp")));
        MainWindow& main = frame.Open();
        splash->Timer1Timer();
        QTRY_COMPARE(frame.prompter.ShownIds(), QList<quint16>{1115});
        QCOMPARE(main.DocumentWindows().size(), 0);
        QVERIFY(Glob().SplashDone);
    }

    void aboutWindow() {
        Frame frame;
        Glob().Ini->WriteString("Application", "Language", QStringLiteral("1"));
        MainWindow& main = frame.Open();
        AboutDialog* about = main.aboutDialog();
        QCOMPARE(about->windowTitle(), QStringLiteral("About..."));
        QCOMPARE(LabelText(about, "Label1"), QStringLiteral("Version 2.7"));
        QCOMPARE(LabelText(about, "Label3"), QStringLiteral("deutsch/english"));
        QVERIFY(!LabelText(about, "Label2").isEmpty());
        QCOMPARE(LabelText(about, "Label4"), QStringLiteral("© The authors of Ombrel"));
        QCOMPARE(LabelText(about, "Label6"), Tx(750));
        QCOMPARE(LabelText(about, "Label7"), Tx(755));
        const QLabel* image = about->findChild<QLabel*>("Image1");
        QCOMPARE(image->pixmap().size(), QSize(292, 180));
        QCOMPARE(image->pos(), QPoint(-5, -5));
        QCOMPARE(about->size(), QSize(290, 277));

        // The Help menu shows it modally until OK.
        bool shown = false;
        QTimer::singleShot(0, about, [about, &shown] {
            shown = about->isVisible() && about->isModal();
            about->findChild<QPushButton*>("Button1")->click();
        });
        main.findChild<QAction*>("ber1")->trigger();
        QVERIFY(shown);
        QVERIFY(!about->isVisible());
        QCOMPARE(about->result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
