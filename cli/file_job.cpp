// `kavtamor render` file by file: a plain render, or a search for the
// settings that meet the targets, each file with a module of its own.
#include <chrono>
#include <exception>

#include "cli/job_support.h"
#include "cli/render_job.h"

namespace kt {
namespace {

struct FileTask {
    const JobSettings& settings;
    const FileJob& file;
    ProgressBoard& board;
    int slot;
};

bool plainRender(const VstPlugin& plugin, const FileTask& task, FileOutcome* outcome,
                 std::string* error) {
    RenderOptions options = task.settings.render;
    options.inputPath = task.file.input;
    options.outputPath = task.file.output;
    options.meters = meterOptions(task.settings);
    options.expectedGain = expectedGain(plugin);
    options.onProgress = progressTo(task.board, task.slot, "");
    outcome->renders = 1;
    if (!renderFile(plugin, options, &outcome->summary, error)) return false;
    outcome->written = true;
    outcome->status = FileOutcome::Status::kDone;
    return true;
}

bool searchRender(const VstPlugin& plugin, const FileTask& task, FileOutcome* outcome,
                  std::string* error) {
    const JobSettings& settings = task.settings;
    const bool steps = !settings.batch;
    task.board.show(task.slot, "measuring the input", 0.0);
    InputMeasurement input;
    if (!measureInput(task.file.input, settings.render.allowShort, meterOptions(settings), &input,
                      error))
        return false;
    const std::optional<SearchParameters> parameters = searchParameters(plugin, error);
    if (!parameters) return false;
    const LevelFigures in = input.meter->figures();
    const SearchStart start = searchStart(plugin, *parameters, in.loudness, toDb(in.truePeak));
    TargetSearch search(settings.targets, parameters->range, start);
    if (steps) task.board.say("Target:  " + describeTargets(settings.targets));

    KeptRender kept;
    while (std::optional<SearchTrial> trial = search.next()) {
        if (!applyTrial(plugin, *parameters, &*trial, error)) return false;
        const std::size_t index = search.trials().size();
        const std::string state = "render " + std::to_string(index + 1);
        if (!renderTrial(plugin, settings, task.file, input.info, index,
                         progressTo(task.board, task.slot, state), &kept, error))
            return false;
        ++outcome->renders;
        trial->loudness = kept.summary.output.loudness;
        trial->truePeak = toDb(kept.summary.output.truePeak);
        search.record(*trial);
        if (steps)
            task.board.say("Render " + std::to_string(index + 1) + ": " + describeTrial(*trial));
    }
    outcome->trials = search.trials();
    if (!search.met()) {
        outcome->status = FileOutcome::Status::kMissed;
        outcome->message = search.verdict();
        if (!settings.bestEffort) return true;
    }

    const std::optional<std::size_t> chosen = search.chosen();
    SearchTrial settingsChosen = chosenSettings(search, start);
    if (!applyTrial(plugin, *parameters, &settingsChosen, error)) return false;
    if (!writeChosen(plugin, settings, task.file, chosen.value_or(search.trials().size()), &kept,
                     progressTo(task.board, task.slot, "writing"), &outcome->summary,
                     &outcome->renders, error))
        return false;
    addInputFigures(*input.meter, expectedGain(plugin), &outcome->summary);
    outcome->summary.inputMeter = input.meter;
    settingsChosen.loudness = outcome->summary.output.loudness;
    settingsChosen.truePeak = toDb(outcome->summary.output.truePeak);
    outcome->chosen = settingsChosen;
    outcome->written = true;
    if (search.met()) outcome->status = FileOutcome::Status::kDone;
    if (steps) {
        const std::string which = chosen ? "render " + std::to_string(*chosen + 1) + " of " +
                                               std::to_string(search.trials().size())
                                         : "the settings as given";
        task.board.say("Chosen:  " + describeTrial(settingsChosen) + " (" + which + ")");
    }
    return true;
}

void renderOne(const JobSettings& settings, const FileJob& file, ProgressBoard& board, int slot,
               FileOutcome* outcome) {
    std::string error;
    if (file.format == 0) {
        outcome->message = file.formatProblem;
        return;
    }
    std::unique_ptr<VstPlugin> plugin = loadForJob(settings, &error);
    if (!plugin) {
        outcome->message = error;
        return;
    }
    outcome->preset = plugin->programName();
    const FileTask task{settings, file, board, slot};
    const bool done = settings.hasTargets() ? searchRender(*plugin, task, outcome, &error)
                                            : plainRender(*plugin, task, outcome, &error);
    if (!done) {
        outcome->status = FileOutcome::Status::kFailed;
        outcome->written = false;
        outcome->message = error;
        return;
    }
    outcome->parameters = shownParameters(*plugin);
    outcome->expectedGain = expectedGain(*plugin);
}

}  // namespace

std::vector<FileOutcome> renderFiles(const JobSettings& settings, const std::vector<FileJob>& files,
                                     ProgressBoard& board) {
    std::vector<FileOutcome> outcomes(files.size());
    forEachParallel(files.size(), settings.jobs, [&](std::size_t i) {
        const auto started = std::chrono::steady_clock::now();
        const std::string label = settings.batch ? batchLabel(files, i) : files[i].input;
        const int slot = board.open(label);
        FileOutcome& outcome = outcomes[i];
        try {
            renderOne(settings, files[i], board, slot, &outcome);
        } catch (const std::exception& e) {
            outcome = FileOutcome{};
            outcome.message = e.what();
        }
        outcome.wallSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        board.close(slot);
        if (settings.batch) {
            const std::string line = outcomeLine(label, files[i], outcome);
            if (outcome.status == FileOutcome::Status::kDone) {
                board.say(line);
            } else {
                board.warn("kavtamor render: " + line);
            }
        }
    });
    return outcomes;
}

}  // namespace kt
