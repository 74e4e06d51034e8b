// Where a render's output frames go: a sound file (SampleWriter) or memory
// (SampleStore). Integer formats get each sample rounded to the nearest step
// of the file's word length and clipped to its range here, since
// libsndfile's own conversion truncates; a value already on that grid, as
// the module's requantizer leaves it, is written unchanged. Float and lossy
// formats get the samples as they are.
#pragma once

#include <sndfile.h>

#include <string>
#include <vector>

namespace kt {

// Opens path for writing in info's format, without the PEAK chunk libsndfile
// adds to float files: its time stamp would make two renders of the same
// audio differ in bytes.
SNDFILE* openForWriting(const std::string& path, SF_INFO* info);

class RenderSink {
  public:
    virtual ~RenderSink() = default;
    // False when the frames could not be taken (a full disk).
    virtual bool write(const float* frames, int count) = 0;
    virtual bool write(const double* frames, int count) = 0;
};

// Writes interleaved frames to an open sound file.
class SampleWriter : public RenderSink {
  public:
    // format: the file's libsndfile format; blocks of at most maxFrames.
    SampleWriter(SNDFILE* file, int format, int channels, int maxFrames);

    bool write(const float* frames, int count) override;
    bool write(const double* frames, int count) override;

  private:
    template <typename Sample>
    bool writeRounded(const Sample* frames, int count);

    SNDFILE* file_;
    int bits_;  // integer word length, 0 for samples written as they are
    int channels_;
    std::vector<int> words_;
};

// A render's output kept in memory in the form SampleWriter hands to
// libsndfile (rounded integer words, or single-precision floats, which is
// what libsndfile makes of doubles for float and lossy formats), so that
// writing it later gives the very bytes a direct render would. Four bytes a
// sample.
class SampleStore : public RenderSink {
  public:
    SampleStore(int format, int channels, long long expectedFrames);

    bool write(const float* frames, int count) override;
    bool write(const double* frames, int count) override;
    // Writes everything held to a file opened with the same format.
    bool writeTo(SNDFILE* file) const;

    static constexpr long long kBytesPerSample = 4;

  private:
    template <typename Sample>
    void append(const Sample* frames, int count);

    int bits_;
    int channels_;
    std::vector<int> words_;
    std::vector<float> floats_;
};

}  // namespace kt
