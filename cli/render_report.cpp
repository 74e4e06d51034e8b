#include "cli/render_report.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "cli/job_support.h"
#include "cli/json_writer.h"

namespace kt {
namespace {

const char* statusName(FileOutcome::Status status) {
    switch (status) {
        case FileOutcome::Status::kDone:
            return "ok";
        case FileOutcome::Status::kMissed:
            return "targets missed";
        case FileOutcome::Status::kFailed:
            break;
    }
    return "failed";
}

std::string baseName(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    return name.empty() ? path : name;
}

std::string number(const char* format, double value) {
    if (!std::isfinite(value)) return "-";
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void writeLevels(JsonWriter& json, const LevelFigures& figures) {
    json.beginObject();
    json.key("sample_peak_dbfs").value(toDb(figures.samplePeak));
    json.key("true_peak_dbtp").value(toDb(figures.truePeak));
    json.key("integrated_lufs").value(figures.loudness);
    json.key("loudness_range_lu");
    if (figures.loudnessRange >= 0.0) {
        json.value(figures.loudnessRange);
    } else {
        json.null();
    }
    json.endObject();
}

void writeTrials(JsonWriter& json, const std::vector<SearchTrial>& trials) {
    json.beginArray();
    for (const SearchTrial& trial : trials) {
        json.beginObject();
        json.key("drive_db").value(trial.drive);
        json.key("output_db").value(trial.output);
        json.key("loudness_lufs").value(trial.loudness);
        json.key("true_peak_dbtp").value(trial.truePeak);
        json.endObject();
    }
    json.endArray();
}

void writeFile(JsonWriter& json, const FileJob& file, const FileOutcome& outcome) {
    const RenderSummary& s = outcome.summary;
    json.beginObject();
    json.key("input").value(file.input);
    json.key("output").value(file.output);
    json.key("status").value(statusName(outcome.status));
    json.key("written").value(outcome.written);
    if (!outcome.message.empty()) json.key("message").value(outcome.message);
    if (outcome.written) {
        json.key("sample_rate").value(s.sampleRate);
        json.key("channels").value(s.channels);
        json.key("frames").value(s.frames);
        json.key("latency_samples").value(s.latency);
    }
    if (!outcome.parameters.empty()) {
        json.key("settings").beginObject();
        json.key("preset").value(outcome.preset);
        json.key("parameters").beginObject();
        for (const ShownParameter& parameter : outcome.parameters) {
            json.key(parameter.name).beginObject();
            json.key("display").value(parameter.display);
            json.key("unit").value(parameter.label);
            json.key("value").value(static_cast<double>(parameter.value));
            json.endObject();
        }
        json.endObject();
        json.endObject();
    }
    if (!outcome.trials.empty()) {
        json.key("renders");
        writeTrials(json, outcome.trials);
    }
    json.key("render_count").value(outcome.renders);
    if (outcome.written && s.analysed) {
        json.key("input_levels");
        writeLevels(json, s.input);
        json.key("output_levels");
        writeLevels(json, s.output);
        json.key("deepest_gain_reduction_db").value(s.deepestReductionDb);
    }
    if (outcome.written) {
        json.key("speed").beginObject();
        json.key("real_time")
            .value(s.processSeconds > 0.0 ? s.audioSeconds / s.processSeconds : NAN);
        json.key("processing_seconds").value(s.processSeconds);
        json.key("audio_seconds").value(s.audioSeconds);
        json.key("wall_seconds").value(outcome.wallSeconds);
        json.endObject();
    }
    json.key("warnings").beginArray();
    for (const std::string& warning : s.warnings) json.value(warning);
    json.endArray();
    json.endObject();
}

}  // namespace

void printSummaryTable(std::FILE* out, const RenderReport& report) {
    std::size_t nameWidth = 4;
    for (const FileJob& file : report.files)
        nameWidth = std::max(nameWidth, std::min<std::size_t>(32, baseName(file.input).size()));
    const int width = static_cast<int>(nameWidth);
    std::fprintf(out, "\n%-*s  %-6s %9s %9s %8s %8s %6s %8s %7s %7s %8s\n", width, "File", "Result",
                 "Drive", "Output", "In LUFS", "Out LUFS", "LRA", "Out dBTP", "GR dB", "Renders",
                 "Speed");
    for (std::size_t i = 0; i < report.files.size(); ++i) {
        const FileOutcome& outcome = report.outcomes[i];
        std::string name = baseName(report.files[i].input);
        if (name.size() > nameWidth) name = name.substr(0, nameWidth - 1) + "~";
        const char* result = outcome.status == FileOutcome::Status::kDone     ? "ok"
                             : outcome.status == FileOutcome::Status::kMissed ? "missed"
                                                                              : "failed";
        if (!outcome.written) {
            std::fprintf(out, "%-*s  %-6s %s\n", width, name.c_str(), result,
                         outcome.message.c_str());
            continue;
        }
        const RenderSummary& s = outcome.summary;
        const bool levels = s.analysed;
        std::string drive = "-", output = "-";
        for (const ShownParameter& p : outcome.parameters) {
            if (p.name == "Drive") drive = p.display + " " + p.label;
            if (p.name == "Output") output = p.display + " " + p.label;
        }
        std::fprintf(
            out, "%-*s  %-6s %9s %9s %8s %8s %6s %8s %7s %7d %8s\n", width, name.c_str(), result,
            drive.c_str(), output.c_str(), levels ? number("%.2f", s.input.loudness).c_str() : "-",
            levels ? number("%.2f", s.output.loudness).c_str() : "-",
            levels && s.output.loudnessRange >= 0.0 ? number("%.1f", s.output.loudnessRange).c_str()
                                                    : "-",
            levels ? number("%+.2f", toDb(s.output.truePeak)).c_str() : "-",
            levels ? number("%.2f", s.deepestReductionDb).c_str() : "-", outcome.renders,
            s.processSeconds > 0.0 ? number("%.0fx", s.audioSeconds / s.processSeconds).c_str()
                                   : "-");
    }
    if (report.album != nullptr && report.album->ran) {
        std::fprintf(out, "Album: %s, input %s LUFS, output %s LUFS, highest true peak %s dBTP\n",
                     report.album->met ? "targets met" : "targets missed",
                     number("%.2f", report.album->inputLoudness).c_str(),
                     number("%.2f", report.album->outputLoudness).c_str(),
                     number("%+.2f", report.album->outputTruePeak).c_str());
    }
}

std::string jsonReport(const RenderReport& report) {
    JsonWriter json;
    json.beginObject();
    json.key("program").value("kavtamor render");
    json.key("targets").beginObject();
    json.key("loudness_lufs");
    if (report.settings.targets.loudness) {
        json.value(*report.settings.targets.loudness);
    } else {
        json.null();
    }
    json.key("true_peak_dbtp");
    if (report.settings.targets.truePeak) {
        json.value(*report.settings.targets.truePeak);
    } else {
        json.null();
    }
    json.key("album").value(report.album != nullptr);
    json.key("best_effort").value(report.settings.bestEffort);
    json.endObject();
    if (report.album != nullptr) {
        const AlbumOutcome& album = *report.album;
        json.key("album").beginObject();
        json.key("status").value(!album.ran ? "failed" : album.met ? "ok" : "targets missed");
        if (!album.verdict.empty()) json.key("message").value(album.verdict);
        json.key("input_loudness_lufs").value(album.inputLoudness);
        json.key("input_true_peak_dbtp").value(album.inputTruePeak);
        json.key("output_loudness_lufs").value(album.outputLoudness);
        json.key("output_true_peak_dbtp").value(album.outputTruePeak);
        json.key("renders");
        writeTrials(json, album.trials);
        json.endObject();
    }
    json.key("files").beginArray();
    for (std::size_t i = 0; i < report.files.size(); ++i)
        writeFile(json, report.files[i], report.outcomes[i]);
    json.endArray();
    json.endObject();
    return json.text();
}

PlotData plotDataFor(const JobSettings& settings, const FileJob& file, const FileOutcome& outcome) {
    const RenderSummary& s = outcome.summary;
    PlotData data;
    data.title = baseName(file.input) + "  ->  " + baseName(file.output);
    std::string drive, output;
    for (const ShownParameter& p : outcome.parameters) {
        if (p.name == "Drive") drive = p.display + " " + p.label;
        if (p.name == "Output") output = p.display + " " + p.label;
    }
    char figures[200];
    std::snprintf(figures, sizeof figures,
                  "   |   output %.2f LUFS, true peak %+.2f dBTP, LRA %.1f LU, deepest gain "
                  "reduction %.1f dB",
                  s.output.loudness, toDb(s.output.truePeak), s.output.loudnessRange,
                  s.deepestReductionDb);
    data.subtitle =
        "Preset \"" + outcome.preset + "\", Drive " + drive + ", Output " + output + figures;
    data.seconds = s.audioSeconds;
    if (s.inputMeter) data.input = s.inputMeter->timeline();
    if (s.outputMeter) data.output = s.outputMeter->timeline();
    if (s.inputMeter && s.outputMeter) {
        data.gainReductionDb =
            gainReductionDb(s.inputMeter->windowPeaks(), s.outputMeter->windowPeaks(),
                            outcome.expectedGain, kGainReductionThreshold);
    }
    data.windowSeconds =
        s.sampleRate > 0 ? static_cast<double>(RenderAnalysis::kWindowFrames) / s.sampleRate : 0.0;
    data.targetLoudness = settings.targets.loudness;
    data.ceiling = settings.targets.truePeak;
    return data;
}

}  // namespace kt
