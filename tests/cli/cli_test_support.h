// Helpers for the command-line tests: running kavtamor, and reading and
// writing small audio files.
#pragma once

#include <string>
#include <vector>

#include "cli/demo_material.h"

namespace kt::test {

struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built kavtamor with these arguments (no shell quoting needed for
// plain paths and words; each argument is single-quoted).
CommandResult runKavtamor(const std::vector<std::string>& args);

// A fresh temporary folder, removed with the object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string file(const std::string& name) const { return root_ + "/" + name; }

  private:
    std::string root_;
};

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

// Generated material of other crest factors than the demo excerpt's
// (peak-to-loudness ratio about 13 dB), the same on every run: dense
// filtered noise with a low tone (about 6 dB), and sparse tone bursts over a
// quiet bed (about 20 dB). Peaks at -1 dBFS.
enum class Crest { kDense, kSparse };
AudioFile generatedMaterial(Crest crest, double seconds, int channels, int sampleRate = 44100);

// Integrated loudness (LUFS) of files measured together as one programme, and
// the highest true peak among them (dBTP), by libebur128.
struct Levels {
    double loudness = 0.0;
    double truePeak = 0.0;
};
Levels measureLevels(const std::vector<const AudioFile*>& files);

}  // namespace kt::test
