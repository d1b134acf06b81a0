#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>

class Document;
class QTimer;
class RecoveryStore;

// When the copy of a changed document is written.
struct RecoveryTiming {
    int quietMs = 2000;        // the rest after the last change
    int minIntervalMs = 5000;  // between two copies of one document
    int longestWaitMs = 10000; // from a change to its copy, however often changes come
};

// Keeps a recovery copy of each watched document while it differs from its file: written when
// the document has rested a moment after a change, never more often than every few seconds, and
// at the latest a little while after a change, so that steady work is copied too. The copy goes
// when the document is saved or goes. A copy that cannot be written is reported once in the
// program's life; editing goes on.
class RecoveryKeeper : public QObject {
    Q_OBJECT

  public:
    explicit RecoveryKeeper(RecoveryStore& store, RecoveryTiming timing = {});

    void watch(Document* document);
    // Writes the copy of a watched, modified document at once; false when it cannot be written.
    bool writeNow(Document* document);

  private:
    struct Watched {
        int slot = 0;
        QTimer* timer = nullptr;
        QElapsedTimer pendingSince; // the first change the copy does not hold yet
        QElapsedTimer lastWritten;
    };
    void schedule(Document* document);
    void modifiedTurned(Document* document, bool modified);
    void forget(Document* document);
    bool writeCopy(Document* document);
    void reportFailure();

    RecoveryStore& store_;
    RecoveryTiming timing_;
    QHash<Document*, Watched> watched_;
    int nextSlot_ = 1;
    bool failureReported_ = false;
};
