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
// Index 25 holds the version of the values, step 2 of 100 (stored as the
// step's centre, 0.025); older versions make the effect remap a preset's
// stepped values as it applies them.
constexpr int kVersionSteps = 100;
constexpr int kCurrentVersion = 2;
constexpr float kCurrentVersionValue = 0.025f;

// v * n formed in single precision and truncated toward zero, at most n - 1.
// A value below 0 (or NaN) gives step 0, so the result can always index a table.
int paramContToLong(float v, int n);
// The centre of step i: 0.5/n + i/n in single precision.
float paramLongToCont(int i, int n);

enum class ParamKind : std::uint8_t { Continuous, Stepped, Stored, Version };

struct ParamInfo {
    std::string_view name;
    std::string_view label;  // empty: the label is left untouched
    ParamKind kind;
    int steps;                                  // for Stepped
    std::array<std::string_view, 8> stepTexts;  // display texts of the steps
    float start;  // before any preset: the step of a Stepped parameter, else the value
};

const ParamInfo& paramInfo(int index);  // index 0..25

// The metering display settings kept as the user's defaults in the
// preferences store, each as the step of its parameter: the editor stores
// them, a new effect reads them at construction.
struct StoredDisplaySetting {
    const char* key;
    int index;
};
inline constexpr std::array<StoredDisplaySetting, 6> kStoredDisplaySettings{{
    {"Metering_Scale", kScale},
    {"Metering_Type", kMeterType},
    {"Metering_Zoom", kAttZoom},
    {"Metering_AttShow", kAttShow},
    {"Metering_Recon", kMeterOvs},
    {"Metering_Post", kPostMeter},
}};
// The normalised start value of a parameter (a stepped one at its step's centre).
float startValue(int index);

// The value mappings of the continuous parameters (v normalised, 0..1).
double outputGainFromValue(float v);       // 2^(2(v-1)): 0.25 .. 1
double driveGainFromValue(float v);        // 2^(8(v-0.5)): 1/16 .. 16
double transientAmountFromValue(float v);  // v^2 / 2
double releaseMsFromValue(float v);        // 10^(3 v^0.82030212): 1 .. 1000 ms
double levellerTargetFromValue(float v);   // 2^(2(v-1))

// The gain parameters as they are shown, in dB, and back (a value outside
// the range is held at its end).
double outputDbFromValue(float v);  // (v-1)*12: -12 .. 0 dB (also the leveller's target)
double driveDbFromValue(float v);   // (v-0.5)*48: -24 .. +24 dB
float outputValueFromDb(double db);
float driveValueFromDb(double db);
// The release time back to its value: ms held to 1 .. 1000.
float releaseValueFromMs(double ms);

}  // namespace kt
