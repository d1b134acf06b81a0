#include "platform/Prompter.h"

#include <cstdio>

namespace {
StderrPrompter fallbackPrompter;
Prompter* installedPrompter = nullptr;
} // namespace

Prompter& ThePrompter() {
    return installedPrompter ? *installedPrompter : fallbackPrompter;
}

Prompter* SetPrompter(Prompter* prompter) {
    Prompter* previous = installedPrompter;
    installedPrompter = prompter;
    return previous;
}

MsgButton StderrPrompter::Show(const MessageRequest& request) {
    std::fprintf(stderr, "%s\n", request.text.toLocal8Bit().constData());
    return request.buttons.isEmpty() ? MsgButton::Ok : request.buttons.first();
}
