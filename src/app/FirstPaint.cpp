#include "app/FirstPaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace {

constexpr int kLatestMs = 500;

class FirstPaintWatcher : public QObject {
  public:
    FirstPaintWatcher(QWidget& window, std::function<void()> step)
        : QObject(&window), step_(std::move(step)) {
        window.installEventFilter(this);
        QTimer::singleShot(window.isMinimized() ? 0 : kLatestMs, this, &FirstPaintWatcher::run);
    }

  protected:
    // The window's children paint in the same pass; the step waits until the pass is over.
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, this, &FirstPaintWatcher::run);
        return false;
    }

  private:
    void run() {
        if (std::exchange(done_, true))
            return;
        parent()->removeEventFilter(this);
        deleteLater(); // drops the timers still waiting
        const std::function<void()> step = std::move(step_);
        step();
    }

    std::function<void()> step_;
    bool done_ = false;
};

} // namespace

void runAfterFirstPaint(QWidget& window, std::function<void()> step) {
    new FirstPaintWatcher(window, std::move(step));
}
