#pragma once

#include <QProcess>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

// A helper program a test starts ends with the test, also when the test crashes or is stopped
// at its timeout. Left running, it would keep the test's error output open, and ctest would
// wait for that to close until the timeout.
inline void endWithTest(QProcess& process) {
    const pid_t test = getpid();
    process.setChildProcessModifier([test] {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != test) // the test ended before the line above
            _exit(1);
    });
}
