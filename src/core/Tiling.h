#pragma once

#include <QList>
#include <QPoint>
#include <QSize>

// Where windows of fixed sizes go in a workspace of the given size, in the order given.
namespace tiling {

// Stacked from the top, one below the other, a new column where the workspace ends; when the
// columns fill its width, the next layer starts again a step further from the top-left corner.
QList<QPoint> stackedPositions(const QList<QSize>& sizes, QSize area);
// In rows along the bottom edge, left to right, the next row above the last.
QList<QPoint> bottomRowPositions(const QList<QSize>& sizes, QSize area);

} // namespace tiling
