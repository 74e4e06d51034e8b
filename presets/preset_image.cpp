#include "presets/preset_image.h"

#include <cstddef>
#include <cstring>

void byteSwapHeader(newpresetheader* header) {
    auto* bytes = reinterpret_cast<unsigned char*>(header);
    for (std::size_t offset = 5; offset < sizeof(newpresetheader); offset += 4)
        mySwapBytes(bytes + offset);
}

namespace kt {

void writeImageHeader(unsigned char* out, std::int32_t uniqueId, unsigned char kind,
                      std::int32_t numParams, std::int32_t numRecords, std::int32_t currentPreset,
                      std::int32_t bodyLength) {
    std::memset(out, 0, kImageHeaderBytes);
    writeBigEndian(out, static_cast<std::uint32_t>(uniqueId));
    out[4] = kind;
    writeBigEndian(out + 5, static_cast<std::uint32_t>(kImageFormatVersion));
    writeBigEndian(out + 9, static_cast<std::uint32_t>(numParams));
    writeBigEndian(out + 13, static_cast<std::uint32_t>(numRecords));
    writeBigEndian(out + kHeaderCurrentPresetOffset, static_cast<std::uint32_t>(currentPreset));
    writeBigEndian(out + kHeaderBodyLengthOffset, static_cast<std::uint32_t>(bodyLength));
}

newpresetheader readImageHeader(const unsigned char* p, bool swapped) {
    newpresetheader header;
    std::memcpy(&header, p, sizeof header);
    if (swapped) byteSwapHeader(&header);
    return header;
}

}  // namespace kt
