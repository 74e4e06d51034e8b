#include "cli/bank_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/atomic_output.h"
#include "cli/file_checks.h"
#include "cli/preset_select.h"
#include "presets/preset_image.h"

namespace kt {
namespace {

// The largest file a bank of this module can be: the current image is larger
// than the old layout of a name and the values per preset.
constexpr std::size_t kMaxBankFileBytes = kBankImageBytes;
static_assert(kMaxBankFileBytes >=
              kOldImagePrefixBytes + kNumPresets * (kPresetNameSize + 4 * kPresetParams));

void putWord(std::vector<std::uint8_t>& out, std::uint32_t w, bool littleEndian) {
    std::uint8_t bytes[4];
    writeBigEndian(bytes, littleEndian ? reverseWord(w) : w);
    out.insert(out.end(), bytes, bytes + 4);
}

std::uint32_t wordAt(const std::vector<std::uint8_t>& b, std::size_t at, bool littleEndian) {
    const std::uint32_t w = readBigEndian(b.data() + at);
    return littleEndian ? reverseWord(w) : w;
}

// Reads a whole file of at most `limit` bytes; a longer one (or an endless
// device) is refused after limit + 1 bytes.
bool readSmallFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>* bytes,
                   std::string* error) {
    const std::string problem = inputFileProblem(path);
    if (!problem.empty()) {
        *error = problem;
        return false;
    }
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    bytes->resize(limit + 1);
    const std::size_t got = std::fread(bytes->data(), 1, bytes->size(), in);
    const bool failed = std::ferror(in) != 0;
    std::fclose(in);
    bytes->resize(got);
    if (failed) {
        *error = "cannot read " + path;
        return false;
    }
    if (got > limit) {
        *error =
            path + " is larger than any bank file (" + std::to_string(limit) + " bytes at most)";
        return false;
    }
    return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> bankFileToChunk(const std::vector<std::uint8_t>& file,
                                                         vst::int32 uniqueId, std::string* error) {
    const auto id = static_cast<std::uint32_t>(uniqueId);
    if (file.size() <= static_cast<std::size_t>(kOldImagePrefixBytes - 1)) {
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
        // A file cut short would be taken in part, leaving the presets
        // beyond the cut as they were.
        const std::size_t header = kImageHeaderBytes;
        if (file.size() < header) {
            *error = "shorter than its header (" + std::to_string(file.size()) + " of " +
                     std::to_string(header) + " bytes): the file is cut short";
            return std::nullopt;
        }
        const auto body = static_cast<std::int32_t>(wordAt(file, kHeaderBodyLengthOffset, little));
        if (body < 0 || file.size() - header < static_cast<std::size_t>(body)) {
            *error = "shorter than its header says (" + std::to_string(file.size()) +
                     " bytes; the header announces " +
                     (body < 0 ? std::string("a negative length")
                               : std::to_string(header + static_cast<std::size_t>(body))) +
                     "): the file is cut short or damaged";
            return std::nullopt;
        }
        putWord(chunk, kChunkMarkerCurrent, little);
        putWord(chunk, id, little);
        chunk.insert(chunk.end(), file.begin(), file.end());
        return chunk;
    }
    if (file[4] == kKindOldBank) {
        // 27 blocks of a name and K values; the old chunk derives K from its size.
        const std::size_t block = (file.size() - kOldImagePrefixBytes) / kNumPresets;
        const std::size_t values = block >= static_cast<std::size_t>(kPresetNameSize)
                                       ? (block - static_cast<std::size_t>(kPresetNameSize)) / 4
                                       : 0;
        if (values == 0) {
            *error = "an old-layout bank file too short for its presets";
            return std::nullopt;
        }
        putWord(chunk, kChunkMarkerOld, little);
        putWord(chunk, id, little);
        putWord(chunk, kNumPresets, little);
        for (int w = 0; w < 5; ++w) putWord(chunk, 0, little);  // current preset 0, four unused
        const std::size_t body =
            kNumPresets * (static_cast<std::size_t>(kPresetNameSize) + 4 * values);
        chunk.insert(chunk.end(), file.begin() + kOldImagePrefixBytes,
                     file.begin() + kOldImagePrefixBytes + static_cast<long>(body));
        return chunk;
    }
    *error = "not a bank file (a preset file, or another kind of data)";
    return std::nullopt;
}

bool loadBankFile(const VstPlugin& plugin, const std::string& path, std::string* error) {
    std::vector<std::uint8_t> file;
    if (!readSmallFile(path, kMaxBankFileBytes, &file, error)) return false;
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
    if (chunk.size() <= static_cast<std::size_t>(kChunkHeadBytes + kImageHeaderBytes) ||
        wordAt(chunk, 0, false) != kChunkMarkerCurrent || chunk[kChunkHeadBytes + 4] != kKindBank) {
        *error = "the module handed no bank in its chunk";
        return false;
    }
    AtomicOutput output;
    if (!output.open(path, error)) return false;
    const std::size_t length = chunk.size() - kChunkHeadBytes;
    output.write(chunk.data() + kChunkHeadBytes, length);  // a failure is reported by commit
    return output.commit(error);
}

}  // namespace kt
