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

// The percentage fields show the value itself, 0 to 100 %.
constexpr double kPercent = 100.0;

float percentValue(double x) {
    return static_cast<float>(std::fmin(std::fmax(x / kPercent, 0.0), 1.0));
}

}  // namespace

void InputDisplay(float value, char* text, void*) {
    format(text, "%+.2fdB", kt::driveDbFromValue(value));
}

void InputEntered(char* text, float& value, void*) {
    value = kt::driveValueFromDb(typedNumber(text));
}

void OutputDisplay(float value, char* text, void*) {
    format(text, "%+.2fdB", kt::outputDbFromValue(value));
}

void OutputEntered(char* text, float& value, void*) {
    value = kt::outputValueFromDb(typedNumber(text));
}

void TransientDisplay(float value, char* text, void*) {
    format(text, "%.1f%%", value * kPercent);
}

void TransientEntered(char* text, float& value, void*) {
    value = percentValue(typedNumber(text));
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
        format(text, "%+.2fdB", kt::outputDbFromValue(value));
}

void LevelerEntered(char* text, float& value, void*) {
    if (text && strcasecmp(text, "off") == 0)
        value = 1.0f;
    else
        value = kt::outputValueFromDb(typedNumber(text));
}

void ReleaseDisplay(float value, char* text, void*) {
    format(text, "%.1fms", kt::releaseMsFromValue(value));
}

void ReleaseEntered(char* text, float& value, void*) {
    value = kt::releaseValueFromMs(typedNumber(text));
}
