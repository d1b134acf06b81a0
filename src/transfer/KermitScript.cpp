#include "transfer/KermitScript.h"

#include "platform/Settings.h"
#include "platform/SettingsFile.h"

#include <QFile>

namespace kermit {
namespace {

constexpr QByteArrayView kLineEnd = "\r\n";
// Characters Kermit takes as grouping, quoting or the start of a comment.
constexpr QByteArrayView kCommandCharacters = "{};#\"";
// Characters a file name field takes as wildcards; the backslash escapes them there.
constexpr QByteArrayView kWildcardCharacters = "*?[]{}\\";

bool isLineBreak(char byte) {
    return byte == '\r' || byte == '\n';
}

bool needsCode(uchar byte) {
    return byte < 0x20 || byte > 0x7e || kCommandCharacters.contains(static_cast<char>(byte));
}

void appendCode(QByteArray& out, uchar byte) {
    out += "\\{" + QByteArray::number(byte) + '}';
}

// A backslash doubled, a character that would mean something to Kermit as its code.
void appendLiteral(QByteArray& out, uchar byte) {
    if (byte == '\\')
        out += "\\\\";
    else if (needsCode(byte))
        appendCode(out, byte);
    else
        out += static_cast<char>(byte);
}

QByteArray literalOf(const QString& value) {
    return literal(value.toUtf8());
}

void addLine(QByteArray& script, QByteArrayView command, QByteArrayView argument = {}) {
    script += command;
    script += argument;
    script += kLineEnd;
}

void addCommonLines(QByteArray& script, const ScriptValues& values) {
    addLine(script, "pause 2");
    addLine(script, "set bell off");
    // A three-wire cable: no carrier, no hardware flow control.
    addLine(script, "set port ", literal(QFile::encodeName(values.device)));
    addLine(script, "set carrier-watch off");
    addLine(script, "set flow none");
    addLine(script, "clear");
    // The files carry their own line ends: the bytes go unchanged both ways.
    addLine(script, "set file type binary");
    addLine(script, "set baud ", literalOf(values.baud));
    addLine(script, "set parity ", literalOf(values.parity));
    addLine(script, "set retry ", literalOf(values.retries));
    // The calculator's Kermit: every control character prefixed, no modem, one packet at a
    // time (a silent peer ends a send after a few timeouts instead of a minute), the block
    // check it uses by default.
    addLine(script, "set control prefix all");
    addLine(script, "set modem type none");
    addLine(script, "set window 1");
    addLine(script, "set block-check 3");
    // Kermit's own account of the run, in its working folder: the progress and the cause of a
    // failure are read from it.
    addLine(script, "log transactions ", kTransactionLog);
    addLine(script, "log packets ", kPacketLog);
}

constexpr QByteArrayView kSetSuccessCode = "if success define \\%r 7";
constexpr QByteArrayView kExitWithCode = "exit \\%r";

void addReceiveLines(QByteArray& script, const ScriptValues& values) {
    addLine(script, "set receive timeout 1");
    // A calculator that falls silent must end the receive: our own packet timeout, not the
    // one the calculator asks for.
    addLine(script, "set send timeout 1");
    addLine(script, "set receive packet-length ", literalOf(values.receivePacketLength));
    // Every file of the session goes into the folder under its own name; a second file of the
    // same name is stored beside the first.
    addLine(script, "set file collision rename");
    addLine(script, "receive ", receiveField(values.receiveFolder));
    addLine(script, kSetSuccessCode);
    addLine(script, kExitWithCode);
}

void addSendLines(QByteArray& script, const ScriptValues& values) {
    addLine(script, "set send packet-length ", literalOf(values.sendPacketLength));
    addLine(script, "set send timeout 1");
    addLine(script, "send ", fileField(values.sendFile) + ' ' + literal(values.nameOnCalculator));
    addLine(script, kSetSuccessCode);
    addLine(script, "delete ", fileField(values.sendFile));
    addLine(script, kExitWithCode);
}

void addLibraryLines(QByteArray& script, const ScriptValues& values) {
    addLine(script, "set send timeout 1");
    addLine(script, "set send packet-length ", literalOf(values.sendPacketLength));
    addLine(script, "send ", fileField(values.tarvoLibrary) + " tarvo");
    addLine(script, kSetSuccessCode);
    addLine(script, kExitWithCode);
}

} // namespace

QByteArray literal(QByteArrayView text) {
    QByteArray kept;
    for (char byte : text) {
        if (!isLineBreak(byte))
            kept += byte;
    }
    QByteArray out;
    for (qsizetype i = 0; i < kept.size(); ++i) {
        const auto byte = static_cast<uchar>(kept[i]);
        const bool first = i == 0;
        const bool last = i == kept.size() - 1;
        // Kermit drops blanks at either end of a field, and a line ending in "-" goes on in
        // the next line.
        if ((byte == ' ' && (first || last)) || (byte == '-' && last))
            appendCode(out, byte);
        else
            appendLiteral(out, byte);
    }
    return out;
}

QByteArray receiveField(const QString& folder) {
    QByteArray out = "{";
    for (char byte : QFile::encodeName(folder) + '/')
        appendLiteral(out, static_cast<uchar>(byte));
    out += '}';
    return out;
}

QByteArray fileField(const QString& path) {
    QByteArray out = "{";
    for (char byte : QFile::encodeName(path)) {
        if (kWildcardCharacters.contains(byte))
            out += "\\\\"; // reaches the file name match as one backslash
        appendLiteral(out, static_cast<uchar>(byte));
    }
    out += '}';
    return out;
}

hp48::EncodedRow calculatorName(const QString& typed) {
    QString text = typed;
    text.removeIf([](QChar c) { return c == u'\r' || c == u'\n'; });
    return hp48::encodeRow(text);
}

QByteArray takeScript(const ScriptValues& values) {
    QByteArray script;
    addCommonLines(script, values);
    switch (values.mode) {
    case TransferMode::SendDocument:
        addSendLines(script, values);
        break;
    case TransferMode::ReceiveFile:
        addReceiveLines(script, values);
        break;
    case TransferMode::SendLibrary:
        addLibraryLines(script, values);
        break;
    }
    return script;
}

QStringList commandArguments(const QString& scriptFile) {
    return {QStringLiteral("-Y"), QStringLiteral("-C"),
            QStringLiteral("take ") + QString::fromLatin1(fileField(scriptFile))};
}

QString deviceOfPort(const QString& port, const SettingsFile& ini) {
    constexpr QLatin1StringView kPortPrefix("COM");
    const bool comPort = port.size() == kPortPrefix.size() + 1 &&
                         port.startsWith(kPortPrefix, Qt::CaseInsensitive) && port.back() >= u'1' &&
                         port.back() <= u'4';
    if (!comPort)
        return port;
    const int number = port.back().digitValue();
    return settings::readString(ini, settings::key::kDevices[number - 1],
                                settings::fallback::device(number));
}

} // namespace kermit
