#include "engine/requantizer.h"

namespace kt {

void Requantizer::setBits(int bitsStep) {
    static constexpr int kBits[5] = {8, 12, 16, 20, 24};
    const int bits = (bitsStep >= 0 && bitsStep < 5) ? kBits[bitsStep] : 24;
    q_ = std::ldexp(1.0, bits - 1);
    invQ_ = std::ldexp(1.0, 1 - bits);
}

void Requantizer::clearErrors() {
    std::fill(std::begin(ring32_), std::end(ring32_), 0.0);
    std::fill(std::begin(ring12_), std::end(ring12_), 0.0);
}

void Requantizer::switchOrder(int order) {
    if (order == 32) {
        if (activeOrder_ == 12) std::copy(ring12_, ring12_ + 24, ring32_);
        std::copy(ring32_, ring32_ + 64, ring32_ + 64);
    } else {
        std::copy(ring32_, ring32_ + 24, ring12_);
        std::copy(ring12_, ring12_ + 24, ring12_ + 24);
    }
    activeOrder_ = order;
}

// The tables never change once made, so a table is known by its address.
void Requantizer::cacheTable(const double* table, int order) {
    for (int j = 0; j < order; ++j) weights_[2 * j] = weights_[2 * j + 1] = table[order - 1 - j];
    cachedTable_ = table;
    cachedOrder_ = order;
}

}  // namespace kt
