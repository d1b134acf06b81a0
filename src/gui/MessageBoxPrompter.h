#pragma once

#include "platform/Prompter.h"

// Message boxes on screen. Their captions and button texts are the German ones of the
// standard boxes in either language.
class MessageBoxPrompter : public Prompter {
  public:
    MsgButton show(const MessageRequest& request) override;
    void sound(Beep beep) override;
};
