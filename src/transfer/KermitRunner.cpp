#include "transfer/KermitRunner.h"

#include "transfer/KermitScript.h"

#include <QProcess>
#include <QTimer>

#include <signal.h>
#include <unistd.h>

namespace {

// How long Kermit may take to end when asked before it is killed.
constexpr int kStopGraceMs = 1500;

pid_t groupOf(const QProcess& process) {
    return static_cast<pid_t>(process.processId());
}

} // namespace

KermitRunner::KermitRunner(QObject* parent) : QObject(parent) {}

KermitRunner::~KermitRunner() {
    if (process_ == nullptr || process_->state() == QProcess::NotRunning)
        return;
    process_->disconnect(this);
    ::kill(-groupOf(*process_), SIGKILL);
    process_->waitForFinished();
}

void KermitRunner::start(const QString& program, const QStringList& arguments,
                         const QString& workingFolder) {
    if (running_)
        return;
    running_ = true;
    stopRequested_ = false;
    elapsedMs_ = 0;
    clock_.invalidate();
    if (program.isEmpty()) {
        QTimer::singleShot(0, this, [this] { finish(kermit::kNotStarted); });
        return;
    }
    process_ = new QProcess(this);
    process_->setProgram(program);
    process_->setArguments(arguments);
    process_->setWorkingDirectory(workingFolder);
    // Kermit reads no keyboard: a script that stopped short of its end ends Kermit instead of
    // waiting. Its own session keeps it off any terminal the program was started from.
    process_->setStandardInputFile(QProcess::nullDevice());
    process_->setStandardOutputFile(QProcess::nullDevice());
    process_->setStandardErrorFile(QProcess::nullDevice());
    process_->setChildProcessModifier([] { ::setsid(); });
    connect(process_, &QProcess::started, this, [this, process = process_] {
        clock_.start();
        emit started(process->processId());
    });
    connect(process_, &QProcess::finished, this, &KermitRunner::processEnded);
    // Queued: the failure may be found inside start(), and finished() always comes after it.
    connect(
        process_, &QProcess::errorOccurred, this,
        [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                finish(kermit::kNotStarted);
        },
        Qt::QueuedConnection);
    process_->start();
}

void KermitRunner::processEnded() {
    // Kermit ends with 0 when it is asked to end, which would read as a port failure.
    if (stopRequested_) {
        // What Kermit started may outlive it: deaf to the request, or started just as the
        // request came and before it could take it. Its group is killed now; the group's id
        // stays reserved while any member lives, so this reaches no stranger.
        if (processGroup_ > 0)
            ::kill(-static_cast<pid_t>(processGroup_), SIGKILL);
        return finish(kermit::kStopped);
    }
    finish(process_->exitStatus() == QProcess::NormalExit ? process_->exitCode()
                                                          : kermit::kAbnormalEnd);
}

void KermitRunner::finish(int exitCode) {
    if (clock_.isValid())
        elapsedMs_ = clock_.elapsed();
    clock_.invalidate();
    if (process_ != nullptr) {
        process_->deleteLater();
        process_ = nullptr;
    }
    running_ = false;
    emit finished(exitCode);
}

qint64 KermitRunner::elapsedMs() const {
    return clock_.isValid() ? clock_.elapsed() : elapsedMs_;
}

// Kermit leads a process group of its own: the whole group is asked to end, and killed when it
// has not ended after a moment.
void KermitRunner::stop() {
    if (process_ == nullptr || process_->state() == QProcess::NotRunning || stopRequested_)
        return;
    stopRequested_ = true;
    const pid_t group = groupOf(*process_);
    processGroup_ = group;
    ::kill(-group, SIGTERM);
    QTimer::singleShot(kStopGraceMs, process_, [process = process_, group] {
        if (process->state() != QProcess::NotRunning)
            ::kill(-group, SIGKILL);
    });
}
