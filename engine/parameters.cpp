#include "engine/parameters.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace kt {

int paramContToLong(float v, int n) {
    const float product = v * static_cast<float>(n);
    if (!(product >= 0.0f)) return 0;  // negative or NaN
    if (product >= static_cast<float>(n)) return n - 1;
    return static_cast<int>(product);
}

float paramLongToCont(int i, int n) {
    const float fn = static_cast<float>(n);
    return 0.5f / fn + static_cast<float>(i) / fn;
}

void mySwapBytes(void* word) {
    auto* b = static_cast<unsigned char*>(word);
    std::swap(b[0], b[3]);
    std::swap(b[1], b[2]);
}

double outputGainFromValue(float v) { return std::exp2(2.0 * (v - 1.0)); }
double driveGainFromValue(float v) { return std::exp2(8.0 * (v - 0.5)); }
double transientAmountFromValue(float v) { return v * 1.4142136 * v * 1.4142136 * 0.25; }
// Release times span three decades along a curve with this exponent.
constexpr double kReleaseDecades = 3.0;
constexpr double kReleaseCurve = 0.82030212;
double releaseMsFromValue(float v) {
    return std::pow(10.0, kReleaseDecades * std::pow(v, kReleaseCurve));
}
double releaseValueFromMs(double ms) {
    return std::pow(std::log10(ms) / kReleaseDecades, 1.0 / kReleaseCurve);
}
double levellerTargetFromValue(float v) { return std::exp2(2.0 * (v - 1.0)); }

namespace {

using K = ParamKind;
constexpr std::array<std::string_view, 8> kOffOn{"off", "on"};

constexpr std::array<ParamInfo, kNumParams> kParams{{
    {"Output", "dB", K::Continuous, 0, {}},
    {"Drive", "dB", K::Continuous, 0, {}},
    {"Transient", "", K::Continuous, 0, {}},
    {"Release", "ms", K::Continuous, 0, {}},
    {"TransShape", "", K::Stepped, 3, {"A-hard", "B-med", "C-soft"}},
    {"L/R Link", "", K::Continuous, 0, {}},
    {"Oversample", "", K::Stepped, 2, kOffOn},
    {"DetectorOrder", "", K::Stepped, 2, {"I", "II"}},
    {"Power", "", K::Stepped, 2, kOffOn},
    {"Scale", "", K::Stepped, 3, {"K-12", "K-14", "K-20"}},
    {"Bits", "", K::Stepped, 5, {"8", "12", "16", "20", "24"}},
    {"NoiseShape", "", K::Stepped, 7,
     {"off", "type A", "type B", "type C", "type D", "type E", "type F"}},
    {"Calibrate", "", K::Stepped, 4, {"off", "left", "l+r uncor", "right"}},
    {"Leveller", "", K::Continuous, 0, {}},
    {"MeterOvs", "", K::Stepped, 2, kOffOn},
    {"AutoOut", "", K::Stepped, 2, kOffOn},
    {"Quantize", "", K::Stepped, 2, kOffOn},
    {"Autoblack", "", K::Stepped, 2, kOffOn},
    {"MeterType", "", K::Stepped, 2, {"peak", "k-system"}},
    {"AttZoom", "", K::Stepped, 2, {"24dB", "12dB"}},
    // A mask of the traces shown: bit 0 "1", bit 1 "2", bit 2 "L".
    {"AttShow", "", K::Stepped, 8, {"", "1", "2", "12", "L", "1L", "2L", "12L"}},
    {"PostMeter", "", K::Stepped, 2, {"pre meter", "post meter"}},
    {"dummy", "", K::Stored, 0, {}},
    {"dummy", "", K::Stored, 0, {}},
    {"dummy", "", K::Stored, 0, {}},
    {"resvd-vid", "", K::Version, 0, {}},
}};

}  // namespace

const ParamInfo& paramInfo(int index) { return kParams[static_cast<std::size_t>(index)]; }

}  // namespace kt
