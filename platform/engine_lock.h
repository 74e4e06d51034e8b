// The engine's lock: recursive, with a timed acquire. Taken by every processed
// block, by the sample-rate set-up and by a change of the smoothing kernel,
// and held by the effect's construction and destruction. It is the only lock
// the audio thread ever takes.
#pragma once

#include <chrono>
#include <mutex>
#include <thread>

namespace kt {

class EngineLock {
  public:
    // Waits at most waitMs milliseconds (0 = no limit). Returns whether the
    // caller now holds the lock; a caller that gets false must not touch the
    // state the lock guards.
    //
    // The timed wait polls try_lock rather than using a timed mutex: the
    // uncontended case stays a single atomic operation, and ThreadSanitizer
    // understands every call (it cannot see inside timed mutex waits).
    bool lock(int waitMs) {
        if (waitMs <= 0) {
            mutex_.lock();
            return true;
        }
        if (mutex_.try_lock()) return true;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        do {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            if (mutex_.try_lock()) return true;
        } while (std::chrono::steady_clock::now() < deadline);
        return false;
    }
    void unlock() { mutex_.unlock(); }

  private:
    std::recursive_mutex mutex_;
};

// Holds the lock for a scope when it could be had.
class EngineLockGuard {
  public:
    EngineLockGuard(EngineLock& lock, int waitMs) : lock_(lock), held_(lock.lock(waitMs)) {}
    ~EngineLockGuard() {
        if (held_) lock_.unlock();
    }
    EngineLockGuard(const EngineLockGuard&) = delete;
    EngineLockGuard& operator=(const EngineLockGuard&) = delete;
    bool held() const { return held_; }

  private:
    EngineLock& lock_;
    bool held_;
};

}  // namespace kt
