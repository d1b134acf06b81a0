// The calculator screen beside the data box, driven offscreen inside the real main window: the
// View menu's choices, the character at the cursor, the picture copied and saved.

#include "ProgramFrame.h"
#include "Sandbox.h"
#include "gui/CalculatorScreen.h"
#include "gui/DataBox.h"
#include "gui/DocumentWindow.h"
#include "gui/MainWindow.h"
#include "platform/StringTable.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>

namespace {

struct Frame : ProgramFrame {
    explicit Frame(const char* language = "1") {
        set("Application", "Language", QString::fromLatin1(language));
        open();
    }
    QWidget* screenSide(DocumentWindow* document) const {
        return document->findChild<QWidget*>(QStringLiteral("screenSide"));
    }
    CalculatorScreen* screen(DocumentWindow* document) const {
        return document->findChild<CalculatorScreen*>();
    }
    QString panelText(QWidget* owner, const char* name) const {
        return owner->findChild<QLabel*>(QLatin1String(name))->text();
    }
};

} // namespace

class TestScreen : public QObject {
    Q_OBJECT

  private slots:
    // Every window follows the View menu, a new one too; the window grows to hold the screen, and
    // each choice is kept.
    void theViewMenuChoosesForEveryWindow() {
        Frame frame;
        DocumentWindow* first = frame.main->newDocument();
        QVERIFY(frame.screenSide(first)->isHidden());
        QCOMPARE(first->size(), QSize(481, 162));

        frame.action("calculatorScreen")->trigger();
        QVERIFY(frame.action("calculatorScreenButton")->isChecked());
        QCOMPARE(frame.get("Screen", "Shown"), QStringLiteral("1"));
        QVERIFY(!frame.screenSide(first)->isHidden());
        QCOMPARE(frame.screen(first)->picture().size(), QSize(2 * 137, 2 * 70));
        QCOMPARE(first->size(), QSize(481 + 1 + 274, 162));
        QCOMPARE(frame.panelText(first, "screenGrid"), QStringLiteral(u"22 \u00d7 8"));

        frame.action("screenScaleThree")->trigger();
        frame.action("screenFontSmall")->trigger();
        QCOMPARE(frame.get("Screen", "Scale"), QStringLiteral("3"));
        QCOMPARE(frame.get("Screen", "Font"), QStringLiteral("1"));
        QCOMPARE(first->size(), QSize(481 + 1 + 411, 21 + 210));
        QCOMPARE(first->parentWidget()->size(), first->parentWidget()->sizeHint());
        QCOMPARE(frame.panelText(first, "screenGrid"), QStringLiteral(u"33 \u00d7 10"));

        DocumentWindow* second = frame.main->newDocument();
        QCOMPARE(second->size(), first->size());
        QCOMPARE(frame.screen(second)->fontSize(), lcd::FontSize::Small);

        frame.action("calculatorScreen")->trigger();
        QVERIFY(!frame.action("calculatorScreenButton")->isChecked());
        QCOMPARE(frame.get("Screen", "Shown"), QStringLiteral("0"));
        for (DocumentWindow* document : {first, second})
            QCOMPARE(document->size(), QSize(481, 162));
    }

    void theStatusNamesTheCharacterAtTheCursor() {
        const QString row = QStringLiteral(u"a\u2192x\u0304\u20AC\u2409");
        const QList<std::tuple<const char*, int, QString>> cases = {
            {"1", 0, "97 latin small letter a"},
            {"1", 1, "141 rightwards arrow"},
            {"1", 2, "129 latin small letter x + combining macron"},
            {"1", 4, QStringLiteral(u"\u20AC: no HP48 code")},
            {"1", 5, "9 horizontal tabulation"},
            {"1", 6, ""},
            {"0", 1, "141 Pfeil nach rechts"},
            {"0", 4, QStringLiteral(u"\u20AC: kein HP48-Code")},
        };
        for (const auto& [language, index, expected] : cases) {
            Frame frame(language);
            DocumentWindow* document = frame.main->newDocument();
            dataBoxOf(document)->setPlainText(row);
            dataBoxOf(document)->placeCursor(0, index);
            QCOMPARE(frame.panelText(frame.main.get(), "characterPanel"), expected);
        }
    }

    // Copied, the clipboard holds the picture; saved, the file holds it; a file that cannot be
    // written is named in a message.
    void thePictureIsCopiedAndSaved() {
        Frame frame;
        frame.set("Screen", "Shown", QStringLiteral("1"));
        DocumentWindow* document = frame.main->newDocument();
        dataBoxOf(document)->setPlainText(QStringLiteral("typed, not committed"));
        CalculatorScreen* screen = frame.screen(document);
        const QImage shown = screen->picture();

        screen->findChild<QAction*>(QStringLiteral("copyScreen"))->trigger();
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
                 shown);

        const QString saved = frame.sandbox.path(QStringLiteral("pictures/topic.png"));
        frame.dialogs.saveAnswers = {saved, frame.sandbox.path(QStringLiteral("none/x.png"))};
        QAction* save = screen->findChild<QAction*>(QStringLiteral("saveScreen"));
        save->trigger();
        QCOMPARE(frame.dialogs.requests.value(0).fileName, QStringLiteral("screen.png"));
        QCOMPARE(QImage(saved).convertToFormat(QImage::Format_RGB32), shown);
        QVERIFY(QDir().rmdir(frame.sandbox.path(QStringLiteral("none"))));
        save->trigger();
        QCOMPARE(frame.prompter.shownIds(), QList<quint16>{9055});
        QVERIFY(!QFile::exists(frame.sandbox.path(QStringLiteral("none/x.png"))));
    }
};

QTEST_MAIN(TestScreen)
#include "tst_screen.moc"
