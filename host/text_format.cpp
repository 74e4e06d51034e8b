// The base class's number-to-text helpers, kept for derived effects; each
// result is cut to maxLen characters and terminated.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "host/AudioEffect.h"

using vst::int32;

namespace {

std::string digitsOf(std::uint64_t n) {
    std::string s;
    do {
        s.insert(s.begin(), static_cast<char>('0' + n % 10));
        n /= 10;
    } while (n);
    return s;
}

}  // namespace

void AudioEffect::float2string(float value, char* text, int32 maxLen) {
    if (value > 99999999.0f || value < -9999999.0f) {
        vst_strncpy(text, "Huge!", maxLen);
        return;
    }
    // An optional sign, the integer digits, a point, and as many fraction
    // digits (truncated) as make eight characters in all.
    std::string out = value < 0 ? "-" : "";
    const double magnitude = std::fabs(static_cast<double>(value));
    const auto whole = static_cast<std::uint64_t>(magnitude);
    out += digitsOf(whole);
    out += '.';
    double fraction = magnitude - static_cast<double>(whole);
    while (out.size() < 8) {
        fraction *= 10.0;
        const int digit = static_cast<int>(fraction);
        out += static_cast<char>('0' + digit);
        fraction -= digit;
    }
    vst_strncpy(text, out.c_str(), maxLen);
}

void AudioEffect::int2string(float value, char* text, int32 maxLen) {
    if (value > 99999999.0f) {
        vst_strncpy(text, "Huge!", maxLen);
        return;
    }
    const auto whole = static_cast<long long>(value);
    std::string out = whole < 0 ? "-" : "";
    const unsigned long long magnitude = whole < 0 ? 0ull - static_cast<unsigned long long>(whole)
                                                   : static_cast<unsigned long long>(whole);
    if (magnitude) out += digitsOf(magnitude);
    vst_strncpy(text, out.c_str(), maxLen);
}

void AudioEffect::dB2string(float value, char* text, int32 maxLen) {
    if (value <= 0.0f)
        vst_strncpy(text, "-oo", maxLen);
    else
        float2string(static_cast<float>(20.0 * std::log10(value)), text, maxLen);
}

void AudioEffect::Hz2string(float samples, char* text, int32 maxLen) {
    float2string(samples != 0.0f ? sampleRate / samples : 0.0f, text, maxLen);
}

void AudioEffect::ms2string(float samples, char* text, int32 maxLen) {
    float2string(samples * 1000.0f / sampleRate, text, maxLen);
}
