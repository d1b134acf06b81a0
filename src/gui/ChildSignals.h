#pragma once

#include <QObject>

// A window's children outlive its own destructor: ~QWidget hides and deletes them after it, and
// a signal they send then (a workspace losing its active window, a list losing its current row)
// would reach a slot of an object that is no longer that window. Every window with connections
// from its children calls this first thing in its destructor.
inline void disconnectChildSignals(QObject* window) {
    const QList<QObject*> children = window->findChildren<QObject*>();
    for (QObject* child : children)
        QObject::disconnect(child, nullptr, window, nullptr);
}
