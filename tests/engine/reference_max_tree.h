// Reference for the engine's StereoMaxTree: the plain branching walk, one
// channel. The maximum of the last L values, L a power of two up to Capacity, kept in an
// implicit binary tree: slot 1 is the root, the children of slot i are 2i and
// 2i + 1, the leaves are slots L .. 2L - 1 and slot 0 holds a sentinel larger
// than any signal, so every walk stops at the root at the latest. An insert
// walks up only as far as the maximum can change.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>

namespace kt {

template <int Capacity>
class SlidingMaxTree {
  public:
    static constexpr double kSentinel = 1e10;

    // Window length; takes effect with the next clear().
    void setLength(int length) { length_ = std::clamp(length, 1, Capacity); }
    int length() const { return length_; }

    // Zeroes every leaf and inner slot and puts the sentinel back.
    void clear() {
        slots_.fill(0.0);
        slots_[0] = kSentinel;
    }
    void resetPosition() { position_ = 0; }

    // Stores v as the newest value and returns the maximum of the window.
    double insert(double v) {
        int i = length_ + position_;
        const double old = slots_[i];
        slots_[i] = v;
        if (v > old) {
            while (slots_[i ^ 1] < v) {
                i >>= 1;
                slots_[i] = v;
            }
        } else {
            while (slots_[i ^ 1] < old) {
                i >>= 1;
                const double l = slots_[2 * i];
                const double r = slots_[2 * i + 1];
                slots_[i] = (std::fabs(l - r) + (l - r)) * 0.5 + r;
            }
        }
        position_ = (position_ + 1) & (length_ - 1);
        return slots_[1];
    }

    double maximum() const { return slots_[1]; }

  private:
    std::array<double, 2 * Capacity> slots_{kSentinel};
    int length_ = Capacity;
    int position_ = 0;
};

}  // namespace kt
