#include "cli/inter_sample_peak.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kt {
namespace {

constexpr int kTaps = 64;    // samples around an interval: 31 before, 33 from its start
constexpr int kBefore = 31;  // the interval starts at window[kBefore]
constexpr int kPoints = 8;   // points per interval, the first being the sample itself

// Four lanes of floats, one vector register on every x86-64 machine; the
// eight points of an interval are two of them.
typedef float Lanes __attribute__((vector_size(4 * sizeof(float))));
struct Taps {
    Lanes first, second;  // points 0 to 3 and 4 to 7
};

double besselI0(double x) {
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 40; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
    }
    return sum;
}

// kernel[j][p]: the weight of window[j] for the point p/8 into the interval.
// A Kaiser window with beta 5.65 keeps the pass band within 0.01 dB up to
// about 20.8 kHz at 44.1 kHz; each point's weights sum to one.
std::array<Taps, kTaps> makeKernel() {
    constexpr double kBeta = 5.65;
    std::array<Taps, kTaps> kernel{};
    for (int p = 0; p < kPoints; ++p) {
        double weights[kTaps];
        double sum = 0.0;
        for (int j = 0; j < kTaps; ++j) {
            const double t = static_cast<double>(j - kBefore) - static_cast<double>(p) / kPoints;
            const double sinc = t == 0.0 ? 1.0 : std::sin(M_PI * t) / (M_PI * t);
            const double edge = t / (kTaps / 2.0);
            const double window =
                std::fabs(edge) < 1.0
                    ? besselI0(kBeta * std::sqrt(1.0 - edge * edge)) / besselI0(kBeta)
                    : 0.0;
            weights[j] = sinc * window;
            sum += weights[j];
        }
        for (int j = 0; j < kTaps; ++j) {
            const float weight = static_cast<float>(weights[j] / sum);
            if (p < 4) {
                kernel[j].first[p] = weight;
            } else {
                kernel[j].second[p - 4] = weight;
            }
        }
    }
    return kernel;
}

const std::array<Taps, kTaps>& kernel() {
    static const std::array<Taps, kTaps> table = makeKernel();
    return table;
}

}  // namespace

InterSamplePeak::InterSamplePeak(int channels)
    : channels_(channels),
      history_(static_cast<std::size_t>(channels), std::vector<float>(kBefore, 0.0f)) {}

float InterSamplePeak::interval(const float* window) {
    Lanes first = {}, second = {};
    const std::array<Taps, kTaps>& weights = kernel();
    for (int j = 0; j < kTaps; ++j) {
        first += weights[j].first * window[j];
        second += weights[j].second * window[j];
    }
    float points[kPoints + 1];
    for (int p = 0; p < 4; ++p) {
        points[p] = std::fabs(first[p]);
        points[p + 4] = std::fabs(second[p]);
    }
    points[kPoints] = std::fabs(window[kBefore + 1]);
    int highest = 0;
    for (int p = 1; p <= kPoints; ++p)
        if (points[p] > points[highest]) highest = p;
    float peak = points[highest];
    // A peak inside the interval: its neighbours are both lower.
    if (highest > 0 && highest < kPoints) {
        // The vertex of the parabola through the highest point and its neighbours.
        const float a = points[highest - 1], b = points[highest], c = points[highest + 1];
        const float curve = a - 2.0f * b + c;
        if (curve < 0.0f) peak = b - (a - c) * (a - c) / (8.0f * curve);
    }
    return peak;
}

void InterSamplePeak::process(bool toTheEnd) {
    const std::size_t size = history_[0].size();
    // The intervals whose whole window is there.
    const std::size_t ready = size >= kTaps ? size - kTaps + 1 : 0;
    // At the end, the intervals up to the last sample, the filter reading
    // silence after it (beyond the last sample the file says nothing).
    const std::size_t count = toTheEnd ? (size > kBefore + 1 ? size - kBefore - 1 : 0) : ready;
    for (std::size_t c = 0; c < static_cast<std::size_t>(channels_); ++c) {
        std::vector<float>& samples = history_[c];
        if (toTheEnd) {
            if (size > kBefore) peak_ = std::max(peak_, std::fabs(double{samples[size - 1]}));
            samples.resize(size + kTaps, 0.0f);
        }
        for (std::size_t i = 0; i < count; ++i) {
            const float* window = samples.data() + i;
            const double here = std::fabs(window[kBefore]);
            peak_ = std::max(peak_, here);
            const double next = std::fabs(window[kBefore + 1]);
            if (std::max(here, next) < 0.5 * peak_) continue;
            peak_ = std::max(peak_, static_cast<double>(interval(window)));
        }
        samples.erase(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(count));
    }
}

void InterSamplePeak::add(const double* interleaved, std::size_t frames) {
    const std::size_t channels = static_cast<std::size_t>(channels_);
    for (std::size_t c = 0; c < channels; ++c) {
        std::vector<float>& samples = history_[c];
        for (std::size_t i = 0; i < frames; ++i)
            samples.push_back(static_cast<float>(interleaved[i * channels + c]));
    }
    process(false);
}

void InterSamplePeak::finish() {
    process(true);
}

}  // namespace kt
