// The sort dialog driven offscreen inside the real main window: what the document shows
// afterwards, the dialog's texts and its settings.

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
#include "gui/TopicList.h"
#include "gui/dialogs/SortDialog.h"
#include "platform/Paths.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {

using sort::Comparison;

// One program with its long-lived dialogs, in a sandbox, in English.
struct Program : ProgramFrame {
    explicit Program(const QByteArray& settings = "[Application]\nLanguage=1\n") {
        writeBytes(sandbox.settingsFile(), settings);
        ProgramFrame::open();
    }
    DocumentWindow* open(const QList<TopicRows>& topics) {
        TopicTable table;
        table.fill(topics);
        const QString file = sandbox.path(QStringLiteral("db.hp"));
        writeBytes(file, formatHpFile(table, table.topicCount(), true, false));
        return main->openDocument(file, Workspace::RecentFiles::Remember) ? main->activeDocument()
                                                                          : nullptr;
    }
    template <typename T> T* control(const char* name) {
        return main->sortDialog().findChild<T*>(QLatin1String(name));
    }
    // Opens the sort from the menu on the active document and presses the button once the
    // dialog shows.
    bool sortFromMenu(DocumentWindow*, const char* button) {
        bool shown = false;
        QTimer timer; // gone with this call, whether the dialog showed or not
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&shown, button] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                shown = true;
                dialog->findChild<QPushButton*>(QLatin1String(button))->click();
            }
        });
        timer.start(0);
        action("sortTopics")->trigger();
        return shown;
    }
};

QStringList titles(DocumentWindow* document) {
    QStringList titles;
    for (int row = 0; row < topicListOf(document)->count(); ++row)
        titles.append(topicListOf(document)->item(row)->text());
    return titles;
}

} // namespace

class TestSort : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // The comparisons by locale follow the user's locale; the tests fix one.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void sortingFromTheMenu() {
        Program program;
        const QByteArray longRow(45, 'r');
        DocumentWindow* document =
            program.open({{"first", "Kiwi", longRow},
                          {"second", "apple"},
                          {"third", "Banana", "", "", "", "", "", "", "", "ten"}});
        document->document().setTitleRow(2); // the titles are row 2
        document->document().select(3);
        program.control<QCheckBox>("localeConventions")->setChecked(false);
        program.control<QCheckBox>("caseSensitive")->setChecked(true);
        QVERIFY(program.sortFromMenu(document, "startButton"));
        QCOMPARE(titles(document), QStringList({"Banana", "Kiwi", "apple", ""}));
        QCOMPARE(document->document().table().row(1, 10), QByteArray("ten"));
        QCOMPARE(document->document().table().row(2, 3), longRow);
        QCOMPARE(document->document().table().topic(4),
                 TopicRows{}); // "<New>" stays last and blank
        QCOMPARE(document->document().selection(), 1);
        QVERIFY(dataBoxOf(document)->toPlainText().startsWith(QStringLiteral("third\nBanana")));
        QVERIFY(document->document().isModified());
        QCOMPARE(program.statusPanel(2), QStringLiteral("Topics sorted"));
        QCOMPARE(program.main->focusWidget(), topicListOf(document)); // once it is active again

        // In order already: the file holds what the sort leaves.
        QVERIFY(document->save());
        QVERIFY(program.sortFromMenu(document, "startButton"));
        QVERIFY(!document->document().isModified());
    }

    void cancelAndTooFewTopicsChangeNothing() {
        Program program;
        DocumentWindow* document = program.open({{"b"}, {"a"}});
        document->document().select(2);
        QVERIFY(program.sortFromMenu(document, "cancelButton"));
        QCOMPARE(titles(document), QStringList({"b", "a", ""}));
        QCOMPARE(document->document().selection(), 2);
        QVERIFY(!document->document().isModified());

        DocumentWindow* single = program.open({{"only"}});
        QVERIFY(!program.sortFromMenu(single, "cancelButton"));
        QCOMPARE(program.prompter.shownIds(), QList<quint16>{1185});
        QCOMPARE(program.prompter.shown[0].text,
                 QStringLiteral("Wanna sort less than 2 topics, uh ?"));
        QVERIFY(!single->document().isModified());
    }

    void textsAndSettings() {
        Program program("[Application]\nLanguage=1\n[Sort]\nAnsi=0\nUpCase=1\nDirection=1\n");
        SortDialog& sort = program.main->sortDialog();
        QCOMPARE(sort.chosenComparison(), Comparison::Ordinal);
        QVERIFY(sort.descending());
        QCOMPARE(sort.pos(), QPoint(250, 200));
        program.control<QCheckBox>("localeConventions")->setChecked(true);
        program.control<QRadioButton>("ascending")->setChecked(true);
        sort.move(60, 70);
        QVERIFY(program.main->close()); // quit
        QVERIFY(readBytes(program.sandbox.settingsFile())
                    .contains("[Sort]\nAnsi=1\nUpCase=1\nDirection=0\nTop=70\nLeft=60\n"));
    }
};

QTEST_MAIN(TestSort)
#include "tst_sort.moc"
