// `kavtamor render --album`: one Drive and Output for all files, found on
// the loudness of the whole album and the highest true peak of its files.
// Each search step renders every file (several at a time), each with a
// module of its own.
#include <algorithm>
#include <chrono>
#include <exception>
#include <mutex>

#include "cli/job_support.h"
#include "cli/render_job.h"

namespace kt {
namespace {

struct Member {
    std::unique_ptr<VstPlugin> plugin;
    std::optional<SearchParameters> parameters;
    InputMeasurement input;
    KeptRender kept;
    bool ready = false;
    std::chrono::steady_clock::time_point started;
};

// Loads a module for the file and measures its input.
void prepare(const JobSettings& settings, const FileJob& file, Member* member,
             FileOutcome* outcome) {
    std::string error;
    member->started = std::chrono::steady_clock::now();
    if (file.format == 0) {
        outcome->message = file.formatProblem;
        return;
    }
    member->plugin = loadForJob(settings, &error);
    if (member->plugin) member->parameters = searchParameters(*member->plugin, &error);
    if (!member->parameters || !measureInput(file.input, settings.render.allowShort,
                                             meterOptions(settings), &member->input, &error)) {
        outcome->message = error;
        return;
    }
    outcome->preset = member->plugin->programName();
    member->ready = true;
}

}  // namespace

std::vector<FileOutcome> renderAlbum(const JobSettings& settings, const std::vector<FileJob>& files,
                                     ProgressBoard& board, AlbumOutcome* album) {
    std::vector<FileOutcome> outcomes(files.size());
    std::vector<Member> members(files.size());
    auto guarded = [&](std::size_t i, const std::function<void()>& work) {
        try {
            work();
        } catch (const std::exception& e) {
            members[i].ready = false;
            outcomes[i].status = FileOutcome::Status::kFailed;
            outcomes[i].message = e.what();
        }
    };
    forEachParallel(files.size(), settings.jobs, [&](std::size_t i) {
        const int slot = board.open(batchLabel(files, i));
        board.show(slot, "measuring the input", 0.0);
        guarded(i, [&] { prepare(settings, files[i], &members[i], &outcomes[i]); });
        board.close(slot);
        if (!members[i].ready)
            board.warn(
                "kavtamor render: " + outcomeLine(batchLabel(files, i), files[i], outcomes[i]) +
                "; the album goes on without it");
    });
    std::vector<std::size_t> active;
    for (std::size_t i = 0; i < files.size(); ++i)
        if (members[i].ready) active.push_back(i);
    if (active.empty()) return outcomes;

    std::vector<const StreamMeter*> inputs;
    double inputPeak = 0.0;
    for (std::size_t i : active) {
        inputs.push_back(members[i].input.meter.get());
        inputPeak = std::max(inputPeak, members[i].input.meter->figures().truePeak);
    }
    album->ran = true;
    album->inputLoudness = combinedLoudness(inputs);
    album->inputTruePeak = toDb(inputPeak);
    const Member& first = members[active.front()];
    const SearchStart start =
        searchStart(*first.plugin, *first.parameters, album->inputLoudness, album->inputTruePeak);
    TargetSearch search(settings.targets, first.parameters->range, start);
    board.say("Album:   " + std::to_string(active.size()) + " files, target " +
              describeTargets(settings.targets));

    // Renders every file of the album at one setting; false when one fails.
    std::mutex failureMutex;
    std::string failure;
    auto renderAll = [&](const SearchTrial& setting, std::size_t index, const std::string& state,
                         SearchTrial* applied) {
        forEachParallel(active.size(), settings.jobs, [&](std::size_t k) {
            const std::size_t i = active[k];
            Member& member = members[i];
            const int slot = board.open(batchLabel(files, i));
            std::string error;
            SearchTrial trial = setting;
            bool done = false;
            guarded(i, [&] {
                done = applyTrial(*member.plugin, *member.parameters, &trial, &error) &&
                       renderTrial(*member.plugin, settings, files[i], member.input.info, index,
                                   progressTo(board, slot, state), &member.kept, &error);
            });
            board.close(slot);
            std::lock_guard<std::mutex> lock(failureMutex);
            if (k == 0) *applied = trial;
            if (!done && failure.empty())
                failure = error.empty() ? outcomes[i].message : files[i].input + ": " + error;
            if (done) ++outcomes[i].renders;
        });
        return failure.empty();
    };

    while (std::optional<SearchTrial> trial = search.next()) {
        const std::size_t index = search.trials().size();
        SearchTrial applied = *trial;
        if (!renderAll(*trial, index, "album render " + std::to_string(index + 1), &applied)) break;
        std::vector<const StreamMeter*> outputs;
        double peak = 0.0;
        for (std::size_t i : active) {
            outputs.push_back(members[i].kept.summary.outputMeter.get());
            peak = std::max(peak, members[i].kept.summary.output.truePeak);
        }
        applied.loudness = combinedLoudness(outputs);
        applied.truePeak = toDb(peak);
        search.record(applied);
        board.say("Album render " + std::to_string(index + 1) + ": " + describeTrial(applied));
    }
    album->trials = search.trials();
    if (!failure.empty()) {
        album->verdict = "the album stopped: " + failure;
        for (std::size_t i : active) {
            outcomes[i].status = FileOutcome::Status::kFailed;
            outcomes[i].message = album->verdict;
        }
        return outcomes;
    }
    album->met = search.met();
    album->verdict = search.verdict();
    const std::optional<std::size_t> chosen = search.chosen();
    const SearchTrial chosenSetting = chosenSettings(search, start);
    if (!album->met) {
        board.warn(
            "kavtamor render: the album misses its targets: " + album->verdict +
            (settings.bestEffort ? "; writing the closest result" : "; nothing was written"));
    } else {
        board.say("Chosen:  " + describeTrial(chosenSetting) + " for every file");
    }

    forEachParallel(active.size(), settings.jobs, [&](std::size_t k) {
        const std::size_t i = active[k];
        Member& member = members[i];
        FileOutcome& outcome = outcomes[i];
        outcome.trials = search.trials();
        outcome.status = album->met ? FileOutcome::Status::kDone : FileOutcome::Status::kMissed;
        outcome.message = album->verdict;
        if (album->met || settings.bestEffort) {
            const int slot = board.open(batchLabel(files, i));
            std::string error;
            guarded(i, [&] {
                SearchTrial setting = chosenSetting;
                if (!applyTrial(*member.plugin, *member.parameters, &setting, &error) ||
                    !writeChosen(*member.plugin, settings, files[i],
                                 chosen.value_or(search.trials().size()), &member.kept,
                                 progressTo(board, slot, "writing"), &outcome.summary,
                                 &outcome.renders, &error)) {
                    outcome.status = FileOutcome::Status::kFailed;
                    outcome.message = error;
                    return;
                }
                addInputFigures(*member.input.meter, expectedGain(*member.plugin),
                                &outcome.summary);
                outcome.summary.inputMeter = member.input.meter;
                setting.loudness = outcome.summary.output.loudness;
                setting.truePeak = toDb(outcome.summary.output.truePeak);
                outcome.chosen = setting;
                outcome.written = true;
                outcome.parameters = shownParameters(*member.plugin);
                outcome.expectedGain = expectedGain(*member.plugin);
            });
            board.close(slot);
        }
        member.kept = KeptRender{};
        outcome.wallSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - member.started)
                .count();
        const std::string line = outcomeLine(batchLabel(files, i), files[i], outcome);
        if (outcome.status == FileOutcome::Status::kDone) {
            board.say(line);
        } else if (outcome.written || outcome.status == FileOutcome::Status::kFailed) {
            board.warn("kavtamor render: " + line);
        }
    });

    std::vector<const StreamMeter*> outputs;
    double peak = 0.0;
    for (std::size_t i : active) {
        if (!outcomes[i].written) continue;
        outputs.push_back(outcomes[i].summary.outputMeter.get());
        peak = std::max(peak, outcomes[i].summary.output.truePeak);
    }
    album->outputLoudness = combinedLoudness(outputs);
    album->outputTruePeak = toDb(peak);
    return outcomes;
}

}  // namespace kt
