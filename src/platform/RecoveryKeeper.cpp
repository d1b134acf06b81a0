#include "platform/RecoveryKeeper.h"

#include "core/Document.h"
#include "platform/Prompter.h"
#include "platform/RecoveryStore.h"
#include "platform/TextIds.h"

#include <QDir>
#include <QTimer>

#include <algorithm>

RecoveryKeeper::RecoveryKeeper(RecoveryStore& store, RecoveryTiming timing)
    : store_(store), timing_(timing) {}

void RecoveryKeeper::watch(Document* document) {
    Watched& watched = watched_[document];
    watched.slot = nextSlot_++;
    watched.timer = new QTimer(this);
    watched.timer->setSingleShot(true);
    connect(watched.timer, &QTimer::timeout, this, [this, document] { writeCopy(document); });
    connect(document, &Document::topicsChanged, this, [this, document] { schedule(document); });
    connect(document, &Document::modifiedChanged, this,
            [this, document](bool modified) { modifiedTurned(document, modified); });
    connect(document, &QObject::destroyed, this, [this, document] { forget(document); });
    if (document->isModified())
        schedule(document);
}

// Each change puts the copy off until the document rests, but not past the longest wait after
// the first change it does not hold; the copy before must be old enough in any case.
void RecoveryKeeper::schedule(Document* document) {
    Watched& watched = watched_[document];
    if (!document->isModified())
        return;
    if (!watched.timer->isActive())
        watched.pendingSince.start();
    const qint64 untilLongest = timing_.longestWaitMs - watched.pendingSince.elapsed();
    qint64 delay = std::clamp<qint64>(untilLongest, 0, timing_.quietMs);
    if (watched.lastWritten.isValid())
        delay = std::max<qint64>(delay, timing_.minIntervalMs - watched.lastWritten.elapsed());
    watched.timer->start(static_cast<int>(delay));
}

void RecoveryKeeper::modifiedTurned(Document* document, bool modified) {
    if (modified) {
        schedule(document);
        return;
    }
    // Saved: the file holds what the copy held.
    Watched& watched = watched_[document];
    watched.timer->stop();
    watched.lastWritten.invalidate();
    store_.remove(watched.slot);
}

// The document is gone: closed without saving, or saved before.
void RecoveryKeeper::forget(Document* document) {
    const Watched watched = watched_.take(document);
    delete watched.timer; // its timeout would name the document that is gone
    store_.remove(watched.slot);
}

bool RecoveryKeeper::writeNow(Document* document) {
    if (!watched_.contains(document))
        return false;
    watched_[document].timer->stop();
    return writeCopy(document);
}

bool RecoveryKeeper::writeCopy(Document* document) {
    Watched& watched = watched_[document];
    if (!document->isModified())
        return true;
    const QString file = document->hasFile() ? document->fileName() : QString();
    if (!store_.write(watched.slot, document->table(), file, document->header())) {
        reportFailure();
        return false;
    }
    watched.lastWritten.start();
    return true;
}

// Once, from the event loop: the box must not run inside a timer or a restore.
void RecoveryKeeper::reportFailure() {
    if (failureReported_)
        return;
    failureReported_ = true;
    const QString folder = QDir::toNativeSeparators(store_.root());
    QMetaObject::invokeMethod(
        this,
        [folder] {
            thePrompter().showMessage(textid::kRecoveryNotWritten, MessageKind::Error, {folder});
        },
        Qt::QueuedConnection);
}
