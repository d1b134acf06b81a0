#pragma once

class QWidget;

#include <QObject>
#include <QString>

// Every localised window and control carries its base string id in this dynamic property.
inline constexpr char kTagProperty[] = "tag";
// A label whose text is a value the window keeps: its tag is the hint, not the text.
inline constexpr char kTagIsHintProperty[] = "tagIsHint";

// Names a control as its window's layout names it and gives it the base id of its texts.
template <typename Control> Control* tagged(Control* control, const char* name, quint16 tag) {
    control->setObjectName(QString::fromLatin1(name));
    control->setProperty(kTagProperty, tag);
    return control;
}

// Top-level windows register themselves when they are made, so they are relabelled in the
// order they were made.
void registerWindow(QWidget* window);

// Puts the texts of the program's language (strings::language()) into every registered window
// and any other top-level window, by each control's tag; then each window hears of it
// (QEvent::LanguageChange) and renews the texts it makes itself.
void applyLanguage();

// The same for one window and its controls; registered windows inside it are left out.
void applyLanguageTo(QWidget* window);
