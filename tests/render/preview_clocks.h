#pragma once

// Clocks for the preview tests: none of them sleeps in real time.

#include <chrono>
#include <mutex>

#include "base/event.h"
#include "render/preview_frames.h"

namespace velmora::test {

// Time that passes only when the preview sleeps. With a gate, the first
// sleep (a slideshow's lead-in) waits until the gate opens.
class FakeClock final : public PreviewClock {
  public:
    explicit FakeClock(bool gated = false) : gated_(gated) {}
    TimePoint now() override { return now_; }
    void sleepUntil(TimePoint deadline, Event&) override {
        if (gated_) {
            gated_ = false;
            asleep.set();
            gate.waitFor(std::chrono::seconds(20));
        }
        now_ = deadline;
    }
    std::chrono::microseconds elapsed() const {
        return std::chrono::duration_cast<std::chrono::microseconds>(now_ - TimePoint());
    }
    Event asleep;
    Event gate;

  private:
    bool gated_;
    TimePoint now_;
};

// Time that stands still: every wait lasts until the stop request wakes it
// (or, should it never come, a long safety time-out passes, counted).
class StandstillClock final : public PreviewClock {
  public:
    TimePoint now() override { return TimePoint(); }
    void sleepUntil(TimePoint, Event& wake) override {
        asleep.set();
        if (wake.waitFor(std::chrono::seconds(20))) {
            wake.set();
        } else {
            std::lock_guard lock(mutex_);
            ++sleptThrough_;
        }
    }
    int sleptThrough() {
        std::lock_guard lock(mutex_);
        return sleptThrough_;
    }
    Event asleep;

  private:
    std::mutex mutex_;
    int sleptThrough_ = 0;
};

}  // namespace velmora::test
