#include "gui/ScreenPlacement.h"

#include <QEvent>
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

// The start of a span of the given length moved by the least distance to lie between first and
// last; a span longer than that starts at first, where a window's title bar is.
int keptBetween(int start, int length, int first, int last) {
    return std::max(first, std::min(start, last - length + 1));
}

// Until a window manager has framed a window, Qt cannot know the frame: a place set before the
// first show counts for the frame's corner only until a resize comes in between, and after that
// for the window's own corner, which puts the frame a title bar higher; and a window of a size
// that fits may end up with its frame over the screen's edge. So once the frame is known after a
// show, the frame goes where the window was meant to stand (its position when it was shown,
// which is what it reports and what is stored), wholly onto the screen where it fits; and while
// it shows, a move that makes the frame's corner the window's is taken back.
class FrameKeeper : public QObject {
  public:
    static constexpr char kName[] = "frameKeeper";

    explicit FrameKeeper(QWidget& window) : QObject(&window), window_(window) {
        setObjectName(QString::fromLatin1(kName));
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &window_)
            return false;
        if (event->type() == QEvent::Show) {
            meant_ = window_.pos();
            placed_ = false;
        } else if ((event->type() == QEvent::Move || event->type() == QEvent::Paint) &&
                   frameKnown() && !(window_.windowState() & kNotPlaced)) {
            if (!placed_)
                placeFrame();
            else if (event->type() == QEvent::Move)
                followMove();
        }
        return false;
    }

  private:
    // States in which the window system decides the place.
    static constexpr Qt::WindowStates kNotPlaced =
        Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

    // A frame that surrounds the window; without a window manager there is none.
    bool frameKnown() const {
        const QRect frame = window_.frameGeometry();
        return frame != window_.geometry() && frame.contains(window_.geometry());
    }

    void placeFrame() {
        placed_ = true;
        QRect frame(meant_, window_.frameGeometry().size());
        if (const QScreen* screen = screenFor(frame)) {
            const QRect area = screen->availableGeometry();
            frame.moveTo(keptBetween(frame.left(), frame.width(), area.left(), area.right()),
                         keptBetween(frame.top(), frame.height(), area.top(), area.bottom()));
        }
        meant_ = frame.topLeft();
        if (meant_ != window_.pos())
            window_.move(meant_);
    }

    // A resize of a shown window can still make the frame's corner the window's; any other move
    // is the user's.
    void followMove() {
        if (window_.geometry().topLeft() == meant_)
            window_.move(meant_);
        else
            meant_ = window_.pos();
    }

    QWidget& window_;
    QPoint meant_;       // the place of the frame's corner
    bool placed_ = true; // false from a show until the frame is known
};

void keepFrame(QWidget& window) {
    if (!window.findChild<QObject*>(QString::fromLatin1(FrameKeeper::kName),
                                    Qt::FindDirectChildrenOnly))
        new FrameKeeper(window);
}

} // namespace

void placeOnScreen(QWidget& window, QRect geometry) {
    if (const QScreen* screen = screenFor(geometry))
        geometry = keptInside(geometry, screen->availableGeometry());
    window.resize(geometry.size());
    window.move(geometry.topLeft());
    keepFrame(window);
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
