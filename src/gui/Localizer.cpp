#include "gui/Localizer.h"

#include "platform/Settings.h"
#include "platform/Preferences.h"

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
constexpr int kPositionHintOffset = 5;

QList<QPointer<QWidget>>& Registered() {
    static QList<QPointer<QWidget>> windows;
    return windows;
}

bool IsRegistered(const QObject* object) {
    for (const QPointer<QWidget>& window : Registered()) {
        if (window == object)
            return true;
    }
    return false;
}

quint16 TagOf(const QObject* object) {
    return static_cast<quint16>(object->property(kTagProperty).toUInt());
}

bool IsMenuAction(const QAction* action) {
    for (QObject* owner : action->associatedObjects()) {
        if (qobject_cast<QMenu*>(owner) || qobject_cast<QMenuBar*>(owner))
            return true;
    }
    return false;
}

void ApplyToAction(QAction* action, quint16 tag) {
    if (IsMenuAction(action)) {
        action->setText(Tx(tag));
        action->setStatusTip(Tx(tag + kHintOffset));
    } else {
        action->setStatusTip(Tx(tag)); // a tool bar button
    }
}

// A menu is a menu item also while it stands in no menu bar, as the Edit menu of a document
// window that is not active.
void ApplyToMenu(QMenu* menu, quint16 tag) {
    menu->setTitle(Tx(tag));
    menu->menuAction()->setStatusTip(Tx(tag + kHintOffset));
}

void ApplyToPanel(QLabel* panel, quint16 tag, const QWidget* window) {
    const auto* document = dynamic_cast<const DocumentLanguageInfo*>(window);
    if (document == nullptr) {
        panel->setText(Tx(tag));
        return;
    }
    const QString name = panel->objectName();
    if (name == u"Panel9") {
        panel->setStatusTip(Tx(tag + kPositionHintOffset));
        if (document->PseudoTopicSelected())
            panel->setText(Tx(tag) + panel->text().mid(5, 3));
    } else if (name == u"Panel6" || name == u"Panel10" || name == u"Panel1") {
        panel->setStatusTip(Tx(tag));
    } else {
        panel->setText(Tx(tag));
    }
}

void ApplyToGroupBox(QGroupBox* box, quint16 tag) {
    box->setTitle(Tx(tag));
    const QList<QRadioButton*> items = box->findChildren<QRadioButton*>();
    for (int k = 1; k <= items.size(); ++k)
        items[k - 1]->setText(Tx(tag + kRadioItemStep * k));
}

bool ApplyToTabSheet(QWidget* page, quint16 tag) {
    auto* stack = qobject_cast<QStackedWidget*>(page->parentWidget());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (tabs == nullptr)
        return false;
    tabs->setTabText(tabs->indexOf(page), Tx(tag));
    return true;
}

void ApplyToComponent(QObject* object, quint16 tag, QWidget* window) {
    if (auto* action = qobject_cast<QAction*>(object))
        return ApplyToAction(action, tag);
    if (auto* menu = qobject_cast<QMenu*>(object))
        return ApplyToMenu(menu, tag);
    if (auto* label = qobject_cast<QLabel*>(object)) {
        if (label->objectName().startsWith(u"Panel"))
            return ApplyToPanel(label, tag, window);
        return label->setText(Tx(tag));
    }
    if (qobject_cast<QRadioButton*>(object))
        return;
    if (auto* toolButton = qobject_cast<QToolButton*>(object);
        toolButton && qobject_cast<QToolBar*>(toolButton->parentWidget()))
        return toolButton->setStatusTip(Tx(tag));
    if (auto* button = qobject_cast<QAbstractButton*>(object))
        return button->setText(Tx(tag)); // buttons and check boxes
    if (auto* box = qobject_cast<QGroupBox*>(object))
        return ApplyToGroupBox(box, tag);
    if (qobject_cast<QAbstractItemView*>(object) || qobject_cast<QPlainTextEdit*>(object) ||
        qobject_cast<QTextEdit*>(object))
        return static_cast<QWidget*>(object)->setStatusTip(Tx(tag));
    if (auto* page = qobject_cast<QWidget*>(object))
        ApplyToTabSheet(page, tag);
}

// All components of a window at every level, but not those of another registered window
// inside it (a document window in the main window's workspace has its own turn).
void ApplyToComponents(QObject* parent, QWidget* window) {
    for (QObject* child : parent->children()) {
        if (IsRegistered(child))
            continue;
        if (const quint16 tag = TagOf(child))
            ApplyToComponent(child, tag, window);
        ApplyToComponents(child, window);
    }
}

void ApplyToWindow(QWidget* window) {
    if (const quint16 tag = TagOf(window)) {
        const auto* document = dynamic_cast<const DocumentLanguageInfo*>(window);
        if (document == nullptr || !document->HasFile())
            window->setWindowTitle(Tx(tag));
    }
    ApplyToComponents(window, window);
}

} // namespace

void RegisterWindow(QWidget* window) {
    Registered().removeAll(nullptr);
    if (!IsRegistered(window))
        Registered().append(window);
}

void ApplyLanguage() {
    Glob().Language = settings::ReadLanguage(*Glob().Ini);
    Registered().removeAll(nullptr);
    const QList<QPointer<QWidget>> windows = Registered();
    for (const QPointer<QWidget>& window : windows) {
        if (window)
            ApplyToWindow(window);
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->parentWidget() == nullptr && !IsRegistered(window))
            ApplyToWindow(window);
    }
    Glob().NewEntryText = Tx(110);
}
