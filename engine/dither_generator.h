// The engine's one source of random words: three xorshift-style registers
// combined by exclusive or. The requantizer draws its triangular dither from
// it and the calibration generator its noise, so both share one sequence.
#pragma once

#include <immintrin.h>

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

    // The next four words, the same as four next() calls. With AVX2 the three
    // registers advance side by side in one vector (per-lane shift counts);
    // only for callers built for AVX2.
    template <bool kAvx2>
    [[gnu::always_inline]] void nextFour(std::uint32_t out[4]) {
        if constexpr (kAvx2) {
            nextFourAvx2(out);
        } else {
            for (int i = 0; i < 4; ++i) out[i] = next();
        }
    }

    // A word as a number in [0, 1).
    static double uniform(std::uint32_t w) { return w * 2.3283064365e-10; }
    // A word as a number in [-1, 1).
    double nextBipolar() { return 2.0 * uniform(next()) - 1.0; }

  private:
    __attribute__((target("avx2"))) void nextFourAvx2(std::uint32_t out[4]) {
        // Lanes a, b, c and an idle lane that stays 0.
        const __m128i shift1 = _mm_setr_epi32(9, 2, 6, 0);
        const __m128i shift2 = _mm_setr_epi32(15, 9, 14, 0);
        const __m128i shift3 = _mm_setr_epi32(13, 20, 17, 0);
        const __m128i mask = _mm_setr_epi32(0x1FFF, 0xFFFFF, 0x1FFFF, 0);
        __m128i x =
            _mm_setr_epi32(static_cast<int>(a_), static_cast<int>(b_), static_cast<int>(c_), 0);
        for (int i = 0; i < 4; ++i) {
            const __m128i mixed = _mm_xor_si128(_mm_sllv_epi32(x, shift1), x);
            x = _mm_xor_si128(_mm_and_si128(_mm_srlv_epi32(mixed, shift2), mask),
                              _mm_sllv_epi32(x, shift3));
            // a ^ b ^ c into lane 0.
            __m128i h = _mm_xor_si128(x, _mm_shuffle_epi32(x, _MM_SHUFFLE(1, 0, 3, 2)));
            h = _mm_xor_si128(h, _mm_shuffle_epi32(h, _MM_SHUFFLE(2, 3, 0, 1)));
            out[i] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(h));
        }
        a_ = static_cast<std::uint32_t>(_mm_cvtsi128_si32(x));
        b_ = static_cast<std::uint32_t>(_mm_extract_epi32(x, 1));
        c_ = static_cast<std::uint32_t>(_mm_extract_epi32(x, 2));
    }

    std::uint32_t a_ = 592;
    std::uint32_t b_ = 153768;
    std::uint32_t c_ = 1526;
};

}  // namespace kt
