#include "gui/OpenFailures.h"

#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/TextIds.h"

namespace {

// The names a box lists under one message; the rest are counted.
constexpr qsizetype kNamesListed = 10;

OpenFailures* openBatch = nullptr;

} // namespace

OpenFailures::OpenFailures() {
    if (openBatch == nullptr) {
        openBatch = this;
        owner_ = true;
    }
}

OpenFailures::~OpenFailures() {
    if (!owner_)
        return;
    openBatch = nullptr;
    if (!failures_.isEmpty())
        show(failures_);
}

void OpenFailures::report(quint16 messageId, const QString& fileName) {
    if (openBatch)
        openBatch->failures_.append({messageId, fileName});
    else
        show({{messageId, fileName}});
}

// Each message once, in the order the failures came, with the names of its files below it.
void OpenFailures::show(const QList<Failure>& failures) {
    QList<quint16> messages;
    for (const Failure& failure : failures) {
        if (!messages.contains(failure.messageId))
            messages.append(failure.messageId);
    }
    QStringList sections;
    for (quint16 message : messages) {
        QStringList names;
        for (const Failure& failure : failures) {
            if (failure.messageId == message)
                names.append(failure.fileName);
        }
        const qsizetype unlisted = names.size() - kNamesListed;
        if (unlisted > 0) {
            names.resize(kNamesListed);
            names.append(
                strings::format(strings::text(textid::kMoreFiles), {QString::number(unlisted)}));
        }
        sections.append(strings::text(message) + QStringLiteral("\n\n") + names.join(u'\n'));
    }
    MessageRequest request;
    request.baseId = messages.first();
    request.text = sections.join(QStringLiteral("\n\n"));
    request.icon = MsgIcon::Error;
    request.buttons = {MsgButton::Cancel};
    thePrompter().ask(request, Beep::Hand);
}
