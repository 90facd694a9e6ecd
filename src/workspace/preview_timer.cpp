#include "workspace/preview_timer.h"

#include <utility>

namespace velmora {

QtPreviewTimer::QtPreviewTimer() {
    // One connection for the timer's life: start() swaps the callback, so a
    // restart never leaves an earlier callback connected.
    QObject::connect(&timer_, &QTimer::timeout, [this] { fire(); });
}

void QtPreviewTimer::start(int intervalMs, std::function<void()> tick) {
    tick_ = std::move(tick);
    timer_.start(intervalMs);
}

void QtPreviewTimer::stop() {
    timer_.stop();
    tick_ = nullptr;
}

void QtPreviewTimer::fire() {
    // The callback usually restarts or stops this timer, which replaces
    // tick_ while it runs: call a copy.
    const std::function<void()> tick = tick_;
    if (tick) tick();
}

}  // namespace velmora
