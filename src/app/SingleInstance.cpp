#include "app/SingleInstance.h"

#include "core/FileName.h"
#include "platform/Paths.h"

#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QScopedValueRollback>
#include <QThread>
#include <QtEndian>

namespace {

constexpr int kHandOverTimeoutMs = 5000;
constexpr int kRetryPauseMs = 50;
constexpr char kTaken = '\x06';
// A path is at most a few KB; anything longer is not a hand-over.
constexpr quint32 kMaxPathBytes = 64 * 1024;

QString lockFileName() {
    return paths::runtimeDir() + QStringLiteral("/OmbrelMutex.lock");
}

} // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent), lock_(lockFileName()) {
    lock_.setStaleLockTime(0); // only a lock whose owner has died is stale
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
}

QString SingleInstance::channelName() {
    return paths::runtimeDir() + QStringLiteral("/OmbrelMessage");
}

SingleInstance::ClaimResult SingleInstance::claim() {
    if (!lock_.tryLock(0)) {
        return lock_.error() == QLockFile::LockFailedError ? ClaimResult::HeldElsewhere
                                                           : ClaimResult::CannotBeMade;
    }
    QLocalServer::removeServer(channelName());
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(channelName())) {
        lock_.unlock();
        return ClaimResult::CannotBeMade;
    }
    return ClaimResult::Claimed;
}

void SingleInstance::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { receive(socket); });
    }
}

// Each connection carries one path: its length in four bytes (big-endian), then its bytes. The
// path is taken and the connection finished before anything opens it: opening may show a box
// whose event loop must not run inside this socket's own signal.
void SingleInstance::receive(QLocalSocket* socket) {
    const QByteArray received = socket->peek(socket->bytesAvailable());
    if (received.size() < 4)
        return;
    const quint32 length = qFromBigEndian<quint32>(received.constData());
    if (length > kMaxPathBytes) {
        socket->abort();
        return;
    }
    if (received.size() < qsizetype(4 + length))
        return;
    socket->read(4 + length);
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr); // one path a connection
    socket->write(&kTaken, 1);
    socket->disconnectFromServer();
    pending_.append(filename::fromBytes(received.mid(4, length)));
    if (delivering_)
        QMetaObject::invokeMethod(this, &SingleInstance::deliverPending, Qt::QueuedConnection);
}

void SingleInstance::startDelivery() {
    delivering_ = true;
    QMetaObject::invokeMethod(this, &SingleInstance::deliverPending, Qt::QueuedConnection);
}

// Opening a path may show a box, whose event loop takes further paths: they wait for this
// loop, so the paths are delivered one after the other in the order they came.
void SingleInstance::deliverPending() {
    if (inDelivery_)
        return;
    const QScopedValueRollback<bool> delivering(inDelivery_, true);
    while (!pending_.isEmpty())
        emit handedOver(pending_.takeFirst());
}

bool SingleInstance::handOver(const QString& absolutePath) {
    const QByteArray path = filename::toBytes(absolutePath);
    QByteArray message(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(path.size()), message.data());
    message += path;

    QDeadlineTimer deadline(kHandOverTimeoutMs);
    QLocalSocket socket;
    // The first instance may hold the lock a moment before it listens.
    for (;;) {
        socket.connectToServer(channelName());
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(kRetryPauseMs);
    }
    socket.write(message);
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
        return false;
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return false;
    }
    return socket.read(1) == QByteArray(1, kTaken);
}
