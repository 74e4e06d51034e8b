// The per-user preferences store: one file per key in
// $XDG_CONFIG_HOME/kav-tamor/ (default ~/.config/kav-tamor/). Integers are
// decimal text, strings UTF-8 text, byte blobs raw bytes. Every write goes to
// a temporary file in the same folder, is flushed to disk and renamed over the
// old value, so a crash or a second instance never leaves a torn value. An
// absent, unreadable or malformed value reads as absent.
//
// Not for the audio thread: every call touches the file system.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kt::prefs {

// The folder that holds the values (not created until the first write).
std::string directory();

std::optional<std::int32_t> readInt(std::string_view key);
std::optional<std::string> readString(std::string_view key);
std::optional<std::vector<unsigned char>> readBytes(std::string_view key);

// Each returns whether the value is safely on disk.
bool writeInt(std::string_view key, std::int32_t value);
bool writeString(std::string_view key, std::string_view value);
bool writeBytes(std::string_view key, std::span<const unsigned char> value);
// Removes the key; true when it is absent afterwards.
bool remove(std::string_view key);

}  // namespace kt::prefs
