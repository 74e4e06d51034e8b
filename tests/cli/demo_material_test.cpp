// The synthesised demo excerpt.
#include "cli/demo_material.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>

#include "tests/cli/cli_test_support.h"
#include "tests/support/temp_config.h"

namespace kt {
namespace {

TEST(DemoMaterialTest, IsDeterministicStereoWithTransientsAndPeaksWhereSaid) {
    const StereoSignal a = generateDemoMaterial();
    const StereoSignal b = generateDemoMaterial();
    ASSERT_EQ(a.frames(), static_cast<std::size_t>(kDemoSeconds * 44100));
    EXPECT_TRUE(a.left == b.left && a.right == b.right);

    double peak = 0.0, difference = 0.0, energy = 0.0, left = 0.0;
    for (std::size_t i = 0; i < a.frames(); ++i) {
        peak = std::max({peak, std::fabs(a.left[i]), std::fabs(a.right[i])});
        difference += (a.left[i] - a.right[i]) * (a.left[i] - a.right[i]);
        energy += a.left[i] * a.left[i] + a.right[i] * a.right[i];
        left += a.left[i] * a.left[i];
    }
    EXPECT_NEAR(peak, kDemoPeak, 1e-12);
    // Wide but not two unrelated channels: the side carries a few percent of the energy.
    EXPECT_GT(difference / energy, 0.005);
    EXPECT_LT(difference / energy, 0.5);
    // A mix-like crest factor: peaks well above the average, as drums make them.
    const double crestDb = 20.0 * std::log10(kDemoPeak / std::sqrt(left / a.frames()));
    EXPECT_GT(crestDb, 9.0);
    EXPECT_LT(crestDb, 20.0);
}

TEST(DemoMaterialTest, CommandWritesTheExcerpt) {
    test::TempDir dir;
    const test::CommandResult result =
        test::runKavtamor({"demo-material", "--float", dir.file("demo.wav")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    test::AudioFile file;
    ASSERT_TRUE(test::readAudio(dir.file("demo.wav"), &file));
    EXPECT_EQ(file.channels, 2);
    EXPECT_EQ(file.sampleRate, 44100);
    const StereoSignal signal = generateDemoMaterial();
    ASSERT_EQ(file.frames(), signal.frames());
    EXPECT_FLOAT_EQ(static_cast<float>(file.at(5000, 1)), static_cast<float>(signal.right[5000]));

    // The extension chooses the format.
    ASSERT_EQ(
        test::runKavtamor({"demo-material", "--seconds", "0.5", dir.file("demo.flac")}).exitCode,
        0);
    SF_INFO info{};
    SNDFILE* flac = sf_open(dir.file("demo.flac").c_str(), SFM_READ, &info);
    ASSERT_NE(flac, nullptr);
    sf_close(flac);
    EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_FLAC);
}

TEST(BenchCommandTest, TimesTheModuleAndAnother) {
    test::TempConfig config;
    const test::CommandResult result =
        test::runKavtamor({"bench", "--plugin", KT_MODULE_PATH, "--seconds", "0.5", "--preset", "3",
                           "--against", KT_MODULE_PATH});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("ns per stereo frame"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Ratio: Kav Tamor takes"), std::string::npos) << result.out;

    const test::CommandResult notShell =
        test::runKavtamor({"bench", "--plugin", KT_MODULE_PATH, "--seconds", "0.5", "--against",
                           std::string(KT_MODULE_PATH) + ":Limiter"});
    EXPECT_NE(notShell.exitCode, 0);
    EXPECT_NE(notShell.err.find("not a shell module"), std::string::npos) << notShell.err;
}

}  // namespace
}  // namespace kt
