#include "transfer/KermitLog.h"

#include <QList>

namespace kermit {
namespace {

constexpr char kMark = 1; // each packet starts with Ctrl-A
constexpr char kControlPrefix = '#';
constexpr char kRepeatPrefix = '~';
constexpr int kCharacterOffset = 32; // the protocol's tochar()

// One line of the packet log.
struct Packet {
    char direction = 0; // 's', 'S' or 'r'
    QByteArrayView sequence;
    bool timeout = false;
    char type = 0;
    QByteArrayView data; // with the block check still at its end
};

Packet parse(QByteArrayView line) {
    Packet packet;
    while (!line.isEmpty() && (line.back() == '\r' || line.back() == '\n'))
        line.chop(1);
    if (line.size() < 8 || line[1] != '-' || line[4] != '-')
        return packet;
    packet.direction = line[0];
    packet.sequence = line.sliced(2, 2);
    const QByteArrayView rest = line.sliced(8);
    if (rest.startsWith("<timeout>")) {
        packet.timeout = true;
        return packet;
    }
    // Ctrl-A, the length, the sequence, the type; a length of 0 starts a long packet, whose
    // length and header check take three characters more.
    if (rest.size() < 4 || rest[0] != kMark)
        return packet;
    packet.type = rest[3];
    const qsizetype start = rest[1] == ' ' ? 7 : 4;
    packet.data = rest.size() > start ? rest.sliced(start) : QByteArrayView();
    return packet;
}

QList<Packet> packetsOf(QByteArrayView log) {
    QList<Packet> packets;
    qsizetype begin = 0;
    while (begin < log.size()) {
        qsizetype end = log.indexOf('\n', begin);
        if (end < 0)
            end = log.size();
        packets.append(parse(log.sliced(begin, end - begin)));
        begin = end + 1;
    }
    return packets;
}

// The block check of the file packets: the type both ends offered in their send-init
// exchange (its eighth field), else the single character every Kermit uses at first.
qsizetype checkLength(const QList<Packet>& packets) {
    QList<char> offered;
    for (const Packet& packet : packets) {
        if ((packet.type == 'S' || (packet.type == 'Y' && !offered.isEmpty())) &&
            packet.data.size() > 7) {
            offered.append(packet.data[7]);
            if (offered.size() == 2)
                break;
        }
    }
    if (offered.size() == 2 && offered[0] == offered[1] && (offered[0] == '2' || offered[0] == '3'))
        return offered[0] - '0';
    return 1;
}

// The bytes a data field stands for: a prefixed control character is one byte, a repeat
// prefix with its count stands for that many of the next one.
qint64 decodedSize(QByteArrayView field) {
    qint64 bytes = 0;
    for (qsizetype i = 0; i < field.size(); ++i) {
        qint64 count = 1;
        if (field[i] == kRepeatPrefix && i + 2 < field.size()) {
            count = static_cast<uchar>(field[i + 1]) - kCharacterOffset;
            i += 2;
        }
        if (field[i] == kControlPrefix && i + 1 < field.size())
            ++i;
        bytes += count;
    }
    return bytes;
}

// The message of an error packet without its block check.
QString messageOf(const Packet& packet, qsizetype check) {
    const QByteArrayView text = packet.data.chopped(std::min(check, packet.data.size()));
    return QString::fromLatin1(text.data(), text.size()).trimmed();
}

} // namespace

qint64 dataBytes(QByteArrayView packetLog, bool sending) {
    const QList<Packet> packets = packetsOf(packetLog);
    const qsizetype check = checkLength(packets);
    const char direction = sending ? 's' : 'r';
    qint64 bytes = 0;
    QByteArrayView lastSequence;
    for (const Packet& packet : packets) {
        if (packet.direction != direction || packet.type != 'D' || packet.sequence == lastSequence)
            continue;
        lastSequence = packet.sequence;
        if (packet.data.size() > check)
            bytes += decodedSize(packet.data.chopped(check));
    }
    return bytes;
}

transfer::Outcome judgeFailure(QByteArrayView transactionLog, QByteArrayView packetLog,
                               int packetTimeoutSeconds) {
    using transfer::Cause;
    const QList<Packet> packets = packetsOf(packetLog);
    for (const Packet& packet : packets) {
        if (packet.direction == 'r' && packet.type == 'E') {
            const QString message = messageOf(packet, checkLength(packets));
            const bool refused = message.contains(QLatin1String("refus"), Qt::CaseInsensitive);
            return {refused ? Cause::Refused : Cause::Cancelled, {message}};
        }
    }
    if (transactionLog.contains("Too many retries")) {
        // The timeouts since the calculator last sent anything.
        int timeouts = 0;
        for (auto packet = packets.crbegin(); packet != packets.crend(); ++packet) {
            if (packet->direction != 'r')
                continue;
            if (!packet->timeout)
                break;
            ++timeouts;
        }
        if (timeouts > 0)
            return {Cause::CalculatorSilent,
                    {QString::number(timeouts * std::max(packetTimeoutSeconds, 1))}};
        return {Cause::TooManyRetries, {}};
    }
    const qsizetype refusal = transactionLog.indexOf("refused");
    if (refusal >= 0) {
        qsizetype end = transactionLog.indexOf('\n', refusal);
        if (end < 0)
            end = transactionLog.size();
        const QByteArrayView line = transactionLog.sliced(refusal, end - refusal);
        return {Cause::Refused, {QString::fromLatin1(line.data(), line.size()).trimmed()}};
    }
    return {Cause::Failed, {}};
}

} // namespace kermit
