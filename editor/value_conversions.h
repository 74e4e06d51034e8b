// The texts of the six value fields under the knobs. Each parameter has a
// display function (normalised value 0..1 to text) and an entry function (typed
// text back to a value). Their signatures are those of CTextLabel's value-to-text
// and text-to-value functions; the user data is not used.
//
// Typed text is read like the C library's decimal conversion: a leading number
// counts and anything else reads as 0; the result is limited to the parameter's
// range. Numbers are written and read with a '.' whatever locale the host set.
#pragma once

#include <cstddef>

// Display functions write at most this many bytes, the terminator included.
constexpr std::size_t kValueTextSize = 32;

// Drive, the input gain: "+3.00dB", -24 .. +24.
void InputDisplay(float value, char* text, void* = nullptr);
void InputEntered(char* text, float& value, void* = nullptr);
// Output gain: "-12.00dB" .. "+0.00dB".
void OutputDisplay(float value, char* text, void* = nullptr);
void OutputEntered(char* text, float& value, void* = nullptr);
// Transient: "20.0%", 0 .. 100.
void TransientDisplay(float value, char* text, void* = nullptr);
void TransientEntered(char* text, float& value, void* = nullptr);
// L/R Link: "100.0%", 0 .. 100.
void LinkDisplay(float value, char* text, void* = nullptr);
void LinkEntered(char* text, float& value, void* = nullptr);
// Leveller target: "off" at the top of the range, else "-12.00dB" .. "-0.01dB";
// typing "off" in any letter case turns it off.
void LevelerDisplay(float value, char* text, void* = nullptr);
void LevelerEntered(char* text, float& value, void* = nullptr);
// Release: "200.0ms", 1 .. 1000 ms.
void ReleaseDisplay(float value, char* text, void* = nullptr);
void ReleaseEntered(char* text, float& value, void* = nullptr);
