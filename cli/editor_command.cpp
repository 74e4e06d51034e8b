// kavtamor editor: loads the module like a host, opens its editor in a top-level
// X11 window and drives it with idle calls about 30 times a second. An audio
// file can be played through the effect in real time (nothing is sent to a sound
// card) so the meters have something to show; a screenshot can be written.
#include <sndfile.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "cli/arguments.h"
#include "cli/atomic_output.h"
#include "cli/command_table.h"
#include "cli/file_checks.h"
#include "cli/module_path.h"
#include "platform/x11_host_window.h"

namespace kt {
namespace {

const char* kEditorHelp =
    "Usage: kavtamor editor [--plugin PATH] [--input FILE [--loop]]\n"
    "                       [--screenshot OUT.png --after MS]\n"
    "\n"
    "Opens the module's editor in a window of its own on the X display and keeps\n"
    "it running until the window is closed.\n"
    "\n"
    "  --plugin PATH      the module to load (default: KavTamor.so beside kavtamor)\n"
    "  --input FILE       play an audio file (mono or stereo) through the effect in\n"
    "                     real time at the file's rate; the output is discarded\n"
    "  --loop             start the file again when it ends\n"
    "  --screenshot OUT   write the window's contents to OUT (PNG) and exit ...\n"
    "  --after MS         ... this many milliseconds after the editor opened (default 500)\n";

constexpr int kIdleIntervalMs = 33;  // about 30 idle calls a second
constexpr int kBlockFrames = 512;

using Clock = std::chrono::steady_clock;

// Feeds a sound file through the effect at the pace of the clock.
class RealTimePlayer {
  public:
    ~RealTimePlayer() {
        if (file) sf_close(file);
    }

    bool open(const std::string& path, VstPlugin& plugin, bool loop) {
        const std::string problem = inputFileProblem(path);
        if (!problem.empty()) {
            std::fprintf(stderr, "kavtamor editor: %s\n", problem.c_str());
            return false;
        }
        SF_INFO info{};
        file = sf_open(path.c_str(), SFM_READ, &info);
        if (!file) {
            std::fprintf(stderr, "kavtamor editor: cannot read %s: %s\n", path.c_str(),
                         sf_strerror(nullptr));
            return false;
        }
        if (info.channels < 1 || info.channels > 2 || info.samplerate < 5000 ||
            info.samplerate > 200000) {
            std::fprintf(stderr,
                         "kavtamor editor: %s: need a mono or stereo file at 5000 to 200000 Hz\n",
                         path.c_str());
            return false;
        }
        channels = info.channels;
        rate = info.samplerate;
        looping = loop;
        effect = &plugin;
        interleaved.resize(static_cast<size_t>(kBlockFrames * channels));
        for (auto& c : in) c.resize(kBlockFrames);
        for (auto& c : out) c.resize(kBlockFrames);
        plugin.setSampleRate(static_cast<float>(rate));
        plugin.setBlockSize(kBlockFrames);
        plugin.setMainsOn(true);
        start = Clock::now();
        return true;
    }

    // Processes the frames that are due by now.
    void catchUp() {
        if (!file || finished) return;
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        const auto due = static_cast<long long>(elapsed * rate);
        while (processed < due && !finished) {
            const int frames = static_cast<int>(std::min<long long>(kBlockFrames, due - processed));
            sf_count_t got = sf_readf_float(file, interleaved.data(), frames);
            if (got <= 0) {
                if (!looping) {
                    finished = true;
                    break;
                }
                sf_seek(file, 0, SEEK_SET);
                got = sf_readf_float(file, interleaved.data(), frames);
                if (got <= 0) {
                    finished = true;
                    break;
                }
            }
            for (sf_count_t i = 0; i < got; ++i) {
                in[0][i] = interleaved[static_cast<size_t>(i * channels)];
                in[1][i] = interleaved[static_cast<size_t>(i * channels + channels - 1)];
            }
            float* inputs[2] = {in[0].data(), in[1].data()};
            float* outputs[2] = {out[0].data(), out[1].data()};
            effect->process(inputs, outputs, static_cast<int>(got));
            processed += got;
        }
    }

  private:
    SNDFILE* file = nullptr;
    VstPlugin* effect = nullptr;
    int channels = 2;
    int rate = 44100;
    bool looping = false;
    bool finished = false;
    long long processed = 0;
    Clock::time_point start;
    std::vector<float> interleaved;
    std::vector<float> in[2], out[2];
};

int usageError(const std::string& message) {
    return kt::usageError("editor", message, kEditorHelp);
}

}  // namespace

int runEditorCommand(int argc, char** argv) {
    Arguments args = Arguments::fromMain(argc, argv);
    if (args.takeFlag("help")) {
        std::fputs(kEditorHelp, stdout);
        return 0;
    }
    const std::optional<std::string> pluginPath = args.take("plugin");
    const std::optional<std::string> input = args.take("input");
    const bool loop = args.takeFlag("loop");
    const std::optional<std::string> screenshot = args.take("screenshot");
    const std::optional<std::string> afterText = args.take("after");
    const std::vector<std::string> rest = args.positionals();
    if (!args.error().empty()) return usageError(args.error());
    if (!rest.empty()) return usageError("unexpected argument " + rest.front());
    long afterMs = 500;
    if (afterText) {
        const auto v = parseInteger(*afterText);
        if (!v || *v < 0) return usageError("--after needs a number of milliseconds");
        if (!screenshot) return usageError("--after goes with --screenshot");
        afterMs = *v;
    }

    // The picture's file is checked, and its temporary file made, before the
    // window opens; it replaces an existing file only once it is written.
    AtomicOutput picture;
    std::string error;
    if (screenshot) {
        error = overwritesInput(*screenshot, {modulePath(pluginPath), input.value_or("")});
        if (!error.empty() || !picture.open(*screenshot, &error)) {
            std::fprintf(stderr, "kavtamor editor: %s\n", error.c_str());
            return 1;
        }
    }

    std::unique_ptr<VstPlugin> plugin = loadModuleOrReport(pluginPath);
    if (!plugin) return 1;
    if (!(plugin->flags() & vst::effFlagsHasEditor)) {
        std::fprintf(stderr, "kavtamor editor: the module has no editor\n");
        return 1;
    }
    vst::ERect* rect = nullptr;
    if (!plugin->dispatch(vst::effEditGetRect, 0, 0, &rect) || !rect) {
        std::fprintf(stderr, "kavtamor editor: the module reports no editor size\n");
        return 1;
    }
    const int width = rect->right - rect->left, height = rect->bottom - rect->top;

    RealTimePlayer player;
    // A long session must not keep a record of every block's host calls.
    plugin->host().setRecording(false);
    if (input && !player.open(*input, *plugin, loop)) return 1;

    auto window = X11HostWindow::create(width, height, "Kav Tamor");
    if (!window) {
        std::fprintf(stderr, "kavtamor editor: cannot open the X display (is DISPLAY set?)\n");
        return 1;
    }
    if (!plugin->dispatch(vst::effEditOpen, 0, 0, window->windowId())) {
        std::fprintf(stderr, "kavtamor editor: the module could not open its editor\n");
        return 1;
    }

    int status = 0;
    const auto opened = Clock::now();
    auto nextIdle = opened;
    while (window->pumpEvents()) {
        player.catchUp();
        plugin->dispatch(vst::effEditIdle);
        if (screenshot && Clock::now() - opened >= std::chrono::milliseconds(afterMs)) {
            if (!window->saveScreenshot(picture.temporaryPath().c_str())) {
                std::fprintf(stderr, "kavtamor editor: cannot write %s\n", screenshot->c_str());
                status = 1;
            } else if (!picture.commit(&error)) {
                std::fprintf(stderr, "kavtamor editor: %s\n", error.c_str());
                status = 1;
            }
            break;
        }
        nextIdle += std::chrono::milliseconds(kIdleIntervalMs);
        const auto now = Clock::now();
        if (nextIdle < now) nextIdle = now;
        std::this_thread::sleep_until(nextIdle);
    }
    plugin->dispatch(vst::effEditClose);
    window.reset();
    plugin->close();
    return status;
}

}  // namespace kt
