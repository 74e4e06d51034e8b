// Preset and bank files: reading them whole and loading them through the
// image code, and saving the current preset or the bank. Runs on the
// user-interface thread.
#pragma once

#include <vector>

#include "presets/preset_codec.h"

namespace kt {

// The file dir + name, when it can be opened and its size is one an image
// may have (more than 4 bytes, at most kMaxImageBytes).
bool readImageFile(const char* name, const char* dir, std::vector<unsigned char>* bytes);

// What became of a file load.
enum class FileLoad {
    loaded,
    unreadable,  // cannot be opened, or of a size no image has
    cutShort,    // shorter than its own header says (reported with an alert)
    refused,     // not an image of the kind asked for, or damaged data
};

// Loads a preset file into the current preset, or a bank file into the bank
// (which then starts on its first preset). Refused data changes nothing; a
// file shorter than its own header says is refused with an alert.
FileLoad loadImageFile(PresetImageCodec& codec, const char* name, const char* dir, bool reversed,
                       bool bank);
bool loadPresetFile(PresetImageCodec& codec, const char* name, const char* dir, bool reversed);
bool loadBankFile(PresetImageCodec& codec, const char* name, const char* dir, bool reversed);

// Writes the current preset or the whole bank to dir + name through a
// temporary file, so a failed save leaves an old file whole. A failure is
// reported with XPlatDisplayAlert.
bool saveImageFile(PresetImageCodec& codec, const char* name, const char* dir, bool bank);

}  // namespace kt
