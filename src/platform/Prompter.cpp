#include "platform/Prompter.h"

#include "platform/StringTable.h"

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

void Prompter::showMessage(quint16 id, MessageKind kind, const QStringList& arguments) {
    const bool error = kind == MessageKind::Error;
    MessageRequest request;
    request.baseId = id;
    request.text = strings::format(strings::text(id), arguments);
    request.icon = error ? MsgIcon::Error : MsgIcon::Information;
    request.buttons = {error ? MsgButton::Cancel : MsgButton::Ok};
    ask(request, error ? Beep::Hand : Beep::Asterisk);
}

MsgButton Prompter::ask(const MessageRequest& request, Beep beep) {
    if (soundOn_)
        sound(beep);
    return show(request);
}

MsgButton StderrPrompter::show(const MessageRequest& request) {
    std::fprintf(stderr, "%s\n", request.text.toLocal8Bit().constData());
    return request.buttons.isEmpty() ? MsgButton::Ok : request.buttons.first();
}
