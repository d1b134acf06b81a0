// The main window's View menu: the calculator screen beside every document window's data box,
// its font and its size, kept in the settings; and the status panel that names the character at
// the active data box's cursor.
#include "gui/DocumentWindow.h"
#include "gui/MainWindow.h"
#include "platform/Preferences.h"
#include "platform/TextIds.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMdiSubWindow>

namespace {

const char* const kFontCommands[] = {"screenFontSmall", "screenFontMedium", "screenFontLarge"};
const char* const kScaleCommands[] = {"screenScaleTwo", "screenScaleThree"};
constexpr int kSmallestScale = 2;

} // namespace

// The View menu's rows of the command table.
QList<MainWindow::Command> MainWindow::viewMenuCommands() {
    using M = MainWindow;
    const QKeySequence none;
    return {
        {"viewMenu", "calculatorScreen", textid::kScreenItem, none, &M::toggleCalculatorScreen},
        {"viewMenu", nullptr},
        {"viewMenu", "screenFontSmall", textid::kScreenFontSmall, none, &M::chooseSmallScreenFont},
        {"viewMenu", "screenFontMedium", textid::kScreenFontMedium, none,
         &M::chooseMediumScreenFont},
        {"viewMenu", "screenFontLarge", textid::kScreenFontLarge, none, &M::chooseLargeScreenFont},
        {"viewMenu", nullptr},
        {"viewMenu", "screenScaleTwo", textid::kScreenScaleTwo, none, &M::chooseScreenScaleTwo},
        {"viewMenu", "screenScaleThree", textid::kScreenScaleThree, none,
         &M::chooseScreenScaleThree},
    };
}

// The screen's item is ticked while the screen shows; a font and a size are always chosen.
void MainWindow::createScreenCommands() {
    commands_.value(QStringLiteral("calculatorScreen"))->setCheckable(true);
    auto* fonts = new QActionGroup(this);
    for (const char* name : kFontCommands)
        fonts->addAction(commands_.value(QLatin1String(name)))->setCheckable(true);
    auto* scales = new QActionGroup(this);
    for (const char* name : kScaleCommands)
        scales->addAction(commands_.value(QLatin1String(name)))->setCheckable(true);
}

void MainWindow::toggleCalculatorScreen() {
    const bool shown = settings::readScreenSettings(preferences_.settings()).shown;
    settings::write(preferences_.settings(), settings::key::kScreenShown, !shown);
    applyScreenSettings();
}

void MainWindow::chooseSmallScreenFont() {
    writeScreenSetting(settings::key::kScreenFont, 1);
}

void MainWindow::chooseMediumScreenFont() {
    writeScreenSetting(settings::key::kScreenFont, 2);
}

void MainWindow::chooseLargeScreenFont() {
    writeScreenSetting(settings::key::kScreenFont, 3);
}

void MainWindow::chooseScreenScaleTwo() {
    writeScreenSetting(settings::key::kScreenScale, 2);
}

void MainWindow::chooseScreenScaleThree() {
    writeScreenSetting(settings::key::kScreenScale, 3);
}

void MainWindow::writeScreenSetting(settings::Key key, int value) {
    settings::write(preferences_.settings(), key, value);
    applyScreenSettings();
}

// A choice is kept at once and every document window follows it; each window's frame in the
// workspace takes the window's new size.
void MainWindow::applyScreenSettings() {
    for (DocumentWindow* document : documentWindows()) {
        document->applyScreenSettings();
        if (auto* frame = qobject_cast<QMdiSubWindow*>(document->parentWidget()))
            frame->setFixedSize(frame->sizeHint());
    }
    showScreenChoices();
}

void MainWindow::showScreenChoices() {
    const settings::ScreenSettings chosen = settings::readScreenSettings(preferences_.settings());
    setCommandChecked("calculatorScreen", chosen.shown);
    setCommandChecked(kFontCommands[chosen.fontSize - 1], true);
    setCommandChecked(kScaleCommands[chosen.scale - kSmallestScale], true);
}

void MainWindow::setCommandChecked(const char* name, bool checked) {
    QAction* command = commands_.value(QLatin1String(name));
    command->setChecked(checked);
    for (auto button = buttons_.cbegin(); button != buttons_.cend(); ++button) {
        if (button.value() == command)
            button.key()->setChecked(checked);
    }
}

void MainWindow::showCharacterAtCursor() {
    const DocumentWindow* document = activeDocument();
    characterPanel_->setText(document ? document->characterAtCursor() : QString());
}
