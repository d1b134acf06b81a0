#pragma once

#include <QImage>
#include <QRect>
#include <QString>

// What the X server of the running test ($DISPLAY) shows, read with Xlib.
namespace xscreen {

// The window's frame on the screen as a window manager draws it; without one, the window's own
// rectangle. Empty when there is no such window.
QRect frameGeometry(const QString& windowId);
// A part of the screen as the user sees it.
QImage grab(QRect area);
// Whether a window manager has announced itself on the screen.
bool windowManagerRuns();

} // namespace xscreen
