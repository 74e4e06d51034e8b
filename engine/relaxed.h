// A value shared between threads without the engine lock: every access is a
// relaxed atomic load or store, which is all the loop needs because each field
// is read on its own and a change may land one sample or one block late.
#pragma once

#include <atomic>

namespace kt {

template <typename T>
class Relaxed {
  public:
    Relaxed() = default;
    explicit Relaxed(T v) : value_(v) {}
    Relaxed(const Relaxed&) = delete;
    Relaxed& operator=(const Relaxed&) = delete;

    T get() const { return value_.load(std::memory_order_relaxed); }
    void set(T v) { value_.store(v, std::memory_order_relaxed); }

  private:
    std::atomic<T> value_{};
};

}  // namespace kt
