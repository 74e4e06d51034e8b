// Turns "NAME=VALUE" settings into normalised parameter values, using only
// what the module itself reports: its parameter names, labels and display
// texts. No mapping is repeated here, so the result always agrees with the
// module.
//
// VALUE is either
//   v=0.75     a normalised value in 0..1, passed through unchanged, or
//   a value as the module displays it, with or without its unit:
//   "+6dB", "-3", "200ms", "20%", "16", "type C", "on".
// Stepped parameters (a handful of display texts) are matched against the
// text shown at each step's centre, ignoring case and spaces. Continuous
// parameters are matched by number: the normalised value is found by
// bisection (the displays grow or fall monotonically) so that the display
// reads the number at the display's own precision; the number shown at either
// end of the range gives exactly 0 or 1.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/vst_host.h"

namespace kt {

struct ParameterSetting {
    int index = -1;
    float value = 0.0f;   // normalised
    std::string display;  // the module's display text at that value
};

// What a parameter's displays look like, found by probing the module.
struct ParameterShape {
    enum Kind { kNoDisplay, kStepped, kContinuous } kind = kNoDisplay;
    std::vector<std::string> stepTexts;  // stepped: text at the centre of step i
    std::string label;                   // effGetParamLabel
};

// Probes the parameter's displays (sets it to a range of values and puts the
// original value back).
ParameterShape probeParameter(const VstPlugin& plugin, int index);

// Index of a parameter by name (case-insensitive), or -1.
int findParameter(const VstPlugin& plugin, const std::string& name);

// Parses one "NAME=VALUE" setting against the module. On success the
// parameter is left at the returned value; on failure the result is empty,
// the parameter keeps its value and *error explains what is accepted.
std::optional<ParameterSetting> resolveSetting(const VstPlugin& plugin, const std::string& setting,
                                               std::string* error);

}  // namespace kt
