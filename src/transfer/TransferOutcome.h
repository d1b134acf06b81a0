#pragma once

#include <QString>
#include <QStringList>

// How a transfer ended, and the words that tell the user why.
namespace transfer {

enum class Cause {
    Done,
    // Found before Kermit starts.
    KermitMissing,
    NoSuchDevice,
    NotCharacterDevice,
    NoPermission,
    DeviceLocked, // a UUCP lock file of a running process
    DeviceHeld,   // opened exclusively by another program
    CannotWriteSendFile,
    // Found in Kermit's account of its run.
    PortFailure,
    CalculatorSilent,
    TooManyRetries,
    Cancelled,
    Refused,
    Failed,
    Stopped, // ended on the user's request
};

struct Outcome {
    Cause cause = Cause::Done;
    // What the cause's text names, in its order: a device, a group, a number of seconds, the
    // calculator's own message.
    QStringList details;
};

// The base id of the text that tells the cause.
quint16 textIdOf(Cause cause);
// The text of an outcome in the language given (strings::kGerman or kEnglish); a transfer that
// was done reads "n bytes in s seconds" from the two numbers given.
QString describe(const Outcome& outcome, int language, qint64 bytes = 0, qint64 seconds = 0);
// The exit code of ombrel-cli for each cause: 0 done, 10 and up for the causes in their order.
int exitCodeOf(Cause cause);

} // namespace transfer
