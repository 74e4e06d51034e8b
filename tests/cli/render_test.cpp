// kavtamor end to end: render, the demo excerpt, bench, help and info.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "tests/cli/cli_test_support.h"

namespace kt::test {
namespace {

constexpr int kLatency = 159;  // at 44.1 kHz

class RenderTest : public RenderFixture {
  protected:
    // Two seconds of silence with one impulse per channel.
    std::string impulseFile() {
        AudioFile file;
        file.sampleRate = 44100;
        file.channels = 2;
        file.samples.assign(2 * 88200, 0.0);
        file.samples[2 * 10000] = 0.5;
        file.samples[2 * 20000 + 1] = -0.25;
        return write("impulse.wav", file);
    }

    std::string demoFile(double seconds) {
        return write("demo.wav", fromStereo(generateDemoMaterial(44100, seconds)));
    }
};

// The latency is compensated unless asked to keep it.
TEST_F(RenderTest, ImpulseComesOutWhereItWentIn) {
    const std::string in = impulseFile();
    for (bool keep : {false, true}) {
        std::vector<std::string> args = {"--bits", "32f", in, dir.file("out.wav")};
        if (keep) args.insert(args.begin(), "--keep-latency");
        const CommandResult result = render(args);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const AudioFile out = read(dir.file("out.wav"));
        EXPECT_EQ(out.frames(), 88200u);
        EXPECT_EQ(out.channels, 2);
        EXPECT_EQ(loudestFrame(out, 0), 10000u + (keep ? kLatency : 0));
        EXPECT_EQ(loudestFrame(out, 1), 20000u + (keep ? kLatency : 0));
        EXPECT_NEAR(out.at(10000 + (keep ? kLatency : 0), 0), 0.5, 0.01);
        EXPECT_EQ(result.out.find("Latency: 159 samples, compensated") != std::string::npos, !keep);
    }
}

TEST_F(RenderTest, PresetByNumberOrNameAndSetsAreApplied) {
    const std::string in = demoFile(1.0);
    const CommandResult byName =
        render({"--bits", "32f", "--preset", "limiter fast", in, dir.file("name.wav")});
    ASSERT_EQ(byName.exitCode, 0) << byName.err;
    EXPECT_NE(byName.out.find("Preset:  3 \"Limiter Fast\""), std::string::npos) << byName.out;
    ASSERT_EQ(render({"--bits", "32f", "--preset", "3", "--set", "Drive=v=0.625", "--quiet", in,
                      dir.file("number.wav")})
                  .exitCode,
              0);
    EXPECT_TRUE(read(dir.file("name.wav")).samples == read(dir.file("number.wav")).samples);
}

TEST_F(RenderTest, MonoStaysMonoAndOtherFormatsWork) {
    AudioFile mono;
    mono.sampleRate = 48000;
    mono.channels = 1;
    for (int i = 0; i < 48000; ++i) mono.samples.push_back(0.3 * std::sin(0.01 * i));
    ASSERT_TRUE(writeFloatWav(dir.file("mono.wav"), mono));
    const CommandResult result =
        render({"--bits", "16", dir.file("mono.wav"), dir.file("mono.flac")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const AudioFile out = read(dir.file("mono.flac"));
    EXPECT_EQ(out.channels, 1);
    EXPECT_EQ(out.sampleRate, 48000);
    ASSERT_EQ(out.frames(), 48000u);
    EXPECT_NEAR(out.at(12345, 0), mono.at(12345, 0), 1e-3);

    ASSERT_EQ(render({"--quiet", dir.file("mono.flac"), dir.file("mono.aiff")}).exitCode, 0);
    EXPECT_EQ(read(dir.file("mono.aiff")).frames(), 48000u);
}

TEST_F(RenderTest, IntegerOutputIsRoundedToTheNearestStep) {
    // A slow ramp across a few 16-bit steps: every fraction of a step occurs.
    AudioFile ramp;
    ramp.sampleRate = 44100;
    ramp.channels = 1;
    for (int i = 0; i < 44100; ++i) ramp.samples.push_back(-0.001 + 0.002 * i / 44100.0);
    ASSERT_TRUE(writeFloatWav(dir.file("ramp.wav"), ramp));
    auto renderAs = [&](const char* bits, std::vector<std::string> sets) {
        const std::string out = dir.file(std::string("ramp") + bits + ".wav");
        sets.insert(sets.end(), {"--quiet", "--bits", bits, dir.file("ramp.wav"), out});
        EXPECT_EQ(render(sets).exitCode, 0) << bits;
        return read(out);
    };
    const AudioFile exact = renderAs("32f", {});
    for (const auto& [bits, steps] : {std::pair{"16", 32768.0}, std::pair{"24", 8388608.0}}) {
        const AudioFile rounded = renderAs(bits, {});
        ASSERT_EQ(rounded.samples.size(), exact.samples.size());
        double largest = 0.0;
        for (std::size_t i = 0; i < exact.samples.size(); ++i)
            largest = std::max(largest, std::fabs(rounded.samples[i] - exact.samples[i]) * steps);
        EXPECT_LE(largest, 0.5 + 1e-3) << bits << " bits";
    }
    // Output the module has requantized to 16 bits is written unchanged.
    const std::vector<std::string> requantized = {"--set", "Quantize=on", "--set", "Bits=16"};
    EXPECT_TRUE(renderAs("16", requantized).samples == renderAs("32f", requantized).samples);
}

TEST_F(RenderTest, InputTheModuleCannotTakeAsItIsIsNamedInAWarning) {
    AudioFile slow;
    slow.sampleRate = 4000;
    slow.channels = 1;
    slow.samples.assign(4000, 0.1);
    ASSERT_TRUE(writeFloatWav(dir.file("slow.wav"), slow));
    CommandResult result = render({"--quiet", dir.file("slow.wav"), dir.file("slow out.wav")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("4000 Hz, outside the module's 5000 to 200000 Hz"), std::string::npos)
        << result.err;

    // A file cut short: with --allow-short, what could be read is written.
    const std::string whole = impulseFile();
    std::filesystem::resize_file(whole, std::filesystem::file_size(whole) / 2);
    result = render({"--quiet", "--allow-short", whole, dir.file("short.wav")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("announces 88200 frames"), std::string::npos) << result.err;
    EXPECT_NEAR(static_cast<double>(read(dir.file("short.wav")).frames()), 44100.0, 10.0);
}

TEST_F(RenderTest, EveryCommandHasHelp) {
    const CommandResult top = runKavtamor({"--help"});
    ASSERT_EQ(top.exitCode, 0);
    EXPECT_NE(runKavtamor({"--version"}).out.find("kavtamor 1.5.1"), std::string::npos);
    for (const char* command : {"info", "presets", "render", "bench", "demo-material"}) {
        EXPECT_NE(top.out.find(command), std::string::npos) << command;
        const CommandResult help = runKavtamor({command, "--help"});
        EXPECT_EQ(help.exitCode, 0) << command;
        EXPECT_NE(help.out.find("Usage: kavtamor"), std::string::npos) << command;
    }
}

TEST_F(RenderTest, InfoAndPresetsDescribeTheModule) {
    const CommandResult info = runKavtamor({"info", "--plugin", KT_MODULE_PATH});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("4145 (HasEditor, CanReplacing, ProgramChunks, CanDoubleReplacing)"),
              std::string::npos)
        << info.out;
    EXPECT_NE(info.out.find("   25  resvd-vid"), std::string::npos) << info.out;
    const CommandResult presets = runKavtamor({"presets", "--plugin", KT_MODULE_PATH});
    ASSERT_EQ(presets.exitCode, 0) << presets.err;
    EXPECT_NE(presets.out.find(" 26  DVD Master 2 [recon]"), std::string::npos) << presets.out;
}

TEST(DemoMaterialTest, IsDeterministicWithItsPeakWhereSaid) {
    const StereoSignal a = generateDemoMaterial();
    const StereoSignal b = generateDemoMaterial();
    ASSERT_EQ(a.frames(), static_cast<std::size_t>(kDemoSeconds * 44100));
    EXPECT_TRUE(a.left == b.left && a.right == b.right);

    double peak = 0.0;
    for (std::size_t i = 0; i < a.frames(); ++i)
        peak = std::max({peak, std::fabs(a.left[i]), std::fabs(a.right[i])});
    EXPECT_NEAR(peak, kDemoPeak, 1e-12);
}

TEST(DemoMaterialTest, CommandWritesTheExcerpt) {
    TempDir dir;
    const CommandResult result = runKavtamor({"demo-material", "--float", dir.file("demo.wav")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    AudioFile file;
    ASSERT_TRUE(readAudio(dir.file("demo.wav"), &file));
    EXPECT_EQ(file.channels, 2);
    EXPECT_EQ(file.sampleRate, 44100);
    const StereoSignal signal = generateDemoMaterial();
    ASSERT_EQ(file.frames(), signal.frames());
    EXPECT_FLOAT_EQ(static_cast<float>(file.at(5000, 1)), static_cast<float>(signal.right[5000]));
}

TEST(BenchCommandTest, TimesTheModuleAndAnother) {
    TempConfig config;
    const CommandResult result = runKavtamor({"bench", "--plugin", KT_MODULE_PATH, "--seconds",
                                              "0.5", "--preset", "3", "--against", KT_MODULE_PATH});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("ns per stereo frame"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Ratio: Kav Tamor takes"), std::string::npos) << result.out;

    const CommandResult notShell =
        runKavtamor({"bench", "--plugin", KT_MODULE_PATH, "--seconds", "0.5", "--against",
                     std::string(KT_MODULE_PATH) + ":Limiter"});
    EXPECT_NE(notShell.exitCode, 0);
    EXPECT_NE(notShell.err.find("not a shell module"), std::string::npos) << notShell.err;
}

}  // namespace
}  // namespace kt::test
