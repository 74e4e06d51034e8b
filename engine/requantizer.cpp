#include "engine/requantizer.h"

namespace kt {

void Requantizer::setBits(int bitsStep) {
    static constexpr int kBits[5] = {8, 12, 16, 20, 24};
    const int bits = (bitsStep >= 0 && bitsStep < 5) ? kBits[bitsStep] : 24;
    q_ = std::ldexp(1.0, bits - 1);
    invQ_ = std::ldexp(1.0, 1 - bits);
}

void Requantizer::clearErrors() {
    std::fill(std::begin(errors_), std::end(errors_), 0.0);
}

void Requantizer::mirror(int order) {
    for (int i = 0; i < 2 * order; ++i) errors_[2 * order + i] = errors_[i];
    mirroredOrder_ = order;
}

// The tables never change once made, so a table is known by its address.
void Requantizer::cacheTable(const double* table, int order) {
    for (int j = 0; j < order; ++j) weights_[2 * j] = weights_[2 * j + 1] = table[order - 1 - j];
    cachedTable_ = table;
    cachedOrder_ = order;
}

}  // namespace kt
