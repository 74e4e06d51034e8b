#include "cli/target_search.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kt {
namespace {

std::string signedNumber(double value) {
    char text[48];
    std::snprintf(text, sizeof text, "%+.2f", value);
    return text;
}

std::string decibels(double value, const char* unit) {
    return signedNumber(value) + " " + unit;
}

std::string loudnessText(double lufs) {
    if (!std::isfinite(lufs)) return "no measurable loudness";
    char text[48];
    std::snprintf(text, sizeof text, "%.2f LUFS", lufs);
    return text;
}

// Drive beyond the point where the input's true peaks reach 0 dB makes the
// limiter work; a render shows it by peaks held below the driven input's.
constexpr double kLimitingShows = 0.5;  // dB
// The loudness gained per dB of drive once the limiter works, for a first
// step (the search measures the real slope from then on).
constexpr double kLimitedSlope = 2.0 / 3.0;
// Output is "just enough" for a ceiling when the true peak lands within
// this of the aim.
constexpr double kPeakSlack = 0.05;

}  // namespace

TargetSearch::TargetSearch(const SearchTargets& targets, const SearchRange& range,
                           const SearchStart& start)
    : targets_(targets), range_(range), start_(start) {
    start_.output = std::clamp(start_.output, range_.outputLow, range_.outputHigh);
    start_.drive = std::clamp(start_.drive, range_.driveLow, range_.driveHigh);
}

double TargetSearch::snap(double db) const {
    return std::round(db / range_.step) * range_.step;
}

double TargetSearch::snapDown(double db) const {
    return std::floor(db / range_.step + 1e-6) * range_.step;
}

bool TargetSearch::sameStep(double a, double b) const {
    return std::fabs(a - b) < 0.5 * range_.step;
}

bool TargetSearch::meetsCeiling(const SearchTrial& trial) const {
    return !targets_.truePeak || trial.truePeak <= *targets_.truePeak;
}

bool TargetSearch::onLoudness(const SearchTrial& trial, double tolerance) const {
    return !targets_.loudness || (std::isfinite(trial.loudness) &&
                                  std::fabs(trial.loudness - *targets_.loudness) <= tolerance);
}

double TargetSearch::outputFor(double truePeak0) const {
    if (!targets_.truePeak) return start_.output;
    return std::min(start_.output, snapDown(*targets_.truePeak - margin_ - truePeak0));
}

TargetSearch::Point TargetSearch::pointOf(const SearchTrial& trial) const {
    Point point{};
    point.drive = trial.drive;
    point.loudness0 = trial.loudness - trial.output;
    point.truePeak0 = trial.truePeak - trial.output;
    const double output = outputFor(point.truePeak0);
    point.feasible = output >= range_.outputLow - 1e-9;
    point.output = std::max(output, range_.outputLow);
    point.loudness = point.loudness0 + point.output;
    return point;
}

// The true peak at Output 0 dB a render at `drive` would measure: before
// any render, the input's true peak plus the drive up to full scale, where
// the limiter takes over; then interpolated between the renders around
// `drive`, or extended from the nearest ones with their slope.
double TargetSearch::predictedTruePeak0(double drive) const {
    std::vector<std::pair<double, double>> known;  // drive, true peak at Output 0 dB
    for (const SearchTrial& trial : trials_) {
        if (!std::isfinite(trial.truePeak)) continue;
        const double peak0 = trial.truePeak - trial.output;
        auto same = std::find_if(known.begin(), known.end(),
                                 [&](const auto& k) { return sameStep(k.first, trial.drive); });
        if (same != known.end()) {
            same->second = peak0;
        } else {
            known.emplace_back(trial.drive, peak0);
        }
    }
    if (known.empty()) return std::min(start_.inputTruePeak + drive, 0.0);
    std::sort(known.begin(), known.end());
    auto above =
        std::lower_bound(known.begin(), known.end(), std::pair<double, double>{drive, -INFINITY});
    if (above != known.end() && sameStep(above->first, drive)) return above->second;
    if (above != known.begin() && above != known.end()) {
        const auto& a = *(above - 1);
        const auto& b = *above;
        return a.second + (b.second - a.second) * (drive - a.first) / (b.first - a.first);
    }
    // Beyond the renders: from the nearest, with the slope of the nearest two
    // (a limiting render's peaks rise more slowly than the drive).
    const bool higher = above == known.end();
    const auto& nearest = higher ? known.back() : known.front();
    double slope =
        nearest.second < start_.inputTruePeak + nearest.first - kLimitingShows ? 0.5 : 1.0;
    if (known.size() >= 2) {
        const auto& next = higher ? known[known.size() - 2] : known[1];
        slope = std::clamp((nearest.second - next.second) / (nearest.first - next.first), 0.0, 1.0);
    }
    return nearest.second + slope * (drive - nearest.first);
}

std::optional<SearchTrial> TargetSearch::stop(bool met, const std::string& verdict) {
    ended_ = true;
    met_ = met;
    verdict_ = verdict;
    return std::nullopt;
}

std::optional<SearchTrial> TargetSearch::trialAt(double drive) {
    SearchTrial trial;
    trial.drive = snap(std::clamp(drive, range_.driveLow, range_.driveHigh));
    trial.output =
        std::clamp(outputFor(predictedTruePeak0(trial.drive)), range_.outputLow, start_.output);
    for (const SearchTrial& done : trials_) {
        if (sameStep(done.drive, trial.drive) && sameStep(done.output, trial.output)) {
            return stop(false, "no setting of Drive in steps of " +
                                   decibels(range_.step, "dB").substr(1) +
                                   " gives the loudness within the tolerance");
        }
    }
    return trial;
}

std::optional<SearchTrial> TargetSearch::first() {
    if (!targets_.loudness) {
        return trialAt(start_.drive);
    }
    if (!std::isfinite(start_.inputLoudness))
        return stop(false,
                    "the input has no integrated loudness (it is silent, or shorter "
                    "than the 0.4 s a measurement needs): no Drive gives it one");
    const double target = *targets_.loudness;
    // The loudness with the input's true peaks driven to 0 dB, the most
    // there is without limiting.
    double output = start_.output;
    if (targets_.truePeak) output = std::min(output, *targets_.truePeak - margin_);
    const double unlimited = start_.inputLoudness - start_.inputTruePeak + output;
    double drive = target <= unlimited
                       ? target - start_.inputLoudness - start_.output
                       : -start_.inputTruePeak + (target - unlimited) / kLimitedSlope;
    // A ceiling so low that even the lowest Output cannot bring the
    // limiter's peaks under it: the most drive whose peaks stay unlimited.
    if (targets_.truePeak && *targets_.truePeak - margin_ < range_.outputLow)
        drive =
            std::min(drive, *targets_.truePeak - margin_ - range_.outputLow - start_.inputTruePeak);
    return trialAt(drive);
}

std::optional<SearchTrial> TargetSearch::next() {
    if (ended_) return std::nullopt;
    if (trials_.empty()) return first();
    const SearchTrial& last = trials_.back();
    bool accepted = meetsCeiling(last) && onLoudness(last, kLoudnessAim);
    // With a ceiling alone, Output is lowered just enough.
    if (accepted && !targets_.loudness && targets_.truePeak)
        accepted = last.output >= start_.output - 1e-9 ||
                   last.truePeak >= *targets_.truePeak - margin_ - kPeakSlack;
    if (accepted) {
        chosen_ = trials_.size() - 1;
        return stop(true, {});
    }
    if (static_cast<int>(trials_.size()) >= kMaxRenders) {
        for (std::size_t i = trials_.size(); i-- > 0;) {
            if (meetsCeiling(trials_[i]) && onLoudness(trials_[i], kLoudnessTolerance)) {
                chosen_ = i;
                return stop(true, {});
            }
        }
        return stop(false,
                    "no render met the targets within " + std::to_string(kMaxRenders) + " renders");
    }
    return targets_.loudness ? nextForLoudness(last) : nextForCeiling(last);
}

std::optional<SearchTrial> TargetSearch::nextForCeiling(const SearchTrial& last) {
    const double ceiling = *targets_.truePeak;
    double output = outputFor(last.truePeak - last.output);
    if (output < range_.outputLow - 1e-9) {
        if (last.output <= range_.outputLow + 1e-9) {
            return stop(false, "the ceiling " + decibels(ceiling, "dBTP") +
                                   " is below what Output can reach: at its lowest, " +
                                   decibels(range_.outputLow, "dB") + ", the true peak is " +
                                   decibels(last.truePeak, "dBTP"));
        }
        output = range_.outputLow;
    }
    if (sameStep(output, last.output)) output = last.output - range_.step;
    SearchTrial trial;
    trial.drive = last.drive;
    trial.output = std::clamp(output, range_.outputLow, start_.output);
    return trial;
}

std::optional<SearchTrial> TargetSearch::nextForLoudness(const SearchTrial& last) {
    const double target = *targets_.loudness;
    const Point here = pointOf(last);
    // The drive is right and only the Output was off (the true peak differed
    // from its prediction): the same drive again at the Output it allows.
    if (here.feasible && std::fabs(here.loudness - target) <= kLoudnessAim) {
        double output = here.output;
        if (sameStep(output, last.output)) output -= range_.step;
        if (output >= range_.outputLow - 1e-9) {
            SearchTrial trial;
            trial.drive = last.drive;
            trial.output = std::min(output, start_.output);
            return trial;
        }
    }

    // The latest render at each drive, as points below and above the target.
    std::vector<Point> points;
    for (const SearchTrial& trial : trials_) {
        const Point point = pointOf(trial);
        auto same = std::find_if(points.begin(), points.end(),
                                 [&](const Point& p) { return sameStep(p.drive, point.drive); });
        if (same != points.end()) {
            *same = point;
        } else {
            points.push_back(point);
        }
    }
    auto below = [&](const Point& p) { return p.feasible && p.loudness < target; };
    const Point* low = nullptr;   // the highest drive below the target
    const Point* high = nullptr;  // the lowest drive above it (or beyond the ceiling)
    for (const Point& p : points) {
        if (below(p)) {
            if (low == nullptr || p.drive > low->drive) low = &p;
        } else if (high == nullptr || p.drive < high->drive) {
            high = &p;
        }
    }
    // The slope between the end point and its neighbour on the same side.
    auto slopeNear = [&](const Point& end, bool lowSide) -> std::optional<double> {
        const Point* neighbour = nullptr;
        for (const Point& p : points) {
            if (&p == &end || below(p) != lowSide || !p.feasible) continue;
            if (lowSide ? p.drive < end.drive : p.drive > end.drive) {
                if (neighbour == nullptr ||
                    std::fabs(p.drive - end.drive) < std::fabs(neighbour->drive - end.drive))
                    neighbour = &p;
            }
        }
        if (neighbour == nullptr || !end.feasible) return std::nullopt;
        return std::clamp((end.loudness - neighbour->loudness) / (end.drive - neighbour->drive),
                          0.05, 1.0);
    };
    auto limiting = [&](const Point& p) {
        return p.truePeak0 < start_.inputTruePeak + p.drive - kLimitingShows;
    };

    // Beyond a drive whose peaks the ceiling cannot take, the loudness can
    // rise no further than the crest of a lower drive allows (more drive
    // only narrows it).
    if (low != nullptr && high != nullptr && !high->feasible) {
        const double most = low->loudness0 - low->truePeak0 + *targets_.truePeak - margin_;
        if (most < target - kLoudnessTolerance) {
            return stop(false, "the ceiling " + decibels(*targets_.truePeak, "dBTP") +
                                   " allows at most about " + loudnessText(most) +
                                   " (the limiter's peaks do not fit under it even at the "
                                   "lowest Output, " +
                                   decibels(range_.outputLow, "dB") + ")");
        }
    }
    double drive = 0.0;
    if (low != nullptr && high != nullptr) {
        const double width = high->drive - low->drive;
        if (width <= 1.5 * range_.step) {
            if (!high->feasible) {
                return stop(false, "the ceiling " + decibels(*targets_.truePeak, "dBTP") +
                                       " holds only up to Drive " + decibels(low->drive, "dB") +
                                       ", where the loudness is " + loudnessText(low->loudness));
            }
            const Point& closer =
                std::fabs(low->loudness - target) < std::fabs(high->loudness - target) ? *low
                                                                                       : *high;
            return trialAt(closer.drive);
        }
        if (!high->feasible) {
            drive = 0.5 * (low->drive + high->drive);
        } else {
            double below = low->loudness - target;
            double above = high->loudness - target;
            // Illinois: the end that stayed put for several steps counts less.
            const double weight = std::ldexp(1.0, -sameSideCount_);
            if (lastSide_ < 0) {
                above *= weight;
            } else {
                below *= weight;
            }
            drive = low->drive + width * (-below) / (above - below);
        }
        const double guard = std::max(range_.step, 0.05 * width);
        drive = std::clamp(drive, low->drive + guard, high->drive - guard);
    } else if (low != nullptr) {
        if (low->drive >= range_.driveHigh - 0.5 * range_.step) {
            // The render at the highest drive may have used another Output
            // than the ceiling allows there (its peaks were predicted): render
            // once more at that Output, so the verdict, and a best-effort
            // result, are the loudest that meets the ceiling.
            const SearchTrial& atTop = trials_.back();
            const bool lastAtTop = sameStep(atTop.drive, low->drive);
            const auto rendersAtTop =
                std::count_if(trials_.begin(), trials_.end(),
                              [&](const SearchTrial& t) { return sameStep(t.drive, low->drive); });
            if (lastAtTop && rendersAtTop < 2 && !sameStep(atTop.output, low->output) &&
                static_cast<int>(trials_.size()) + 1 < kMaxRenders) {
                SearchTrial trial;
                trial.drive = low->drive;
                trial.output = low->output;
                return trial;
            }
            std::string verdict = "even Drive at its highest, " + decibels(range_.driveHigh, "dB") +
                                  ", gives only " + loudnessText(low->loudness);
            if (targets_.truePeak && low->output < start_.output)
                verdict += " with Output at " + decibels(low->output, "dB") + " for the ceiling";
            if (start_.output < range_.outputHigh)
                verdict += " (Output stays at or below the " + decibels(start_.output, "dB") +
                           " given; --set Output=" + signedNumber(range_.outputHigh) +
                           " allows more)";
            return stop(false, verdict);
        }
        // The slopes over the last two steps below the target.
        std::vector<const Point*> below;
        for (const Point& p : points)
            if (p.feasible && p.loudness < target) below.push_back(&p);
        std::sort(below.begin(), below.end(),
                  [](const Point* a, const Point* b) { return a->drive > b->drive; });
        auto slopeBetween = [&](std::size_t i) -> std::optional<double> {
            if (i + 1 >= below.size()) return std::nullopt;
            return (below[i]->loudness - below[i + 1]->loudness) /
                   (below[i]->drive - below[i + 1]->drive);
        };
        const std::optional<double> last = slopeBetween(0), before = slopeBetween(1);
        const double deficit = target - low->loudness;
        // With Output held down by the ceiling while the input's true peaks
        // still follow the drive, more drive only lowers Output: the
        // loudness stays flat until the limiter holds the peaks. Step into
        // the limiter.
        const bool flat = !limiting(*low) && low->output < start_.output - 1e-9;
        if (flat && (!last || *last < 0.2)) {
            drive = std::max(
                -start_.inputTruePeak + deficit / kLimitedSlope,
                last ? low->drive + std::max(1.5, deficit / kLimitedSlope) : low->drive + deficit);
        } else if (!last) {
            drive = low->drive + deficit / (limiting(*low) ? kLimitedSlope : 1.0);
        } else {
            // Deep in the limiter the loudness flattens out further on, so
            // the last slope falls short: reach beyond it, the further the
            // faster the slope has been falling, to bracket the target soon.
            const double slope = std::clamp(*last, 0.05, 1.0);
            double reach = slope < 0.5 ? 1.5 : 1.0;
            if (before && *before > *last && *last > 0.0)
                reach = std::clamp(*before / *last, reach, 3.0);
            drive = low->drive + reach * deficit / slope;
            // Hardly any loudness left to gain: the highest drive brackets
            // the target or shows it out of reach.
            if (*last < 0.05) drive = range_.driveHigh;
        }
        drive = std::max(drive, low->drive + range_.step);
    } else {
        if (high->drive <= range_.driveLow + 0.5 * range_.step) {
            if (!high->feasible) {
                return stop(false, "the ceiling " + decibels(*targets_.truePeak, "dBTP") +
                                       " is below what Output can reach: at its lowest, " +
                                       decibels(range_.outputLow, "dB") + ", the true peak is " +
                                       decibels(high->truePeak0 + range_.outputLow, "dBTP"));
            }
            return stop(false, "even Drive at its lowest, " + decibels(range_.driveLow, "dB") +
                                   ", gives " + loudnessText(high->loudness) +
                                   ", louder than the target");
        }
        if (!high->feasible) {
            // Where the input's peaks, unlimited, stay under the ceiling at
            // the lowest Output.
            drive = *targets_.truePeak - margin_ - range_.outputLow - start_.inputTruePeak;
        } else {
            const double slope = slopeNear(*high, false).value_or(1.0);
            drive = high->drive - (high->loudness - target) / slope;
        }
        drive = std::min(drive, high->drive - range_.step);
    }
    return trialAt(drive);
}

void TargetSearch::record(const SearchTrial& trial) {
    // A render at a drive measured before exceeded the ceiling: the scaling
    // by Output was not exact there, so keep further away from it.
    if (targets_.truePeak && trial.truePeak > *targets_.truePeak) {
        for (const SearchTrial& done : trials_) {
            if (sameStep(done.drive, trial.drive)) {
                margin_ += trial.truePeak - *targets_.truePeak + range_.step;
                break;
            }
        }
    }
    trials_.push_back(trial);
    if (targets_.loudness) {
        const Point point = pointOf(trial);
        const int side = point.feasible && point.loudness < *targets_.loudness ? -1 : 1;
        sameSideCount_ = side == lastSide_ ? sameSideCount_ + 1 : 0;
        lastSide_ = side;
    }
}

std::optional<std::size_t> TargetSearch::chosen() const {
    if (chosen_) return chosen_;
    if (trials_.empty()) return std::nullopt;
    // The closest: under the ceiling first, then nearest the loudness.
    auto distance = [&](const SearchTrial& trial) {
        double d = 0.0;
        if (!meetsCeiling(trial)) d += 1000.0 + (trial.truePeak - *targets_.truePeak);
        if (targets_.loudness)
            d += std::isfinite(trial.loudness) ? std::fabs(trial.loudness - *targets_.loudness)
                                               : 500.0;
        return d;
    };
    std::size_t best = 0;
    for (std::size_t i = 1; i < trials_.size(); ++i)
        if (distance(trials_[i]) < distance(trials_[best])) best = i;
    return best;
}

}  // namespace kt
