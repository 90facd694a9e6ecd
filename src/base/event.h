#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace velmora {

// A signal between threads: set by one, seen or waited for by another. The
// cancel request of a long job is one, tested between units of work with
// isSet() (which leaves it set); "done" hand-overs wait with waitFor(),
// which consumes the signal as an auto-reset event does.
class Event {
  public:
    // Notifies under the lock: a waiter that wakes may destroy the event
    // at once (a hand-over on the stack), and must not do so while the
    // notifying thread still uses it.
    void set() {
        std::lock_guard lock(mutex_);
        signalled_ = true;
        changed_.notify_all();
    }
    void reset() {
        std::lock_guard lock(mutex_);
        signalled_ = false;
    }
    bool isSet() const {
        std::lock_guard lock(mutex_);
        return signalled_;
    }
    // Waits until set or until the timeout passes; true when it was set.
    // The signal is consumed.
    bool waitFor(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, timeout, [this] { return signalled_; })) return false;
        signalled_ = false;
        return true;
    }

    // Waits until set; the signal is consumed.
    void wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return signalled_; });
        signalled_ = false;
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_ = false;
};

}  // namespace velmora
