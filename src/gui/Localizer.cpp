#include "gui/Localizer.h"

#include "platform/StringTable.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr int kHintOffset = 400;
constexpr int kRadioItemStep = 5;

QList<QPointer<QWidget>>& registered() {
    static QList<QPointer<QWidget>> windows;
    return windows;
}

bool isRegistered(const QObject* object) {
    for (const QPointer<QWidget>& window : registered()) {
        if (window == object)
            return true;
    }
    return false;
}

quint16 tagOf(const QObject* object) {
    return static_cast<quint16>(object->property(kTagProperty).toUInt());
}

bool isMenuAction(const QAction* action) {
    for (QObject* owner : action->associatedObjects()) {
        if (qobject_cast<QMenu*>(owner) || qobject_cast<QMenuBar*>(owner))
            return true;
    }
    return false;
}

void applyToAction(QAction* action, quint16 tag) {
    if (isMenuAction(action)) {
        action->setText(strings::text(tag));
        action->setStatusTip(strings::text(tag + kHintOffset));
    } else {
        action->setStatusTip(strings::text(tag)); // a tool bar button
    }
}

// A menu is a menu item also while it stands in no menu bar, as the Edit menu of a document
// window that is not active.
void applyToMenu(QMenu* menu, quint16 tag) {
    menu->setTitle(strings::text(tag));
    menu->menuAction()->setStatusTip(strings::text(tag + kHintOffset));
}

void applyToGroupBox(QGroupBox* box, quint16 tag) {
    box->setTitle(strings::text(tag));
    const QList<QRadioButton*> items = box->findChildren<QRadioButton*>();
    for (int k = 1; k <= items.size(); ++k)
        items[k - 1]->setText(strings::text(tag + kRadioItemStep * k));
}

bool applyToTabSheet(QWidget* page, quint16 tag) {
    auto* stack = qobject_cast<QStackedWidget*>(page->parentWidget());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (tabs == nullptr)
        return false;
    tabs->setTabText(tabs->indexOf(page), strings::text(tag));
    return true;
}

void applyToComponent(QObject* object, quint16 tag) {
    if (auto* action = qobject_cast<QAction*>(object))
        return applyToAction(action, tag);
    if (auto* menu = qobject_cast<QMenu*>(object))
        return applyToMenu(menu, tag);
    if (auto* label = qobject_cast<QLabel*>(object)) {
        if (label->property(kTagIsHintProperty).toBool())
            return label->setStatusTip(strings::text(tag));
        return label->setText(strings::text(tag));
    }
    // The radio buttons of a group box with a tag take their texts from the group's tag, their
    // own tags do not count; elsewhere a radio button's tag is its text.
    if (auto* radio = qobject_cast<QRadioButton*>(object)) {
        const auto* box = qobject_cast<const QGroupBox*>(radio->parentWidget());
        if (box && tagOf(box) != 0)
            return;
        return radio->setText(strings::text(tag));
    }
    if (auto* toolButton = qobject_cast<QToolButton*>(object);
        toolButton && qobject_cast<QToolBar*>(toolButton->parentWidget()))
        return toolButton->setStatusTip(strings::text(tag));
    if (auto* button = qobject_cast<QAbstractButton*>(object))
        return button->setText(strings::text(tag)); // buttons and check boxes
    if (auto* box = qobject_cast<QGroupBox*>(object))
        return applyToGroupBox(box, tag);
    if (qobject_cast<QAbstractItemView*>(object) || qobject_cast<QPlainTextEdit*>(object) ||
        qobject_cast<QTextEdit*>(object))
        return static_cast<QWidget*>(object)->setStatusTip(strings::text(tag));
    if (auto* page = qobject_cast<QWidget*>(object))
        applyToTabSheet(page, tag);
}

// All components of a window at every level, but not those of another registered window
// inside it (a document window in the main window's workspace has its own turn).
void applyToComponents(QObject* parent) {
    for (QObject* child : parent->children()) {
        if (isRegistered(child))
            continue;
        if (const quint16 tag = tagOf(child))
            applyToComponent(child, tag);
        applyToComponents(child);
    }
}

void applyToWindow(QWidget* window) {
    if (const quint16 tag = tagOf(window))
        window->setWindowTitle(strings::text(tag));
    applyToComponents(window);
    QEvent languageChange(QEvent::LanguageChange);
    QCoreApplication::sendEvent(window, &languageChange);
}

} // namespace

void registerWindow(QWidget* window) {
    registered().removeAll(nullptr);
    if (!isRegistered(window))
        registered().append(window);
}

void applyLanguage() {
    registered().removeAll(nullptr);
    const QList<QPointer<QWidget>> windows = registered();
    for (const QPointer<QWidget>& window : windows) {
        if (window)
            applyToWindow(window);
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->parentWidget() == nullptr && !isRegistered(window))
            applyToWindow(window);
    }
}

void applyLanguageTo(QWidget* window) {
    applyToWindow(window);
}
