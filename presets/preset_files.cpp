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

// Reads a file and refuses one cut short, with an alert that says so.
bool readWholeFile(PresetImageCodec& codec, const char* name, const char* dir, bool reversed,
                   bool bank, std::vector<unsigned char>* bytes) {
    if (!readImageFile(name, dir, bytes)) return false;
    if (!shorterThanItsHeader(codec, *bytes, bank ? kKindBank : kKindPreset, reversed)) return true;
    const std::string message = std::string("Could not load the ") + (bank ? "bank" : "preset") +
                                " file: it is shorter than its header says (cut short?).\n" + dir +
                                name;
    XPlatDisplayAlert(message.c_str());
    return false;
}

}  // namespace

bool loadPresetFile(PresetImageCodec& codec, const char* name, const char* dir, bool reversed) {
    std::vector<unsigned char> bytes;
    if (!readWholeFile(codec, name, dir, reversed, false, &bytes)) return false;
    return codec.loadPresetImage(bytes.data(), static_cast<long>(bytes.size()), reversed);
}

bool loadBankFile(PresetImageCodec& codec, const char* name, const char* dir, bool reversed) {
    std::vector<unsigned char> bytes;
    if (!readWholeFile(codec, name, dir, reversed, true, &bytes)) return false;
    if (!codec.loadBankImage(bytes.data(), static_cast<long>(bytes.size()), reversed))
        return false;
    // A bank from a file always starts on its first preset.
    codec.showAppliedPreset(0);
    return true;
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
