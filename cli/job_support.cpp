#include "cli/job_support.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <thread>

#include "cli/bank_file.h"

namespace kt {
namespace {

long long memoryForRenders() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    const long long quarter =
        pages > 0 && pageSize > 0 ? static_cast<long long>(pages) * pageSize / 4 : (1LL << 30);
    return std::min(quarter, 4LL << 30);
}

std::atomic<long long>& memoryLeft() {
    static std::atomic<long long> left{memoryForRenders()};
    return left;
}

}  // namespace

void forEachParallel(std::size_t count, int jobs, const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> nextIndex{0};
    auto worker = [&] {
        for (std::size_t i = nextIndex++; i < count; i = nextIndex++) work(i);
    };
    const std::size_t threads = std::min(count, static_cast<std::size_t>(std::max(1, jobs)));
    std::vector<std::thread> pool;
    for (std::size_t t = 0; t < threads; ++t) pool.emplace_back(worker);
    for (std::thread& thread : pool) thread.join();
}

std::unique_ptr<VstPlugin> loadForJob(const JobSettings& settings, std::string* error) {
    std::unique_ptr<VstPlugin> plugin = VstPlugin::load(settings.modulePath, error);
    if (!plugin) return nullptr;
    plugin->host().setRecording(false);
    if (settings.bankPath && !loadBankFile(*plugin, *settings.bankPath, error)) return nullptr;
    // The settings were tried once before any file was started; they fail
    // here only if the module answers differently the second time.
    if (!applyModuleSettings(*plugin, settings.settings, "render", false)) {
        *error = "the module refused the settings";
        return nullptr;
    }
    return plugin;
}

std::optional<SearchParameters> searchParameters(const VstPlugin& plugin, std::string* error) {
    std::optional<DecibelParameter> drive = findDecibelParameter(plugin, "Drive");
    std::optional<DecibelParameter> output = findDecibelParameter(plugin, "Output");
    if (!drive || !output) {
        *error = "the module has no Drive and Output in dB to search with";
        return std::nullopt;
    }
    SearchParameters parameters{*drive, *output, {}};
    parameters.range.driveLow = drive->low;
    parameters.range.driveHigh = drive->high;
    parameters.range.outputLow = output->low;
    parameters.range.outputHigh = output->high;
    parameters.range.step = std::max(drive->step, output->step);
    return parameters;
}

bool applyTrial(const VstPlugin& plugin, const SearchParameters& parameters, SearchTrial* trial,
                std::string* error) {
    if (!setDecibels(plugin, parameters.drive, trial->drive, error) ||
        !setDecibels(plugin, parameters.output, trial->output, error))
        return false;
    trial->drive = displayedDecibels(plugin, parameters.drive).value_or(trial->drive);
    trial->output = displayedDecibels(plugin, parameters.output).value_or(trial->output);
    return true;
}

SearchStart searchStart(const VstPlugin& plugin, const SearchParameters& parameters,
                        double inputLoudness, double inputTruePeak) {
    SearchStart start;
    start.drive = displayedDecibels(plugin, parameters.drive).value_or(0.0);
    start.output = displayedDecibels(plugin, parameters.output).value_or(parameters.output.high);
    start.inputLoudness = inputLoudness;
    start.inputTruePeak = inputTruePeak;
    return start;
}

MemoryShare::MemoryShare(long long bytes) {
    std::atomic<long long>& left = memoryLeft();
    long long available = left.load();
    while (available >= bytes) {
        if (left.compare_exchange_weak(available, available - bytes)) {
            bytes_ = bytes;
            return;
        }
    }
}

MemoryShare::~MemoryShare() {
    if (bytes_ > 0) memoryLeft() += bytes_;
}

MemoryShare::MemoryShare(MemoryShare&& other) noexcept : bytes_(other.bytes_) {
    other.bytes_ = 0;
}

MemoryShare& MemoryShare::operator=(MemoryShare&& other) noexcept {
    if (this != &other) {
        if (bytes_ > 0) memoryLeft() += bytes_;
        bytes_ = other.bytes_;
        other.bytes_ = 0;
    }
    return *this;
}

SearchTrial chosenSettings(const TargetSearch& search, const SearchStart& start) {
    const std::optional<std::size_t> chosen = search.chosen();
    if (chosen) return search.trials()[*chosen];
    SearchTrial settings;
    settings.drive = start.drive;
    settings.output = start.output;
    return settings;
}

namespace {

// A render of the search, measured as the search needs.
RenderOptions searchRenderOptions(const JobSettings& settings, const FileJob& file,
                                  const std::function<void(double)>& progress) {
    RenderOptions options = settings.render;
    options.inputPath = file.input;
    options.analyse = true;
    options.analyseInput = false;
    options.meters = meterOptions(settings);
    options.onProgress = progress;
    return options;
}

}  // namespace

bool renderTrial(const VstPlugin& plugin, const JobSettings& settings, const FileJob& file,
                 const SF_INFO& info, std::size_t trial,
                 const std::function<void(double)>& progress, KeptRender* kept,
                 std::string* error) {
    // Only the latest render is kept: let go of the one before first.
    *kept = KeptRender{};
    kept->trial = trial;
    const long long frames = std::max<long long>(1, info.frames);
    kept->share = MemoryShare(frames * info.channels * SampleStore::kBytesPerSample);
    if (kept->share.granted())
        kept->store = std::make_unique<SampleStore>(file.format, info.channels, info.frames);
    const RenderOptions options = searchRenderOptions(settings, file, progress);
    return renderToSink(plugin, options, kept->store.get(), &kept->summary, error);
}

bool writeChosen(const VstPlugin& plugin, const JobSettings& settings, const FileJob& file,
                 std::size_t chosen, KeptRender* kept, const std::function<void(double)>& progress,
                 RenderSummary* summary, int* renders, std::string* error) {
    if (kept->store && kept->trial == chosen) {
        *summary = kept->summary;
        return writeStoredRender(file.output, file.format, summary->sampleRate, summary->channels,
                                 *kept->store, error);
    }
    *kept = KeptRender{};
    RenderOptions options = searchRenderOptions(settings, file, progress);
    options.outputPath = file.output;
    ++*renders;
    return renderFile(plugin, options, summary, error);
}

void addInputFigures(const StreamMeter& input, double expectedGain, RenderSummary* summary) {
    summary->input = input.figures();
    if (summary->outputMeter) {
        summary->deepestReductionDb =
            deepestGainReductionDb(input.windowPeaks(), summary->outputMeter->windowPeaks(),
                                   expectedGain, kGainReductionThreshold);
    }
}

std::vector<ShownParameter> shownParameters(const VstPlugin& plugin) {
    std::vector<ShownParameter> shown;
    for (int i = 0; i < plugin.numParams(); ++i) {
        ShownParameter parameter{plugin.parameterName(i), plugin.parameterDisplay(i),
                                 plugin.parameterLabel(i), plugin.getParameter(i)};
        if (!parameter.name.empty() && !parameter.display.empty())
            shown.push_back(std::move(parameter));
    }
    return shown;
}

double toDb(double linear) {
    return linear > 0.0 ? 20.0 * std::log10(linear) : -INFINITY;
}

std::string describeTrial(const SearchTrial& trial) {
    char text[160];
    std::snprintf(text, sizeof text, "Drive %+.2f dB, Output %+.2f dB -> %.2f LUFS, %+.2f dBTP",
                  trial.drive, trial.output, trial.loudness, trial.truePeak);
    return text;
}

std::string describeTargets(const SearchTargets& targets) {
    char text[160];
    if (targets.loudness && targets.truePeak) {
        std::snprintf(text, sizeof text, "%.2f LUFS integrated, true peak at most %+.2f dBTP",
                      *targets.loudness, *targets.truePeak);
    } else if (targets.loudness) {
        std::snprintf(text, sizeof text, "%.2f LUFS integrated", *targets.loudness);
    } else {
        std::snprintf(text, sizeof text, "true peak at most %+.2f dBTP", *targets.truePeak);
    }
    return text;
}

MeterOptions meterOptions(const JobSettings& settings) {
    MeterOptions options;
    options.loudnessRange = true;
    if (settings.keepTimeline) options.timelineSeconds = 0.1;
    return options;
}

}  // namespace kt

namespace kt {

std::string batchLabel(const std::vector<FileJob>& files, std::size_t i) {
    // Appended piece by piece: "[" + std::string trips a false -Wrestrict in GCC 12 at -O3.
    std::string label = "[";
    label += std::to_string(i + 1);
    label += '/';
    label += std::to_string(files.size());
    label += "] ";
    label += files[i].input;
    return label;
}

std::string outcomeLine(const std::string& label, const FileJob& file, const FileOutcome& outcome) {
    std::string line = label + ": ";
    if (outcome.status == FileOutcome::Status::kFailed) return line + "failed: " + outcome.message;
    if (outcome.status == FileOutcome::Status::kMissed) {
        line += "targets missed: " + outcome.message;
        if (!outcome.written) return line + "; nothing was written";
        line += "; the closest result was written; ";
    }
    char text[256];
    const RenderSummary& s = outcome.summary;
    if (s.analysed) {
        std::snprintf(text, sizeof text, "%.2f LUFS, %+.2f dBTP, LRA %.1f LU", s.output.loudness,
                      toDb(s.output.truePeak), s.output.loudnessRange);
        line += text;
    } else {
        line += "rendered";
    }
    line += " -> " + file.output;
    std::string details;
    if (outcome.chosen) {
        std::snprintf(text, sizeof text, "Drive %+.2f dB, Output %+.2f dB, %d render%s, ",
                      outcome.chosen->drive, outcome.chosen->output, outcome.renders,
                      outcome.renders == 1 ? "" : "s");
        details += text;
    }
    std::snprintf(text, sizeof text, "%.1f s", outcome.wallSeconds);
    details += text;
    return line + " (" + details + ")";
}

std::function<void(double)> progressTo(ProgressBoard& board, int slot, const std::string& state) {
    return [&board, slot, state](double fraction) { board.show(slot, state, fraction); };
}

}  // namespace kt
