#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

// Puts a top-level window at a stored or derived place. A place on which the whole window shows
// is kept; any other is moved onto the available area of the screen that holds the window's
// centre, or of the primary screen when no screen does.
void placeOnScreen(QWidget& window, QPoint topLeft);
// The same for a window whose size is stored too.
void placeOnScreen(QWidget& window, QRect geometry);
// Centres a window on the available area of the primary screen.
void centreOnScreen(QWidget& window);
