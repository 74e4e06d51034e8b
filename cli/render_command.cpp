// kavtamor render: an audio file through the limiter, with a summary.
#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "cli/arguments.h"
#include "cli/bank_file.h"
#include "cli/command_table.h"
#include "cli/file_checks.h"
#include "cli/module_path.h"
#include "cli/render.h"
#include "cli/render_settings.h"

namespace kt {
namespace {

void printHelp(std::FILE* out) {
    std::fprintf(out,
                 "Usage: kavtamor render [OPTIONS] IN OUT\n"
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
                 "Output word length: integer samples (16, 24, 32i) are rounded to the\n"
                 "nearest step of the file's word length and clipped at full scale, so output\n"
                 "the module has requantized to that word length (Quantize on, Bits equal to\n"
                 "--bits) is written unchanged. With Quantize off, a 16-bit file gets the\n"
                 "module's output rounded without dither: --set Quantize=on --set Bits=16\n"
                 "lets the module dither it. kavtamor says so on standard error, and says\n"
                 "when the module's Bits differs from the file's word length.\n"
                 "\n"
                 "Summary: sample peak, true peak (libebur128, 4x oversampled below 96 kHz) and\n"
                 "integrated loudness of input and output; the deepest gain reduction; the\n"
                 "speed as a multiple of real time, counting the module's processing calls only.\n"
                 "The output figures are those of the latency-aligned output, also with\n"
                 "--keep-latency.\n"
                 "The deepest gain reduction is measured, not asked of the module (its\n"
                 "interface reports none): over windows of 1024 samples of the aligned\n"
                 "signals, the lowest ratio of output peak to input peak x Drive x Output,\n"
                 "among windows whose driven input peak reaches -6 dBFS. The Leveller and\n"
                 "AutoOut change levels too and show up in this figure.\n",
                 kSettingsHelp, kOutputBitsHelp);
}

double toDb(double linear) {
    return linear > 0.0 ? 20.0 * std::log10(linear) : -INFINITY;
}

void printLevels(const char* what, const LevelFigures& figures) {
    std::printf("%-7s sample peak %7.2f dBFS   true peak %7.2f dBTP   loudness %7.2f LUFS\n", what,
                toDb(figures.samplePeak), toDb(figures.truePeak), figures.loudness);
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
    ModuleSettings settings = takeModuleSettings(args);
    std::optional<std::string> precision = args.take("precision");
    std::optional<std::string> block = args.take("block");
    std::optional<std::string> bits = args.take("bits");
    RenderOptions options;
    options.keepLatency = args.takeFlag("keep-latency");
    options.allowShort = args.takeFlag("allow-short");
    const bool quiet = args.takeFlag("quiet");
    options.analyse = !args.takeFlag("no-levels") && !quiet;
    std::vector<std::string> files = args.positionals();

    auto usageError = [](const std::string& message) {
        std::fprintf(stderr, "kavtamor render: %s\n(see 'kavtamor render --help')\n",
                     message.c_str());
        return 2;
    };
    if (!args.error().empty()) return usageError(args.error());
    if (files.size() != 2) return usageError("expected an input and an output file");
    options.inputPath = files[0];
    options.outputPath = files[1];
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
    const int format = outputFormatFor(options.outputPath, options.bits, &error);
    if (format == 0) return usageError(error);

    auto failure = [](const std::string& message) {
        std::fprintf(stderr, "kavtamor render: %s\n", message.c_str());
        return 1;
    };
    const std::string module = modulePath(pluginPath);
    const std::string overwrite =
        overwritesInput(options.outputPath, {options.inputPath, bankPath.value_or(""), module});
    if (!overwrite.empty()) return failure(overwrite);

    std::unique_ptr<VstPlugin> plugin = loadModuleOrReport(pluginPath);
    if (!plugin) return 1;
    if (bankPath && !loadBankFile(*plugin, *bankPath, &error)) return failure(error);
    if (!applyModuleSettings(*plugin, settings, "render", !quiet)) return 2;
    options.expectedGain = expectedGain(*plugin);
    options.progress = !quiet && isatty(STDERR_FILENO);
    for (const std::string& note : wordLengthNotes(*plugin, format))
        std::fprintf(stderr, "kavtamor render: note: %s\n", note.c_str());

    RenderSummary summary;
    if (!renderFile(*plugin, options, &summary, &error)) return failure(error);
    for (const std::string& warning : summary.warnings)
        std::fprintf(stderr, "kavtamor render: warning: %s\n", warning.c_str());
    if (quiet) return 0;
    std::printf("Rendered %s -> %s\n", options.inputPath.c_str(), options.outputPath.c_str());
    std::printf("Audio:   %lld frame%s, %d channel%s, %d Hz (%.2f s), %d-bit processing\n",
                summary.frames, summary.frames == 1 ? "" : "s", summary.channels,
                summary.channels == 1 ? "" : "s", summary.sampleRate, summary.audioSeconds,
                options.precision);
    std::printf("Latency: %d samples, %s\n", summary.latency,
                options.keepLatency ? "kept in the output" : "compensated");
    if (summary.analysed) {
        printLevels("Input:", summary.input);
        printLevels("Output:", summary.output);
        std::printf("Deepest gain reduction: %.2f dB\n", summary.deepestReductionDb);
    }
    if (summary.processSeconds > 0.0) {
        std::printf("Speed:   %.1fx real time (%.3f s processing for %.2f s of audio)\n",
                    summary.audioSeconds / summary.processSeconds, summary.processSeconds,
                    summary.audioSeconds);
    }
    return 0;
}

}  // namespace kt
