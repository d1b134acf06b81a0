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

enum class MessageKind { Error, Information };

class Prompter {
  public:
    virtual ~Prompter() = default;
    virtual MsgButton show(const MessageRequest& request) = 0;
    virtual void sound(Beep beep) = 0;

    // Whether a beep comes before each box: the user's Sound setting.
    void setSoundOn(bool on) { soundOn_ = on; }
    bool soundOn() const { return soundOn_; }
    // The text of a message id in the program's language, after a beep when sounds are on: an
    // error box with Cancel or an information box with OK. The arguments fill the text's %D
    // and %S place holders in order.
    void showMessage(quint16 id, MessageKind kind, const QStringList& arguments = {});
    // A box made by the caller (a question, a message with more lines), after the beep given
    // when sounds are on; the button chosen.
    MsgButton ask(const MessageRequest& request, Beep beep);

  private:
    bool soundOn_ = false;
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
