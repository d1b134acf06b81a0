#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalSocket;

// One running program per user: the first start holds a lock file and listens on a local
// socket; a later start hands its file name over that socket and ends.
class SingleInstance : public QObject {
    Q_OBJECT

  public:
    explicit SingleInstance(QObject* parent = nullptr);

    enum class ClaimResult {
        Claimed,       // this process is the first one; it listens for hand-overs
        HeldElsewhere, // another running program holds the lock
        CannotBeMade,  // neither the lock nor the channel can be made in the runtime folder
    };
    ClaimResult claim();

    static QString channelName();
    // Sends an absolute path to the first instance and waits until it has taken it.
    static bool handOver(const QString& absolutePath);

    // Paths taken before this call wait, in the order they came, until whoever opens them is
    // there; from now on each is emitted from the event loop, after its connection is done.
    void startDelivery();

  signals:
    // Emitted once for each path handed over.
    void handedOver(const QString& absolutePath);

  private:
    void accept();
    void receive(QLocalSocket* socket);
    void deliverPending();

    QLockFile lock_;
    QLocalServer server_;
    QStringList pending_;
    bool delivering_ = false;
    bool inDelivery_ = false;
};
