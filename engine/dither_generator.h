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

    // The next four words, the same as four next() calls, in lanes 0..3. With
    // AVX2 the three registers advance side by side in one vector (per-lane
    // shift counts); only for callers built for AVX2.
    template <bool kAvx2>
    [[gnu::always_inline]] __m128i nextFour() {
        if constexpr (kAvx2) {
            return nextFourAvx2();
        } else {
            const std::uint32_t w1 = next(), w2 = next(), w3 = next(), w4 = next();
            return _mm_setr_epi32(static_cast<int>(w1), static_cast<int>(w2), static_cast<int>(w3),
                                  static_cast<int>(w4));
        }
    }

    // A word as a number in [0, 1).
    static double uniform(std::uint32_t w) { return w * 2.3283064365e-10; }
    // A word as a number in [-1, 1).
    double nextBipolar() { return 2.0 * uniform(next()) - 1.0; }

  private:
    // One step of the three registers a, b, c in lanes 0..2 (lane 3 stays 0).
    __attribute__((target("avx2"))) static __m128i stepAvx2(__m128i x) {
        const __m128i mixed = _mm_xor_si128(_mm_sllv_epi32(x, _mm_setr_epi32(9, 2, 6, 0)), x);
        return _mm_xor_si128(_mm_and_si128(_mm_srlv_epi32(mixed, _mm_setr_epi32(15, 9, 14, 0)),
                                           _mm_setr_epi32(0x1FFF, 0xFFFFF, 0x1FFFF, 0)),
                             _mm_sllv_epi32(x, _mm_setr_epi32(13, 20, 17, 0)));
    }

    __attribute__((target("avx2"))) __m128i nextFourAvx2() {
        const __m128i x0 =
            _mm_setr_epi32(static_cast<int>(a_), static_cast<int>(b_), static_cast<int>(c_), 0);
        const __m128i x1 = stepAvx2(x0), x2 = stepAvx2(x1), x3 = stepAvx2(x2), x4 = stepAvx2(x3);
        a_ = static_cast<std::uint32_t>(_mm_cvtsi128_si32(x4));
        b_ = static_cast<std::uint32_t>(_mm_extract_epi32(x4, 1));
        c_ = static_cast<std::uint32_t>(_mm_extract_epi32(x4, 2));
        // Transpose the four states to a, b and c of steps 1..4, then a ^ b ^ c.
        const __m128i ab12 = _mm_unpacklo_epi32(x1, x2);
        const __m128i c12 = _mm_unpackhi_epi32(x1, x2);
        const __m128i ab34 = _mm_unpacklo_epi32(x3, x4);
        const __m128i c34 = _mm_unpackhi_epi32(x3, x4);
        return _mm_xor_si128(
            _mm_xor_si128(_mm_unpacklo_epi64(ab12, ab34), _mm_unpackhi_epi64(ab12, ab34)),
            _mm_unpacklo_epi64(c12, c34));
    }

    std::uint32_t a_ = 592;
    std::uint32_t b_ = 153768;
    std::uint32_t c_ = 1526;
};

}  // namespace kt
