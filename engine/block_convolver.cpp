#include "engine/block_convolver.h"

#include <emmintrin.h>
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>

namespace kt {

namespace {
std::mutex& plannerMutex() {
    static std::mutex m;
    return m;
}

// c_i = sum over k of w_k h[(i - k) mod W] in place, with kernel[j] = h[j mod W]
// for j < 2W. A fixed W keeps the W outputs in registers, two per register.
template <int W>
void convolveDirect(double* block, const double* kernel) {
    __m128d out[W / 2];
    for (__m128d& o : out) o = _mm_setzero_pd();
    for (int k = 0; k < W; ++k) {
        const __m128d w = _mm_set1_pd(block[k]);
        const double* h = kernel + W - k;
        for (int i = 0; i < W / 2; ++i)
            out[i] = _mm_add_pd(out[i], _mm_mul_pd(w, _mm_loadu_pd(h + 2 * i)));
    }
    for (int i = 0; i < W / 2; ++i) _mm_store_pd(block + 2 * i, out[i]);
}
}  // namespace

int FftPlans::slot(int n) {
    int s = 0;
    while ((8 << s) < n) ++s;
    return s;
}

FftPlans::FftPlans() {
    std::lock_guard<std::mutex> hold(plannerMutex());
    // Plan on 64-byte aligned scratch, in place, as the instances execute.
    double* scratch = static_cast<double*>(fftw_malloc(2 * kPairStride * sizeof(double)));
    const fftw_r2r_kind r2hc = FFTW_R2HC, hc2r = FFTW_HC2R;
    for (int s = 0; s < kSizes; ++s) {
        int n = 8 << s;
        forward_[s] = fftw_plan_r2r_1d(n, scratch, scratch, FFTW_R2HC, FFTW_ESTIMATE);
        inverse_[s] = fftw_plan_r2r_1d(n, scratch, scratch, FFTW_HC2R, FFTW_ESTIMATE);
        forwardPair_[s] = fftw_plan_many_r2r(1, &n, 2, scratch, nullptr, 1, kPairStride, scratch,
                                             nullptr, 1, kPairStride, &r2hc, FFTW_ESTIMATE);
        inversePair_[s] = fftw_plan_many_r2r(1, &n, 2, scratch, nullptr, 1, kPairStride, scratch,
                                             nullptr, 1, kPairStride, &hc2r, FFTW_ESTIMATE);
    }
    fftw_free(scratch);
}

const FftPlans& FftPlans::instance() {
    static const FftPlans plans;  // made once; lives for the process
    return plans;
}

void FftPlans::forward(int n, double* data) const {
    fftw_execute_r2r(static_cast<fftw_plan>(forward_[slot(n)]), data, data);
}

void FftPlans::inverse(int n, double* data) const {
    fftw_execute_r2r(static_cast<fftw_plan>(inverse_[slot(n)]), data, data);
}

void FftPlans::forwardPair(int n, double* data) const {
    fftw_execute_r2r(static_cast<fftw_plan>(forwardPair_[slot(n)]), data, data);
}

void FftPlans::inversePair(int n, double* data) const {
    fftw_execute_r2r(static_cast<fftw_plan>(inversePair_[slot(n)]), data, data);
}

void designSmoothingSpectrum(int W, double* spectrum) {
    const int n = 2 * W;
    for (int i = 0; i < n; ++i) spectrum[i] = 0.0;
    const double step = 2.0 * std::numbers::pi / (W - 1);
    double x = -std::numbers::pi;
    double sum = 0.0;
    for (int i = 0; i < W; ++i) {
        const double k = (x == 0.0) ? 1.0 : std::sin(x) / x;
        spectrum[2 * i] = k;
        sum += k;
        x += step;
    }
    for (int i = 0; i < n; ++i) spectrum[i] /= sum;
    FftPlans::instance().forward(n, spectrum);
    const double scale = 1.0 / n;
    for (int i = 0; i < n; ++i) spectrum[i] *= scale;
}

void multiplyHalfcomplex(int n, double* data, const double* spectrum) {
    data[0] *= spectrum[0];
    data[n / 2] *= spectrum[n / 2];
    for (int k = 1; k < n / 2; ++k) {
        const double re = data[k], im = data[n - k];
        const double hr = spectrum[k], hi = spectrum[n - k];
        data[k] = re * hr - im * hi;
        data[n - k] = re * hi + im * hr;
    }
}

void multiplyHalfcomplexPair(int n, double* data, const double* spectrum) {
    double* left = data;
    double* right = data + FftPlans::kPairStride;
    left[0] *= spectrum[0];
    right[0] *= spectrum[0];
    left[n / 2] *= spectrum[n / 2];
    right[n / 2] *= spectrum[n / 2];
    for (int k = 1; k < n / 2; ++k) {
        const double hr = spectrum[k], hi = spectrum[n - k];
        const double reL = left[k], imL = left[n - k];
        const double reR = right[k], imR = right[n - k];
        left[k] = reL * hr - imL * hi;
        left[n - k] = reL * hi + imL * hr;
        right[k] = reR * hr - imR * hi;
        right[n - k] = reR * hi + imR * hr;
    }
}

SmoothingConvolver::SmoothingConvolver() : plans_(FftPlans::instance()) {
    clear();
    setLength(64);
}

void SmoothingConvolver::setLength(int W) {
    length_ = W >= 8 && FftPlans::validSize(2 * W) ? W : 64;
    designSmoothingSpectrum(length_, spectrum_);
    // Bin k of the W-point transform is bin k of the 2W-point one; times 2 for
    // the smaller transform's scale (exact).
    const int n = 2 * length_;
    for (int k = 0; k <= length_ / 2; ++k) blockSpectrum_[k] = 2.0 * spectrum_[k];
    for (int k = 1; k < length_ / 2; ++k) blockSpectrum_[length_ - k] = 2.0 * spectrum_[n - k];
    // The kernel back from the spectrum (the 1/(2W) scaling undoes itself).
    alignas(64) double h[2 * kMaxLength];
    std::copy(spectrum_, spectrum_ + n, h);
    plans_.inverse(n, h);
    for (int j = 0; j < n; ++j) kernel_[j] = h[2 * (j % length_)];
}

void SmoothingConvolver::clear() {
    for (double& v : blocks_) v = 0.0;
}

void SmoothingConvolver::resetPositions() {
    fill_ = 0;
}

void SmoothingConvolver::convolveBlocks() {
    double* right = blocks_ + FftPlans::kPairStride;
    if (length_ == 8) {
        convolveDirect<8>(blocks_, kernel_);
        convolveDirect<8>(right, kernel_);
    } else if (length_ == 16) {
        convolveDirect<16>(blocks_, kernel_);
        convolveDirect<16>(right, kernel_);
    } else {
        plans_.forwardPair(length_, blocks_);
        multiplyHalfcomplexPair(length_, blocks_, blockSpectrum_);
        plans_.inversePair(length_, blocks_);
    }
    fill_ = 0;
}

}  // namespace kt
