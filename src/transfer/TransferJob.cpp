#include "transfer/TransferJob.h"

#include "platform/CompanionFiles.h"
#include "platform/Paths.h"
#include "platform/Settings.h"
#include "transfer/KermitLog.h"
#include "transfer/KermitRunner.h"
#include "transfer/PortCheck.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace {

using transfer::Cause;
using transfer::Outcome;

// How often the packet log is read while Kermit runs.
constexpr int kProgressIntervalMs = 250;
// Kermit waits this long for each packet (the script's send timeout).
constexpr int kPacketTimeoutSeconds = 1;

QByteArray readAll(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString workName(int number) {
    return programfiles::name(number);
}

// The files of a receive, oldest first.
QFileInfoList receivedFiles(const QString& folder) {
    QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    std::stable_sort(files.begin(), files.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.lastModified() < b.lastModified();
    });
    return files;
}

} // namespace

TransferRequest requestFromSettings(const SettingsFile& ini, TransferMode mode, const QString& port,
                                    const QString& baud, const QString& parity) {
    namespace key = settings::key;
    namespace fallback = settings::fallback;
    const QString packetLength = QString::number(fallback::kScriptPacketLength);
    TransferRequest request;
    kermit::ScriptValues& values = request.script;
    values.mode = mode;
    values.device = kermit::deviceOfPort(port, ini);
    values.baud = baud;
    values.parity = parity;
    values.retries = settings::readString(ini, key::kRetries, QString::number(fallback::kRetries));
    values.sendPacketLength = settings::readString(ini, key::kSendPacketLength, packetLength);
    values.receivePacketLength = settings::readString(ini, key::kReceivePacketLength, packetLength);
    values.tarvoLibrary = programfiles::path(programfiles::kTarvoLibrary);
    request.kermit = programfiles::path(programfiles::kKermit);
    request.workFolder = paths::usableWorkDir();
    return request;
}

TransferJob::TransferJob(QObject* parent)
    : QObject(parent), kermit_(new KermitRunner(this)), progressTimer_(new QTimer(this)) {
    progressTimer_->setInterval(kProgressIntervalMs);
    connect(progressTimer_, &QTimer::timeout, this, &TransferJob::reportProgress);
    connect(kermit_, &KermitRunner::started, this, &TransferJob::started);
    connect(kermit_, &KermitRunner::finished, this, &TransferJob::kermitFinished);
}

TransferJob::~TransferJob() {
    if (running_) {
        delete kermit_; // kills Kermit with everything it started
        removeWorkFiles();
    }
}

QString TransferJob::workFile(QByteArrayView name) const {
    return request_.workFolder + u'/' + QString::fromLatin1(name);
}

qint64 TransferJob::elapsedMs() const {
    return kermit_->elapsedMs();
}

QString receiveFolderIn(const QString& workFolder) {
    return workFolder + u'/' + workName(programfiles::kReceiveFile) + QStringLiteral(".d");
}

void removeTransferLeftovers(const QString& workFolder) {
    if (workFolder.isEmpty())
        return;
    QDir work(workFolder);
    const QString received = workName(programfiles::kReceiveFile);
    for (const QString& name : work.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.startsWith(received) || name == workName(programfiles::kSendFile) ||
            name == workName(programfiles::kTaskFile) ||
            name == QLatin1String(kermit::kTransactionLog) ||
            name == QLatin1String(kermit::kPacketLog))
            work.remove(name);
    }
    QDir(receiveFolderIn(workFolder)).removeRecursively();
}

void TransferJob::removeWorkFiles() const {
    removeTransferLeftovers(request_.workFolder);
}

void TransferJob::start(const TransferRequest& request) {
    if (running_)
        return;
    running_ = true;
    request_ = request;
    kermit::ScriptValues& script = request_.script;
    script.sendFile = workFile(workName(programfiles::kSendFile).toLatin1());
    script.receiveFolder = receiveFolderIn(request_.workFolder);
    total_ = 0;
    bytes_ = 0;
    removeWorkFiles(); // left by a run that never ended; Kermit must find none of them
    const Outcome refusal = prepare(request_);
    if (refusal.cause != Cause::Done) {
        QTimer::singleShot(0, this, [this, refusal] { finish(refusal); });
        return;
    }
    progressTimer_->start();
    kermit_->start(request_.kermit,
                   kermit::commandArguments(workFile(workName(programfiles::kTaskFile).toLatin1())),
                   request_.workFolder);
}

// The checks, then the script and the file to send; the first problem, or Cause::Done.
Outcome TransferJob::prepare(const TransferRequest& request) {
    const kermit::ScriptValues& script = request.script;
    if (request.workFolder.isEmpty())
        return {Cause::Failed, {}};
    const Outcome problem = transfer::checkBeforeTransfer(
        request.kermit, script.device, transfer::Identity::ofThisProcess(), request.lockFolder);
    if (problem.cause != Cause::Done)
        return problem;
    switch (script.mode) {
    case TransferMode::SendDocument:
        // Written as a save writes it, in the document's translation mode.
        if (!writeHpFile(script.sendFile, request.table, request.topicCount, request.trimRows,
                         request.trimTopics, request.header))
            return {Cause::CannotWriteSendFile, {}};
        total_ = QFileInfo(script.sendFile).size();
        break;
    case TransferMode::SendLibrary:
        total_ = QFileInfo(script.tarvoLibrary).size();
        break;
    case TransferMode::ReceiveFile:
        if (!QDir().mkpath(script.receiveFolder))
            return {Cause::Failed, {}};
        break;
    }
    QFile task(workFile(workName(programfiles::kTaskFile).toLatin1()));
    const QByteArray text = kermit::takeScript(script);
    if (!task.open(QIODevice::WriteOnly | QIODevice::Truncate) || task.write(text) != text.size())
        return {Cause::Failed, {}};
    return {};
}

// Sending, from the packet log as Kermit writes it out; receiving, from the files as they grow.
void TransferJob::reportProgress() {
    qint64 bytes = 0;
    if (request_.script.mode == TransferMode::ReceiveFile) {
        for (const QFileInfo& file : receivedFiles(request_.script.receiveFolder))
            bytes += file.size();
    } else {
        bytes = std::min(kermit::dataBytes(readAll(workFile(kermit::kPacketLog)), true), total_);
    }
    if (bytes != bytes_) {
        bytes_ = bytes;
        emit progress(bytes_, total_);
    }
}

void TransferJob::kermitFinished(int exitCode) {
    progressTimer_->stop();
    if (exitCode == kermit::kSuccess)
        reportProgress();
    finish(judge(exitCode));
}

Outcome TransferJob::judge(int exitCode) {
    switch (exitCode) {
    case kermit::kStopped:
        return {Cause::Stopped, {}};
    case kermit::kNotStarted:
    case kermit::kAbnormalEnd:
        return {Cause::Failed, {}};
    case kermit::kPortFailure:
        return {Cause::PortFailure, {request_.script.device}};
    case kermit::kSuccess:
        break;
    default:
        return kermit::judgeFailure(readAll(workFile(kermit::kTransactionLog)),
                                    readAll(workFile(kermit::kPacketLog)), kPacketTimeoutSeconds);
    }
    if (request_.script.mode != TransferMode::ReceiveFile) {
        bytes_ = total_;
        return {};
    }
    const QFileInfoList files = receivedFiles(request_.script.receiveFolder);
    if (files.isEmpty())
        return {Cause::Failed, {}};
    bytes_ = 0;
    for (const QFileInfo& file : files) {
        bytes_ += file.size();
        emit received(file.filePath());
    }
    return {};
}

void TransferJob::finish(const Outcome& outcome) {
    removeWorkFiles();
    running_ = false;
    emit finished(outcome, outcome.cause == Cause::Done ? bytes_ : 0);
}

void TransferJob::stop() {
    kermit_->stop();
}
