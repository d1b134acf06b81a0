#pragma once

#include <thread>

// Reading the system's font configuration is the largest single step of a start: fontconfig
// parses some fifty XML files before the first text can be measured. Nothing needs it until the
// first window shows, so a thread of its own reads it while the program connects to the display
// and claims the single instance. fontconfig makes its configuration once, whichever thread asks
// first, so the font database Qt fills later takes the one read here.
class FontConfigWarmUp {
  public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();

    FontConfigWarmUp(const FontConfigWarmUp&) = delete;
    FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

    // Waits until the configuration is read; at once when it already is.
    void wait();

  private:
    std::thread reader_;
};
