// The search for the Drive and Output settings that deliver an integrated
// loudness and keep the true peak under a ceiling. It knows nothing of the
// module: it proposes settings in dB, is told what a render at them
// measured, and proposes again, until a render meets the targets, the
// targets prove unreachable or the renders run out.
//
// Loudness as a function of Drive is monotonic and saturating (more drive,
// more limiting), and Output scales the limited signal: a render at Drive d
// and Output o that measures loudness L and true peak P would measure
// L + x and P + x at Output o + x. So each render tells, for its drive, the
// Output the ceiling allows and the loudness at that Output; the drive is
// then found by a bracketed secant search (Illinois) on that loudness, and
// the Output from the measured true peak plus a margin that grows when a
// re-render shows the scaling was not exact (the limiter's smoothing and the
// final clamp let true peaks move a little).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kt {

struct SearchTargets {
    std::optional<double> loudness;  // LUFS, integrated
    std::optional<double> truePeak;  // dBTP, the ceiling
};

// The settings' ranges and resolution, in dB, as the module displays them.
struct SearchRange {
    double driveLow = -24.0, driveHigh = 24.0;
    double outputLow = -12.0, outputHigh = 0.0;
    double step = 0.01;
};

// Where the search starts: the user's settings, and the input's levels.
struct SearchStart {
    double drive = 0.0;          // kept when there is no loudness target
    double output = 0.0;         // the highest Output the search uses
    double inputLoudness = 0.0;  // LUFS; -inf for silence
    double inputTruePeak = 0.0;  // dBTP
};

struct SearchTrial {
    double drive = 0.0, output = 0.0;  // dB, as set
    double loudness = 0.0;             // LUFS, measured; -inf for silence
    double truePeak = 0.0;             // dBTP, measured
};

class TargetSearch {
  public:
    static constexpr int kMaxRenders = 8;
    // A render within this of the loudness target ends the search; one
    // within kLoudnessTolerance still meets it when the renders run out.
    static constexpr double kLoudnessAim = 0.05;
    static constexpr double kLoudnessTolerance = 0.1;
    // Output is lowered so that the true peak lands this far below the
    // ceiling; the margin grows when a render still exceeds it.
    static constexpr double kFirstMargin = 0.02;

    TargetSearch(const SearchTargets& targets, const SearchRange& range, const SearchStart& start);

    // The settings of the next render (drive, output in dB), or empty when
    // the search has ended.
    std::optional<SearchTrial> next();
    // What the render at the settings next() gave measured; `trial` carries
    // the settings as the module took them.
    void record(const SearchTrial& trial);

    bool ended() const { return ended_; }
    bool met() const { return met_; }
    // Why the targets cannot be met (when ended and not met).
    const std::string& verdict() const { return verdict_; }
    const std::vector<SearchTrial>& trials() const { return trials_; }
    // The render whose settings are chosen: the one that met the targets,
    // or the closest one. Empty before any render.
    std::optional<std::size_t> chosen() const;

    bool meetsCeiling(const SearchTrial& trial) const;
    bool onLoudness(const SearchTrial& trial, double tolerance) const;

  private:
    // One render seen at Output 0 dB, and what its drive allows.
    struct Point {
        double drive;
        double loudness0, truePeak0;  // at Output 0 dB
        double output;                // the Output the ceiling allows, within range
        bool feasible;                // the ceiling can be met at this drive
        double loudness;              // at that Output
    };
    Point pointOf(const SearchTrial& trial) const;
    double outputFor(double truePeak0) const;
    double predictedTruePeak0(double drive) const;
    std::optional<SearchTrial> first();
    std::optional<SearchTrial> nextForCeiling(const SearchTrial& last);
    std::optional<SearchTrial> nextForLoudness(const SearchTrial& last);
    std::optional<SearchTrial> stop(bool met, const std::string& verdict);
    std::optional<SearchTrial> trialAt(double drive);
    double snap(double db) const;
    double snapDown(double db) const;
    // Two settings in dB that land on the same step.
    bool sameStep(double a, double b) const;

    SearchTargets targets_;
    SearchRange range_;
    SearchStart start_;
    std::vector<SearchTrial> trials_;
    double margin_ = kFirstMargin;
    int sameSideCount_ = 0;  // Illinois: steps in a row that kept the same bracket end
    int lastSide_ = 0;       // -1 the low end moved, +1 the high end moved
    std::optional<std::size_t> chosen_;
    bool ended_ = false;
    bool met_ = false;
    std::string verdict_;
};

}  // namespace kt
