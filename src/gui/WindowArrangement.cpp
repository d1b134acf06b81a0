#include "gui/WindowArrangement.h"

#include "core/Tiling.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <functional>

namespace {

using Placement = std::function<QList<QPoint>(const QList<QSize>&, QSize)>;

// Moves the workspace's minimised (or its other) windows, in the order they were made, to the
// positions the placement gives for their sizes.
void placeWindows(QMdiArea& workspace, bool minimized, const Placement& placement) {
    QList<QMdiSubWindow*> windows;
    QList<QSize> sizes;
    for (QMdiSubWindow* window : workspace.subWindowList(QMdiArea::CreationOrder)) {
        if (window->isMinimized() == minimized) {
            windows.append(window);
            sizes.append(window->size());
        }
    }
    const QList<QPoint> positions = placement(sizes, workspace.viewport()->size());
    for (qsizetype index = 0; index < windows.size(); ++index)
        windows[index]->move(positions[index]);
}

} // namespace

void tileWindows(QMdiArea& workspace) {
    placeWindows(workspace, false, tiling::stackedPositions);
}

void arrangeMinimizedWindows(QMdiArea& workspace) {
    placeWindows(workspace, true, tiling::bottomRowPositions);
}
