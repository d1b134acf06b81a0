// The find dialog driven offscreen inside the real main window: Find and Repeat over the
// rows of a document, the selection of each hit, the dialog's texts and its settings.

#include "ProgramFrame.h"
#include "Sandbox.h"
#include "ScriptedFileDialogs.h"
#include "ScriptedPrompter.h"
#include "app/Startup.h"
#include "core/HpFile.h"
#include "gui/DataBox.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/FindDialog.h"
#include "gui/dialogs/SettingsDialog.h"
#include "platform/Paths.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <functional>

namespace {

using Topics = QList<QList<QByteArray>>;

// One program with its long-lived dialogs, in a sandbox, in English.
struct Program : ProgramFrame {
    explicit Program(const QByteArray& settings = "[Application]\nLanguage=1\n") {
        writeBytes(sandbox.settingsFile(), settings);
        ProgramFrame::open();
    }
    // A document window showing the given topics, entry 1 selected.
    DocumentWindow* open(const Topics& topics) {
        const TopicTable table = tableOf(topics);
        const QString file = sandbox.path(QStringLiteral("%1.hp").arg(++files));
        writeBytes(file, formatHpFile(table, table.topicCount(), true, false));
        return main->openDocument(file, Workspace::RecentFiles::Remember) ? main->activeDocument()
                                                                          : nullptr;
    }
    template <typename T> T* control(const char* name) {
        return main->findDialog().findChild<T*>(QLatin1String(name));
    }
    bool start(DocumentWindow* document, const QString& text, bool allTopics,
               bool matchCase = false) {
        control<QLineEdit>("searchText")->setText(text);
        control<QRadioButton>(allTopics ? "allTopics" : "currentTopic")->setChecked(true);
        control<QCheckBox>("caseSensitive")->setChecked(matchCase);
        return main->findDialog().startSearch(document);
    }
    void repeat() { main->findChild<QAction*>("repeatFind")->trigger(); }

    int files = 0;
};

// The selection in the data box as "entry:line:column:text", line from 1, column from 0.
QString selected(DocumentWindow* document) {
    const QTextCursor cursor = dataBoxOf(document)->textCursor();
    const QTextBlock line = dataBoxOf(document)->document()->findBlock(cursor.selectionStart());
    return QStringLiteral("%1:%2:%3:%4")
        .arg(document->document().selection())
        .arg(line.blockNumber() + 1)
        .arg(cursor.selectionStart() - line.position())
        .arg(cursor.selectedText());
}

// Acts on the modal dialog once it shows; the command that opened it then returns.
struct OnModal {
    explicit OnModal(std::function<void(QWidget*)> act) {
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [this, act] {
            shown = QApplication::activeModalWidget() != nullptr;
            if (shown)
                act(QApplication::activeModalWidget());
        });
        timer.start(0);
    }
    QTimer timer;
    bool shown = false;
};

// Types the text into the dialog and presses the button.
std::function<void(QWidget*)> answer(const QString& text, const char* button) {
    return [text, button](QWidget* dialog) {
        dialog->findChild<QLineEdit*>("searchText")->setText(text);
        dialog->findChild<QPushButton*>(QLatin1String(button))->click();
    };
}

} // namespace

class TestFind : public QObject {
    Q_OBJECT

  private slots:
    void twoHitsInOneRowThenNotFoundThenTheFirstAgain() {
        Program program;
        DocumentWindow* document = program.open({{"zz"}, {"one", "two", "an ab and ab"}, {"ab"}});
        document->document().select(2);
        QVERIFY(program.start(document, QStringLiteral("ab"), false));
        QCOMPARE(selected(document), QStringLiteral("2:3:3:ab"));
        QCOMPARE(program.main->focusWidget(), dataBoxOf(document));
        program.repeat();
        QCOMPARE(selected(document), QStringLiteral("2:3:10:ab"));
        program.repeat();
        QCOMPARE(program.prompter.shownIds(), QList<quint16>{1135});
        QCOMPARE(program.prompter.shown[0].text, QStringLiteral("Searchstring not found !"));
        QCOMPARE(selected(document), QStringLiteral("2:3:10:ab"));
        program.repeat();
        QCOMPARE(selected(document), QStringLiteral("2:3:3:ab"));
    }

    void theHitIsSelectedWhereTheBoxShowsIt() {
        Program program;
        DocumentWindow* document =
            program.open({{"abcde", "", "xyzQRS"}, {"h", "", "\x81yzQ\x81S"}});
        QVERIFY(program.start(document, QStringLiteral("QRS"), false));
        QCOMPARE(dataBoxOf(document)->textCursor().selectionStart(), (5 + 1) + (0 + 1) + 3);
        // x with its bar is one code but two characters in the box
        document->document().select(2);
        QVERIFY(program.start(document, QStringLiteral(u"Qx\u0304"), false));
        QCOMPARE(selected(document), QStringLiteral(u"2:3:4:Qx\u0304"));
    }

    void findCancelAndRepeatThroughTheCommands() {
        Program program;
        DocumentWindow* document = program.open({{"alpha beta"}, {"beta"}, {"gamma"}});
        QAction* find = program.main->findChild<QAction*>("find");
        QAction* repeat = program.main->findChild<QAction*>("repeatFind");
        QVERIFY(find->isEnabled() && !repeat->isEnabled());

        OnModal cancelled(answer(QStringLiteral("beta"), "cancelButton"));
        find->trigger();
        QVERIFY(cancelled.shown && !repeat->isEnabled());

        program.control<QRadioButton>("allTopics")->setChecked(true);
        OnModal started(answer(QStringLiteral("beta"), "startButton"));
        program.main->findChild<QAction*>("findButton")->trigger();
        QVERIFY(started.shown && repeat->isEnabled());
        QCOMPARE(selected(document), QStringLiteral("1:1:6:beta"));

        // cancelled after another text was typed: Repeat goes on with the one started
        OnModal changedMind(answer(QStringLiteral("gamma"), "cancelButton"));
        find->trigger();
        repeat->trigger();
        QCOMPARE(selected(document), QStringLiteral("2:1:0:beta"));

        // from now on Repeat follows the documents
        program.main->findChild<QAction*>("closeAll")->trigger();
        QTRY_VERIFY(!repeat->isEnabled());
        program.main->newDocument();
        QVERIFY(repeat->isEnabled());
    }

    void textsLimitAndSettings() {
        Program program("[Application]\nLanguage=1\n[Find]\nLocation=1\nUpCase=1\nTop=90\n");
        FindDialog& find = program.main->findDialog();
        // at most 35 codes; x with its bar counts once
        QLineEdit* edit = program.control<QLineEdit>("searchText");
        for (QChar character : QStringLiteral(u"x\u0304").repeated(36))
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, character, Qt::NoModifier);
        QCOMPARE(edit->text(), QStringLiteral(u"x\u0304").repeated(35));

        QVERIFY(program.control<QRadioButton>("allTopics")->isChecked());
        QVERIFY(program.control<QCheckBox>("caseSensitive")->isChecked());
        QCOMPARE(find.pos(), QPoint(250, 90));
        program.control<QRadioButton>("currentTopic")->setChecked(true);
        find.move(40, 30);
        QVERIFY(program.main->close()); // quit
        QVERIFY(readBytes(program.sandbox.settingsFile())
                    .contains("[Find]\nLocation=0\nUpCase=1\nTop=30\nLeft=40\n"));
    }

    void restoredDefaultsAreNotOverwritten() {
        Program program;
        emit program.main->settingsDialog().defaultsRestored(); // the program ends
        QVERIFY(!program.main->isVisible());
        QVERIFY(!readBytes(program.sandbox.settingsFile()).contains("[Find]"));
    }
};

QTEST_MAIN(TestFind)
#include "tst_find.moc"
