#include "gui/WindowArrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

// Document windows keep their size: tiling stacks them from the top, one below the other, and
// starts a new column where the workspace ends; when the columns fill its width, the next
// layer starts again near the top-left corner. The workspace itself never grows.
void tileWindows(QMdiArea& workspace) {
    constexpr int kLayerStep = 24;
    const QSize area = workspace.viewport()->size();
    int layer = 0;
    QPoint next(0, 0);
    int columnWidth = 0;
    for (QMdiSubWindow* window : workspace.subWindowList(QMdiArea::CreationOrder)) {
        if (window->isMinimized())
            continue;
        const QSize size = window->size();
        if (next.y() > layer * kLayerStep && next.y() + size.height() > area.height()) {
            next = QPoint(next.x() + columnWidth, layer * kLayerStep);
            columnWidth = 0;
        }
        if (next.x() > layer * kLayerStep && next.x() + size.width() > area.width()) {
            ++layer;
            next = QPoint(layer * kLayerStep, layer * kLayerStep);
        }
        window->move(next);
        next.ry() += size.height();
        columnWidth = std::max(columnWidth, size.width());
    }
}

// Minimised windows in rows along the bottom edge of the workspace, left to right.
void arrangeMinimizedWindows(QMdiArea& workspace) {
    const int areaWidth = workspace.viewport()->width();
    int x = 0;
    int rowBottom = workspace.viewport()->height();
    int rowHeight = 0;
    for (QMdiSubWindow* window : workspace.subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > areaWidth) {
            x = 0;
            rowBottom -= rowHeight;
            rowHeight = 0;
        }
        window->move(x, rowBottom - size.height());
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
}
