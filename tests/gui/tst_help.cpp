#include "ProgramFrame.h"
#include "Sandbox.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompter.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/FindDialog.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/ScanDialog.h"
#include "gui/dialogs/SortDialog.h"
#include "gui/dialogs/TransferDialog.h"
#include "gui/dialogs/TransferParametersDialog.h"
#include "platform/StringTable.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace {

const QString kHelpSource = QStringLiteral(OMBREL_SOURCE_DIR "/resources/omhelp.html");

// Every context the windows open the help at.
const QStringList kContexts = {"conn", "advanced", "sort", "find",    "scan",    "inst",
                               "prog", "lay",      "lang", "iopar",   "pfad",    "color",
                               "ask",  "recovery", "555",  "compare", "received"};

struct Frame : ProgramFrame {
    explicit Frame(bool withHelpFile = true) { useProgramDirectory(withHelpFile); }
    MainWindow& open() { return ProgramFrame::open(); }
    QTextBrowser* browser() const {
        return HelpWindow::instance() ? HelpWindow::instance()->findChild<QTextBrowser*>()
                                      : nullptr;
    }
};

QSet<QString> anchorsOf(const QString& html) {
    QSet<QString> anchors;
    static const QRegularExpression name(QStringLiteral("<a\\s+name=\"([^\"]+)\""));
    for (const QRegularExpressionMatch& match : name.globalMatch(html))
        anchors.insert(match.captured(1));
    return anchors;
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

  private slots:
    void everyContextHasItsAnchorInBothLanguages() {
        QFile file(kHelpSource);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        const QSet<QString> anchors = anchorsOf(html);
        for (const QString& context : kContexts + QStringList{help::kContents, help::kHelpOnHelp}) {
            for (int language : {0, 1}) {
                const QString anchor = help::anchor(context, language);
                QVERIFY2(anchors.contains(anchor), qPrintable(anchor));
            }
        }
        // Every link inside the file leads to an anchor it has.
        static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
        for (const QRegularExpressionMatch& match : link.globalMatch(html))
            QVERIFY2(anchors.contains(match.captured(1)), qPrintable(match.captured(1)));
    }

    void helpMenuAndButtonOpenTheirTopics() {
        Frame frame;
        MainWindow& main = frame.open();
        main.findChild<QAction*>("helpOnHelp")->trigger();
        QVERIFY(frame.browser());
        QVERIFY(HelpWindow::instance()->isVisible());
        QCOMPARE(frame.browser()->source().fragment(), QStringLiteral("helponhelp"));
        QVERIFY(frame.browser()->verticalScrollBar()->value() > 0);
        QCOMPARE(HelpWindow::instance()->windowTitle(), strings::text(760));

        main.findChild<QAction*>("helpTopics")->trigger();
        QCOMPARE(frame.browser()->source().fragment(), QStringLiteral("contents"));
        const int top = frame.browser()->verticalScrollBar()->value();
        QVERIFY(top < 20); // the German contents open the file
        showHelp(QStringLiteral("scan"));
        QCOMPARE(frame.browser()->source().fragment(), QStringLiteral("scan"));
        HelpWindow::instance()->findChild<QToolButton*>("BackButton")->click();
        QCOMPARE(frame.browser()->source().fragment(), QStringLiteral("contents"));

        strings::setLanguage(strings::kEnglish);
        applyLanguage();
        QCOMPARE(HelpWindow::instance()->windowTitle(), QStringLiteral("Ombrel Help"));
        main.findChild<QAction*>("helpButton")->trigger();
        QCOMPARE(frame.browser()->source().fragment(), QStringLiteral("en-contents"));
        QVERIFY(frame.browser()->verticalScrollBar()->value() > top + 1000); // the English part
    }

    // Each dialog's Help button opens the help at the dialog's own topic.
    void dialogHelpButtonsOpenTheirTopics() {
        Frame frame;
        MainWindow& main = frame.open();
        const QList<QPair<QWidget*, QString>> dialogs = {
            {&main.findDialog(), QStringLiteral("find")},
            {&main.sortDialog(), QStringLiteral("sort")},
            {&main.scanDialog(), QStringLiteral("scan")},
            {&main.transferDialog(), QStringLiteral("conn")},
            {&main.transferParametersDialog(), QStringLiteral("advanced")}};
        for (const auto& [dialog, topic] : dialogs) {
            auto* help = dialog->findChild<QPushButton*>(QStringLiteral("helpButton"));
            QVERIFY2(help && help->isEnabled(), qPrintable(topic));
            help->click();
            QCOMPARE(frame.browser()->source().fragment(), topic);
        }
    }

    // A modal dialog blocks every window but its own: the help opens as one of its windows.
    void helpFromAModalDialogStaysUsable() {
        Frame frame;
        MainWindow& main = frame.open();
        QDialog dialog(&main);
        QWidget* parentWhileModal = nullptr;
        QTimer::singleShot(0, &dialog, [&] {
            showHelp(QStringLiteral("find"));
            parentWhileModal = HelpWindow::instance()->parentWidget();
            dialog.reject();
        });
        dialog.exec();
        QCOMPARE(parentWhileModal, &dialog);
        showHelp(QStringLiteral("find"));
        QCOMPARE(HelpWindow::instance()->parentWidget(), &main);
    }

    void missingHelpFileIsReported() {
        Frame frame(false);
        frame.open();
        delete HelpWindow::instance();
        showHelp(help::kContents);
        QCOMPARE(frame.prompter.shownIds(), QList<quint16>{1115});
        QVERIFY(!HelpWindow::instance() || !HelpWindow::instance()->isVisible());
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
