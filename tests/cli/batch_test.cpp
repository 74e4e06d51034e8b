// kavtamor render on several files: parallel runs, failures, the JSON report, the plot.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "tests/cli/cli_test_support.h"
#include "tests/support/files.h"

namespace kt::test {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> contents(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = readText(entry.path());
    return files;
}

class BatchTest : public RenderFixture {
  protected:
    // Two stereo files, a mono one, and one that is no audio.
    std::vector<std::string> inputs() {
        fs::create_directory(dir.file("in"));
        const std::string in = dir.file("in/");
        EXPECT_TRUE(writeFloatWav(in + "mix.wav", fromStereo(generateDemoMaterial(44100, 3.0))));
        EXPECT_TRUE(writeFloatWav(in + "sparse.wav", generatedMaterial(Crest::kSparse, 3.0, 2)));
        EXPECT_TRUE(writeFloatWav(in + "mono.wav", generatedMaterial(Crest::kDense, 2.0, 1)));
        std::ofstream(in + "broken.wav") << "not audio";
        return {in + "mix.wav", in + "broken.wav", in + "sparse.wav", in + "mono.wav"};
    }
};

TEST_F(BatchTest, ParallelRunsGiveTheBytesOfSingleRunsAndAFailureStopsNoOtherFile) {
    const std::vector<std::string> files = inputs();
    const auto before = contents(dir.file("in"));
    const std::vector<std::string> targets = {"--loudness", "-16",           "--true-peak", "-1",
                                              "--set",      "Oversample=on", "--format",    "flac"};
    std::vector<std::string> args = targets;
    args.insert(args.end(), {"--output-dir", dir.file("out"), "-j", "3"});
    args.insert(args.end(), files.begin(), files.end());
    const CommandResult batch = render(args);
    EXPECT_EQ(batch.exitCode, 1);
    EXPECT_NE(batch.err.find("broken.wav: failed: cannot read"), std::string::npos) << batch.err;
    // One line per file as it ends, then the table.
    for (const char* name : {"mix.wav", "sparse.wav", "mono.wav"})
        EXPECT_NE(batch.out.find(std::string(name) + ": -1"), std::string::npos) << batch.out;
    EXPECT_NE(batch.out.find("broken.wav  failed"), std::string::npos) << batch.out;

    for (const char* name : {"mix", "sparse", "mono"}) {
        std::vector<std::string> single = targets;
        single.erase(single.end() - 2, single.end());
        single.insert(single.end(),
                      {dir.file("in/") + name + ".wav", dir.file(std::string(name) + ".flac")});
        ASSERT_EQ(render(single).exitCode, 0) << name;
        EXPECT_EQ(readText(dir.file(std::string("out/") + name + ".flac")),
                  readText(dir.file(std::string(name) + ".flac")))
            << name;
    }
    EXPECT_FALSE(fs::exists(dir.file("out/broken.flac")));
    EXPECT_EQ(contents(dir.file("in")), before);

    // The input folder as the output folder: refused before anything is written.
    args = {"--output-dir", dir.file("in"), files[0], files[2]};
    const CommandResult same = render(args);
    EXPECT_EQ(same.exitCode, 1);
    EXPECT_NE(same.err.find("is the same file as"), std::string::npos) << same.err;
    EXPECT_EQ(contents(dir.file("in")), before);
}

TEST_F(BatchTest, JsonReportParsesAndHoldsTheFigures) {
    std::vector<std::string> files = inputs();
    // A silent file: no loudness, null.
    AudioFile silence;
    silence.sampleRate = 44100;
    silence.channels = 2;
    silence.samples.assign(2 * 22050, 0.0);
    ASSERT_TRUE(writeFloatWav(dir.file("in/silent.wav"), silence));
    std::vector<std::string> args = {"--true-peak", "-1", "--output-dir", dir.file("out"),
                                     "--json",      "-",  files[0],       dir.file("in/silent.wav"),
                                     files[1]};
    const CommandResult result = render(args);
    EXPECT_EQ(result.exitCode, 1);  // the broken file
    std::ofstream(dir.file("report.json")) << result.out;
    const std::string check =
        "python3 -c 'import json,sys\n"
        "d = json.load(open(sys.argv[1]))\n"
        "f = d[\"files\"]\n"
        "assert d[\"targets\"][\"true_peak_dbtp\"] == -1 and d[\"targets\"][\"loudness_lufs\"] is "
        "None\n"
        "assert f[0][\"status\"] == \"ok\" and f[0][\"written\"]\n"
        "assert f[0][\"output_levels\"][\"true_peak_dbtp\"] <= -1\n"
        "for k in (\"sample_peak_dbfs\", \"true_peak_dbtp\", \"integrated_lufs\", "
        "\"loudness_range_lu\"):\n"
        "    assert isinstance(f[0][\"input_levels\"][k], (int, float)), k\n"
        "assert f[0][\"settings\"][\"parameters\"][\"Output\"][\"unit\"] == \"dB\"\n"
        "assert f[0][\"deepest_gain_reduction_db\"] <= 0 and f[0][\"speed\"][\"real_time\"] > 0\n"
        "assert len(f[0][\"renders\"]) == f[0][\"render_count\"] >= 1\n"
        "assert f[1][\"output_levels\"][\"integrated_lufs\"] is None\n"
        "assert f[1][\"output_levels\"][\"sample_peak_dbfs\"] is None\n"
        "assert f[2][\"status\"] == \"failed\" and \"cannot read\" in f[2][\"message\"]\n"
        "' " +
        dir.file("report.json");
    EXPECT_EQ(std::system(check.c_str()), 0) << result.out;
    // The text went to standard error, the table included.
    EXPECT_NE(result.err.find("File"), std::string::npos) << result.err;
}

// How many pixels of a region are near a colour.
int countNear(cairo_surface_t* image, int x0, int y0, int x1, int y1, const int (&rgb)[3]) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            std::uint32_t p;
            std::memcpy(&p,
                        cairo_image_surface_get_data(image) +
                            y * cairo_image_surface_get_stride(image) + 4 * x,
                        4);
            count += std::abs(int(p >> 16 & 0xFF) - rgb[0]) +
                         std::abs(int(p >> 8 & 0xFF) - rgb[1]) + std::abs(int(p & 0xFF) - rgb[2]) <
                     60;
        }
    return count;
}

TEST_F(BatchTest, PlotShowsLoudnessAndGainReduction) {
    const int outputLoudness[3] = {224, 84, 31}, inputLoudness[3] = {59, 125, 217},
              reduction[3] = {179, 162, 209};
    const std::string in = dir.file("in.wav"), png = dir.file("plot.png");
    ASSERT_TRUE(writeFloatWav(in, fromStereo(generateDemoMaterial(44100, 3.0))));
    const CommandResult result = render({"--loudness", "-12", "--true-peak", "-1", "--set",
                                         "Oversample=on", "--plot", png, in, dir.file("out.wav")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    cairo_surface_t* image = cairo_image_surface_create_from_png(png.c_str());
    ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(image), 1600);
    EXPECT_EQ(cairo_image_surface_get_height(image), 600);
    cairo_surface_flush(image);
    EXPECT_GT(countNear(image, 80, 70, 1576, 420, outputLoudness), 200);
    EXPECT_GT(countNear(image, 80, 70, 1576, 420, inputLoudness), 200);
    EXPECT_GT(countNear(image, 80, 440, 1576, 552, reduction), 2000);
    cairo_surface_destroy(image);
}

}  // namespace
}  // namespace kt::test
