#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;

// Runs the Kermit program once per start, without waiting for it: finished() tells how the
// run ended, as an exit code of kermit:: (KermitScript.h). Kermit reads no keyboard and writes
// to no terminal, and it leads a session of its own, so that stopping it ends whatever it
// started too.
class KermitRunner : public QObject {
    Q_OBJECT

  public:
    explicit KermitRunner(QObject* parent = nullptr);
    // A Kermit still running is killed with everything it started.
    ~KermitRunner() override;

    // Starts the program in the folder given (the current one when empty); finished() follows,
    // also when it cannot be started (kNotStarted). Ignored while a run is on.
    void start(const QString& program, const QStringList& arguments,
               const QString& workingFolder = {});
    // Asks Kermit to end, and kills it when it has not ended after a moment; its run then
    // finishes with kStopped. A run that has ended keeps its result.
    void stop();

    bool running() const { return running_; }
    // How long Kermit ran, from its start to its end; while it runs, until now.
    qint64 elapsedMs() const;

  signals:
    // Kermit runs with this process id.
    void started(qint64 processId);
    void finished(int exitCode);

  private:
    void processEnded();
    void finish(int exitCode);

    QProcess* process_ = nullptr; // the Kermit of the current run
    bool running_ = false;
    bool stopRequested_ = false;
    qint64 processGroup_ = 0; // Kermit's process id, which leads its group; kept for after its end
    QElapsedTimer clock_;
    qint64 elapsedMs_ = 0;
};
