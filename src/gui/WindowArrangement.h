#pragma once

class QMdiArea;

// Document windows keep their size: tiling stacks them from the top, one below the other, and
// starts a new column where the workspace ends; when the columns fill its width, the next
// layer starts again near the top-left corner. The workspace itself never grows.
void tileWindows(QMdiArea& workspace);
// Minimised windows in rows along the bottom edge of the workspace, left to right.
void arrangeMinimizedWindows(QMdiArea& workspace);
