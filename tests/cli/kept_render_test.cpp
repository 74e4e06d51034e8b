// A render kept in memory during a search is written with the very bytes a
// render straight into the file gives, the way taken when memory runs short.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "cli/job_support.h"
#include "tests/cli/cli_test_support.h"
#include "tests/support/temp_config.h"

namespace kt::test {
namespace {

std::string bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(KeptRenderTest, MemoryAndASecondRenderWriteTheSameBytes) {
    TempConfig config;
    TempDir dir;
    const std::string in = dir.file("in.wav");
    ASSERT_TRUE(writeFloatWav(in, fromStereo(generateDemoMaterial(44100, 2.0))));
    for (auto [name, bits] :
         {std::pair{"int24.wav", OutputBits::k24}, std::pair{"int16.flac", OutputBits::k16},
          std::pair{"float.wav", OutputBits::k32Float}}) {
        JobSettings settings;
        settings.modulePath = KT_MODULE_PATH;
        settings.settings.sets = {"Drive=+6dB", "Quantize=on", "Bits=16"};
        settings.render.bits = bits;
        std::string error;
        FileJob file{in, dir.file(name), outputFormatFor(name, bits, &error), {}};
        ASSERT_NE(file.format, 0) << error;
        std::unique_ptr<VstPlugin> plugin = loadForJob(settings, &error);
        ASSERT_TRUE(plugin) << error;
        InputFile input;
        ASSERT_TRUE(input.open(in, &error)) << error;

        KeptRender kept;
        ASSERT_TRUE(renderTrial(*plugin, settings, file, input.info(), 0, {}, &kept, &error))
            << error;
        ASSERT_TRUE(kept.store) << "memory for two seconds of audio";
        RenderSummary fromMemory, again;
        int renders = 0;
        ASSERT_TRUE(
            writeChosen(*plugin, settings, file, 0, &kept, {}, &fromMemory, &renders, &error))
            << error;
        EXPECT_EQ(renders, 0) << name;

        FileJob second = file;
        second.output = dir.file(std::string("again-") + name);
        KeptRender none;
        ASSERT_TRUE(writeChosen(*plugin, settings, second, 0, &none, {}, &again, &renders, &error))
            << error;
        EXPECT_EQ(renders, 1) << name;
        EXPECT_EQ(bytes(file.output), bytes(second.output)) << name;
        EXPECT_EQ(fromMemory.output.loudness, again.output.loudness) << name;
    }
}

}  // namespace
}  // namespace kt::test
