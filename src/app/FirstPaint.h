#pragma once

#include <functional>

class QWidget;

// Runs a step once, from the event loop, as soon as a window that was just shown has painted
// itself for the first time: what the first picture does not need waits until it is there.
// A window shown minimised paints nothing, so its step runs right away; a window the window
// system never exposes (wholly covered) gets its step after half a second all the same.
void runAfterFirstPaint(QWidget& window, std::function<void()> step);
