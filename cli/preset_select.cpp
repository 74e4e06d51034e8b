#include "cli/preset_select.h"

#include <cctype>

#include "cli/arguments.h"

namespace kt {
namespace {

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> presetNames(const VstPlugin& plugin) {
    std::vector<std::string> names;
    for (int i = 0; i < 1024; ++i) {
        std::optional<std::string> name = plugin.programNameIndexed(i);
        if (!name) break;
        names.push_back(*name);
    }
    return names;
}

std::optional<int> findPreset(const VstPlugin& plugin, const std::string& numberOrName,
                              std::string* error) {
    const std::vector<std::string> names = presetNames(plugin);
    if (std::optional<long> number = parseInteger(numberOrName)) {
        if (*number >= 0 && *number < static_cast<long>(names.size()))
            return static_cast<int>(*number);
        *error = "there is no preset " + numberOrName + "; the presets are 0 to " +
                 std::to_string(static_cast<long>(names.size()) - 1) + " (see 'kavtamor presets')";
        return std::nullopt;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (sameIgnoringCase(names[i], numberOrName)) return static_cast<int>(i);
    }
    *error = "there is no preset named \"" + numberOrName + "\"; see 'kavtamor presets'";
    return std::nullopt;
}

bool setChunkCurrentPreset(std::vector<std::uint8_t>& chunk, vst::int32 uniqueId, int preset) {
    if (chunk.size() < static_cast<std::size_t>(kChunkHeadBytes + kImageHeaderBytes)) return false;
    const std::uint8_t* header = chunk.data() + kChunkHeadBytes;
    std::uint8_t* word = chunk.data() + kChunkHeadBytes + kHeaderCurrentPresetOffset;
    const auto value = static_cast<std::uint32_t>(preset);
    const auto id = static_cast<std::uint32_t>(uniqueId);
    if (readBigEndian(header) == id) {
        writeBigEndian(word, value);
        return true;
    }
    if (reverseWord(readBigEndian(header)) == id) {
        writeBigEndian(word, reverseWord(value));
        return true;
    }
    return false;
}

bool selectPreset(const VstPlugin& plugin, int preset, std::string* error) {
    std::optional<std::string> wantedName = plugin.programNameIndexed(preset);
    if (!wantedName) {
        *error = "the module has no preset " + std::to_string(preset);
        return false;
    }
    std::vector<std::uint8_t> chunk = plugin.getChunk();
    if (chunk.empty()) {
        *error = "the module handed no chunk, so its presets cannot be chosen";
        return false;
    }
    if (!setChunkCurrentPreset(chunk, plugin.effect()->uniqueID, preset)) {
        *error = "the module's chunk does not hold a bank this host understands";
        return false;
    }
    if (plugin.setChunk(chunk) != 0) {
        *error = "the module refused its own chunk";
        return false;
    }
    if (plugin.programName() != *wantedName) {
        *error = "the module reports preset \"" + plugin.programName() + "\" instead of \"" +
                 *wantedName + "\"";
        return false;
    }
    return true;
}

}  // namespace kt
