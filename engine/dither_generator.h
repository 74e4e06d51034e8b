// The engine's one source of random words: three xorshift-style registers
// combined by exclusive or. The requantizer draws its triangular dither from
// it and the calibration generator its noise, so both share one sequence.
#pragma once

#include <cstdint>

namespace kt {

class DitherGenerator {
  public:
    // The state every reset starts from.
    void seed() {
        a_ = 592;
        b_ = 153768;
        c_ = 1526;
    }

    std::uint32_t next() {
        a_ = ((((a_ << 9) ^ a_) >> 15) & 0x1FFFu) ^ (a_ << 13);
        b_ = ((((b_ << 2) ^ b_) >> 9) & 0xFFFFFu) ^ (b_ << 20);
        c_ = ((((c_ << 6) ^ c_) >> 14) & 0x1FFFFu) ^ (c_ << 17);
        return a_ ^ b_ ^ c_;
    }

    // A word as a number in [0, 1).
    static double uniform(std::uint32_t w) { return w * 2.3283064365e-10; }
    // A word as a number in [-1, 1).
    double nextBipolar() { return 2.0 * uniform(next()) - 1.0; }

  private:
    std::uint32_t a_ = 592;
    std::uint32_t b_ = 153768;
    std::uint32_t c_ = 1526;
};

}  // namespace kt
