#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

// Puts a top-level window at a stored or derived place: the place of its frame's corner, as the
// window reports it. A place on which the whole window shows is kept; any other is moved onto
// the available area of the screen that holds the window's centre, or of the primary screen when
// no screen does. Each time the window is shown, once a window manager has framed it, the frame
// is put there again and, where it fits, wholly onto the screen.
void placeOnScreen(QWidget& window, QPoint topLeft);
// The same for a window whose size is stored too.
void placeOnScreen(QWidget& window, QRect geometry);
// Centres a window on the available area of the primary screen.
void centreOnScreen(QWidget& window);
