#include "platform/Preferences.h"

#include "platform/Prompter.h"
#include "platform/StringTable.h"

namespace {
TGlobal* theGlobal = nullptr;
}

TGlobal& glob() {
    Q_ASSERT(theGlobal);
    return *theGlobal;
}

bool hasGlob() {
    return theGlobal != nullptr;
}

GlobalScope::GlobalScope() {
    Q_ASSERT(!theGlobal);
    theGlobal = new TGlobal;
}

GlobalScope::~GlobalScope() {
    theGlobal->ini.reset();
    delete theGlobal;
    theGlobal = nullptr;
}

QString tx(quint16 baseId) {
    return strings::text(baseId, hasGlob() ? glob().language : strings::kGerman);
}

void showMsg(quint16 id, char kind, const QStringList& arguments) {
    if (kind != 'e' && kind != 'i')
        return;
    const bool error = kind == 'e';
    if (glob().sound)
        thePrompter().sound(error ? Beep::Hand : Beep::Asterisk);
    MessageRequest request;
    request.baseId = id;
    request.text = arguments.isEmpty() ? tx(id) : strings::format(tx(id), arguments);
    request.icon = error ? MsgIcon::Error : MsgIcon::Information;
    request.buttons = {error ? MsgButton::Cancel : MsgButton::Ok};
    thePrompter().show(request);
}
