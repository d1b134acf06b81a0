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
        return main->sortDialog()->findChild<T*>(QLatin1String(name));
    }
    // Opens the sort from the document's menu and presses the button once the dialog shows.
    bool sortFromMenu(DocumentWindow* document, const char* button) {
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
        document->findChild<QAction*>("sortTopics")->trigger();
        return shown;
    }
};

QStringList titles(DocumentWindow* document) {
    QStringList titles;
    for (int row = 0; row < document->topicList()->count(); ++row)
        titles.append(document->topicList()->item(row)->text());
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
        document->setTitleRow(2); // the titles are row 2
        document->selectEntry(3);
        program.control<QCheckBox>("localeConventions")->setChecked(false);
        program.control<QCheckBox>("caseSensitive")->setChecked(true);
        QVERIFY(program.sortFromMenu(document, "startButton"));
        QCOMPARE(titles(document), QStringList({"Banana", "Kiwi", "apple", ""}));
        QCOMPARE(document->table().row(1, 10), QByteArray("ten"));
        QCOMPARE(document->table().row(2, 3), longRow);
        QCOMPARE(document->table().topic(4), TopicRows{}); // "<New>" stays last and blank
        QCOMPARE(document->selectedEntry(), 1);
        QVERIFY(document->dataBox()->toPlainText().startsWith(QStringLiteral("third\nBanana")));
        QVERIFY(document->table().modified);
        QCOMPARE(program.main->statusPanelText(2), QStringLiteral("Topics sorted"));
        QCOMPARE(program.main->focusWidget(), document->topicList()); // once it is active again

        // In order already: still a change.
        document->setModified(false);
        QVERIFY(program.sortFromMenu(document, "startButton"));
        QVERIFY(document->table().modified);
    }

    void cancelAndTooFewTopicsChangeNothing() {
        Program program;
        DocumentWindow* document = program.open({{"b"}, {"a"}});
        document->selectEntry(2);
        QVERIFY(program.sortFromMenu(document, "cancelButton"));
        QCOMPARE(titles(document), QStringList({"b", "a", ""}));
        QCOMPARE(document->selectedEntry(), 2);
        QVERIFY(!document->table().modified);

        DocumentWindow* single = program.open({{"only"}});
        QVERIFY(!program.sortFromMenu(single, "cancelButton"));
        QCOMPARE(program.prompter.shownIds(), QList<quint16>{1185});
        QCOMPARE(program.prompter.shown[0].text,
                 QStringLiteral("Wanna sort less than 2 topics, uh ?"));
        QVERIFY(!single->table().modified);
    }

    void textsAndSettings() {
        Program program("[Application]\nLanguage=1\n[Sort]\nAnsi=0\nUpCase=1\nDirection=1\n");
        SortDialog& sort = *program.main->sortDialog();
        QStringList texts{sort.windowTitle()};
        for (const char* name : {"orderLabel", "optionsLabel"})
            texts.append(program.control<QLabel>(name)->text());
        for (const char* name : {"ascending", "descending", "localeConventions", "caseSensitive",
                                 "startButton", "cancelButton", "helpButton"})
            texts.append(program.control<QAbstractButton>(name)->text());
        QCOMPARE(texts,
                 QStringList({"Sort topics", "Order :", "Options :", " ascending", " descending",
                              " ANSI conventions", " Case sensitive", "Start", "Cancel", "Help"}));
        QVERIFY(program.control<QPushButton>("helpButton")->isEnabled()); // opens the help

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
