#pragma once

#include <QKeySequence>
#include <QList>

// The keys of the Undo and Redo items. The data box keeps them for its own text while it has
// something of its own to take back.
inline const QList<QKeySequence> kUndoKeys{Qt::CTRL | Qt::Key_Z};
inline const QList<QKeySequence> kRedoKeys{Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y};
