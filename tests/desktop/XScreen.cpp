#include "XScreen.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace xscreen {
namespace {

using DisplayHandle = std::unique_ptr<Display, decltype(&XCloseDisplay)>;

DisplayHandle openDisplay() {
    return DisplayHandle(XOpenDisplay(nullptr), &XCloseDisplay);
}

// A property of 32-bit items (which Xlib hands out as longs); empty when the window has none.
QList<long> longProperty(Display* display, Window window, const char* name, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    QList<long> values;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 64, False, type,
                           &actualType, &format, &count, &after, &data) == Success &&
        data && format == 32) {
        const auto* items = reinterpret_cast<const long*>(data);
        for (unsigned long i = 0; i < count; ++i)
            values.append(items[i]);
    }
    if (data)
        XFree(data);
    return values;
}

} // namespace

QRect frameGeometry(const QString& windowId) {
    const DisplayHandle display = openDisplay();
    if (!display)
        return {};
    const Window window = windowId.toULong();
    XWindowAttributes attributes{};
    int x = 0;
    int y = 0;
    Window child = 0;
    if (!XGetWindowAttributes(display.get(), window, &attributes) ||
        !XTranslateCoordinates(display.get(), window, DefaultRootWindow(display.get()), 0, 0, &x,
                               &y, &child))
        return {};
    QRect frame(x, y, attributes.width, attributes.height);
    // Left, right, top and bottom, as the window manager keeps them on the window.
    const QList<long> extents =
        longProperty(display.get(), window, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    if (extents.size() == 4)
        frame.adjust(-int(extents[0]), -int(extents[2]), int(extents[1]), int(extents[3]));
    return frame;
}

QImage grab(QRect area) {
    const DisplayHandle display = openDisplay();
    if (!display)
        return {};
    XImage* image = XGetImage(display.get(), DefaultRootWindow(display.get()), area.x(), area.y(),
                              area.width(), area.height(), AllPlanes, ZPixmap);
    if (!image)
        return {};
    QImage picture(area.size(), QImage::Format_RGB32);
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x)
            picture.setPixel(x, y, 0xff000000 | (XGetPixel(image, x, y) & 0xffffff));
    }
    XDestroyImage(image);
    return picture;
}

bool windowManagerRuns() {
    const DisplayHandle display = openDisplay();
    return display && !longProperty(display.get(), DefaultRootWindow(display.get()),
                                    "_NET_SUPPORTING_WM_CHECK", XA_WINDOW)
                           .isEmpty();
}

} // namespace xscreen
