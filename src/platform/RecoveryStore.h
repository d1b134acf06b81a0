#pragma once

#include "core/HpParser.h"

#include <QDateTime>
#include <QList>
#include <QLockFile>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class TopicTable;

// Copies of crashed runs that a start does not offer, with the reason.
struct UnofferedCopies {
    int waiting = 0; // beyond the folders a start claims at once: the next start offers them
    int behindDamagedLock = 0; // their folder's lock file is damaged and cannot be replaced
    QStringList damagedLocks;
};

// A recovery copy on disk and what restoring it needs.
struct RecoveryCopy {
    QString copyFile;     // a database file holding the whole table
    QString originalFile; // the file the document belongs to; empty for a new document
    QDateTime written;
};

// The recovery copies of unsaved documents, under paths::recoveryDir(). Each running program
// writes into a folder of its own, named by an id, and holds the lock file beside it (<id>.lock)
// for its lifetime; the lock comes before the folder, so a folder whose lock can be taken
// belongs to a program that ended without cleaning up. Each copy is a slot: <n>.hp, a database
// file, and <n>.json, the original file's name and the time of the copy.
class RecoveryStore {
  public:
    RecoveryStore();
    ~RecoveryStore(); // this program's folder goes with every copy in it; the others stay
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    QString root() const { return root_; }

    // Writes the slot's copy atomically, the side file first; false leaves the previous copy.
    // The first write makes the folders (mode 0700) and takes this program's lock; it fails when a
    // folder is not a private one of this user (a link, someone else's) or cannot be made. The
    // copy carries the document's header values, so a restored document keeps its mode.
    bool write(int slot, const TopicTable& table, const QString& originalFile,
               const hpparse::Header& header = {});
    void remove(int slot);

    // The copies in the folders of programs that ended without cleaning up, oldest first. Their
    // locks are held from now on, so no other start offers them as well; a folder without copies
    // goes at once. A lock file that names no program, or where something else stands that can
    // go without a loss (a pipe, a link, an empty folder), is replaced. Each claimed folder holds
    // its lock file open, so a start claims a bounded number of them; the rest wait.
    QList<RecoveryCopy> claimLeftovers();
    // What the last claim left unoffered.
    const UnofferedCopies& unoffered() const { return unoffered_; }
    // A leftover copy restored or discarded: it goes from disk.
    static void removeLeftover(const RecoveryCopy& copy);
    // Lets go of the leftover folders: an emptied one goes, the others stay for the next start.
    void releaseLeftovers();

  private:
    bool open();
    bool isOpen() const { return !ownFolder_.isEmpty(); }

    struct Claimed {
        QString folder;
        std::unique_ptr<QLockFile> lock;
    };
    QString slotPath(int slot, const QString& suffix) const;
    void claimFolder(const QString& folder, QList<RecoveryCopy>& copies);
    void passOver(const QString& folder, const QStringList& files);

    QString root_;
    QString ownFolder_;
    std::unique_ptr<QLockFile> ownLock_;
    std::vector<Claimed> claimed_;
    UnofferedCopies unoffered_;
};
