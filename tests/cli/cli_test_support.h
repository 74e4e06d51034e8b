// Running kavtamor, and reading and writing small audio files.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/demo_material.h"
#include "tests/support/command.h"
#include "tests/support/temp_config.h"

namespace kt::test {

struct AudioFile {
    int sampleRate = 0;
    int channels = 0;
    std::vector<double> samples;  // interleaved
    std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
    double at(std::size_t frame, int channel) const { return samples[frame * channels + channel]; }
};

bool readAudio(const std::string& path, AudioFile* file);
// 32-bit float WAV, so values survive exactly.
bool writeFloatWav(const std::string& path, const AudioFile& file);
AudioFile fromStereo(const StereoSignal& signal);

// The frame of the largest magnitude in a channel.
std::size_t loudestFrame(const AudioFile& file, int channel);

// Seeded material peaking at -1 dBFS: dense (crest about 6 dB) or sparse (about 20 dB).
enum class Crest { kDense, kSparse };
AudioFile generatedMaterial(Crest crest, double seconds, int channels, int sampleRate = 44100);

// Loudness (LUFS) of files as one programme and their highest true peak (dBTP), by libebur128.
struct Levels {
    double loudness = 0.0;
    double truePeak = 0.0;
};
Levels measureLevels(const std::vector<const AudioFile*>& files);

// kavtamor render on the module under test, in a folder and a preferences
// store of the test's own.
class RenderFixture : public ::testing::Test {
  protected:
    CommandResult render(std::vector<std::string> args) {
        args.insert(args.begin(), {"render", "--plugin", KT_MODULE_PATH});
        return runKavtamor(args);
    }
    std::string write(const std::string& name, const AudioFile& file) {
        const std::string path = dir.file(name);
        EXPECT_TRUE(writeFloatWav(path, file));
        return path;
    }
    AudioFile read(const std::string& path) {
        AudioFile file;
        EXPECT_TRUE(readAudio(path, &file)) << path;
        return file;
    }

    TempConfig config;
    TempDir dir;
};

}  // namespace kt::test
