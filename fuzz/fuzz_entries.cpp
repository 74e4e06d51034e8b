#include "fuzz/fuzz_entries.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/preset_store.h"
#include "presets/preset_files.h"
#include "presets/xplat.h"

namespace kt::fuzz {
namespace {

std::unique_ptr<PresetStoreEffect>& instance() {
    static std::unique_ptr<PresetStoreEffect> shared;
    return shared;
}

// One store for all inputs, as a host keeps one effect across many chunks.
PresetStoreEffect& store() {
    if (!instance()) instance() = std::make_unique<PresetStoreEffect>();
    return *instance();
}

PresetImageCodec& codec() {
    return store().storeCodec();
}

std::string fileFolder;

void removeFileFolder() {
    if (!fileFolder.empty()) ::rmdir(fileFolder.c_str());
}

// The values a reader left behind must be ones it may take.
void checkBank() {
    for (int p = 0; p < kNumPresets; ++p)
        for (int i = 0; i < kPresetParams; ++i) {
            const float v = store().preset(p).value(i);
            if (!(v >= 0.0f && v <= 1.0f)) std::abort();
        }
}

// An exact-size heap copy, so that a read past the end is caught.
std::unique_ptr<char[]> copyOf(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<char[]> copy(new char[size > 0 ? size : 1]);
    if (size > 0) std::memcpy(copy.get(), data, size);
    return copy;
}

}  // namespace

int chunkInput(const std::uint8_t* data, std::size_t size) {
    if (size > (1u << 20)) return 0;
    auto copy = copyOf(data, size);
    store().setChunk(copy.get(), static_cast<vst::int32>(size), false);
    void* chunk = nullptr;
    if (store().getChunk(&chunk, false) != kChunkBytes) std::abort();
    checkBank();
    return 0;
}

int imageInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1u << 20)) return 0;
    const unsigned mode = data[0];
    const bool reversed = mode & 1;
    const bool bank = mode & 2;
    auto copy = copyOf(data + 1, size - 1);
    const int length = static_cast<int>(size - 1);
    if (mode & 4) {
        // Header from the first 41 bytes (when there are so many), body the rest.
        newpresetheader header{};
        const int headerBytes = length < kImageHeaderBytes ? length : kImageHeaderBytes;
        std::memcpy(&header, copy.get(), static_cast<std::size_t>(headerBytes));
        auto body = copyOf(data + 1 + headerBytes, static_cast<std::size_t>(length - headerBytes));
        const int bodyLength = length - headerBytes;
        if (mode & 8)
            codec().bufferToMidi(body.get(), bodyLength, &header, reversed);
        else if (bank)
            codec().bufferToBank(body.get(), bodyLength, &header, reversed);
        else
            codec().bufferToPreset(body.get(), bodyLength, &header, reversed);
    } else {
        const auto* bytes = reinterpret_cast<const unsigned char*>(copy.get());
        if (bank)
            codec().loadBankImage(bytes, length, reversed);
        else
            codec().loadPresetImage(bytes, length, reversed);
    }
    checkBank();
    return 0;
}

int oldLayoutInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3 || size > (1u << 20)) return 0;
    const unsigned mode = data[0];
    const bool swapped = mode & 1;
    const int values = static_cast<signed char>(data[1]);
    const int presets = static_cast<signed char>(data[2]);
    auto copy = copyOf(data + 3, size - 3);
    const int length = static_cast<int>(size - 3);
    switch ((mode >> 1) % 3) {
        case 0:
            codec().bufferToPresetOld(copy.get(), length, swapped, values);
            break;
        case 1:
            codec().bufferToBankOld(copy.get(), length, swapped, presets, values);
            break;
        default: {
            // An old chunk: the marker and identifier in the chosen order, then the input.
            const std::uint32_t marker = swapped ? reverseWord(kChunkMarkerOld) : kChunkMarkerOld;
            const std::uint32_t id =
                swapped ? reverseWord(kUniqueId) : static_cast<std::uint32_t>(kUniqueId);
            std::vector<unsigned char> chunk(8);
            writeBigEndian(chunk.data(), marker);
            writeBigEndian(chunk.data() + 4, id);
            chunk.insert(chunk.end(), data + 3, data + size);
            auto exact = copyOf(chunk.data(), chunk.size());
            store().setChunk(exact.get(), static_cast<vst::int32>(chunk.size()), false);
            break;
        }
    }
    codec().bufferToMidiOld(copy.get(), length, swapped, values);
    checkBank();
    return 0;
}

static void noAlert(const char*) {}

int fileInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1u << 20)) return 0;
    // A file cut short is reported with an alert; none is shown while fuzzing.
    XPlatSetAlertHandler(noAlert);
    if (fileFolder.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kt-fuzz-files-XXXXXX";
        if (!::mkdtemp(pattern.data())) return 0;
        fileFolder = pattern;
        std::atexit(removeFileFolder);
    }
    const std::string& folder = fileFolder;
    const bool reversed = data[0] & 1;
    const bool bank = data[0] & 2;
    const char* name = bank ? "input.kvb" : "input.kav";
    const std::string path = folder + "/" + name;
    if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, out);
        std::fclose(out);
    }
    const std::string dir = folder + "/";
    if (bank)
        loadBankFile(codec(), name, dir.c_str(), reversed);
    else
        loadPresetFile(codec(), name, dir.c_str(), reversed);
    std::remove(path.c_str());
    checkBank();
    return 0;
}

void releaseStore() {
    instance().reset();
}

}  // namespace kt::fuzz
