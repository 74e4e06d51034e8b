#include "engine/block_convolver.h"

#include <fftw3.h>

#include <cmath>
#include <mutex>
#include <numbers>

namespace kt {

namespace {
std::mutex& plannerMutex() {
    static std::mutex m;
    return m;
}
}  // namespace

int FftPlans::slot(int n) {
    int s = 0;
    while ((16 << s) < n) ++s;
    return s;
}

FftPlans::FftPlans() {
    std::lock_guard<std::mutex> hold(plannerMutex());
    // Plan on 64-byte aligned scratch, in place, as the instances execute.
    double* scratch = static_cast<double*>(fftw_malloc(256 * sizeof(double)));
    for (int s = 0; s < 5; ++s) {
        const int n = 16 << s;
        forward_[s] = fftw_plan_r2r_1d(n, scratch, scratch, FFTW_R2HC, FFTW_ESTIMATE);
        inverse_[s] = fftw_plan_r2r_1d(n, scratch, scratch, FFTW_HC2R, FFTW_ESTIMATE);
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

SmoothingConvolver::SmoothingConvolver() : plans_(FftPlans::instance()) {
    clear();
    setLength(64);
}

void SmoothingConvolver::setLength(int W) {
    length_ = FftPlans::validSize(2 * W) ? W : 64;
    designSmoothingSpectrum(length_, spectrum_);
}

void SmoothingConvolver::clear() {
    for (int i = 0; i < 2 * kMaxLength; ++i) blockL_[i] = blockR_[i] = 0.0;
    for (int i = 0; i < kMaxLength; ++i) overlapL_[i] = overlapR_[i] = 0.0;
}

void SmoothingConvolver::resetPositions() {
    fill_ = 0;
    overlap_ = 0;
}

void SmoothingConvolver::push(double wL, double wR, double& cL, double& cR) {
    const int n = 2 * length_;
    blockL_[fill_] = wL;
    blockR_[fill_] = wR;
    fill_ += 2;
    if (fill_ >= n) {
        plans_.forward(n, blockL_);
        multiplyHalfcomplex(n, blockL_, spectrum_);
        plans_.inverse(n, blockL_);
        plans_.forward(n, blockR_);
        multiplyHalfcomplex(n, blockR_, spectrum_);
        plans_.inverse(n, blockR_);
        fill_ = 0;
        overlap_ = 0;
    }
    cL = blockL_[fill_] + overlapL_[overlap_];
    overlapL_[overlap_] = blockL_[fill_ + 1];
    blockL_[fill_ + 1] = 0.0;
    cR = blockR_[fill_] + overlapR_[overlap_];
    overlapR_[overlap_] = blockR_[fill_ + 1];
    blockR_[fill_ + 1] = 0.0;
    ++overlap_;
}

}  // namespace kt
