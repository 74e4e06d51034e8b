#include "tests/cli/cli_test_support.h"

#include <sndfile.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kt::test {
namespace {

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TempDir::TempDir() {
    char pattern[] = "/tmp/kt-cli-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    root_ = made != nullptr ? made : "/tmp";
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (root_ != "/tmp") std::filesystem::remove_all(root_, ignored);
}

CommandResult runKavtamor(const std::vector<std::string>& args) {
    TempDir captured;
    std::string command = KT_KAVTAMOR_PATH;
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " >" + captured.file("out") + " 2>" + captured.file("err") + " </dev/null";
    const int status = std::system(command.c_str());
    CommandResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readText(captured.file("out"));
    result.err = readText(captured.file("err"));
    return result;
}

bool readAudio(const std::string& path, AudioFile* file) {
    SF_INFO info{};
    SNDFILE* handle = sf_open(path.c_str(), SFM_READ, &info);
    if (handle == nullptr) return false;
    file->sampleRate = info.samplerate;
    file->channels = info.channels;
    file->samples.assign(static_cast<std::size_t>(info.frames * info.channels), 0.0);
    const sf_count_t read = sf_readf_double(handle, file->samples.data(), info.frames);
    sf_close(handle);
    return read == info.frames;
}

bool writeFloatWav(const std::string& path, const AudioFile& file) {
    SF_INFO info{};
    info.samplerate = file.sampleRate;
    info.channels = file.channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* handle = sf_open(path.c_str(), SFM_WRITE, &info);
    if (handle == nullptr) return false;
    const auto frames = static_cast<sf_count_t>(file.frames());
    const bool ok = sf_writef_double(handle, file.samples.data(), frames) == frames;
    sf_close(handle);
    return ok;
}

AudioFile fromStereo(const StereoSignal& signal) {
    AudioFile file;
    file.sampleRate = signal.sampleRate;
    file.channels = 2;
    for (std::size_t i = 0; i < signal.frames(); ++i) {
        file.samples.push_back(signal.left[i]);
        file.samples.push_back(signal.right[i]);
    }
    return file;
}

std::size_t loudestFrame(const AudioFile& file, int channel) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < file.frames(); ++i) {
        if (std::fabs(file.at(i, channel)) > std::fabs(file.at(best, channel))) best = i;
    }
    return best;
}

}  // namespace kt::test
