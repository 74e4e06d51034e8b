// kavtamor render: audio files through the limiter, with a summary; on
// request to loudness and true-peak targets, in batches, as an album, with a
// JSON report and a plot.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "cli/arguments.h"
#include "cli/atomic_output.h"
#include "cli/bank_file.h"
#include "cli/command_table.h"
#include "cli/file_checks.h"
#include "cli/job_support.h"
#include "cli/loudness_plot.h"
#include "cli/module_path.h"
#include "cli/parameter_values.h"
#include "cli/render_job.h"
#include "cli/render_report.h"
#include "cli/render_settings.h"

namespace kt {
namespace {

namespace fs = std::filesystem;

void printHelp(std::FILE* out) {
    std::fprintf(
        out,
        "Usage: kavtamor render [OPTIONS] IN OUT\n"
        "       kavtamor render [OPTIONS] --output-dir DIR IN...\n"
        "\n"
        "Processes IN (anything libsndfile reads: WAV, FLAC, AIFF, Ogg, ...) through\n"
        "the limiter at the file's sample rate and writes OUT in the format of its\n"
        "extension (.wav, .flac, .aiff, .ogg, .w64, .caf). An existing OUT is\n"
        "replaced only by a complete result: the render goes to a temporary file\n"
        "beside it, renamed into place when it succeeded. OUT may not be IN (nor\n"
        "the bank or the module), a directory or a write-protected file.\n"
        "\n"
        "The module's latency is compensated: its first initialDelay output samples\n"
        "are dropped and the tail is flushed with silence, so OUT lines up with IN\n"
        "sample for sample and has the same length. A mono file is fed to both\n"
        "inputs and written back as mono (the left output); files with more than\n"
        "two channels are refused. A file at a rate outside the module's 5000 to\n"
        "200000 Hz is processed as the module does it, as if at 44100 Hz, with a\n"
        "warning. An input that ends before its header says (a file cut short or\n"
        "damaged) is refused unless --allow-short is given.\n"
        "\n"
        "Options:\n"
        "  --plugin PATH       the module to load (default: KavTamor.so beside kavtamor)\n"
        "  --bank FILE.kvb     load this bank file first; --preset then chooses from it\n"
        "%s"
        "  --precision 32|64   single or double precision processing (default 64)\n"
        "  --block N           frames per processing call (default 512)\n"
        "%s"
        "  --keep-latency      write the module's output as it comes, delayed by its\n"
        "                      latency (same length as IN; the tail is cut)\n"
        "  --allow-short       write what could be read of an input cut short, with\n"
        "                      a warning\n"
        "  --quiet             no summary\n"
        "  --no-levels         leave out the level measurements of the summary (they\n"
        "                      run on a second thread; this saves that work)\n"
        "\n"
        "Targets:\n"
        "  --loudness LUFS     find the Drive that gives this integrated loudness\n"
        "                      (-70 to 0), within 0.1 LU\n"
        "  --true-peak DBTP    keep the output's true peak at or below this ceiling\n"
        "                      (-60 to 0) by lowering Output just enough; with\n"
        "                      --loudness, Drive and Output are found together\n"
        "  --best-effort       when a target cannot be met, write the closest result\n"
        "                      anyway (the exit status still says it was missed)\n"
        "  The search renders the file several times (usually 2 to 5), in memory,\n"
        "  and writes OUT once it has chosen. Only Drive and Output change; the\n"
        "  preset and --set values apply as usual, and the Output given is the\n"
        "  highest one used. AutoOut must be off. A target that cannot be met (the\n"
        "  drive at its end, a ceiling below the Output range, a silent file) ends\n"
        "  with the reason, exit status 1 and no output.\n"
        "\n"
        "Batches:\n"
        "  --output-dir DIR    render every IN into DIR (created if missing), keeping\n"
        "                      the names; the format from --format or each input's\n"
        "                      extension\n"
        "  --format EXT        wav, flac, aiff, ogg, w64 or caf for the outputs of a batch\n"
        "  -j N, --jobs N      files rendered at a time (default: the number of cores),\n"
        "                      each with a module instance of its own\n"
        "  --album             one Drive and Output for all files: the loudness of the\n"
        "                      whole album on target, every file under the ceiling\n"
        "  A file that fails is reported and the others go on; the exit status is 0\n"
        "  only when every file succeeded. No output may be an input.\n"
        "\n"
        "Reports:\n"
        "  --json FILE|-       the summary as JSON (to standard output for -, the text\n"
        "                      then goes to standard error)\n"
        "  --plot PATH         a 1600 x 600 PNG of the short-term loudness and true\n"
        "                      peaks of input and output and the gain reduction over\n"
        "                      time: PATH.png for one file, or a folder that gets one\n"
        "                      PNG per output, named after it (made if missing)\n"
        "\n"
        "Output word length: integer samples (16, 24, 32i) are rounded to the\n"
        "nearest step of the file's word length and clipped at full scale, so output\n"
        "the module has requantized to that word length (Quantize on, Bits equal to\n"
        "--bits) is written unchanged. With Quantize off, a 16-bit file gets the\n"
        "module's output rounded without dither: --set Quantize=on --set Bits=16\n"
        "lets the module dither it. kavtamor says so on standard error, and says\n"
        "when the module's Bits differs from the file's word length.\n"
        "\n"
        "Summary: sample peak, true peak (the higher of libebur128's 4x estimate and\n"
        "8 points per sample interval, refined), integrated loudness and loudness\n"
        "range of input and output; the deepest gain reduction; the speed as a\n"
        "multiple of real time, counting the module's processing calls only. The\n"
        "output figures are those of the latency-aligned output, also with\n"
        "--keep-latency.\n"
        "The deepest gain reduction is measured, not asked of the module (its\n"
        "interface reports none): over windows of 1024 samples of the aligned\n"
        "signals, the lowest ratio of output peak to input peak x Drive x Output,\n"
        "among windows whose driven input peak reaches -6 dBFS. The Leveller and\n"
        "AutoOut change levels too and show up in this figure.\n",
        kSettingsHelp, kOutputBitsHelp);
}

void printLevels(std::FILE* out, const char* what, const LevelFigures& figures) {
    std::fprintf(out,
                 "%-7s sample peak %7.2f dBFS   true peak %7.2f dBTP   loudness %7.2f LUFS"
                 "   range %5.1f LU\n",
                 what, toDb(figures.samplePeak), toDb(figures.truePeak), figures.loudness,
                 figures.loudnessRange);
}

void printSummary(std::FILE* out, const RenderOptions& options, const FileJob& file,
                  const RenderSummary& summary) {
    std::fprintf(out, "Rendered %s -> %s\n", file.input.c_str(), file.output.c_str());
    std::fprintf(out, "Audio:   %lld frame%s, %d channel%s, %d Hz (%.2f s), %d-bit processing\n",
                 summary.frames, summary.frames == 1 ? "" : "s", summary.channels,
                 summary.channels == 1 ? "" : "s", summary.sampleRate, summary.audioSeconds,
                 options.precision);
    std::fprintf(out, "Latency: %d samples, %s\n", summary.latency,
                 options.keepLatency ? "kept in the output" : "compensated");
    if (summary.analysed) {
        printLevels(out, "Input:", summary.input);
        printLevels(out, "Output:", summary.output);
        std::fprintf(out, "Deepest gain reduction: %.2f dB\n", summary.deepestReductionDb);
    }
    if (summary.processSeconds > 0.0) {
        std::fprintf(out, "Speed:   %.1fx real time (%.3f s processing for %.2f s of audio)\n",
                     summary.audioSeconds / summary.processSeconds, summary.processSeconds,
                     summary.audioSeconds);
    }
}

struct Problem {
    int status = 0;  // 2: the command line, 1: the files
    std::string message;
};

// The outputs, the plots and the report may be none of the files read, nor
// one another.
std::string clashes(const std::vector<FileJob>& files, const std::vector<std::string>& plots,
                    const std::string& json, const std::vector<std::string>& read) {
    std::vector<std::string> written;
    for (const FileJob& file : files) written.push_back(file.output);
    for (const std::string& plot : plots)
        if (!plot.empty()) written.push_back(plot);
    if (!json.empty() && json != "-") written.push_back(json);
    for (std::size_t i = 0; i < written.size(); ++i) {
        for (const std::string& input : read) {
            if (sameFile(written[i], input))
                return written[i] + " is the same file as " + input +
                       ", which this command reads; choose another output";
        }
        for (std::size_t k = 0; k < i; ++k) {
            std::error_code ignored;
            if (fs::weakly_canonical(written[i], ignored) ==
                fs::weakly_canonical(written[k], ignored))
                return written[i] + " would be written twice; give the outputs different names";
        }
    }
    return {};
}

}  // namespace

int runRenderCommand(int argc, char** argv) {
    Arguments args = Arguments::fromMain(argc, argv);
    if (args.takeFlag("help")) {
        printHelp(stdout);
        return 0;
    }
    std::optional<std::string> pluginPath = args.take("plugin");
    std::optional<std::string> bankPath = args.take("bank");
    ModuleSettings moduleSettings = takeModuleSettings(args);
    std::optional<std::string> precision = args.take("precision");
    std::optional<std::string> block = args.take("block");
    std::optional<std::string> bits = args.take("bits");
    std::optional<std::string> loudness = args.take("loudness");
    std::optional<std::string> truePeak = args.take("true-peak");
    std::optional<std::string> outputDir = args.take("output-dir");
    std::optional<std::string> formatText = args.take("format");
    std::optional<std::string> jobs = args.take("jobs");
    if (std::optional<std::string> j = args.take("j")) jobs = j;
    std::optional<std::string> jsonPath = args.take("json");
    std::optional<std::string> plotPath = args.take("plot");
    JobSettings job;
    RenderOptions& options = job.render;
    options.keepLatency = args.takeFlag("keep-latency");
    options.allowShort = args.takeFlag("allow-short");
    job.bestEffort = args.takeFlag("best-effort");
    const bool album = args.takeFlag("album");
    const bool quiet = args.takeFlag("quiet");
    const bool noLevels = args.takeFlag("no-levels");
    std::vector<std::string> positionals = args.positionals();

    auto usageError = [](const std::string& message) { return kt::usageError("render", message); };
    auto failure = [](const std::string& message) {
        std::fprintf(stderr, "kavtamor render: %s\n", message.c_str());
        return 1;
    };
    if (!args.error().empty()) return usageError(args.error());
    if (loudness) {
        job.targets.loudness = parseNumber(*loudness);
        if (!job.targets.loudness || *job.targets.loudness < -70 || *job.targets.loudness > 0)
            return usageError("--loudness takes an integrated loudness from -70 to 0 (LUFS)");
    }
    if (truePeak) {
        job.targets.truePeak = parseNumber(*truePeak);
        if (!job.targets.truePeak || *job.targets.truePeak < -60 || *job.targets.truePeak > 0)
            return usageError("--true-peak takes a ceiling from -60 to 0 (dBTP)");
    }
    if (!job.hasTargets() && (job.bestEffort || album))
        return usageError(std::string(album ? "--album" : "--best-effort") +
                          " goes with --loudness or --true-peak");
    if (noLevels && (job.hasTargets() || jsonPath || plotPath))
        return usageError(
            "--no-levels leaves out the measurements that targets, --json and "
            "--plot need");
    job.jobs =
        std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMaxParallelOutputs);
    if (jobs) {
        std::optional<long> n = parseInteger(*jobs);
        if (!n || *n < 1 || *n > kMaxParallelOutputs)
            return usageError("-j takes a number of files from 1 to " +
                              std::to_string(kMaxParallelOutputs));
        job.jobs = static_cast<int>(*n);
    }
    if (precision) {
        if (*precision == "32") {
            options.precision = 32;
        } else if (*precision != "64") {
            return usageError("--precision takes 32 or 64");
        }
    }
    if (block) {
        std::optional<long> frames = parseInteger(*block);
        if (!frames || *frames < 1 || *frames > 65536)
            return usageError("--block takes a number of frames from 1 to 65536");
        options.blockSize = static_cast<int>(*frames);
    }
    std::string error;
    if (bits) {
        std::optional<OutputBits> parsed = parseOutputBits(*bits, &error);
        if (!parsed) return usageError(error);
        options.bits = *parsed;
    }
    options.analyse = !noLevels && !(quiet && !jsonPath && !plotPath);
    job.keepTimeline = plotPath.has_value();
    job.batch = outputDir.has_value();

    // The files: IN OUT, or inputs into --output-dir.
    std::vector<FileJob> files;
    if (!outputDir) {
        if (formatText)
            return usageError(
                "--format goes with --output-dir (OUT's extension chooses the format)");
        if (positionals.size() > 2) return usageError("several inputs need --output-dir DIR");
        if (positionals.size() != 2) return usageError("expected an input and an output file");
        FileJob file{positionals[0], positionals[1], 0, {}};
        file.format = outputFormatFor(file.output, options.bits, &error);
        if (file.format == 0) return usageError(error);
        files.push_back(file);
    } else {
        if (positionals.empty()) return usageError("expected input files");
        std::string extension;
        if (formatText) {
            extension = formatText->rfind('.', 0) == 0 ? formatText->substr(1) : *formatText;
            if (outputFormatFor("x." + extension, options.bits, &error) == 0)
                return usageError("--format " + *formatText + ": " + error);
        }
        for (const std::string& input : positionals) {
            const fs::path name = fs::path(input).filename();
            FileJob file;
            file.input = input;
            fs::path output = fs::path(*outputDir) / name;
            if (!extension.empty()) output.replace_extension("." + extension);
            file.output = output.string();
            file.format = outputFormatFor(file.output, options.bits, &file.formatProblem);
            if (file.format == 0) file.formatProblem += " (--format chooses one)";
            files.push_back(file);
        }
    }
    if (album && files.size() < 1) return usageError("--album needs input files");

    // Where the plots go.
    std::vector<std::string> plots(files.size());
    bool makePlotFolder = false;
    if (plotPath) {
        std::error_code ignored;
        bool folder = fs::is_directory(*plotPath, ignored);
        // A batch's plot folder is made like its output folder.
        makePlotFolder = job.batch && !fs::exists(*plotPath, ignored);
        folder |= makePlotFolder;
        if (!folder && (job.batch || fs::path(*plotPath).extension() != ".png"))
            return usageError(job.batch ? "--plot takes a folder for a batch"
                                        : "--plot takes a .png file or a folder");
        for (std::size_t i = 0; i < files.size(); ++i) {
            plots[i] = folder ? (fs::path(*plotPath) / fs::path(files[i].output).stem())
                                    .replace_extension(".png")
                                    .string()
                              : *plotPath;
        }
    }

    const std::string module = modulePath(pluginPath);
    std::vector<std::string> read = {bankPath.value_or(""), module};
    for (const FileJob& file : files) read.push_back(file.input);
    const std::string clash = clashes(files, plots, jsonPath.value_or(""), read);
    if (!clash.empty()) return failure(clash);

    // One instance tries the settings before any file is started.
    std::FILE* text = jsonPath && *jsonPath == "-" ? stderr : stdout;
    {
        std::unique_ptr<VstPlugin> plugin = loadModuleOrReport(pluginPath);
        if (!plugin) return 1;
        plugin->host().setRecording(false);
        if (bankPath && !loadBankFile(*plugin, *bankPath, &error)) return failure(error);
        if (!applyModuleSettings(*plugin, moduleSettings, "render", !quiet, text)) return 2;
        if (job.hasTargets()) {
            const int autoOut = findParameter(*plugin, "AutoOut");
            if (autoOut >= 0 && plugin->parameterDisplay(autoOut) == "on")
                return usageError(
                    "AutoOut is on, so Output follows Drive and the search cannot "
                    "set the level; add --set AutoOut=off");
            if (!searchParameters(*plugin, &error)) return failure(error);
            const int oversample = findParameter(*plugin, "Oversample");
            if (job.targets.truePeak && oversample >= 0 &&
                plugin->parameterDisplay(oversample) == "off")
                std::fprintf(stderr,
                             "kavtamor render: note: Oversample is off, so the limiter holds the "
                             "samples and the true peaks between them rise as it works harder; "
                             "--set Oversample=on holds the true peaks, and the ceiling costs "
                             "less loudness\n");
        }
        std::vector<int> formatsSeen;
        for (const FileJob& file : files) {
            if (file.format == 0 ||
                std::find(formatsSeen.begin(), formatsSeen.end(), file.format) != formatsSeen.end())
                continue;
            formatsSeen.push_back(file.format);
            for (const std::string& note : wordLengthNotes(*plugin, file.format))
                std::fprintf(stderr, "kavtamor render: note: %s\n", note.c_str());
        }
    }
    for (const std::optional<std::string>& folder :
         {outputDir, makePlotFolder ? plotPath : std::nullopt}) {
        if (!folder) continue;
        std::error_code made;
        fs::create_directories(*folder, made);
        if (made) return failure("cannot make the folder " + *folder + ": " + made.message());
    }
    job.modulePath = module;
    job.bankPath = bankPath;
    job.settings = moduleSettings;

    std::vector<FileOutcome> outcomes;
    AlbumOutcome albumOutcome;
    {
        ProgressBoard board(quiet ? nullptr : text, !quiet && isatty(STDERR_FILENO));
        outcomes =
            album ? renderAlbum(job, files, board, &albumOutcome) : renderFiles(job, files, board);
    }

    bool allDone = true;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const FileOutcome& outcome = outcomes[i];
        for (const std::string& warning : outcome.summary.warnings)
            std::fprintf(stderr, "kavtamor render: warning: %s\n", warning.c_str());
        allDone &= outcome.status == FileOutcome::Status::kDone;
        if (job.batch || album) continue;
        if (outcome.status == FileOutcome::Status::kFailed) {
            failure(outcome.message);
        } else if (outcome.status == FileOutcome::Status::kMissed) {
            failure("cannot meet the targets for " + files[i].input + ": " + outcome.message +
                    (outcome.written ? "; the closest result was written"
                                     : "; nothing was written (--best-effort writes the closest "
                                       "result)"));
        }
        if (outcome.written && !quiet) printSummary(text, options, files[i], outcome.summary);
    }
    const RenderReport report{job, files, outcomes, album ? &albumOutcome : nullptr};
    if (!quiet && (job.batch || album)) printSummaryTable(text, report);

    for (std::size_t i = 0; i < files.size(); ++i) {
        if (plots[i].empty() || !outcomes[i].written) continue;
        if (!writeLoudnessPlot(plots[i], plotDataFor(job, files[i], outcomes[i]), &error)) {
            failure(error);
            allDone = false;
        }
    }
    if (jsonPath) {
        const std::string document = jsonReport(report);
        if (*jsonPath == "-") {
            std::fputs(document.c_str(), stdout);
            std::fflush(stdout);
        } else {
            AtomicOutput output;
            if (!output.open(*jsonPath, &error) ||
                !output.write(document.data(), document.size()) || !output.commit(&error)) {
                failure(error.empty() ? "cannot write " + *jsonPath : error);
                allDone = false;
            }
        }
    }
    return allDone ? 0 : 1;
}

}  // namespace kt
