// Writes interleaved frames to an open sound file. Integer formats get each
// sample rounded to the nearest step of the file's word length and clipped
// to its range here, since libsndfile's own conversion truncates; a value
// already on that grid, as the module's requantizer leaves it, is written
// unchanged. Float and lossy formats get the samples as they are.
#pragma once

#include <sndfile.h>

#include <vector>

namespace kt {

class SampleWriter {
  public:
    // format: the file's libsndfile format; blocks of at most maxFrames.
    SampleWriter(SNDFILE* file, int format, int channels, int maxFrames);

    // False when the file took fewer frames than given.
    bool write(const float* frames, int count);
    bool write(const double* frames, int count);

  private:
    template <typename Sample>
    bool writeRounded(const Sample* frames, int count);

    SNDFILE* file_;
    int bits_;  // integer word length, 0 for samples written as they are
    int channels_;
    std::vector<int> words_;
};

}  // namespace kt
