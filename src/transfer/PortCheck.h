#pragma once

#include "transfer/TransferOutcome.h"

#include <QList>
#include <QString>

#include <sys/types.h>

// What keeps a transfer from starting, found before Kermit runs, so that a missing cable or a
// missing group membership never reads as a failure of Kermit.
namespace transfer {

// Who opens the device: its user and every group it belongs to. For this process the system is
// asked, access control lists included; for another identity the mode bits decide.
struct Identity {
    uid_t user = 0;
    QList<gid_t> groups;
    bool thisProcess = false;
    static Identity ofThisProcess();
};

// The first problem of the Kermit program and the device, or Cause::Done when there is none.
// The device is in use when a live process holds a UUCP lock file for it in lockFolder, or when
// it is open exclusively.
Outcome checkBeforeTransfer(const QString& kermitProgram, const QString& device,
                            const Identity& identity = Identity::ofThisProcess(),
                            const QString& lockFolder = QStringLiteral("/var/lock"));

} // namespace transfer
