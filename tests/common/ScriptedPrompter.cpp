#include "ScriptedPrompter.h"

ScriptedPrompter::ScriptedPrompter() : previous_(SetPrompter(this)) {}

ScriptedPrompter::~ScriptedPrompter() {
    SetPrompter(previous_);
}

MsgButton ScriptedPrompter::Show(const MessageRequest& request) {
    shown.append(request);
    if (!answers.isEmpty())
        return answers.takeFirst();
    return request.buttons.isEmpty() ? MsgButton::Ok : request.buttons.first();
}

QList<quint16> ScriptedPrompter::ShownIds() const {
    QList<quint16> ids;
    for (const MessageRequest& request : shown)
        ids.append(request.baseId);
    return ids;
}
