// The work of `kavtamor render` on one or many files: a plain render, or a
// search for the Drive and Output that meet loudness and true-peak targets,
// per file or for an album as a whole. Each file gets a module instance of
// its own, loaded and set up like the others, so files rendered side by
// side give the same bytes as files rendered one after the other.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/progress_board.h"
#include "cli/render.h"
#include "cli/render_settings.h"
#include "cli/target_search.h"

namespace kt {

struct JobSettings {
    std::string modulePath;
    std::optional<std::string> bankPath;
    ModuleSettings settings;
    RenderOptions render;  // what every render shares (paths and progress are set per file)
    SearchTargets targets;
    bool bestEffort = false;
    bool keepTimeline = false;  // levels over time, for a plot
    bool batch = false;         // report one line per file instead of each step
    int jobs = 1;               // files rendered at a time
    bool hasTargets() const { return targets.loudness || targets.truePeak; }
};

struct FileJob {
    std::string input;
    std::string output;
    int format = 0;  // libsndfile format of the output; 0 when it cannot be told
    std::string formatProblem;
};

// A parameter as the module shows it after the file's settings.
struct ShownParameter {
    std::string name, display, label;
    float value = 0.0f;
};

struct FileOutcome {
    enum class Status { kDone, kFailed, kMissed };
    Status status = Status::kFailed;
    bool written = false;
    std::string message;  // why it failed, or why the targets were missed
    RenderSummary summary;
    std::vector<SearchTrial> trials;    // the renders of this file's search
    std::optional<SearchTrial> chosen;  // the settings written, with their figures
    int renders = 0;                    // renders made, a final one into the file included
    std::string preset;
    std::vector<ShownParameter> parameters;
    double expectedGain = 1.0;
    double wallSeconds = 0.0;
};

struct AlbumOutcome {
    bool ran = false;
    bool met = false;
    std::string verdict;
    std::vector<SearchTrial> trials;
    double inputLoudness = 0.0, inputTruePeak = 0.0;  // LUFS, dBTP
    double outputLoudness = 0.0, outputTruePeak = 0.0;
};

// Every file on its own, `settings.jobs` at a time.
std::vector<FileOutcome> renderFiles(const JobSettings& settings, const std::vector<FileJob>& files,
                                     ProgressBoard& board);

// All files as one album: one Drive and Output found for the loudness of
// all of them together, with every file under the ceiling.
std::vector<FileOutcome> renderAlbum(const JobSettings& settings, const std::vector<FileJob>& files,
                                     ProgressBoard& board, AlbumOutcome* album);

}  // namespace kt
