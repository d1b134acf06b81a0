#include "platform/Preferences.h"

#include "platform/Prompter.h"
#include "platform/StringTable.h"

namespace {
TGlobal* theGlobal = nullptr;
}

TGlobal& Glob() {
    Q_ASSERT(theGlobal);
    return *theGlobal;
}

bool HasGlob() {
    return theGlobal != nullptr;
}

GlobalScope::GlobalScope() {
    Q_ASSERT(!theGlobal);
    theGlobal = new TGlobal;
}

GlobalScope::~GlobalScope() {
    theGlobal->Ini.reset();
    delete theGlobal;
    theGlobal = nullptr;
}

QString Tx(quint16 baseId) {
    return strings::Text(baseId, HasGlob() ? Glob().Language : strings::kGerman);
}

void ShowMsg(quint16 id, char kind, const QStringList& arguments) {
    if (kind != 'e' && kind != 'i')
        return;
    const bool error = kind == 'e';
    if (Glob().Sound)
        ThePrompter().Sound(error ? Beep::Hand : Beep::Asterisk);
    MessageRequest request;
    request.baseId = id;
    request.text = arguments.isEmpty() ? Tx(id) : strings::Format(Tx(id), arguments);
    request.icon = error ? MsgIcon::Error : MsgIcon::Information;
    request.buttons = {error ? MsgButton::Cancel : MsgButton::Ok};
    ThePrompter().Show(request);
}
