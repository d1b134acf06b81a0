#include "ProgramFrame.h"
#include "Sandbox.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/dialogs/CharacterTable.h"
#include "gui/dialogs/FindDialog.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/InstallerDialog.h"
#include "gui/dialogs/RecoveryDialog.h"
#include "gui/dialogs/ScanDialog.h"
#include "gui/dialogs/SettingsDialog.h"
#include "gui/dialogs/SortDialog.h"
#include "gui/dialogs/SplashScreen.h"
#include "gui/dialogs/TransferDialog.h"
#include "gui/dialogs/TransferParametersDialog.h"
#include "platform/Paths.h"
#include "platform/Preferences.h"
#include "platform/Settings.h"
#include "platform/SettingsFile.h"
#include "platform/StringTable.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>
#include <tuple>
#include <type_traits>

namespace {

QLabel* panelOf(const QWidget* window, const char* name) {
    return window->findChild<QLabel*>(QLatin1String(name));
}

template <typename T> T* tagged(T* object, int tag) {
    object->setProperty(kTagProperty, tag);
    return object;
}

// A new widget of type W, tagged and placed in the parent's layout.
template <typename W> W* add(QWidget* parent, int tag, const QString& text = QStringLiteral("x")) {
    auto* widget = tagged(new W(parent), tag);
    if constexpr (std::is_same_v<W, QGroupBox>)
        widget->setTitle(text);
    else if constexpr (requires { widget->setText(text); })
        widget->setText(text);
    if (!parent->layout())
        new QVBoxLayout(parent);
    parent->layout()->addWidget(widget);
    return widget;
}

QString T(int baseId, int language) {
    return strings::text(static_cast<quint16>(baseId), language);
}

// A frame with a menu bar, a pop-up menu, a tool bar and one control of every other kind. Its
// caption is not localised.
struct Frame {
    QMainWindow window;
    QWidget* controls = new QWidget;
    QMenu* fileMenu = tagged(window.menuBar()->addMenu(QStringLiteral("x")), 2100);
    QAction* newFile = tagged(fileMenu->addAction(QStringLiteral("x")), 2105);
    QAction* insert = tagged((new QMenu(&window))->addAction(QStringLiteral("x")), 600);
    QToolBar* tools = window.addToolBar(QStringLiteral("tools"));
    QAction* toolAction = tagged(tools->addAction(QStringLiteral("tool")), 500);
    QToolButton* toolButton = tagged(new QToolButton, 505);
    QLabel* label = add<QLabel>(controls, 305);
    QPushButton* button = add<QPushButton>(controls, 10);
    QCheckBox* checkBox = add<QCheckBox>(controls, 335);
    QGroupBox* radioGroup = add<QGroupBox>(controls, 320);
    QRadioButton* firstItem = add<QRadioButton>(radioGroup, 20); // its own tag does not count
    QRadioButton* secondItem = add<QRadioButton>(radioGroup, 0);
    QGroupBox* plainGroup = add<QGroupBox>(controls, 3030);
    QTabWidget* tabs = add<QTabWidget>(controls, 0);
    QLineEdit* edit = add<QLineEdit>(controls, 400, QStringLiteral("typed text"));

    Frame() {
        window.setWindowTitle(QStringLiteral("Ombrel"));
        window.setCentralWidget(controls);
        toolButton->setText(QStringLiteral("button"));
        tools->addWidget(toolButton);
        tabs->addTab(tagged(new QWidget, 3800), QStringLiteral("x"));
        tabs->addTab(tagged(new QWidget, 3805), QStringLiteral("x"));
    }
};

// The global state as start-up leaves it, over the sandbox's settings file.
struct Globals {
    explicit Globals(int language) { strings::setLanguage(language); }
    // As the settings dialog does it.
    void switchTo(int language) {
        strings::setLanguage(language);
        applyLanguage();
        QCOMPARE(strings::language(), language);
    }
};

} // namespace

class TestLocalizer : public QObject {
    Q_OBJECT

  private slots:
    void everyKindOfControl();
    void documentWindows();
    void everyTaggedControlHasItsTexts();
};

void TestLocalizer::everyKindOfControl() {
    Sandbox sandbox;
    Globals globals(1);
    Frame frame;
    registerWindow(&frame.window);
    for (int language : {1, 0}) {
        globals.switchTo(language);
        QCOMPARE(frame.window.windowTitle(), QStringLiteral("Ombrel"));
        QCOMPARE(frame.fileMenu->title(), T(2100, language));
        QCOMPARE(frame.fileMenu->menuAction()->statusTip(), T(2500, language));
        QCOMPARE(frame.newFile->text(), T(2105, language));
        QCOMPARE(frame.newFile->statusTip(), T(2505, language));
        QCOMPARE(frame.insert->text(), T(600, language));
        QCOMPARE(frame.insert->statusTip(), QString()); // pop-up hints have no entries
        QCOMPARE(frame.toolAction->statusTip(), T(500, language));
        QCOMPARE(frame.toolAction->text(), QStringLiteral("tool"));
        QCOMPARE(frame.toolButton->statusTip(), T(505, language));
        QCOMPARE(frame.toolButton->text(), QStringLiteral("button"));
        QCOMPARE(frame.label->text(), T(305, language));
        QCOMPARE(frame.button->text(), T(10, language));
        QCOMPARE(frame.checkBox->text(), T(335, language));
        QCOMPARE(frame.radioGroup->title(), QString()); // 320 has no entry
        QCOMPARE(frame.firstItem->text(), T(325, language));
        QCOMPARE(frame.secondItem->text(), T(330, language));
        QCOMPARE(frame.plainGroup->title(), T(3030, language));
        QCOMPARE(frame.tabs->tabText(0), T(3800, language));
        QCOMPARE(frame.tabs->tabText(1), T(3805, language));
        QCOMPARE(frame.edit->text(), QStringLiteral("typed text"));
    }
    QCOMPARE(frame.newFile->text(), QStringLiteral("&Neue Datei"));
    QCOMPARE(frame.firstItem->text(), QStringLiteral("aktuelles Topic"));
    globals.switchTo(1);
    QCOMPARE(frame.newFile->statusTip(), QStringLiteral("Creates a new file"));
    QCOMPARE(frame.tabs->tabText(1), QStringLiteral("Questions"));
}

// A document window names itself in the program's language until it has a file, and keeps the
// numbers in its panels; the panels' hints follow the language.
void TestLocalizer::documentWindows() {
    Sandbox sandbox;
    Globals globals(0);
    SettingsFile settings(paths::settingsFile());
    Preferences preferences(settings);
    TopicCopyBuffer copies;
    DocumentWindow unnamed(preferences, copies);
    DocumentWindow named(preferences, copies);
    const QString file = sandbox.path(QStringLiteral("base.hp"));
    writeBytes(file, "%%HP: T(1)A(R)F(,);\r\n{ {\"x\"}}");
    QVERIFY(named.loadFromFile(file));
    for (int language : {0, 1}) {
        globals.switchTo(language);
        QCOMPARE(unnamed.windowTitle(), T(100, language));
        QCOMPARE(named.windowTitle(), QStringLiteral("base.hp"));
        for (DocumentWindow* document : {&unnamed, &named}) {
            QCOMPARE(panelOf(document, "topicPosition")->statusTip(), T(115, language));
            QCOMPARE(panelOf(document, "rowCounter")->statusTip(), T(130, language));
            QCOMPARE(panelOf(document, "rowLength")->statusTip(), T(135, language));
            QCOMPARE(panelOf(document, "titleRow")->statusTip(), T(140, language));
            QCOMPARE(panelOf(document, "titleRow")->text(), QStringLiteral("1")); // the value stays
        }
        QCOMPARE(panelOf(&unnamed, "topicPosition")->text(),
                 T(110, language) + QStringLiteral("0"));
        QCOMPARE(panelOf(&named, "topicPosition")->text(), QStringLiteral("1/1"));
    }
    QCOMPARE(panelOf(&unnamed, "topicPosition")->text(), QStringLiteral("New /0"));
}

namespace {

// The ids a control shows texts of: its own, but those of the items for a group of radio
// buttons, whose own title may be blank.
QList<quint16> shownIds(const QObject* control) {
    const quint16 tag = control->property(kTagProperty).value<quint16>();
    const auto* group = qobject_cast<const QGroupBox*>(control);
    const QList<QRadioButton*> items =
        group ? group->findChildren<QRadioButton*>() : QList<QRadioButton*>();
    if (tag == 0 || items.isEmpty())
        return tag == 0 ? QList<quint16>() : QList<quint16>{tag};
    QList<quint16> ids;
    for (qsizetype item = 1; item <= items.size(); ++item)
        ids.append(static_cast<quint16>(tag + 5 * item));
    return ids;
}

} // namespace

// Every window of the program, each control that carries an id: the id has a text in both
// languages, so no control is left blank or in the other language.
void TestLocalizer::everyTaggedControlHasItsTexts() {
    ProgramFrame frame;
    MainWindow& main = frame.open();
    const auto splash = std::make_unique<SplashScreen>(QString());
    const QList<QWidget*> windows{&main,
                                  main.newDocument(),
                                  &main.characterTable(),
                                  &main.findDialog(),
                                  &main.sortDialog(),
                                  &main.settingsDialog(),
                                  &main.aboutDialog(),
                                  &main.transferDialog(),
                                  &main.scanDialog(),
                                  &main.transferParametersDialog(),
                                  new HelpWindow(&main),
                                  new InstallerDialog(frame.settings, &main),
                                  new RecoveryDialog({}, &main),
                                  splash.get()};
    QStringList blank;
    for (QWidget* window : windows) {
        QList<QObject*> tagged = window->findChildren<QObject*>();
        tagged.prepend(window);
        for (const QObject* control : tagged) {
            for (const quint16 id : shownIds(control)) {
                for (int language : {strings::kGerman, strings::kEnglish}) {
                    if (strings::text(id, language).isEmpty())
                        blank.append(QStringLiteral("%1 %2").arg(control->objectName()).arg(id));
                }
            }
        }
    }
    QVERIFY2(blank.isEmpty(), qPrintable(blank.join(u',')));
}

QTEST_MAIN(TestLocalizer)
#include "tst_localizer.moc"
