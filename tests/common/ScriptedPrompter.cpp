#include "ScriptedPrompter.h"

ScriptedPrompter::ScriptedPrompter() : previous_(setPrompter(this)) {}

ScriptedPrompter::~ScriptedPrompter() {
    setPrompter(previous_);
}

MsgButton ScriptedPrompter::show(const MessageRequest& request) {
    shown.append(request);
    if (!answers.isEmpty())
        return answers.takeFirst();
    return request.buttons.isEmpty() ? MsgButton::Ok : request.buttons.first();
}

QList<quint16> ScriptedPrompter::shownIds() const {
    QList<quint16> ids;
    for (const MessageRequest& request : shown)
        ids.append(request.baseId);
    return ids;
}
