// The engine's one lock: recursive, with a timed acquire. Taken by every
// processed block, by the sample-rate set-up and by a change of the smoothing
// kernel; nothing else in the program locks.
#pragma once

#include <chrono>
#include <mutex>

namespace kt {

class EngineLock {
public:
    // Waits at most waitMs milliseconds (0 = no limit). Returns whether the
    // caller now holds the lock; a caller that gets false must not touch the
    // state the lock guards.
    bool lock(int waitMs) {
        if (waitMs <= 0) {
            mutex_.lock();
            return true;
        }
        return mutex_.try_lock_for(std::chrono::milliseconds(waitMs));
    }
    void unlock() { mutex_.unlock(); }

private:
    std::recursive_timed_mutex mutex_;
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
