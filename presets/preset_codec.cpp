// Preset, bank and MIDI-map images: writing them, and reading them (the
// current layout and the two old ones) back into the preset store.
#include "presets/preset_codec.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "presets/CPresetSystemEffect.h"

namespace kt {
namespace {

constexpr int kPresetBodyFixedBytes = kRecordHeadBytes + kNamePayloadBytes;  // 168
constexpr int kValueRecordBytes = kRecordHeadBytes + kValuePayloadBytes;     // 32

class NoDisplay final : public PresetDisplay {
  public:
    void showPresetName(const char*) override {}
    void setMenuEntry(int, const char*) override {}
    void selectMenuEntry(int) override {}
};

unsigned char* writeRecordHead(unsigned char* p, std::int32_t type, std::int32_t length,
                               std::int32_t presetNo) {
    writeBigEndian(p, static_cast<std::uint32_t>(type));
    writeBigEndian(p + 4, static_cast<std::uint32_t>(length));
    writeBigEndian(p + 8, static_cast<std::uint32_t>(presetNo));
    return p + kRecordHeadBytes;
}

// The buffer is zeroed beforehand, so only the non-zero fields are written.
unsigned char* writeNameRecord(unsigned char* p, int presetNo, const PresetRecord& preset) {
    p = writeRecordHead(p, kRecordName, kNamePayloadBytes, presetNo);
    preset.copyName(reinterpret_cast<char*>(p));
    return p + kNamePayloadBytes;
}

unsigned char* writeValueRecord(unsigned char* p, std::int32_t type, int presetNo, int index,
                                float value) {
    p = writeRecordHead(p, type, kValuePayloadBytes, presetNo);
    writeBigEndian(p, static_cast<std::uint32_t>(index));
    writeBigEndian(p + kValueFieldOffset, std::bit_cast<std::uint32_t>(value));
    return p + kValuePayloadBytes;
}

// A zeroed image with its header filled in; the writers fill the body.
std::unique_ptr<char[]> newImage(CPresetSystemEffect& fx, unsigned char kind, int numParams,
                                 int numRecords, int currentPreset, int bodyLength) {
    const int total = kImageHeaderBytes + bodyLength;
    std::unique_ptr<char[]> buffer(new char[static_cast<std::size_t>(total)]());
    writeImageHeader(reinterpret_cast<unsigned char*>(buffer.get()), fx.getUniqueID(), kind,
                     numParams, numRecords, currentPreset, bodyLength);
    return buffer;
}

int handOut(std::unique_ptr<char[]> buffer, int bodyLength, char** out) {
    *out = buffer.release();
    return kImageHeaderBytes + bodyLength;
}

unsigned char* bodyOf(const std::unique_ptr<char[]>& buffer) {
    return reinterpret_cast<unsigned char*>(buffer.get()) + kImageHeaderBytes;
}

struct Record {
    std::int32_t type;
    std::int32_t presetNo;
    const unsigned char* payload;
    int length;
};

enum class Visit { next, reject };

// Calls visit for each of up to `count` records that lie whole inside the
// body. A record whose length runs past the body ends the reading. Answers
// false when visit rejected the data.
template <class Visitor>
bool visitRecords(const char* body, int length, std::int32_t count, bool swapped, Visitor&& visit) {
    const auto* p = reinterpret_cast<const unsigned char*>(body);
    int offset = 0;
    for (std::int32_t r = 0; r < count; ++r) {
        if (length - offset < kRecordHeadBytes) break;
        const unsigned char* head = p + offset;
        const std::int32_t payloadLength = readInt(head + 4, swapped);
        if (payloadLength < 0 || payloadLength > length - offset - kRecordHeadBytes) break;
        const Record record{readInt(head, swapped), readInt(head + 8, swapped),
                            head + kRecordHeadBytes, payloadLength};
        if (visit(record) == Visit::reject) return false;
        offset += kRecordHeadBytes + payloadLength;
    }
    return true;
}

// 24 name bytes, terminated, as the preset's name.
void takeName(const unsigned char* field, PresetRecord& preset) {
    char name[kPresetNameSize + 1] = {};
    std::memcpy(name, field, kPresetNameSize);
    preset.setName(name);
}

bool hasName(const Record& r) {
    return r.type == kRecordName && r.length >= kPresetNameSize;
}
bool hasValue(const Record& r, std::int32_t type) {
    return r.type == type && r.length >= kValueFieldOffset + 4;
}

// A value record's value into the preset. Other records and indices are
// skipped; a value outside [0, 1] rejects the whole load.
Visit takeValue(const Record& r, PresetRecord& preset, bool swapped) {
    if (!hasValue(r, kRecordValue)) return Visit::next;
    const std::int32_t index = readInt(r.payload, swapped);
    if (index < 0 || index >= kPresetParams) return Visit::next;
    const float v = readFloat(r.payload + kValueFieldOffset, swapped);
    if (!isPresetValue(v)) return Visit::reject;
    preset.setValue(index, v);
    return Visit::next;
}

int writtenParameters(CPresetSystemEffect& fx) {
    int n = 0;
    for (int i = 0; i < kPresetParams; ++i) n += fx.isDummy(i) ? 0 : 1;
    return n;
}

std::string nameOf(const PresetRecord& preset) {
    return preset.nameText();
}

}  // namespace

PresetDisplay& noPresetDisplay() {
    static NoDisplay none;
    return none;
}

BankCopy::BankCopy(CPresetSystemEffect& fx) : fx(fx), presets(new PresetRecord[kNumPresets]) {
    for (int p = 0; p < kNumPresets; ++p) presets[p].copyFrom(fx.preset(p));
}

void BankCopy::restore() {
    for (int p = 0; p < kNumPresets; ++p) fx.preset(p).copyFrom(presets[p]);
}

bool readOldPresetBlock(CPresetSystemEffect& fx, int n, const unsigned char* block, int values,
                        bool swapped) {
    PresetRecord& preset = fx.preset(n);
    fx.initializePreset(n);
    takeName(block, preset);
    for (int j = 0; j < std::min(values, kPresetParams); ++j) {
        if (fx.isDummyOld(j)) continue;
        const float v = readFloat(block + kPresetNameSize + 4 * j, swapped);
        if (!isPresetValue(v)) return false;
        preset.setValue(j, v);
    }
    return true;
}

int PresetImageCodec::presetToBuffer(char** out) {
    const int n = writtenParameters(store);
    const int bodyLength = kPresetBodyFixedBytes + kValueRecordBytes * n;
    auto buffer = newImage(store, kKindPreset, n, 1 + n, 0, bodyLength);
    const PresetRecord& preset = store.preset(store.getPresetNo());
    unsigned char* p = writeNameRecord(bodyOf(buffer), 0, preset);
    for (int i = 0; i < kPresetParams; ++i)
        if (!store.isDummy(i)) p = writeValueRecord(p, kRecordValue, 0, i, preset.value(i));
    return handOut(std::move(buffer), bodyLength, out);
}

int PresetImageCodec::bankToBuffer(char** out) {
    const int n = writtenParameters(store);
    const int bodyLength = kNumPresets * (kPresetBodyFixedBytes + kValueRecordBytes * n);
    auto buffer =
        newImage(store, kKindBank, n, kNumPresets * (1 + n), store.getPresetNo(), bodyLength);
    unsigned char* p = bodyOf(buffer);
    for (int preset = 0; preset < kNumPresets; ++preset) {
        const PresetRecord& record = store.preset(preset);
        p = writeNameRecord(p, preset, record);
        for (int i = 0; i < kPresetParams; ++i)
            if (!store.isDummy(i))
                p = writeValueRecord(p, kRecordValue, preset, i, record.value(i));
    }
    return handOut(std::move(buffer), bodyLength, out);
}

int PresetImageCodec::midiToBuffer(char** out) {
    const int bodyLength = kValueRecordBytes * kPresetParams;
    auto buffer = newImage(store, kKindMidi, kPresetParams, kPresetParams, 0, bodyLength);
    unsigned char* p = bodyOf(buffer);
    for (int i = 0; i < kPresetParams; ++i)
        p = writeValueRecord(p, kRecordMidi, 0, i, store.getParameter(kPresetParams + i));
    return handOut(std::move(buffer), bodyLength, out);
}

void PresetImageCodec::showAppliedPreset(int n) {
    display.selectMenuEntry(n);
    display.showPresetName(nameOf(store.preset(n)).c_str());
    store.setPresetNo(n);
}

// A preset just read into slot c: its name goes to the preset bar and the
// store, then the preset is applied.
void PresetImageCodec::applyLoadedPreset(int c) {
    const std::string name = nameOf(store.preset(c));
    display.showPresetName(name.c_str());
    display.setMenuEntry(c, name.c_str());
    store.setPresetName(name.c_str());
    store.setPresetNo(c);
}

bool PresetImageCodec::bufferToPreset(const char* body, int length, const newpresetheader* header,
                                      bool swapped) {
    if (!header || (!body && length > 0) || header->numRecords < 0) return false;
    const int c = store.getPresetNo();
    PresetRecord& preset = store.preset(c);
    PresetRecord copy;
    copy.copyFrom(preset);
    store.initializePreset(c);
    const bool taken =
        visitRecords(body, length, header->numRecords, swapped, [&](const Record& r) {
            if (hasName(r)) takeName(r.payload, preset);
            return takeValue(r, preset, swapped);
        });
    if (!taken) {
        preset.copyFrom(copy);
        return false;
    }
    applyLoadedPreset(c);
    return true;
}

bool PresetImageCodec::bufferToBank(const char* body, int length, const newpresetheader* header,
                                    bool swapped) {
    if (!header || (!body && length > 0) || header->numRecords < 0) return false;
    int current = header->currentPreset;
    if (current < 0 || current >= kNumPresets) current = 0;
    BankCopy copy(store);
    const bool taken =
        visitRecords(body, length, header->numRecords, swapped, [&](const Record& r) {
            if (r.presetNo < 0 || r.presetNo >= kNumPresets) return Visit::next;
            PresetRecord& preset = store.preset(r.presetNo);
            if (hasName(r)) {
                store.initializePreset(r.presetNo);
                takeName(r.payload, preset);
                display.setMenuEntry(r.presetNo, nameOf(preset).c_str());
                return Visit::next;
            }
            return takeValue(r, preset, swapped);
        });
    if (!taken) {
        copy.restore();
        return false;
    }
    showAppliedPreset(current);
    return true;
}

bool PresetImageCodec::bufferToPresetOld(const char* data, int length, bool swapped, int values) {
    // Too short for a name and one value: refused.
    if (!data || values < 1 || length < kPresetNameSize + 4) return false;
    const int c = store.getPresetNo();
    PresetRecord copy;
    copy.copyFrom(store.preset(c));
    const int available = std::min(values, (length - kPresetNameSize) / 4);
    if (!readOldPresetBlock(store, c, reinterpret_cast<const unsigned char*>(data), available,
                            swapped)) {
        store.preset(c).copyFrom(copy);
        return false;
    }
    applyLoadedPreset(c);
    return true;
}

bool PresetImageCodec::bufferToBankOld(const char* data, int length, bool swapped, int presets,
                                       int values) {
    if (!data || values < 1 || presets < 1 || length < kPresetNameSize + 4) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const std::int64_t stride = kPresetNameSize + 4 * std::int64_t{values};
    const int read = std::min(values, kPresetParams);
    BankCopy copy(store);
    for (int i = 0; i < std::min(presets, kNumPresets); ++i) {
        const std::int64_t start = i * stride;
        if (start + kPresetNameSize + 4 * read > length) break;
        if (!readOldPresetBlock(store, i, p + start, read, swapped)) {
            copy.restore();
            return false;
        }
        display.setMenuEntry(i, nameOf(store.preset(i)).c_str());
    }
    showAppliedPreset(0);
    return true;
}

bool PresetImageCodec::bufferToMidi(const char* body, int length, const newpresetheader* header,
                                    bool swapped) {
    if (!header || (!body && length > 0) || header->numRecords < 0) return false;
    return visitRecords(body, length, header->numRecords, swapped, [&](const Record& r) {
        if (!hasValue(r, kRecordMidi)) return Visit::next;
        const std::int32_t index = readInt(r.payload, swapped);
        const float v = readFloat(r.payload + kValueFieldOffset, swapped);
        if (index >= 0 && index < kPresetParams && isPresetValue(v))
            store.setParameter(kPresetParams + index, v);
        return Visit::next;
    });
}

bool PresetImageCodec::bufferToMidiOld(const char* data, int length, bool swapped, int values) {
    if (!data || values < 1 || length < 4) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const int count = std::min({values, kPresetParams, length / 4});
    for (int j = 0; j < count; ++j) {
        const float v = readFloat(p + 4 * j, swapped);
        if (isPresetValue(v)) store.setParameter(kPresetParams + j, v);
    }
    return true;
}

namespace {

// Whether an image may be read at all: long enough for its identifier and
// kind, and this store's identifier in either order (the user's reversal
// inverts the order found).
bool acceptImage(std::int32_t id, const unsigned char* data, long length, bool reversed,
                 bool* swapped) {
    if (!data || length <= kOldImagePrefixBytes - 1 || length > kMaxImageBytes) return false;
    const ByteOrder order = detectByteOrder(data, id);
    if (order == ByteOrder::rejected) return false;
    *swapped = (order == ByteOrder::swapped) != reversed;
    return true;
}

// The header of a current-layout image and its body, cut to the length the
// header gives.
bool headerAndBody(const unsigned char* data, long length, bool swapped, newpresetheader* header,
                   int* bodyLength) {
    if (length < kImageHeaderBytes) return false;
    *header = readImageHeader(data, swapped);
    if (header->bodyLength < 0) return false;
    *bodyLength = static_cast<int>(std::min<long>(header->bodyLength, length - kImageHeaderBytes));
    return true;
}

}  // namespace

bool PresetImageCodec::loadPresetImage(const unsigned char* data, long length, bool reversed) {
    bool swapped = false;
    if (!acceptImage(store.getUniqueID(), data, length, reversed, &swapped)) return false;
    const auto* chars = reinterpret_cast<const char*>(data);
    switch (data[4]) {
        case kKindOldPreset:
            return bufferToPresetOld(chars + kOldImagePrefixBytes,
                                     static_cast<int>(length - kOldImagePrefixBytes), swapped,
                                     oldPresetValueCount(length));
        case kKindPreset: {
            newpresetheader header;
            int bodyLength = 0;
            if (!headerAndBody(data, length, swapped, &header, &bodyLength)) return false;
            return bufferToPreset(chars + kImageHeaderBytes, bodyLength, &header, swapped);
        }
        default:
            return false;
    }
}

bool PresetImageCodec::loadBankImage(const unsigned char* data, long length, bool reversed) {
    bool swapped = false;
    if (!acceptImage(store.getUniqueID(), data, length, reversed, &swapped)) return false;
    const auto* chars = reinterpret_cast<const char*>(data);
    switch (data[4]) {
        case kKindOldBank:
            return bufferToBankOld(chars + kOldImagePrefixBytes,
                                   static_cast<int>(length - kOldImagePrefixBytes), swapped,
                                   kNumPresets, oldBankValueCount(length));
        case kKindBank: {
            newpresetheader header;
            int bodyLength = 0;
            if (!headerAndBody(data, length, swapped, &header, &bodyLength)) return false;
            return bufferToBank(chars + kImageHeaderBytes, bodyLength, &header, swapped);
        }
        default:
            return false;
    }
}

}  // namespace kt
