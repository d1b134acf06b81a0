#include "transfer/TransferOutcome.h"

#include "platform/StringTable.h"
#include "platform/TextIds.h"

namespace transfer {

quint16 textIdOf(Cause cause) {
    switch (cause) {
    case Cause::Done:
        return textid::kTransferred;
    case Cause::KermitMissing:
        return textid::kKermitMissing;
    case Cause::NoSuchDevice:
        return textid::kNoSuchDevice;
    case Cause::NotCharacterDevice:
        return textid::kNotCharacterDevice;
    case Cause::NoPermission:
        return textid::kNoPermission;
    case Cause::DeviceLocked:
        return textid::kDeviceLocked;
    case Cause::DeviceHeld:
        return textid::kDeviceHeld;
    case Cause::CannotWriteSendFile:
        return textid::kCannotWriteSendFile;
    case Cause::PortFailure:
        return textid::kPortFailedNamed;
    case Cause::CalculatorSilent:
        return textid::kCalculatorSilent;
    case Cause::TooManyRetries:
        return textid::kTooManyRetries;
    case Cause::Cancelled:
        return textid::kCancelledByCalculator;
    case Cause::Refused:
        return textid::kFileRefused;
    case Cause::Failed:
    case Cause::Stopped:
        break;
    }
    return textid::kTransferFailed;
}

QString describe(const Outcome& outcome, int language, qint64 bytes, qint64 seconds) {
    const QString text = strings::text(textIdOf(outcome.cause), language);
    if (outcome.cause == Cause::Done)
        return strings::format(text, {QString::number(bytes), QString::number(seconds)});
    return strings::format(text, outcome.details);
}

int exitCodeOf(Cause cause) {
    constexpr int kFirstCauseCode = 10;
    return cause == Cause::Done ? 0 : kFirstCauseCode + static_cast<int>(cause) - 1;
}

} // namespace transfer
