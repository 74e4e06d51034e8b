// Preset, bank and MIDI-map images: writing them, and reading them (the
// current layout and the two old ones) back into the preset store.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>

#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"

using kt::kNumPresets;
using kt::kPresetNameSize;
using kt::kPresetParams;

namespace {

constexpr int kPresetBodyFixedBytes = kt::kRecordHeadBytes + kt::kNamePayloadBytes;  // 168
constexpr int kValueRecordBytes = kt::kRecordHeadBytes + kt::kValuePayloadBytes;     // 32

unsigned char* writeRecordHead(unsigned char* p, std::int32_t type, std::int32_t length,
                               std::int32_t presetNo) {
    kt::writeBigEndian(p, static_cast<std::uint32_t>(type));
    kt::writeBigEndian(p + 4, static_cast<std::uint32_t>(length));
    kt::writeBigEndian(p + 8, static_cast<std::uint32_t>(presetNo));
    return p + kt::kRecordHeadBytes;
}

// The buffer is zeroed beforehand, so only the non-zero fields are written.
unsigned char* writeNameRecord(unsigned char* p, int presetNo, const kt::PresetRecord& preset) {
    p = writeRecordHead(p, kt::kRecordName, kt::kNamePayloadBytes, presetNo);
    std::memcpy(p, preset.name, kPresetNameSize);
    return p + kt::kNamePayloadBytes;
}

unsigned char* writeValueRecord(unsigned char* p, std::int32_t type, int presetNo, int index,
                                float value) {
    p = writeRecordHead(p, type, kt::kValuePayloadBytes, presetNo);
    kt::writeBigEndian(p, static_cast<std::uint32_t>(index));
    kt::writeBigEndian(p + kt::kValueFieldOffset, std::bit_cast<std::uint32_t>(value));
    return p + kt::kValuePayloadBytes;
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
        if (length - offset < kt::kRecordHeadBytes) break;
        const unsigned char* head = p + offset;
        const std::int32_t payloadLength = kt::readInt(head + 4, swapped);
        if (payloadLength < 0 || payloadLength > length - offset - kt::kRecordHeadBytes) break;
        const Record record{kt::readInt(head, swapped), kt::readInt(head + 8, swapped),
                            head + kt::kRecordHeadBytes, payloadLength};
        if (visit(record) == Visit::reject) return false;
        offset += kt::kRecordHeadBytes + payloadLength;
    }
    return true;
}

// A name record's 24 bytes, terminated.
void takeName(const Record& record, kt::PresetRecord& preset) {
    char name[kPresetNameSize + 1] = {};
    std::memcpy(name, record.payload, kPresetNameSize);
    preset.setName(name);
}

bool hasName(const Record& r) {
    return r.type == kt::kRecordName && r.length >= kPresetNameSize;
}
bool hasValue(const Record& r, std::int32_t type) {
    return r.type == type && r.length >= kt::kValueFieldOffset + 4;
}

// A value record's value into the preset. Other records and indices are
// skipped; a value outside [0, 1] rejects the whole load.
Visit takeValue(const Record& r, kt::PresetRecord& preset, bool swapped) {
    if (!hasValue(r, kt::kRecordValue)) return Visit::next;
    const std::int32_t index = kt::readInt(r.payload, swapped);
    if (index < 0 || index >= kPresetParams) return Visit::next;
    const float v = kt::readFloat(r.payload + kt::kValueFieldOffset, swapped);
    if (!kt::isPresetValue(v)) return Visit::reject;
    preset.setValue(index, v);
    return Visit::next;
}

class BankCopy {
  public:
    explicit BankCopy(CPresetSystemEffect& effect)
        : effect(effect), presets(new kt::PresetRecord[kNumPresets]) {
        for (int p = 0; p < kNumPresets; ++p) presets[p].copyFrom(effect.preset(p));
    }
    void restore() {
        for (int p = 0; p < kNumPresets; ++p) effect.preset(p).copyFrom(presets[p]);
    }

  private:
    CPresetSystemEffect& effect;
    std::unique_ptr<kt::PresetRecord[]> presets;
};

int writtenParameters(CPresetSystemEffect& effect) {
    int n = 0;
    for (int i = 0; i < kPresetParams; ++i) n += effect.isDummy(i) ? 0 : 1;
    return n;
}

}  // namespace

int CPresetSystemEditor::PresetToBuffer(char** out) {
    *out = nullptr;
    CPresetSystemEffect* fx = presetEffect();
    if (!fx) return 0;
    const int n = writtenParameters(*fx);
    const int bodyLength = kPresetBodyFixedBytes + kValueRecordBytes * n;
    const int total = kt::kImageHeaderBytes + bodyLength;
    auto* buffer = new char[static_cast<std::size_t>(total)]();
    auto* p = reinterpret_cast<unsigned char*>(buffer);
    kt::writeImageHeader(p, fx->getUniqueID(), kt::kKindPreset, n, 1 + n, 0, bodyLength);
    const kt::PresetRecord& preset = fx->preset(fx->getPresetNo());
    p = writeNameRecord(p + kt::kImageHeaderBytes, 0, preset);
    for (int i = 0; i < kPresetParams; ++i)
        if (!fx->isDummy(i)) p = writeValueRecord(p, kt::kRecordValue, 0, i, preset.value(i));
    *out = buffer;
    return total;
}

int CPresetSystemEditor::BankToBuffer(char** out) {
    *out = nullptr;
    CPresetSystemEffect* fx = presetEffect();
    if (!fx) return 0;
    const int n = writtenParameters(*fx);
    const int bodyLength = kNumPresets * (kPresetBodyFixedBytes + kValueRecordBytes * n);
    const int total = kt::kImageHeaderBytes + bodyLength;
    auto* buffer = new char[static_cast<std::size_t>(total)]();
    auto* p = reinterpret_cast<unsigned char*>(buffer);
    kt::writeImageHeader(p, fx->getUniqueID(), kt::kKindBank, n, kNumPresets * (1 + n),
                         fx->getPresetNo(), bodyLength);
    p += kt::kImageHeaderBytes;
    for (int preset = 0; preset < kNumPresets; ++preset) {
        const kt::PresetRecord& record = fx->preset(preset);
        p = writeNameRecord(p, preset, record);
        for (int i = 0; i < kPresetParams; ++i)
            if (!fx->isDummy(i))
                p = writeValueRecord(p, kt::kRecordValue, preset, i, record.value(i));
    }
    *out = buffer;
    return total;
}

int CPresetSystemEditor::MidiToBuffer(char** out) {
    *out = nullptr;
    CPresetSystemEffect* fx = presetEffect();
    if (!fx) return 0;
    const int bodyLength = kValueRecordBytes * kPresetParams;
    const int total = kt::kImageHeaderBytes + bodyLength;
    auto* buffer = new char[static_cast<std::size_t>(total)]();
    auto* p = reinterpret_cast<unsigned char*>(buffer);
    kt::writeImageHeader(p, fx->getUniqueID(), kt::kKindMidi, kPresetParams, kPresetParams, 0,
                         bodyLength);
    p += kt::kImageHeaderBytes;
    for (int i = 0; i < kPresetParams; ++i)
        p = writeValueRecord(p, kt::kRecordMidi, 0, i, fx->getParameter(kPresetParams + i));
    *out = buffer;
    return total;
}

void CPresetSystemEditor::showAppliedPreset(int n) {
    CPresetSystemEffect* fx = presetEffect();
    char name[kPresetNameSize + 1] = {};
    std::memcpy(name, fx->preset(n).name, kPresetNameSize);
    selectMenuEntry(n);
    showPresetName(name);
    fx->setPresetNo(n);
}

// A preset just read into slot c: its name goes to the preset bar and the
// effect, then the preset is applied.
void CPresetSystemEditor::applyLoadedPreset(int c) {
    CPresetSystemEffect* fx = presetEffect();
    char name[kPresetNameSize + 1] = {};
    std::memcpy(name, fx->preset(c).name, kPresetNameSize);
    showPresetName(name);
    setMenuEntry(c, name);
    fx->setPresetName(name);
    fx->setPresetNo(c);
}

bool CPresetSystemEditor::BufferToPreset(const char* body, int length,
                                         const newpresetheader* header, bool swapped) {
    CPresetSystemEffect* fx = presetEffect();
    if (!fx || !header || (!body && length > 0)) return false;
    const int c = fx->getPresetNo();
    kt::PresetRecord& preset = fx->preset(c);
    kt::PresetRecord copy;
    copy.copyFrom(preset);
    if (header->numRecords < 0) return false;
    fx->initializePreset(c);
    const bool taken =
        visitRecords(body, length, header->numRecords, swapped, [&](const Record& r) {
            if (hasName(r)) takeName(r, preset);
            return takeValue(r, preset, swapped);
        });
    if (!taken) {
        preset.copyFrom(copy);
        return false;
    }
    applyLoadedPreset(c);
    return true;
}

bool CPresetSystemEditor::BufferToBank(const char* body, int length, const newpresetheader* header,
                                       bool swapped) {
    CPresetSystemEffect* fx = presetEffect();
    if (!fx || !header || (!body && length > 0) || header->numRecords < 0) return false;
    int current = header->currentPreset;
    if (current < 0 || current >= kNumPresets) current = 0;
    BankCopy copy(*fx);
    const bool taken =
        visitRecords(body, length, header->numRecords, swapped, [&](const Record& r) {
            if (r.presetNo < 0 || r.presetNo >= kNumPresets) return Visit::next;
            kt::PresetRecord& preset = fx->preset(r.presetNo);
            if (hasName(r)) {
                fx->initializePreset(r.presetNo);
                takeName(r, preset);
                setMenuEntry(r.presetNo, preset.name);
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

bool CPresetSystemEditor::BufferToPresetOld(const char* data, int length, bool swapped,
                                            int values) {
    CPresetSystemEffect* fx = presetEffect();
    // Too short for a name and one value: refused.
    if (!fx || !data || values < 1 || length < kPresetNameSize + 4) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const int c = fx->getPresetNo();
    kt::PresetRecord& preset = fx->preset(c);
    kt::PresetRecord copy;
    copy.copyFrom(preset);
    fx->initializePreset(c);
    char name[kPresetNameSize + 1] = {};
    std::memcpy(name, p, kPresetNameSize);
    preset.setName(name);
    const int count = std::min({values, kPresetParams, (length - kPresetNameSize) / 4});
    for (int j = 0; j < count; ++j) {
        if (fx->isDummyOld(j)) continue;
        const float v = kt::readFloat(p + kPresetNameSize + 4 * j, swapped);
        if (!kt::isPresetValue(v)) {
            preset.copyFrom(copy);
            return false;
        }
        preset.setValue(j, v);
    }
    applyLoadedPreset(c);
    return true;
}

bool CPresetSystemEditor::BufferToBankOld(const char* data, int length, bool swapped, int presets,
                                          int values) {
    CPresetSystemEffect* fx = presetEffect();
    if (!fx || !data || values < 1 || presets < 1 || length < kPresetNameSize + 4) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const std::int64_t stride = kPresetNameSize + 4 * std::int64_t{values};
    const int read = std::min(values, kPresetParams);
    BankCopy copy(*fx);
    for (int i = 0; i < std::min(presets, kNumPresets); ++i) {
        const std::int64_t start = i * stride;
        if (start + kPresetNameSize + 4 * read > length) break;
        const unsigned char* block = p + start;
        kt::PresetRecord& preset = fx->preset(i);
        fx->initializePreset(i);
        char name[kPresetNameSize + 1] = {};
        std::memcpy(name, block, kPresetNameSize);
        preset.setName(name);
        setMenuEntry(i, preset.name);
        for (int j = 0; j < read; ++j) {
            if (fx->isDummyOld(j)) continue;
            const float v = kt::readFloat(block + kPresetNameSize + 4 * j, swapped);
            if (!kt::isPresetValue(v)) {
                copy.restore();
                return false;
            }
            preset.setValue(j, v);
        }
    }
    showAppliedPreset(0);
    return true;
}

bool CPresetSystemEditor::BufferToMidi(const char* body, int length, const newpresetheader* header,
                                       bool swapped) {
    CPresetSystemEffect* fx = presetEffect();
    if (!fx || !header || (!body && length > 0) || header->numRecords < 0) return false;
    return visitRecords(body, length, header->numRecords, swapped, [&](const Record& r) {
        if (!hasValue(r, kt::kRecordMidi)) return Visit::next;
        const std::int32_t index = kt::readInt(r.payload, swapped);
        const float v = kt::readFloat(r.payload + kt::kValueFieldOffset, swapped);
        if (index >= 0 && index < kPresetParams && kt::isPresetValue(v))
            fx->setParameter(kPresetParams + index, v);
        return Visit::next;
    });
}

bool CPresetSystemEditor::BufferToMidiOld(const char* data, int length, bool swapped, int values) {
    CPresetSystemEffect* fx = presetEffect();
    if (!fx || !data || values < 1 || length < 4) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const int count = std::min({values, kPresetParams, length / 4});
    for (int j = 0; j < count; ++j) {
        const float v = kt::readFloat(p + 4 * j, swapped);
        if (kt::isPresetValue(v)) fx->setParameter(kPresetParams + j, v);
    }
    return true;
}
