// kavtamor demo-material: writes the synthesised demo excerpt.
#include <cstdio>

#include "cli/arguments.h"
#include "cli/command_table.h"
#include "cli/demo_material.h"
#include "cli/output_format.h"

namespace kt {
namespace {

const char* kDemoHelp =
    "Usage: kavtamor demo-material [--float] [--seconds S] OUT\n"
    "\n"
    "Writes the demo excerpt: 8 seconds of a synthesised stereo mix at 44.1 kHz\n"
    "(kick and snare, bass, chords, hats), peaking at -0.5 dBFS. The samples are\n"
    "the same on every run. OUT's extension chooses the format (.wav, .flac,\n"
    ".aiff, .ogg, .w64, .caf); the samples are 24-bit integers, rounded to\n"
    "nearest, or 32-bit float with --float (not in FLAC). An existing OUT is\n"
    "replaced only by the complete excerpt.\n"
    "--seconds makes a longer or shorter excerpt (0.5 to 3600; default 8), for\n"
    "example to time long renders.\n";

}  // namespace

int runDemoMaterialCommand(int argc, char** argv) {
    Arguments args = Arguments::fromMain(argc, argv);
    if (args.takeFlag("help")) {
        std::fputs(kDemoHelp, stdout);
        return 0;
    }
    const bool floatSamples = args.takeFlag("float");
    std::optional<std::string> secondsText = args.take("seconds");
    std::vector<std::string> files = args.positionals();
    if (!args.error().empty() || files.size() != 1)
        return usageError("demo-material",
                          args.error().empty() ? "expected one output file" : args.error(),
                          kDemoHelp);
    double seconds = kDemoSeconds;
    if (secondsText) {
        std::optional<double> s = parseNumber(*secondsText);
        if (!s || !(*s >= 0.5 && *s <= 3600)) {
            std::fprintf(stderr, "kavtamor demo-material: --seconds takes 0.5 to 3600\n");
            return 2;
        }
        seconds = *s;
    }
    std::string error;
    const int format =
        outputFormatFor(files[0], floatSamples ? OutputBits::k32Float : OutputBits::k24, &error);
    if (format == 0) {
        std::fprintf(stderr, "kavtamor demo-material: %s\n", error.c_str());
        return 2;
    }
    if (!writeStereoFile(files[0], generateDemoMaterial(44100, seconds), format, &error)) {
        std::fprintf(stderr, "kavtamor demo-material: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace kt
