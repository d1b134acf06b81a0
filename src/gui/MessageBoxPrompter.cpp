#include "gui/MessageBoxPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace {

QString standardCaption(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Error:
        return QStringLiteral("Fehler");
    case MsgIcon::Warning:
        return QStringLiteral("Warnung");
    case MsgIcon::Question:
        return QStringLiteral("Bestätigen");
    case MsgIcon::Information:
        break;
    }
    return QStringLiteral("Information");
}

QMessageBox::Icon boxIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

struct ButtonLook {
    QString text;
    QMessageBox::ButtonRole role;
};

ButtonLook standardButton(MsgButton button) {
    switch (button) {
    case MsgButton::Yes:
        return {QStringLiteral("&Ja"), QMessageBox::YesRole};
    case MsgButton::No:
        return {QStringLiteral("&Nein"), QMessageBox::NoRole};
    case MsgButton::Cancel:
        return {QStringLiteral("Abbrechen"), QMessageBox::RejectRole};
    case MsgButton::Help:
        return {QStringLiteral("&Hilfe"), QMessageBox::HelpRole};
    case MsgButton::Ok:
        break;
    }
    return {QStringLiteral("OK"), QMessageBox::AcceptRole};
}

} // namespace

MsgButton MessageBoxPrompter::show(const MessageRequest& request) {
    QMessageBox box(boxIcon(request.icon), standardCaption(request.icon), request.text,
                    QMessageBox::NoButton, QApplication::activeWindow());
    QList<QPair<QPushButton*, MsgButton>> buttons;
    for (MsgButton button : request.buttons) {
        const ButtonLook look = standardButton(button);
        buttons.append({box.addButton(look.text, look.role), button});
    }
    for (MsgButton escape : {MsgButton::Cancel, MsgButton::No, MsgButton::Ok}) {
        const auto found =
            std::find_if(buttons.cbegin(), buttons.cend(),
                         [escape](const auto& pair) { return pair.second == escape; });
        if (found != buttons.cend()) {
            box.setEscapeButton(found->first);
            break;
        }
    }
    box.exec();
    for (const auto& [pushButton, button] : buttons) {
        if (box.clickedButton() == pushButton)
            return button;
    }
    return request.buttons.isEmpty() ? MsgButton::Ok : request.buttons.last();
}

void MessageBoxPrompter::sound(Beep) {
    QApplication::beep();
}
