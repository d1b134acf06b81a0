#include "core/Tiling.h"

#include <algorithm>

namespace tiling {

QList<QPoint> stackedPositions(const QList<QSize>& sizes, QSize area) {
    constexpr int kLayerStep = 24;
    QList<QPoint> positions;
    int layer = 0;
    QPoint next(0, 0);
    int columnWidth = 0;
    for (const QSize& size : sizes) {
        if (next.y() > layer * kLayerStep && next.y() + size.height() > area.height()) {
            next = QPoint(next.x() + columnWidth, layer * kLayerStep);
            columnWidth = 0;
        }
        if (next.x() > layer * kLayerStep && next.x() + size.width() > area.width()) {
            ++layer;
            next = QPoint(layer * kLayerStep, layer * kLayerStep);
        }
        positions.append(next);
        next.ry() += size.height();
        columnWidth = std::max(columnWidth, size.width());
    }
    return positions;
}

QList<QPoint> bottomRowPositions(const QList<QSize>& sizes, QSize area) {
    QList<QPoint> positions;
    int x = 0;
    int rowBottom = area.height();
    int rowHeight = 0;
    for (const QSize& size : sizes) {
        if (x > 0 && x + size.width() > area.width()) {
            x = 0;
            rowBottom -= rowHeight;
            rowHeight = 0;
        }
        positions.append(QPoint(x, rowBottom - size.height()));
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
    return positions;
}

} // namespace tiling
