// An independent check of the limiter's true-peak control: the demo excerpt
// driven 12 dB into the limiter with oversampled detection and no transient
// shaping, measured with libebur128's true-peak meter.
#include <ebur128.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "tests/cli/cli_test_support.h"
#include "tests/support/temp_config.h"

namespace kt::test {
namespace {

double truePeakDb(const AudioFile& file) {
    ebur128_state* state =
        ebur128_init(static_cast<unsigned>(file.channels),
                     static_cast<unsigned long>(file.sampleRate), EBUR128_MODE_TRUE_PEAK);
    ebur128_add_frames_double(state, file.samples.data(), file.frames());
    double peak = 0.0;
    for (int c = 0; c < file.channels; ++c) {
        double channelPeak = 0.0;
        ebur128_true_peak(state, static_cast<unsigned>(c), &channelPeak);
        peak = std::max(peak, channelPeak);
    }
    ebur128_destroy(&state);
    return 20.0 * std::log10(peak);
}

TEST(TruePeakTest, DrivenDemoStaysWithinHalfADecibelOfTheOutputLevel) {
    TempConfig config;
    TempDir dir;
    const std::string in = dir.file("demo.wav");
    ASSERT_TRUE(writeFloatWav(in, fromStereo(generateDemoMaterial())));
    const CommandResult result =
        runKavtamor({"render", "--plugin", KT_MODULE_PATH, "--bits", "32f", "--set", "Transient=0",
                     "--set", "Oversample=on", "--set", "Drive=+12dB", in, dir.file("out.wav")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    AudioFile out;
    ASSERT_TRUE(readAudio(dir.file("out.wav"), &out));

    // The output level is 0 dBFS at the default Output setting.
    const double overshoot = truePeakDb(out) - 0.0;
    std::printf("[ figure   ] true peak above the output level: %+.3f dB\n", overshoot);
    ::testing::Test::RecordProperty("true_peak_overshoot_db", std::to_string(overshoot));
    EXPECT_LE(overshoot, 0.5);
    // The drive really made the limiter work.
    EXPECT_GT(truePeakDb(out), -3.0);
}

}  // namespace
}  // namespace kt::test
