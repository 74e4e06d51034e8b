// The host chunk: the whole bank as one opaque block of bytes. Written as
// an 8-byte header (marker, identifier) followed by the bank image; read in
// that format or in the old one (a header of eight words and raw preset
// records), in either byte order.
#include <algorithm>
#include <cstring>
#include <memory>

#include "presets/CPresetSystemEffect.h"
#include "presets/preset_codec.h"

using namespace vst;

int32 CPresetSystemEffect::getChunk(void** data, bool) {
    if (!chunkBuffer || !data) return 0;
    char* image = nullptr;
    CPresetSystemEditorInterface* side = presetEditor();
    const int length = side ? side->BankToBuffer(&image) : ownCodec.bankToBuffer(&image);
    std::unique_ptr<char[]> owned(image);
    if (!image || length <= 0 || length > kt::kChunkBytes - kt::kChunkHeadBytes) return 0;
    std::memset(chunkBuffer.get(), 0, kt::kChunkBytes);
    kt::writeBigEndian(chunkBuffer.get(), kt::kChunkMarkerCurrent);
    kt::writeBigEndian(chunkBuffer.get() + 4, static_cast<std::uint32_t>(getUniqueID()));
    std::memcpy(chunkBuffer.get() + kt::kChunkHeadBytes, image, static_cast<std::size_t>(length));
    *data = chunkBuffer.get();
    return length + kt::kChunkHeadBytes;
}

int32 CPresetSystemEffect::setChunk(void* data, int32 size, bool isPreset) {
    if (!chunkBuffer || !data || size < kt::kChunkHeadBytes) return -1;
    const auto* bytes = static_cast<const unsigned char*>(data);
    bool swapped = false;
    switch (kt::detectByteOrder(bytes + 4, getUniqueID())) {
        case kt::ByteOrder::native:
            swapped = false;
            break;
        case kt::ByteOrder::swapped:
            swapped = true;
            break;
        case kt::ByteOrder::rejected:
            return -1;
    }
    const std::uint32_t marker = kt::readWord(bytes, swapped);
    if (marker == kt::kChunkMarkerOld) return setChunkOld(bytes, size, isPreset, swapped);
    if (marker != kt::kChunkMarkerCurrent) return -1;
    constexpr int kBodyOffset = kt::kChunkHeadBytes + kt::kImageHeaderBytes;
    if (size < kBodyOffset) return -1;
    const newpresetheader header = kt::readImageHeader(bytes + kt::kChunkHeadBytes, swapped);
    if (header.kind != kt::kKindBank) return -1;
    const char* body = reinterpret_cast<const char*>(bytes) + kBodyOffset;
    CPresetSystemEditorInterface* side = presetEditor();
    const bool taken = side ? side->BufferToBank(body, size - kBodyOffset, &header, swapped)
                            : ownCodec.bufferToBank(body, size - kBodyOffset, &header, swapped);
    return taken ? 0 : -1;
}

int32 CPresetSystemEffect::setChunkOld(const unsigned char* data, int32 size, bool, bool swapped) {
    if (!data || size < kt::kOldChunkHeadBytes) return -1;
    const std::uint32_t count = kt::readWord(data + 8, swapped);
    const std::uint32_t current = kt::readWord(data + 12, swapped);
    const int body = size - kt::kOldChunkHeadBytes;
    int values = 0;
    std::int64_t stride = 0;
    if (count > 0) {
        const std::int64_t recordSize = body / std::int64_t{count};
        // A record must hold its name and at least one value.
        if (recordSize < kt::kPresetNameSize + 4) return -1;
        values = static_cast<int>((recordSize - kt::kPresetNameSize) / 4);
        stride = kt::kPresetNameSize + 4 * std::int64_t{values};
    }
    const int records = static_cast<int>(std::min<std::uint32_t>(count, kt::kNumPresets));
    kt::BankCopy copy(*this);
    for (int i = 0; i < records; ++i) {
        // Records lie inside the chunk: count × stride never exceeds the body.
        const unsigned char* record = data + kt::kOldChunkHeadBytes + i * stride;
        if (!kt::readOldPresetBlock(*this, i, record, values, swapped)) {
            copy.restore();
            return -1;
        }
    }
    setPresetNo(current < kt::kNumPresets ? static_cast<int>(current) : 0);
    return 0;
}
