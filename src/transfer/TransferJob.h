#pragma once

#include "core/HpFile.h"
#include "core/TopicTable.h"
#include "transfer/KermitScript.h"
#include "transfer/TransferOutcome.h"

#include <QObject>
#include <QString>

class KermitRunner;
class QTimer;
class SettingsFile;

// What one transfer moves, where, and how.
struct TransferRequest {
    // The mode, the device and the serial parameters; the job fills in its own files.
    kermit::ScriptValues script;
    QString kermit; // the Kermit program
    // SendDocument: the topics as the document holds them, written with its header values.
    TopicTable table;
    int topicCount = 0;
    hpfile::Header header;
    bool trimRows = false;
    bool trimTopics = false;
    // A private folder for the script, the file to send, the received files and Kermit's logs.
    QString workFolder;
    QString lockFolder = QStringLiteral("/var/lock");
};

// A request as the settings make it: the device of the port, the serial parameters given, the
// retries and packet lengths of section Transfer, the Kermit program, the library and the
// private work folder of the program. The caller adds what is sent and the name for it.
TransferRequest requestFromSettings(const SettingsFile& ini, TransferMode mode, const QString& port,
                                    const QString& baud, const QString& parity);

// Removes from the work folder everything a transfer puts there, and what transfers of earlier
// versions left there (the received file, and the backups Kermit made of it when several came).
void removeTransferLeftovers(const QString& workFolder);

// One transfer between the PC and the calculator: checks the device, writes the script and the
// file to send, runs Kermit, reads its logs for the progress and, when it fails, for the cause,
// hands each received file over, and leaves nothing in the work folder. Knows no window.
class TransferJob : public QObject {
    Q_OBJECT

  public:
    explicit TransferJob(QObject* parent = nullptr);
    ~TransferJob() override;

    // Starts a transfer; every start ends with finished(), also one refused at once (queued
    // then, so that it always comes after start()). Ignored while a transfer runs.
    void start(const TransferRequest& request);
    // Ends a running transfer; it finishes with Cause::Stopped, and nothing received is handed
    // over.
    void stop();

    bool running() const { return running_; }
    // How long Kermit ran, or runs until now.
    qint64 elapsedMs() const;

  signals:
    // Kermit runs with this process id.
    void started(qint64 processId);
    // File data moved so far, of the total when it is known (sending), else of 0.
    void progress(qint64 bytes, qint64 total);
    // Each file received in the session, in the order it came. The file is removed once every
    // receiver has returned: one that keeps it copies or reads it at once.
    void received(const QString& file);
    // bytes: the size of what went, or of all that came.
    void finished(const transfer::Outcome& outcome, qint64 bytes);

  private:
    transfer::Outcome prepare(const TransferRequest& request);
    void kermitFinished(int exitCode);
    transfer::Outcome judge(int exitCode);
    void reportProgress();
    void removeWorkFiles() const;
    void finish(const transfer::Outcome& outcome);
    QString workFile(QByteArrayView name) const;

    KermitRunner* kermit_;
    QTimer* progressTimer_;
    TransferRequest request_;
    bool running_ = false;
    qint64 total_ = 0;
    qint64 bytes_ = 0;
};
