#include "presets/stored_presets.h"

#include <cstring>
#include <memory>
#include <span>

#include "platform/preferences.h"
#include "presets/xplat.h"

namespace kt::stored {
namespace {

std::optional<std::vector<unsigned char>> storedImage(const char* key) {
    auto bytes = prefs::readBytes(key);
    if (!bytes || bytes->size() <= 4) return std::nullopt;
    return bytes;
}

}  // namespace

bool storeImage(PresetImageCodec& codec, const char* key, bool bank) {
    char* image = nullptr;
    const int length = bank ? codec.bankToBuffer(&image) : codec.presetToBuffer(&image);
    std::unique_ptr<char[]> owned(image);
    if (!image) return false;
    return prefs::writeBytes(key, std::span(reinterpret_cast<const unsigned char*>(image),
                                            static_cast<std::size_t>(length)));
}

bool recallPreset(PresetImageCodec& codec, const char* key) {
    const auto bytes = storedImage(key);
    return bytes && codec.loadPresetImage(bytes->data(), static_cast<long>(bytes->size()), false);
}

bool recallBank(PresetImageCodec& codec, const char* key) {
    const auto bytes = storedImage(key);
    return bytes && codec.loadBankImage(bytes->data(), static_cast<long>(bytes->size()), false);
}

void removeImage(const char* key) {
    prefs::remove(key);
}

void recallName(const char* key, char* buffer) {
    const std::optional<std::string> value = prefs::readString(key);
    if (!value || value->size() >= kXPlatNameBytes || value->find('\0') != std::string::npos)
        return;
    std::memcpy(buffer, value->c_str(), value->size() + 1);
}

void storeName(const char* key, const char* buffer) {
    const std::optional<std::string> stored = prefs::readString(key);
    if (stored ? *stored == buffer : buffer[0] == 0) return;
    prefs::writeString(key, buffer);
}

}  // namespace kt::stored
