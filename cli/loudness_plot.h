// A picture of a render for a screen: the input's and the output's
// short-term loudness and true peaks over time, and the limiter's gain
// reduction below them, with time and level axes, a legend, the target
// lines and the chosen settings in the title. Drawn with cairo into a PNG.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/audio_analysis.h"

namespace kt {

constexpr int kPlotWidth = 1600;
constexpr int kPlotHeight = 600;

struct PlotData {
    std::string title;     // first line, for example "in.wav -> out.wav"
    std::string subtitle;  // the settings and figures
    double seconds = 0.0;  // length of the audio
    LevelTimeline input, output;
    std::vector<double> gainReductionDb;   // per window, 0 or negative
    double windowSeconds = 0.0;            // length of a gain-reduction window
    std::optional<double> targetLoudness;  // LUFS
    std::optional<double> ceiling;         // dBTP
};

// Writes the picture to path (whole or not at all). False with *error set.
bool writeLoudnessPlot(const std::string& path, const PlotData& data, std::string* error);

}  // namespace kt
