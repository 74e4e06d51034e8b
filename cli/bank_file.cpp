#include "cli/bank_file.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "cli/preset_select.h"

namespace kt {
namespace {

constexpr std::uint32_t kCurrentMarker = 0x02000000;
constexpr std::uint32_t kOldMarker = 0x01000000;
constexpr std::uint8_t kKindBank = 0x38;
constexpr std::uint8_t kKindOldBank = 0x37;
constexpr std::size_t kOldNameBytes = 24;
constexpr int kBankPresets = 27;

void putWord(std::vector<std::uint8_t>& out, std::uint32_t w, bool littleEndian) {
    for (int b = 0; b < 4; ++b)
        out.push_back(static_cast<std::uint8_t>(w >> (littleEndian ? 8 * b : 24 - 8 * b)));
}

std::uint32_t wordAt(const std::vector<std::uint8_t>& b, std::size_t at, bool littleEndian) {
    std::uint32_t w = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint32_t byte = b[at + static_cast<std::size_t>(i)];
        w |= byte << (littleEndian ? 8 * i : 24 - 8 * i);
    }
    return w;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> bankFileToChunk(const std::vector<std::uint8_t>& file,
                                                         vst::int32 uniqueId, std::string* error) {
    const auto id = static_cast<std::uint32_t>(uniqueId);
    if (file.size() < 5) {
        *error = "too short for a bank file";
        return std::nullopt;
    }
    bool little = false;
    if (wordAt(file, 0, false) == id) {
        little = false;
    } else if (wordAt(file, 0, true) == id) {
        little = true;
    } else {
        *error = "not a bank file of this module (its identifier is " +
                 fourCharText(static_cast<vst::int32>(wordAt(file, 0, false))) + ")";
        return std::nullopt;
    }
    std::vector<std::uint8_t> chunk;
    if (file[4] == kKindBank) {
        putWord(chunk, kCurrentMarker, little);
        putWord(chunk, id, little);
        chunk.insert(chunk.end(), file.begin(), file.end());
        return chunk;
    }
    if (file[4] == kKindOldBank) {
        // 27 blocks of a name and K values; the old chunk derives K from its size.
        const std::size_t block = (file.size() - 5) / kBankPresets;
        const std::size_t values = block >= kOldNameBytes ? (block - kOldNameBytes) / 4 : 0;
        if (values == 0) {
            *error = "an old-layout bank file too short for its presets";
            return std::nullopt;
        }
        putWord(chunk, kOldMarker, little);
        putWord(chunk, id, little);
        putWord(chunk, kBankPresets, little);
        for (int w = 0; w < 5; ++w) putWord(chunk, 0, little);  // current preset 0, four unused
        const std::size_t body = kBankPresets * (kOldNameBytes + 4 * values);
        chunk.insert(chunk.end(), file.begin() + 5, file.begin() + 5 + static_cast<long>(body));
        return chunk;
    }
    *error = "not a bank file (a preset file, or another kind of data)";
    return std::nullopt;
}

bool loadBankFile(const VstPlugin& plugin, const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot open " + path;
        return false;
    }
    std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
    std::string why;
    std::optional<std::vector<std::uint8_t>> chunk =
        bankFileToChunk(file, plugin.effect()->uniqueID, &why);
    if (!chunk) {
        *error = path + ": " + why;
        return false;
    }
    // A loaded bank starts on its first preset.
    if (file[4] == kKindBank) setChunkCurrentPreset(*chunk, plugin.effect()->uniqueID, 0);
    if (plugin.setChunk(*chunk) != 0) {
        *error = path + ": the module refused the bank (damaged, or a value outside 0 to 1)";
        return false;
    }
    return true;
}

bool writeBankFile(const VstPlugin& plugin, const std::string& path, std::string* error) {
    const std::vector<std::uint8_t> chunk = plugin.getChunk();
    if (chunk.size() <= kChunkBankOffset + kBankHeaderSize ||
        wordAt(chunk, 0, false) != kCurrentMarker || chunk[kChunkBankOffset + 4] != kKindBank) {
        *error = "the module handed no bank in its chunk";
        return false;
    }
    const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
    bool ok = false;
    if (std::FILE* out = std::fopen(temporary.c_str(), "wb")) {
        const std::size_t length = chunk.size() - kChunkBankOffset;
        ok = std::fwrite(chunk.data() + kChunkBankOffset, 1, length, out) == length;
        ok = std::fflush(out) == 0 && ::fsync(::fileno(out)) == 0 && ok;
        ok = std::fclose(out) == 0 && ok;
        ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
        if (!ok) std::remove(temporary.c_str());
    }
    if (!ok) *error = "cannot write " + path;
    return ok;
}

}  // namespace kt
