#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// The files received from the calculator, each kept as it came before it opens in a window:
// in a private folder (paths::receivedDir()), named by the date and time of their arrival,
// the last few only.
namespace received {

struct Copy {
    QString path;
    QDateTime arrived; // from its name
    qint64 size = 0;
};

// Copies the received file into the folder as "YYYY-MM-DD_HH-MM-SS.hp" (with "_02" and on
// when a copy of that second exists), then removes the oldest copies beyond `keep`. Returns
// the copy's path; empty when keep is 0 or the copy could not be made, with the reason in
// `error` (left empty for keep 0).
QString keep(const QString& file, int keep, const QDateTime& arrived, QString* error = nullptr);
// The copies in the folder, the newest first.
QList<Copy> copies();
// Removes the oldest copies until at most `keep` are left.
void prune(int keep);

} // namespace received
