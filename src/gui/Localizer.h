#pragma once

class QWidget;

#include <QObject>
#include <QString>

// Every localised window and control carries its base string id in this dynamic property.
inline constexpr char kTagProperty[] = "tag";

// Names a control as its window's layout names it and gives it the base id of its texts.
template <typename Control> Control* tagged(Control* control, const char* name, quint16 tag) {
    control->setObjectName(QString::fromLatin1(name));
    control->setProperty(kTagProperty, tag);
    return control;
}

// Implemented by document windows: their caption is their file name once they have one, and
// their topic position panel keeps its number while "<New>" is selected.
class DocumentLanguageInfo {
  public:
    virtual ~DocumentLanguageInfo() = default;
    virtual bool hasFile() const = 0;
    virtual bool pseudoTopicSelected() const = 0;
};

// Top-level windows register themselves when they are made, so they are relabelled in the
// order they were made.
void registerWindow(QWidget* window);

// Puts the texts of the program's language (strings::language()) into every registered window
// and any other top-level window.
void applyLanguage();

// The same for one window and its controls; registered windows inside it are left out.
void applyLanguageTo(QWidget* window);
