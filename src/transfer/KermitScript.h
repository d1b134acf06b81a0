#pragma once

#include "core/Hp48Codec.h"
#include "transfer/TransferMode.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class SettingsFile;

// The Kermit take script that moves one file between the PC and the calculator, and the
// command line that runs it. Building the script touches nothing: it is text from values.
namespace kermit {

// Exit codes of a Kermit run as the transfer judges them.
constexpr int kSuccess = 7;      // the script's "if success" sets it
constexpr int kPortFailure = 0;  // the serial port could not be set up
constexpr int kNotStarted = 555; // the program could not be started
constexpr int kAbnormalEnd = -1; // killed, or crashed
constexpr int kStopped = -2;     // ended on the user's request

struct ScriptValues {
    TransferMode mode = TransferMode::SendDocument;
    QString device; // the serial device behind the port
    QString baud;
    QString parity;
    QString retries;
    QString sendPacketLength;
    QString receivePacketLength;
    QString sendFile;      // the document to send (SendDocument); the script deletes it
    QString receiveFolder; // where received files are stored (ReceiveFile)
    QString tarvoLibrary;  // the library file (SendLibrary)
    QByteArray
        nameOnCalculator; // SendDocument: the calculator's name of the document, in its codes
};

// Kermit's logs, in the folder it runs in.
constexpr QByteArrayView kTransactionLog = "kermit-transactions.log";
constexpr QByteArrayView kPacketLog = "kermit-packets.log";

// The script lines, each ended by CR LF.
QByteArray takeScript(const ScriptValues& values);
// The arguments of the Kermit program: no init file, then take the script.
QStringList commandArguments(const QString& scriptFile);

// Text as Kermit reads it back unchanged from a command line: each backslash doubled, line
// breaks left out, and every character Kermit would take as grouping, quoting or comment, or
// that is not printable ASCII, or a blank at either end, written as its code (\{n}). Nothing
// in it can end the command or evaluate a variable or function.
QByteArray literal(QByteArrayView text);
// A file name for the commands that take file names: the path in braces, its characters made
// literal as above and wildcard characters escaped, so it names exactly this one file.
QByteArray fileField(const QString& path);
// The folder received files are stored in, under their own names: the path in braces, made
// literal as above, with a closing separator that makes Kermit take it as a folder.
QByteArray receiveField(const QString& folder);
// The calculator's name of a file: its text in calculator codes, line breaks left out. Not ok
// when a character has no code; its column then tells where it stands in the name.
hp48::EncodedRow calculatorName(const QString& typed);

// The serial device of a port: "COM1" to "COM4" map to Device1 to Device4 of section
// Transfer; any other value is taken as a device path of its own.
QString deviceOfPort(const QString& port, const SettingsFile& ini);

} // namespace kermit
