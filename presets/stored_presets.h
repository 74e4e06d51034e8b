// Stored presets in the per-user preferences store: the default preset and
// bank, the A/B memories and the remembered folder and file names. Runs on
// the user-interface thread (and at construction).
#pragma once

#include "presets/preset_codec.h"

namespace kt::stored {

inline constexpr const char* kDefaultPreset = "DefaultPreset";
inline constexpr const char* kDefaultBank = "DefaultBank";
inline constexpr const char* kDefaultMidi = "DefaultMidi";
inline constexpr const char* kMemoA = "MemoAPreset";
inline constexpr const char* kMemoB = "MemoBPreset";
inline constexpr const char* kDirectory = "CurrDir";
inline constexpr const char* kBankName = "CurrBank";
inline constexpr const char* kPresetName = "CurrPreset";

// Stores the current preset (or the bank) under key.
bool storeImage(PresetImageCodec& codec, const char* key, bool bank);
// Loads the preset or bank stored under key; nothing happens when none is.
// A stored bank keeps the current preset it names.
bool recallPreset(PresetImageCodec& codec, const char* key);
bool recallBank(PresetImageCodec& codec, const char* key);
void removeImage(const char* key);

// A remembered name into its buffer of kXPlatNameBytes (one too long for it
// is ignored), and back. A name equal to the stored one is not written, so an
// instance that chose nothing does not overwrite what another one stored.
void recallName(const char* key, char* buffer);
void storeName(const char* key, const char* buffer);

}  // namespace kt::stored
