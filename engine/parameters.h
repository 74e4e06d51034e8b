// The 26 parameters: their indices, the step mapping shared by the engine, the
// editor and the preset readers, and one table describing each parameter.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace kt {

enum ParamIndex : int {
    kOutput = 0,
    kDrive,
    kTransient,
    kRelease,
    kTransShape,
    kLink,
    kOversample,
    kDetectorOrder,
    kPower,
    kScale,
    kBits,
    kNoiseShape,
    kCalibrate,
    kLeveller,
    kMeterOvs,
    kAutoOut,
    kQuantize,
    kAutoblack,
    kMeterType,
    kAttZoom,
    kAttShow,
    kPostMeter,
    kDummy1,
    kDummy2,
    kDummy3,
    kVersion,
    kNumParams
};
static_assert(kNumParams == 26);
constexpr int kNumEngineParams = 22;  // indices 0..21 drive the engine

// v * n formed in single precision and truncated toward zero, at most n - 1.
// A value below 0 (or NaN) gives step 0, so the result can always index a table.
int paramContToLong(float v, int n);
// The centre of step i: 0.5/n + i/n in single precision.
float paramLongToCont(int i, int n);
// Reverses the four bytes of a 32-bit word in place.
void mySwapBytes(void* word);

enum class ParamKind : std::uint8_t { Continuous, Stepped, Stored, Version };

struct ParamInfo {
    std::string_view name;
    std::string_view label;  // empty: the label is left untouched
    ParamKind kind;
    int steps;               // for Stepped
    std::array<std::string_view, 8> stepTexts;  // display texts of the steps
};

const ParamInfo& paramInfo(int index);  // index 0..25

// The value mappings of the continuous parameters (v normalised, 0..1).
double outputGainFromValue(float v);      // 2^(2(v-1)): 0.25 .. 1
double driveGainFromValue(float v);       // 2^(8(v-0.5)): 1/16 .. 16
double transientAmountFromValue(float v); // v^2 / 2
double releaseMsFromValue(float v);       // 10^(3 v^0.82030212): 1 .. 1000 ms
double releaseValueFromMs(double ms);     // its inverse, for ms in 1 .. 1000
double levellerTargetFromValue(float v);  // 2^(2(v-1))

}  // namespace kt
