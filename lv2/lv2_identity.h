// The names hosts know the LV2 plug-in by: its URI, the key of its saved
// state, the URIs of its presets and the files of its bundle. Sessions and
// preset choices are stored under these, so they never change.
#pragma once

namespace kt::lv2 {

inline constexpr char kPluginUri[] = "https://kavtamor.example/plugins/limiter";
// The editor as an X11 user interface, in the plug-in's own binary.
inline constexpr char kUiUri[] = "https://kavtamor.example/plugins/limiter#ui";
// The whole bank, as the host chunk's bytes (an atom:Chunk).
inline constexpr char kBankStateKey[] = "https://kavtamor.example/plugins/limiter#bank";
// Factory preset n is this prefix and n in two digits.
inline constexpr char kPresetUriPrefix[] = "https://kavtamor.example/plugins/limiter#preset-";

inline constexpr char kBundleName[] = "KavTamor.lv2";
inline constexpr char kBinaryName[] = "KavTamor.so";
inline constexpr char kPluginTtlName[] = "KavTamor.ttl";
inline constexpr char kPresetsTtlName[] = "presets.ttl";

}  // namespace kt::lv2
