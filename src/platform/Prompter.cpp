#include "platform/Prompter.h"

#include <cstdio>

namespace {
StderrPrompter fallbackPrompter;
Prompter* installedPrompter = nullptr;
} // namespace

Prompter& thePrompter() {
    return installedPrompter ? *installedPrompter : fallbackPrompter;
}

Prompter* setPrompter(Prompter* prompter) {
    Prompter* previous = installedPrompter;
    installedPrompter = prompter;
    return previous;
}

MsgButton StderrPrompter::show(const MessageRequest& request) {
    std::fprintf(stderr, "%s\n", request.text.toLocal8Bit().constData());
    return request.buttons.isEmpty() ? MsgButton::Ok : request.buttons.first();
}
