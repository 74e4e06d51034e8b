#include "cli/input_file.h"

#include <algorithm>
#include <cstring>

#include "cli/file_checks.h"

namespace kt {
namespace {

// Bytes per frame of an uncompressed sample format; 0 for other formats.
int frameBytes(const SF_INFO& info) {
    switch (info.format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8:
        case SF_FORMAT_ULAW:
        case SF_FORMAT_ALAW:
            return info.channels;
        case SF_FORMAT_PCM_16:
            return 2 * info.channels;
        case SF_FORMAT_PCM_24:
            return 3 * info.channels;
        case SF_FORMAT_PCM_32:
        case SF_FORMAT_FLOAT:
            return 4 * info.channels;
        case SF_FORMAT_DOUBLE:
            return 8 * info.channels;
        default:
            return 0;
    }
}

// The length a file's header announces, in frames; -1 when it is unknown.
// libsndfile trims its own count of a WAV or AIFF file to the bytes present,
// so for those the size of the audio data chunk is read from the header.
long long announcedFrames(SNDFILE* file, const SF_INFO& info) {
    long long frames = info.frames == SF_COUNT_MAX ? -1 : info.frames;
    const int container = info.format & SF_FORMAT_TYPEMASK;
    const bool wav = container == SF_FORMAT_WAV || container == SF_FORMAT_WAVEX;
    const int bytesPerFrame = frameBytes(info);
    if ((!wav && container != SF_FORMAT_AIFF) || bytesPerFrame == 0) return frames;
    SF_CHUNK_INFO wanted{};
    std::strcpy(wanted.id, wav ? "data" : "SSND");
    wanted.id_size = 4;
    SF_CHUNK_INFO found{};
    SF_CHUNK_ITERATOR* chunk = sf_get_chunk_iterator(file, &wanted);
    if (chunk == nullptr || sf_get_chunk_size(chunk, &found) != SF_ERR_NO_ERROR) return frames;
    // Writers that stream leave the size at 0 or all ones; AIFF's SSND
    // starts with two words (offset and block size) before the samples.
    if (found.datalen == 0 || found.datalen == 0xFFFFFFFFu) return frames;
    const long long bytes = static_cast<long long>(found.datalen) - (wav ? 0 : 8);
    return std::max(frames, bytes / bytesPerFrame);
}

}  // namespace

std::string frameCount(long long frames) {
    return std::to_string(frames) + (frames == 1 ? " frame" : " frames");
}

InputFile::~InputFile() {
    if (handle_ != nullptr) sf_close(handle_);
}

bool InputFile::open(const std::string& path, std::string* error) {
    path_ = path;
    const std::string unreadable = inputFileProblem(path);
    if (!unreadable.empty()) {
        *error = unreadable;
        return false;
    }
    handle_ = sf_open(path.c_str(), SFM_READ, &info_);
    if (handle_ == nullptr) {
        *error = "cannot read " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    if (info_.channels < 1 || info_.channels > 2) {
        *error = path + " has " + std::to_string(info_.channels) +
                 " channels; the limiter takes mono or stereo files only";
        return false;
    }
    announced_ = announcedFrames(handle_, info_);
    return true;
}

std::string InputFile::shortReadProblem(long long framesRead) const {
    const std::string got = frameCount(framesRead) + " could be read";
    const std::string why =
        sf_error(handle_) != SF_ERR_NO_ERROR ? std::string(" (") + sf_strerror(handle_) + ")" : "";
    if (announced_ >= 0 && framesRead < announced_)
        return path_ + " is damaged or cut short: its header announces " + frameCount(announced_) +
               ", " + got + why;
    if (!why.empty()) return path_ + " is damaged: " + got + why;
    if (announced_ < 0 && info_.seekable)
        return path_ + " is damaged or cut short: its end is missing; " + got;
    return {};
}

std::string InputFile::rateWarning() const {
    if (info_.samplerate >= kModuleLowestRate && info_.samplerate <= kModuleHighestRate) return {};
    return path_ + " is at " + std::to_string(info_.samplerate) + " Hz, outside the module's " +
           std::to_string(kModuleLowestRate) + " to " + std::to_string(kModuleHighestRate) +
           " Hz: it was processed as if at 44100 Hz, so its times and filters are off";
}

}  // namespace kt
