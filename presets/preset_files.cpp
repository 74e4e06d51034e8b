#include "presets/preset_files.h"

#include <memory>
#include <string>

#include "presets/CPresetSystemEffect.h"
#include "presets/xplat.h"

namespace kt {

bool readImageFile(const char* name, const char* dir, std::vector<unsigned char>* bytes) {
    XPlatFile* file = nullptr;
    const long length = XPlatFileOpen(name, dir, &file, false);
    if (!file) return false;
    bool ok = length > 4 && length <= kMaxImageBytes;
    if (ok) {
        bytes->resize(static_cast<std::size_t>(length));
        ok = XPlatFileRead(file, bytes->data(), length) == length;
    }
    XPlatFileClose(file);
    return ok;
}

namespace {

// Whether a current-layout file of the expected kind holds less than its
// header announces: read anyway, it would be taken in part. Old layouts carry
// no length of their own.
bool shorterThanItsHeader(PresetImageCodec& codec, const std::vector<unsigned char>& bytes,
                          unsigned char kind, bool reversed) {
    if (bytes.size() <= static_cast<std::size_t>(kOldImagePrefixBytes) || bytes[4] != kind)
        return false;
    const ByteOrder order = detectByteOrder(bytes.data(), codec.presetStore().getUniqueID());
    if (order == ByteOrder::rejected) return false;
    if (bytes.size() < static_cast<std::size_t>(kImageHeaderBytes)) return true;
    const bool swapped = (order == ByteOrder::swapped) != reversed;
    const newpresetheader header = readImageHeader(bytes.data(), swapped);
    return header.bodyLength > static_cast<long>(bytes.size()) - kImageHeaderBytes;
}

}  // namespace

FileLoad loadImageFile(PresetImageCodec& codec, const char* name, const char* dir, bool reversed,
                       bool bank) {
    std::vector<unsigned char> bytes;
    if (!readImageFile(name, dir, &bytes)) return FileLoad::unreadable;
    if (shorterThanItsHeader(codec, bytes, bank ? kKindBank : kKindPreset, reversed)) {
        const std::string message =
            std::string("Could not load the ") + (bank ? "bank" : "preset") +
            " file: it is shorter than its header says (cut short?).\n" + dir + name;
        XPlatDisplayAlert(message.c_str());
        return FileLoad::cutShort;
    }
    const auto length = static_cast<long>(bytes.size());
    if (!(bank ? codec.loadBankImage(bytes.data(), length, reversed)
               : codec.loadPresetImage(bytes.data(), length, reversed)))
        return FileLoad::refused;
    // A bank from a file always starts on its first preset.
    if (bank) codec.showAppliedPreset(0);
    return FileLoad::loaded;
}

bool loadPresetFile(PresetImageCodec& codec, const char* name, const char* dir, bool reversed) {
    return loadImageFile(codec, name, dir, reversed, false) == FileLoad::loaded;
}

bool loadBankFile(PresetImageCodec& codec, const char* name, const char* dir, bool reversed) {
    return loadImageFile(codec, name, dir, reversed, true) == FileLoad::loaded;
}

bool saveImageFile(PresetImageCodec& codec, const char* name, const char* dir, bool bank) {
    char* image = nullptr;
    const int length = bank ? codec.bankToBuffer(&image) : codec.presetToBuffer(&image);
    std::unique_ptr<char[]> owned(image);
    XPlatFile* file = nullptr;
    XPlatFileOpen(name, dir, &file, true);
    bool ok = file && XPlatFileWrite(file, image, length) == length;
    ok = XPlatFileClose(file) && ok;
    if (!ok) {
        const std::string message = std::string("Could not save the ") +
                                    (bank ? "bank" : "preset") + " file:\n" + dir + name;
        XPlatDisplayAlert(message.c_str());
    }
    return ok;
}

}  // namespace kt
