// Gain smoothing by block convolution: the short-window maxima of each channel
// are collected W at a time, convolved circularly with the sinc-lobe kernel
// through a real FFT, and handed out one per sample over the next W samples.
// The kernel's spectrum is kept for a 2W block with the kernel on its even
// slots (the form the engine reports); a block that is zero on its odd slots
// has a spectrum made of two copies of its W-point one, so the convolution runs
// on W-point transforms with the first copy, and no overlap is left over. Short
// blocks (W up to 16) are convolved directly, which costs fewer operations than
// the transforms.
#pragma once

#include <array>

namespace kt {

// Real-to-halfcomplex FFTW plans for the sizes 8..256, made once per process
// behind a mutex (the planner is not thread-safe) and executed with the
// new-array interface, which is. Transforms are in place on 64-byte aligned
// arrays; the inverse is unnormalised (forward then inverse scales by n).
class FftPlans {
  public:
    static const FftPlans& instance();
    static bool validSize(int n) { return n >= 8 && n <= 256 && (n & (n - 1)) == 0; }

    void forward(int n, double* data) const;
    void inverse(int n, double* data) const;
    // Two transforms in one call: blocks at data and data + kPairStride.
    static constexpr int kPairStride = 256;
    void forwardPair(int n, double* data) const;
    void inversePair(int n, double* data) const;

  private:
    FftPlans();
    static int slot(int n);
    static constexpr int kSizes = 6;
    std::array<void*, kSizes> forward_{};
    std::array<void*, kSizes> inverse_{};
    std::array<void*, kSizes> forwardPair_{};
    std::array<void*, kSizes> inversePair_{};
};

// Fills spectrum[0 .. 2W-1] with the halfcomplex transform of the normalised
// sinc-lobe kernel of length W (on even slots), scaled by 1/(2W) so that
// forward transform, bin-by-bin product and inverse give the circular
// convolution at unity gain. W is 8, 16, 32, 64 or 128.
void designSmoothingSpectrum(int W, double* spectrum);

// data <- data * spectrum, bin by bin, both in halfcomplex order of size n.
void multiplyHalfcomplex(int n, double* data, const double* spectrum);
// The same for the two blocks of a pair (at data and data + FftPlans::kPairStride).
void multiplyHalfcomplexPair(int n, double* data, const double* spectrum);

class SmoothingConvolver {
  public:
    static constexpr int kMaxLength = 128;  // W

    SmoothingConvolver();

    // Sets W and rebuilds the kernel spectrum. Caller holds the engine lock.
    void setLength(int W);
    int length() const { return length_; }

    void clear();           // zeroes the blocks
    void resetPositions();  // fill position to 0

    // Takes this sample's short-window maxima and gives this sample's smoothed
    // values: each value goes where the result it replaces was just read.
    void push(double wL, double wR, double& cL, double& cR) {
        blocks_[fill_] = wL;
        blocks_[FftPlans::kPairStride + fill_] = wR;
        if (++fill_ == length_) convolveBlocks();
        cL = blocks_[fill_];
        cR = blocks_[FftPlans::kPairStride + fill_];
    }

    // The 2W-point halfcomplex spectrum of the kernel, scaled by 1/(2W).
    const double* spectrum() const { return spectrum_; }

  private:
    void convolveBlocks();

    alignas(64) double spectrum_[2 * kMaxLength];
    // The W-point spectrum, scaled by 1/W.
    alignas(64) double blockSpectrum_[kMaxLength];
    // The kernel twice over (for direct convolution): kernel_[j] = h[j mod W].
    alignas(64) double kernel_[2 * kMaxLength];
    // Left block at 0, right block at FftPlans::kPairStride.
    alignas(64) double blocks_[2 * FftPlans::kPairStride];
    const FftPlans& plans_;
    int length_ = 64;
    int fill_ = 0;
};

}  // namespace kt
