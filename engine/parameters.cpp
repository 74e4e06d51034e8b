#include "engine/parameters.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

double outputGainFromValue(float v) {
    return std::exp2(2.0 * (v - 1.0));
}
double driveGainFromValue(float v) {
    return std::exp2(8.0 * (v - 0.5));
}
double transientAmountFromValue(float v) {
    return v * 1.4142136 * v * 1.4142136 * 0.25;
}
namespace {
constexpr double kReleaseExponent = 0.82030212;  // ms = 10^(3 v^e)
constexpr double kOutputRangeDb = 12.0;
constexpr double kDriveRangeDb = 48.0;

float clampedValue(double v) {
    return static_cast<float>(std::clamp(v, 0.0, 1.0));
}
}  // namespace

double releaseMsFromValue(float v) {
    return std::pow(10.0, 3.0 * std::pow(v, kReleaseExponent));
}
double levellerTargetFromValue(float v) {
    return std::exp2(2.0 * (v - 1.0));
}

double outputDbFromValue(float v) {
    return (v - 1.0) * kOutputRangeDb;
}
double driveDbFromValue(float v) {
    return (v - 0.5) * kDriveRangeDb;
}
float outputValueFromDb(double db) {
    return clampedValue(db / kOutputRangeDb + 1.0);
}
float driveValueFromDb(double db) {
    return clampedValue(db / kDriveRangeDb + 0.5);
}
float releaseValueFromMs(double ms) {
    const double x = std::clamp(ms, 1.0, 1000.0);
    return clampedValue(std::pow(std::log10(x) / 3.0, 1.0 / kReleaseExponent));
}

namespace {

using K = ParamKind;
constexpr std::array<std::string_view, 8> kOffOn{"off", "on"};

constexpr std::array<ParamInfo, kNumParams> kParams{{
    {"Output", "dB", K::Continuous, 0, {}, 0.5f},
    {"Drive", "dB", K::Continuous, 0, {}, 0.5f},
    {"Transient", "", K::Continuous, 0, {}, 0.5f},
    {"Release", "ms", K::Continuous, 0, {}, 0.61f},
    {"TransShape", "", K::Stepped, 3, {"A-hard", "B-med", "C-soft"}, 2},
    {"L/R Link", "", K::Continuous, 0, {}, 1.0f},
    {"Oversample", "", K::Stepped, 2, kOffOn, 0},
    {"DetectorOrder", "", K::Stepped, 2, {"I", "II"}, 0},
    {"Power", "", K::Stepped, 2, kOffOn, 1},
    {"Scale", "", K::Stepped, 3, {"K-12", "K-14", "K-20"}, 1},
    {"Bits", "", K::Stepped, 5, {"8", "12", "16", "20", "24"}, 1},
    {"NoiseShape",
     "",
     K::Stepped,
     7,
     {"off", "type A", "type B", "type C", "type D", "type E", "type F"},
     0},
    {"Calibrate", "", K::Stepped, 4, {"off", "left", "l+r uncor", "right"}, 0},
    {"Leveller", "", K::Continuous, 0, {}, 0.5f},
    {"MeterOvs", "", K::Stepped, 2, kOffOn, 0},
    {"AutoOut", "", K::Stepped, 2, kOffOn, 0},
    {"Quantize", "", K::Stepped, 2, kOffOn, 0},
    {"Autoblack", "", K::Stepped, 2, kOffOn, 0},
    {"MeterType", "", K::Stepped, 2, {"peak", "k-system"}, 0},
    {"AttZoom", "", K::Stepped, 2, {"24dB", "12dB"}, 0},
    // A mask of the traces shown: bit 0 "1", bit 1 "2", bit 2 "L".
    {"AttShow", "", K::Stepped, 8, {"", "1", "2", "12", "L", "1L", "2L", "12L"}, 7},
    {"PostMeter", "", K::Stepped, 2, {"pre meter", "post meter"}, 0},
    {"dummy", "", K::Stored, 0, {}, 0.0f},
    {"dummy", "", K::Stored, 0, {}, 0.0f},
    {"dummy", "", K::Stored, 0, {}, 0.0f},
    {"resvd-vid", "", K::Version, 0, {}, kCurrentVersionValue},
}};

}  // namespace

const ParamInfo& paramInfo(int index) {
    return kParams[static_cast<std::size_t>(index)];
}

float startValue(int index) {
    const ParamInfo& info = paramInfo(index);
    if (info.kind == ParamKind::Stepped)
        return paramLongToCont(static_cast<int>(info.start), info.steps);
    return info.start;
}

}  // namespace kt
