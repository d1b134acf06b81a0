#include "gui/ScreenPlacement.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// A window not shown yet has its final size once its layout has done its work.
QSize SizeOf(QWidget& window) {
    if (QLayout* layout = window.layout())
        layout->activate();
    return window.size();
}

const QScreen* ScreenFor(QRect geometry) {
    if (const QScreen* screen = QGuiApplication::screenAt(geometry.center()))
        return screen;
    return QGuiApplication::primaryScreen();
}

// The window's rectangle moved by the least distance to lie inside the area; a window larger
// than the area takes the area's size.
QRect KeptInside(QRect window, QRect area) {
    window.setSize(window.size().boundedTo(area.size()));
    window.moveLeft(std::clamp(window.left(), area.left(), area.right() - window.width() + 1));
    window.moveTop(std::clamp(window.top(), area.top(), area.bottom() - window.height() + 1));
    return window;
}

} // namespace

void PlaceOnScreen(QWidget& window, QRect geometry) {
    if (const QScreen* screen = ScreenFor(geometry))
        geometry = KeptInside(geometry, screen->availableGeometry());
    window.resize(geometry.size());
    window.move(geometry.topLeft());
}

void PlaceOnScreen(QWidget& window, QPoint topLeft) {
    PlaceOnScreen(window, QRect(topLeft, SizeOf(window)));
}

void CentreOnScreen(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect geometry(QPoint(), SizeOf(window));
    geometry.moveCenter(screen->availableGeometry().center());
    PlaceOnScreen(window, geometry);
}
