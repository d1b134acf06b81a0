#pragma once

#include "platform/Prompter.h"

#include <QList>

// Records every box and beep instead of showing them, and answers from a script. Installed
// for its lifetime.
class ScriptedPrompter : public Prompter {
  public:
    ScriptedPrompter();
    ~ScriptedPrompter() override;

    MsgButton show(const MessageRequest& request) override;
    void sound(Beep beep) override { beeps.append(beep); }

    // Answers for the next boxes, in order; without one the box's first button answers.
    QList<MsgButton> answers;
    QList<MessageRequest> shown;
    QList<Beep> beeps;

    QList<quint16> shownIds() const;

  private:
    Prompter* previous_;
};
