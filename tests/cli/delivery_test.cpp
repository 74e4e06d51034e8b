// kavtamor render to loudness and true-peak targets, measured with libebur128.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "tests/cli/cli_test_support.h"
#include "tests/support/files.h"

namespace kt::test {
namespace {

namespace fs = std::filesystem;

using DeliveryTest = RenderFixture;

TEST_F(DeliveryTest, DrivenDemoStaysWithinHalfADecibelOfTheOutputLevel) {
    const std::string in = write("demo.wav", fromStereo(generateDemoMaterial()));
    const CommandResult result =
        render({"--bits", "32f", "--set", "Transient=0", "--set", "Oversample=on", "--set",
                "Drive=+12dB", in, dir.file("out.wav")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const AudioFile out = read(dir.file("out.wav"));
    const double overshoot = measureLevels({&out}).truePeak;  // Output is 0 dBFS
    std::printf("[ figure   ] true peak above the output level: %+.3f dB\n", overshoot);
    RecordProperty("true_peak_overshoot_db", std::to_string(overshoot));
    EXPECT_LE(overshoot, 0.5);
    EXPECT_GT(overshoot, -3.0) << "the drive made the limiter work";
}

TEST_F(DeliveryTest, TargetsAreMetOnMaterialOfDifferentCrest) {
    const std::string demo = write("demo.wav", fromStereo(generateDemoMaterial(44100, 6.0)));
    const std::string sparse = write("sparse.wav", generatedMaterial(Crest::kSparse, 6.0, 2));
    const std::string mono = write("mono.wav", generatedMaterial(Crest::kSparse, 6.0, 1, 48000));
    struct Case {
        std::string input, output;
        double loudness, ceiling;  // NaN: none
        std::vector<std::string> extra;
    };
    const double none = NAN;
    const std::vector<Case> cases = {
        {demo, "demo14.wav", -14.0, -1.0, {"--set", "Oversample=on"}},
        {sparse,
         "sparse16.flac",
         -16.0,
         -1.0,
         {"--bits", "16", "--set", "Quantize=on", "--set", "Bits=16"}},
        {mono, "mono18.wav", -18.0, none, {"--set", "Oversample=on"}},
        {demo, "demo3.wav", none, -3.0, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.extra;
        if (std::isfinite(c.loudness))
            args.insert(args.end(), {"--loudness", std::to_string(c.loudness)});
        if (std::isfinite(c.ceiling))
            args.insert(args.end(), {"--true-peak", std::to_string(c.ceiling)});
        args.insert(args.end(), {c.input, dir.file(c.output)});
        const CommandResult result = render(args);
        ASSERT_EQ(result.exitCode, 0) << c.output << "\n" << result.out << result.err;
        const AudioFile out = read(dir.file(c.output));
        const Levels levels = measureLevels({&out});
        if (std::isfinite(c.loudness)) {
            EXPECT_NEAR(levels.loudness, c.loudness, 0.1) << c.output;
        }
        if (std::isfinite(c.ceiling)) {
            EXPECT_LE(levels.truePeak, c.ceiling) << c.output;
        }
    }
    // The chosen settings, given by hand, give the very same file.
    const CommandResult chosen =
        render({"--loudness", "-14", "--true-peak", "-1", demo, dir.file("again.wav")});
    double drive = 0.0, output = 0.0;
    const std::size_t line = chosen.out.find("Chosen:  Drive ");
    ASSERT_NE(line, std::string::npos) << chosen.out;
    ASSERT_EQ(std::sscanf(chosen.out.c_str() + line, "Chosen:  Drive %lf dB, Output %lf dB", &drive,
                          &output),
              2);
    char driveText[32], outputText[32];
    std::snprintf(driveText, sizeof driveText, "Drive=%+.2f", drive);
    std::snprintf(outputText, sizeof outputText, "Output=%+.2f", output);
    ASSERT_EQ(
        render({"--quiet", "--set", driveText, "--set", outputText, demo, dir.file("by-hand.wav")})
            .exitCode,
        0);
    EXPECT_EQ(readText(dir.file("by-hand.wav")), readText(dir.file("again.wav")));
}

TEST_F(DeliveryTest, UnreachableTargetsSayWhyAndWriteNothing) {
    AudioFile silence;
    silence.sampleRate = 44100;
    silence.channels = 2;
    silence.samples.assign(2 * 44100, 0.0);
    const std::string silent = write("silent.wav", silence);
    const std::string demo = write("demo.wav", fromStereo(generateDemoMaterial(44100, 4.0)));

    CommandResult result = render({"--loudness", "-14", silent, dir.file("out1.wav")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("no integrated loudness"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(dir.file("out1.wav")));

    // --best-effort writes the closest result, under the ceiling, and still fails.
    result = render(
        {"--loudness", "-2", "--true-peak", "-1", "--best-effort", demo, dir.file("out3.wav")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("the closest result was written"), std::string::npos) << result.err;
    const AudioFile closest = read(dir.file("out3.wav"));
    EXPECT_LE(measureLevels({&closest}).truePeak, -1.0);
}

TEST_F(DeliveryTest, AlbumModePutsTheWholeAlbumOnTargetWithOneSetting) {
    AudioFile quiet = fromStereo(generateDemoMaterial(44100, 4.0));
    for (double& v : quiet.samples) v *= 0.3;
    const std::vector<std::string> inputs = {
        write("loud.wav", fromStereo(generateDemoMaterial(44100, 4.0))),
        write("quiet.wav", quiet),
        write("sparse.wav", generatedMaterial(Crest::kSparse, 4.0, 2)),
        dir.file("broken.wav"),
    };
    std::ofstream(inputs.back()) << "not audio";
    std::vector<std::string> args = {
        "--album", "--loudness",    "-16",          "--true-peak",     "-1",
        "--set",   "Oversample=on", "--output-dir", dir.file("album"), "-j",
        "2"};
    args.insert(args.end(), inputs.begin(), inputs.end());
    // The broken file is reported and left out; the album is the others.
    const CommandResult result = render(args);
    EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
    EXPECT_NE(result.err.find("broken.wav: failed: cannot read"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(dir.file("album/broken.wav")));

    std::vector<AudioFile> outputs;
    for (const char* name : {"loud.wav", "quiet.wav", "sparse.wav"})
        outputs.push_back(read(dir.file("album/") + name));
    const Levels album = measureLevels({&outputs[0], &outputs[1], &outputs[2]});
    EXPECT_NEAR(album.loudness, -16.0, 0.1);
    EXPECT_LE(album.truePeak, -1.0);
    // One setting for all: the quiet song stays below the loud one.
    EXPECT_GT(measureLevels({&outputs[0]}).loudness - measureLevels({&outputs[1]}).loudness, 7.0);
    EXPECT_NE(result.out.find(" for every file"), std::string::npos) << result.out;
}

}  // namespace
}  // namespace kt::test
