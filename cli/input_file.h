// An audio file opened for a render: refused with a reason when it cannot be
// read, has more than two channels or (after reading) ended before its header
// said.
#pragma once

#include <sndfile.h>

#include <string>

namespace kt {

// The sample rates the module processes as they are; any other rate it
// processes as if it were 44100 Hz.
constexpr int kModuleLowestRate = 5000;
constexpr int kModuleHighestRate = 200000;

class InputFile {
  public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // False with *error set when the file cannot be read as audio or has
    // more than two channels.
    bool open(const std::string& path, std::string* error);

    const std::string& path() const { return path_; }
    const SF_INFO& info() const { return info_; }
    SNDFILE* handle() const { return handle_; }

    sf_count_t read(float* to, sf_count_t frames) { return sf_readf_float(handle_, to, frames); }
    sf_count_t read(double* to, sf_count_t frames) { return sf_readf_double(handle_, to, frames); }

    // Why `framesRead`, all the frames the file gave, fall short of it (a
    // file cut short or damaged); empty when they do not.
    std::string shortReadProblem(long long framesRead) const;
    // Said when the rate is outside the module's; empty otherwise.
    std::string rateWarning() const;

  private:
    std::string path_;
    SNDFILE* handle_ = nullptr;
    SF_INFO info_{};
    long long announced_ = -1;  // frames the header announces; -1 when unknown
};

// "1 frame", "7938000 frames".
std::string frameCount(long long frames);

}  // namespace kt
