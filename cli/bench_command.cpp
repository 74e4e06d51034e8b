// kavtamor bench: the module's processing speed on generated material, and
// optionally another VST 2.4 module's, timed the same way in the same run.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "cli/arguments.h"
#include "cli/command_table.h"
#include "cli/demo_material.h"
#include "cli/module_path.h"
#include "cli/render_settings.h"

namespace kt {
namespace {

constexpr int kRate = 44100;

void printHelp(std::FILE* out) {
    std::fprintf(
        out,
        "Usage: kavtamor bench [OPTIONS]\n"
        "\n"
        "Times the module on the demo excerpt (a loud stereo mix, 44.1 kHz) looped to\n"
        "the requested length, in blocks of 512 frames, double precision, and prints\n"
        "nanoseconds per stereo frame and the multiple of real time. Only the\n"
        "processing calls are timed; one second is processed first to warm up.\n"
        "\n"
        "Options:\n"
        "  --plugin PATH         the module to time (default: KavTamor.so beside kavtamor)\n"
        "%s"
        "  --seconds S           audio to process per module (default 30)\n"
        "  --block N             frames per call (default 512)\n"
        "  --precision 32|64     (default 64; a module without double precision\n"
        "                        is timed in 32)\n"
        "  --against PATH[:NAME] also time another VST 2.4 module (its own defaults)\n"
        "                        and print the ratio; NAME picks an effect of a shell\n"
        "                        module by name (case-insensitive substring)\n"
        "  --against-set NAME=VALUE  set a parameter of the other module, the way\n"
        "                        --set does for this one (repeatable)\n",
        kSettingsHelp);
}

struct Timing {
    double nsPerFrame = 0;
    double realTime = 0;
    int precision = 64;
};

template <typename Sample>
Timing timeModule(const VstPlugin& plugin, const StereoSignal& material, double seconds,
                  int block) {
    const std::size_t length = material.frames();
    // The material as the sample type, with one block of wrap-around so any
    // block can be read in place.
    std::vector<std::vector<Sample>> source(2, std::vector<Sample>(length + block));
    for (std::size_t i = 0; i < length + block; ++i) {
        source[0][i] = static_cast<Sample>(material.left[i % length]);
        source[1][i] = static_cast<Sample>(material.right[i % length]);
    }
    const int inputCount = std::max(2, plugin.numInputs());
    const int outputCount = std::max(2, plugin.numOutputs());
    std::vector<std::vector<Sample>> silence(inputCount, std::vector<Sample>(block));
    std::vector<std::vector<Sample>> outputs(outputCount, std::vector<Sample>(block));
    std::vector<Sample*> in(inputCount), out(outputCount);
    for (int c = 0; c < outputCount; ++c) out[c] = outputs[c].data();
    for (int c = 2; c < inputCount; ++c) in[c] = silence[c].data();

    plugin.host().setRecording(false);
    plugin.setSampleRate(static_cast<float>(kRate));
    plugin.setBlockSize(block);
    plugin.setMainsOn(true);
    plugin.dispatch(vst::effStartProcess);

    std::size_t position = 0;
    auto run = [&](long long frames) {
        for (long long done = 0; done < frames; done += block) {
            in[0] = source[0].data() + position;
            in[1] = source[1].data() + position;
            if constexpr (std::is_same_v<Sample, double>) {
                plugin.processDouble(in.data(), out.data(), block);
            } else {
                plugin.process(in.data(), out.data(), block);
            }
            position = (position + block) % length;
        }
    };
    run(kRate);  // warm-up
    const long long frames = static_cast<long long>(seconds * kRate) / block * block;
    const auto started = std::chrono::steady_clock::now();
    run(frames);
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    plugin.dispatch(vst::effStopProcess);
    plugin.setMainsOn(false);
    Timing timing;
    timing.precision = std::is_same_v<Sample, double> ? 64 : 32;
    timing.nsPerFrame = elapsed * 1e9 / static_cast<double>(frames);
    timing.realTime = static_cast<double>(frames) / kRate / elapsed;
    return timing;
}

Timing timeWithPrecision(const VstPlugin& plugin, const StereoSignal& material, double seconds,
                         int block, int precision) {
    if (precision == 64 && plugin.canDoubleReplacing())
        return timeModule<double>(plugin, material, seconds, block);
    return timeModule<float>(plugin, material, seconds, block);
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Loads PATH, or effect NAME of the shell module PATH.
std::unique_ptr<VstPlugin> loadAgainst(const std::string& target) {
    std::string path = target;
    std::string name;
    const std::size_t colon = target.rfind(':');
    if (!std::filesystem::exists(target) && colon != std::string::npos) {
        path = target.substr(0, colon);
        name = target.substr(colon + 1);
    }
    if (path.empty()) {
        std::fprintf(stderr, "kavtamor bench: --against is empty; give the path of a module\n");
        return nullptr;
    }
    path = modulePath(path);
    std::string error;
    std::unique_ptr<VstPlugin> plugin = VstPlugin::load(path, &error);
    if (!plugin) {
        std::fprintf(stderr, "kavtamor bench: --against: %s\n", error.c_str());
        return nullptr;
    }
    const std::vector<VstPlugin::ShellEntry> entries = plugin->shellEntries();
    if (entries.empty()) {
        if (!name.empty()) {
            std::fprintf(stderr, "kavtamor bench: --against: %s is not a shell module; drop :%s\n",
                         path.c_str(), name.c_str());
            return nullptr;
        }
        return plugin;
    }
    const VstPlugin::ShellEntry* chosen = nullptr;
    for (const auto& entry : entries) {
        if (lower(entry.name).find(lower(name)) != std::string::npos) {
            chosen = &entry;
            break;
        }
    }
    if (chosen == nullptr || name.empty()) {
        std::fprintf(stderr, "kavtamor bench: --against: %s is a shell; name one of:\n",
                     path.c_str());
        for (const auto& entry : entries) std::fprintf(stderr, "  %s\n", entry.name.c_str());
        return nullptr;
    }
    VstPlugin::Options options;
    options.shellId = chosen->id;
    plugin.reset();
    plugin = VstPlugin::load(path, options, &error);
    if (!plugin) std::fprintf(stderr, "kavtamor bench: --against: %s\n", error.c_str());
    return plugin;
}

void printTiming(const VstPlugin& plugin, const Timing& timing) {
    std::printf("%-28s %8.1f ns per stereo frame   %8.1fx real time   (%d-bit)\n",
                plugin.identity().name.c_str(), timing.nsPerFrame, timing.realTime,
                timing.precision);
}

}  // namespace

int runBenchCommand(int argc, char** argv) {
    Arguments args = Arguments::fromMain(argc, argv);
    if (args.takeFlag("help")) {
        printHelp(stdout);
        return 0;
    }
    std::optional<std::string> pluginPath = args.take("plugin");
    ModuleSettings settings = takeModuleSettings(args);
    std::optional<std::string> secondsText = args.take("seconds");
    std::optional<std::string> blockText = args.take("block");
    std::optional<std::string> precisionText = args.take("precision");
    std::optional<std::string> against = args.take("against");
    ModuleSettings againstSettings;
    againstSettings.sets = args.takeAll("against-set");
    std::vector<std::string> rest = args.positionals();
    auto usageError = [](const std::string& message) { return kt::usageError("bench", message); };
    if (!args.error().empty()) return usageError(args.error());
    if (!rest.empty()) return usageError("no file arguments expected");
    if (!against && !againstSettings.sets.empty())
        return usageError("--against-set needs --against");
    double seconds = 30.0;
    if (secondsText) {
        std::optional<double> s = parseNumber(*secondsText);
        if (!s || !(*s >= 0.1 && *s <= 36000)) return usageError("--seconds takes 0.1 to 36000");
        seconds = *s;
    }
    int block = 512;
    if (blockText) {
        std::optional<long> b = parseInteger(*blockText);
        if (!b || *b < 1 || *b > 65536) return usageError("--block takes 1 to 65536");
        block = static_cast<int>(*b);
    }
    int precision = 64;
    if (precisionText) {
        if (*precisionText == "32") {
            precision = 32;
        } else if (*precisionText != "64") {
            return usageError("--precision takes 32 or 64");
        }
    }

    std::unique_ptr<VstPlugin> plugin = loadModuleOrReport(pluginPath);
    if (!plugin) return 1;
    if (!applyModuleSettings(*plugin, settings, "bench", true)) return 2;
    std::unique_ptr<VstPlugin> other;
    if (against) {
        other = loadAgainst(*against);
        if (!other) return 1;
        if (!applyModuleSettings(*other, againstSettings, "bench", true)) return 2;
    }

    const StereoSignal material = generateDemoMaterial(kRate);
    std::printf("Material: demo excerpt looped, %.1f s at %d Hz, blocks of %d\n", seconds, kRate,
                block);
    const Timing own = timeWithPrecision(*plugin, material, seconds, block, precision);
    printTiming(*plugin, own);
    if (other) {
        const Timing theirs = timeWithPrecision(*other, material, seconds, block, precision);
        printTiming(*other, theirs);
        std::printf("Ratio: %s takes %.2fx the time of %s per frame\n",
                    plugin->identity().name.c_str(), own.nsPerFrame / theirs.nsPerFrame,
                    other->identity().name.c_str());
    }
    return 0;
}

}  // namespace kt
