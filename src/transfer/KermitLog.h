#pragma once

#include "transfer/TransferOutcome.h"

#include <QByteArrayView>

// Kermit's own account of a run: its packet log, one line a packet ("s-" sent, "r-" received,
// "S-" sent again), written out in blocks as it grows; and its transaction log, a line
// "failed: REASON" for each file that failed.
namespace kermit {

// The bytes of file data that went in the data packets of a packet log: sent ones when
// `sending`, else received ones, each sequence number counted once.
qint64 dataBytes(QByteArrayView packetLog, bool sending);

// Why a run failed, from its logs: the calculator fell silent (for how many seconds, from the
// timeouts at the end and the timeout of one packet), too many retries, the calculator cancelled
// or refused the file (with its message), else Cause::Failed.
transfer::Outcome judgeFailure(QByteArrayView transactionLog, QByteArrayView packetLog,
                               int packetTimeoutSeconds);

} // namespace kermit
