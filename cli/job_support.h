// What the file and album jobs of `kavtamor render` share: running work on
// several threads, a module instance set up for one file, Drive and Output
// for the search, and memory for renders kept until the search has chosen.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/decibel_setting.h"
#include "cli/render_job.h"

namespace kt {

// Runs work(i) for every i below count, `jobs` at a time, each on a thread
// of its own; returns when all are done.
void forEachParallel(std::size_t count, int jobs, const std::function<void(std::size_t)>& work);

// A module instance for one file: loaded, its bank and settings applied.
std::unique_ptr<VstPlugin> loadForJob(const JobSettings& settings, std::string* error);

struct SearchParameters {
    DecibelParameter drive, output;
    SearchRange range;
};
std::optional<SearchParameters> searchParameters(const VstPlugin& plugin, std::string* error);

// Sets Drive and Output to the trial's values and puts back into the trial
// what the module then shows.
bool applyTrial(const VstPlugin& plugin, const SearchParameters& parameters, SearchTrial* trial,
                std::string* error);

// The search's starting point from the module's settings and the input.
SearchStart searchStart(const VstPlugin& plugin, const SearchParameters& parameters,
                        double inputLoudness, double inputTruePeak);

// The settings the file is written with: the chosen render's, or the
// search's start when it rendered nothing.
SearchTrial chosenSettings(const TargetSearch& search, const SearchStart& start);

// A share of the memory that renders kept during a search may use (a
// quarter of the machine's, at most 4 GiB, for all files together). A share
// that does not fit is not granted; the render is then measured only, and
// rendered once more into its file if it is chosen.
class MemoryShare {
  public:
    MemoryShare() = default;
    explicit MemoryShare(long long bytes);
    ~MemoryShare();
    MemoryShare(MemoryShare&& other) noexcept;
    MemoryShare& operator=(MemoryShare&& other) noexcept;
    bool granted() const { return bytes_ > 0; }

  private:
    long long bytes_ = 0;
};

// A render of a search kept in memory with what it measured.
struct KeptRender {
    MemoryShare share;
    std::unique_ptr<SampleStore> store;  // null when the memory was not granted
    RenderSummary summary;
    std::size_t trial = 0;
};

// Renders the input at the module's current settings into memory (when
// granted) for the search; the input was measured beforehand.
bool renderTrial(const VstPlugin& plugin, const JobSettings& settings, const FileJob& file,
                 const SF_INFO& info, std::size_t trial,
                 const std::function<void(double)>& progress, KeptRender* kept, std::string* error);

// Writes the chosen render: from memory when it is the one kept, otherwise
// rendered again into the file at the module's current settings.
bool writeChosen(const VstPlugin& plugin, const JobSettings& settings, const FileJob& file,
                 std::size_t chosen, KeptRender* kept, const std::function<void(double)>& progress,
                 RenderSummary* summary, int* renders, std::string* error);

// Fills the input figures and the gain reduction of a render made without
// measuring the input.
void addInputFigures(const StreamMeter& input, double expectedGain, RenderSummary* summary);

// Every parameter with a display, as the module shows it now.
std::vector<ShownParameter> shownParameters(const VstPlugin& plugin);

double toDb(double linear);
// "Drive +5.20 dB, Output -0.80 dB -> -14.62 LUFS, -0.95 dBTP"
std::string describeTrial(const SearchTrial& trial);
// "-14.00 LUFS integrated, true peak at most -1.00 dBTP"
std::string describeTargets(const SearchTargets& targets);
// The meter options a render of these settings needs.
MeterOptions meterOptions(const JobSettings& settings);

}  // namespace kt

namespace kt {

// "[2/5] input.wav": a file of a batch on the progress board and in reports.
std::string batchLabel(const std::vector<FileJob>& files, std::size_t i);

// The line that reports a finished file of a batch.
std::string outcomeLine(const std::string& label, const FileJob& file, const FileOutcome& outcome);

// A live progress function for a board slot, showing `state`.
std::function<void(double)> progressTo(ProgressBoard& board, int slot, const std::string& state);

}  // namespace kt
