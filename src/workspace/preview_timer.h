#pragma once

#include <QTimer>
#include <functional>

namespace velmora {

// A repeating timer of the user-interface thread: what steps the music
// preview from track to track. An interface so the stepping can be driven
// by hand instead of by the clock.
class PreviewTimer {
  public:
    virtual ~PreviewTimer() = default;

    // Calls `tick` every `intervalMs` until stop(). Starting a running timer
    // replaces its interval and its callback, so ticks never double up.
    virtual void start(int intervalMs, std::function<void()> tick) = 0;
    // Nothing when the timer is not running.
    virtual void stop() = 0;
};

// The timer of the program: a QTimer of the thread that makes it, which
// must run a Qt event loop (the user-interface thread).
class QtPreviewTimer final : public PreviewTimer {
  public:
    QtPreviewTimer();

    void start(int intervalMs, std::function<void()> tick) override;
    void stop() override;

  private:
    void fire();

    QTimer timer_;
    std::function<void()> tick_;
};

}  // namespace velmora
