#pragma once

#include <QList>
#include <QString>

// Every message box and question goes through the installed prompter, so windows can be
// driven by tests without a modal box.
enum class MsgIcon { Error, Information, Warning, Question };
enum class MsgButton { Ok, Cancel, Yes, No, Help };

struct MessageRequest {
    quint16 baseId = 0; // 0 for a box whose text is not one string-table entry
    QString text;
    MsgIcon icon = MsgIcon::Information;
    QList<MsgButton> buttons;
    QString helpContext;
};

// System sounds before a box, by their traditional numbers.
enum class Beep { Hand = 16, Question = 32, Exclamation = 48, Asterisk = 64 };

class Prompter {
  public:
    virtual ~Prompter() = default;
    virtual MsgButton show(const MessageRequest& request) = 0;
    virtual void sound(Beep beep) = 0;
};

Prompter& thePrompter();
// Installs a prompter (not owned) and returns the previous one; nullptr restores the default.
Prompter* setPrompter(Prompter* prompter);
// The default prompter until a window system installs its own: prints to standard error.
class StderrPrompter : public Prompter {
  public:
    MsgButton show(const MessageRequest& request) override;
    void sound(Beep) override {}
};
