#include "editor/value_conversions.h"

#include <locale.h>
#include <strings.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/parameters.h"

namespace {

// Numbers in these texts always use '.', as in the C locale, even when the host
// has set a locale of its own for its thread.
class CLocaleNumbers {
  public:
    CLocaleNumbers() : previous(cLocale() ? uselocale(cLocale()) : locale_t(0)) {}
    ~CLocaleNumbers() {
        if (previous) uselocale(previous);
    }
    CLocaleNumbers(const CLocaleNumbers&) = delete;
    CLocaleNumbers& operator=(const CLocaleNumbers&) = delete;

  private:
    static locale_t cLocale() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
        return c;
    }
    locale_t previous;
};

template <typename... Args>
void format(char* text, const char* pattern, Args... args) {
    if (!text) return;
    CLocaleNumbers numbers;
    std::snprintf(text, kValueTextSize, pattern, args...);
}

// The leading number of the text; no number (or "nan") reads as 0.
double typedNumber(const char* text) {
    if (!text) return 0.0;
    CLocaleNumbers numbers;
    const double x = std::strtod(text, nullptr);
    return std::isnan(x) ? 0.0 : x;
}

// What the two ends of a parameter's range show: value 0 shows `low`, value 1
// `high`, and the text runs linearly in between.
struct ShownRange {
    double low, high;

    double shown(float v) const { return low + static_cast<double>(v) * (high - low); }
    float valueOf(double x) const {
        if (x < low) return 0.0f;
        if (x > high) return 1.0f;
        return static_cast<float>((x - low) / (high - low));
    }
};

// The gain fields count 6 dB for each doubling of the gain the engine applies,
// so their ranges follow from the engine's own mappings.
constexpr double kDbPerDoubling = 6.0;

ShownRange dbRange(double (*gainFromValue)(float)) {
    return {kDbPerDoubling * std::log2(gainFromValue(0.0f)),
            kDbPerDoubling * std::log2(gainFromValue(1.0f))};
}

const ShownRange& inputRange() {
    static const ShownRange r = dbRange(kt::driveGainFromValue);  // -24 .. +24
    return r;
}
const ShownRange& outputRange() {
    static const ShownRange r = dbRange(kt::outputGainFromValue);  // -12 .. 0
    return r;
}
const ShownRange& levellerRange() {
    static const ShownRange r = dbRange(kt::levellerTargetFromValue);  // -12 .. 0
    return r;
}
constexpr ShownRange kPercent{0.0, 100.0};

}  // namespace

void InputDisplay(float value, char* text, void*) {
    format(text, "%+.2fdB", inputRange().shown(value));
}

void InputEntered(char* text, float& value, void*) {
    value = inputRange().valueOf(typedNumber(text));
}

void OutputDisplay(float value, char* text, void*) {
    format(text, "%+.2fdB", outputRange().shown(value));
}

void OutputEntered(char* text, float& value, void*) {
    value = outputRange().valueOf(typedNumber(text));
}

void TransientDisplay(float value, char* text, void*) {
    format(text, "%.1f%%", kPercent.shown(value));
}

void TransientEntered(char* text, float& value, void*) {
    value = kPercent.valueOf(typedNumber(text));
}

void LinkDisplay(float value, char* text, void*) {
    TransientDisplay(value, text);
}

void LinkEntered(char* text, float& value, void*) {
    TransientEntered(text, value);
}

void LevelerDisplay(float value, char* text, void*) {
    if (value == 1.0f)
        format(text, "%s", "off");
    else
        format(text, "%+.2fdB", levellerRange().shown(value));
}

void LevelerEntered(char* text, float& value, void*) {
    if (text && strcasecmp(text, "off") == 0)
        value = 1.0f;
    else
        value = levellerRange().valueOf(typedNumber(text));
}

void ReleaseDisplay(float value, char* text, void*) {
    format(text, "%.1fms", kt::releaseMsFromValue(value));
}

void ReleaseEntered(char* text, float& value, void*) {
    static const double shortest = kt::releaseMsFromValue(0.0f);  // 1 ms
    static const double longest = kt::releaseMsFromValue(1.0f);   // 1000 ms
    const double ms = std::fmin(std::fmax(typedNumber(text), shortest), longest);
    value = static_cast<float>(kt::releaseValueFromMs(ms));
}
