// Drive and Output read and set in decibels through the module's own
// displays, for the loudness and true-peak search: the module's names,
// labels and display texts decide, as for --set.
#pragma once

#include <optional>
#include <string>

#include "cli/vst_host.h"

namespace kt {

struct DecibelParameter {
    int index = -1;
    std::string name;
    double low = 0.0, high = 0.0;  // dB shown at the ends of the range
    double step = 0.01;            // the display's resolution
};

// The parameter of that name when it is labelled "dB" and shows numbers at
// both ends of its range; empty otherwise. Leaves its value as it was.
std::optional<DecibelParameter> findDecibelParameter(const VstPlugin& plugin,
                                                     const std::string& name);

// The value its display shows now, in dB; empty when it shows no number.
std::optional<double> displayedDecibels(const VstPlugin& plugin, const DecibelParameter& parameter);

// Sets the value that displays `db` (rounded to the display's resolution);
// the range ends give exactly 0 or 1. False with *error set when no value
// displays it.
bool setDecibels(const VstPlugin& plugin, const DecibelParameter& parameter, double db,
                 std::string* error);

}  // namespace kt
