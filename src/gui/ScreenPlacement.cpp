#include "gui/ScreenPlacement.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// A window not shown yet has its final size once its layout has done its work.
QSize sizeOf(QWidget& window) {
    if (QLayout* layout = window.layout())
        layout->activate();
    return window.size();
}

const QScreen* screenFor(QRect geometry) {
    if (const QScreen* screen = QGuiApplication::screenAt(geometry.center()))
        return screen;
    return QGuiApplication::primaryScreen();
}

// The window's rectangle moved by the least distance to lie inside the area; a window larger
// than the area takes the area's size.
QRect keptInside(QRect window, QRect area) {
    window.setSize(window.size().boundedTo(area.size()));
    window.moveLeft(std::clamp(window.left(), area.left(), area.right() - window.width() + 1));
    window.moveTop(std::clamp(window.top(), area.top(), area.bottom() - window.height() + 1));
    return window;
}

} // namespace

void placeOnScreen(QWidget& window, QRect geometry) {
    if (const QScreen* screen = screenFor(geometry))
        geometry = keptInside(geometry, screen->availableGeometry());
    window.resize(geometry.size());
    window.move(geometry.topLeft());
}

void placeOnScreen(QWidget& window, QPoint topLeft) {
    placeOnScreen(window, QRect(topLeft, sizeOf(window)));
}

void centreOnScreen(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect geometry(QPoint(), sizeOf(window));
    geometry.moveCenter(screen->availableGeometry().center());
    placeOnScreen(window, geometry);
}
