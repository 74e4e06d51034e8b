#include "presets/preset_files.h"

#include <memory>
#include <string>

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

bool loadPresetFile(PresetImageCodec& codec, const char* name, const char* dir, bool reversed) {
    std::vector<unsigned char> bytes;
    if (!readImageFile(name, dir, &bytes)) return false;
    return codec.loadPresetImage(bytes.data(), static_cast<long>(bytes.size()), reversed);
}

bool loadBankFile(PresetImageCodec& codec, const char* name, const char* dir, bool reversed) {
    std::vector<unsigned char> bytes;
    if (!readImageFile(name, dir, &bytes)) return false;
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
