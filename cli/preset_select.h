// Choosing one of the module's presets from the host side. The host sees a
// single program; the bank of presets travels inside the chunk. Selecting a
// preset therefore means: take the chunk (effGetChunk), set the current-preset
// word in the bank header inside it, and hand it back (effSetChunk), which
// makes the module apply that preset.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/vst_host.h"
#include "presets/preset_image.h"

namespace kt {

// All preset names the module answers through effGetProgramNameIndexed.
std::vector<std::string> presetNames(const VstPlugin& plugin);

// The preset's index from a number or a name (case-insensitive); empty and
// *error set when there is no such preset.
std::optional<int> findPreset(const VstPlugin& plugin, const std::string& numberOrName,
                              std::string* error);

// Writes `preset` into the current-preset word of the chunk's bank header, in
// the byte order the header's identifier word shows. False when the chunk is
// too short or its bank header does not carry the module's identifier.
bool setChunkCurrentPreset(std::vector<std::uint8_t>& chunk, vst::int32 uniqueId, int preset);

// Makes `preset` the module's current preset through the chunk. Checks that
// the module then reports that preset's name.
bool selectPreset(const VstPlugin& plugin, int preset, std::string* error);

}  // namespace kt
