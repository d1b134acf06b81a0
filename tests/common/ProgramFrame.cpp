#include "ProgramFrame.h"

#include "gui/DataBox.h"
#include "gui/DocumentWindow.h"
#include "gui/Localizer.h"
#include "gui/TopicList.h"
#include "gui/dialogs/SplashScreen.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QTest>

ProgramFrame::ProgramFrame()
    : settings(sandbox.settingsFile()), preferences(settings),
      programDir(sandbox.path(QStringLiteral("prog/"))) {
    qputenv("OMBREL_PROGDIR", QFile::encodeName(programDir)); // the sandbox puts it back
    strings::setLanguage(strings::kGerman);
    thePrompter().setSoundOn(false);
}

ProgramFrame::~ProgramFrame() {
    main.reset();
}

void ProgramFrame::set(const char* section, const char* key, const QString& value) {
    settings.writeString(section, key, value);
}

QString ProgramFrame::get(const char* section, const char* key) const {
    return settings.readString(section, key, QStringLiteral("<missing>"));
}

MainWindow& ProgramFrame::open(SplashScreen* splash) {
    strings::setLanguage(settings::readLanguage(settings));
    main = std::make_unique<MainWindow>(preferences);
    if (splash)
        QObject::connect(splash, &SplashScreen::gone, main.get(), &MainWindow::splashGone);
    else
        main->splashGone(QString());
    applyLanguage();
    main->show();
    return *main;
}

QAction* ProgramFrame::action(const char* name) const {
    return main->findChild<QAction*>(QLatin1String(name));
}

void ProgramFrame::useProgramDirectory(bool withHelpFile) {
    if (withHelpFile)
        QFile::copy(QStringLiteral(OMBREL_SOURCE_DIR "/resources/omhelp.html"),
                    programDir + QStringLiteral("omhelp.html"));
}

DataBox* dataBoxOf(const DocumentWindow* window) {
    return window->findChild<DataBox*>(QStringLiteral("dataBox"));
}

TopicList* topicListOf(const DocumentWindow* window) {
    return window->findChild<TopicList*>(QStringLiteral("topicList"));
}

QString ProgramFrame::statusPanel(int panel) const {
    return main->findChild<QLabel*>(QStringLiteral("statusPanel%1").arg(panel))->text();
}

// The items after the File menu's own, "&1 /path", each without its number.
QStringList ProgramFrame::recentFiles() const {
    QStringList files;
    const QList<QAction*> items = main->findChild<QMenu*>(QStringLiteral("fileMenu"))->actions();
    for (const QAction* item : items) {
        if (item->objectName().isEmpty() && !item->isSeparator())
            files.append(
                item->text().section(u' ', 1).replace(QStringLiteral("&&"), QStringLiteral("&")));
    }
    return files;
}

QMdiArea* ProgramFrame::workspace() const {
    return main->findChild<QMdiArea*>(QStringLiteral("workspace"));
}

void dropTopic(DocumentWindow* source, int sourceEntry, DocumentWindow* target, int targetEntry) {
    emit topicListOf(target)->dropped(topicListOf(source), sourceEntry, targetEntry, QPoint());
}

namespace {
QList<PopupChoice*> choices; // the last answers
} // namespace

PopupChoice::PopupChoice(const char* choice) : name(QString::fromLatin1(choice)) {
    choices.append(this);
    startTimer(10);
}

PopupChoice::~PopupChoice() {
    choices.removeAll(this);
}

void PopupChoice::timerEvent(QTimerEvent*) {
    if (choices.last() != this)
        return;
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr || !menu->isVisible())
        return;
    ++shown;
    enabled.clear();
    for (QAction* item : menu->actions()) {
        if (item->isEnabled() && !item->isSeparator())
            enabled.append(item->objectName());
    }
    QAction* chosen = menu->findChild<QAction*>(name);
    if (chosen && !name.isEmpty()) {
        menu->setActiveAction(chosen);
        QTest::keyClick(menu, Qt::Key_Return);
    } else {
        QTest::keyClick(menu, Qt::Key_Escape);
    }
}
