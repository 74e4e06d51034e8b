// A stereo delay line of a length set at set-up time (at most Capacity
// samples): each exchange hands out the pair stored `length` samples ago and
// stores the new one in its place. Left and right sit side by side so one
// position and one cache line serve both.
#pragma once

#include <algorithm>
#include <array>

namespace kt {

template <int Capacity>
class StereoDelay {
  public:
    void setLength(int length) { length_ = std::clamp(length, 1, Capacity); }
    int length() const { return length_; }
    void clear() { buffer_.fill(0.0); }
    void resetPosition() { position_ = 0; }

    void exchange(double& l, double& r) {
        double* slot = buffer_.data() + 2 * position_;
        const double oldL = slot[0], oldR = slot[1];
        slot[0] = l;
        slot[1] = r;
        l = oldL;
        r = oldR;
        if (++position_ >= length_) position_ = 0;
    }

  private:
    std::array<double, 2 * Capacity> buffer_{};
    int length_ = Capacity;
    int position_ = 0;
};

}  // namespace kt
