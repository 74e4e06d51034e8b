// Stored defaults, the A/B memories and the remembered folder and file names,
// kept in the per-user preferences store.
#include <cstring>
#include <memory>
#include <span>

#include "platform/preferences.h"
#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"

namespace {

constexpr const char* kDefaultPresetKey = "DefaultPreset";
constexpr const char* kDefaultBankKey = "DefaultBank";
constexpr const char* kDefaultMidiKey = "DefaultMidi";
constexpr const char* kMemoAKey = "MemoAPreset";
constexpr const char* kMemoBKey = "MemoBPreset";
constexpr const char* kDirectoryKey = "CurrDir";
constexpr const char* kBankNameKey = "CurrBank";
constexpr const char* kPresetNameKey = "CurrPreset";

// Copies a stored name into its buffer; one too long for it is ignored.
void recallName(const char* key, char* buffer) {
    const std::optional<std::string> value = kt::prefs::readString(key);
    if (!value || value->size() >= kXPlatNameBytes || value->find('\0') != std::string::npos)
        return;
    std::memcpy(buffer, value->c_str(), value->size() + 1);
}

// Only names that differ from the stored ones are written, so an instance
// that chose nothing does not overwrite what another instance stored.
void storeName(const char* key, const char* buffer) {
    const std::optional<std::string> stored = kt::prefs::readString(key);
    if (stored ? *stored == buffer : buffer[0] == 0) return;
    kt::prefs::writeString(key, buffer);
}

}  // namespace

bool CPresetSystemEditor::storeImage(const char* key, bool bank) {
    char* image = nullptr;
    const int length = bank ? BankToBuffer(&image) : PresetToBuffer(&image);
    std::unique_ptr<char[]> owned(image);
    if (!image) return false;
    return kt::prefs::writeBytes(key, std::span(reinterpret_cast<const unsigned char*>(image),
                                                static_cast<std::size_t>(length)));
}

bool CPresetSystemEditor::recallPresetImage(const char* key) {
    const auto bytes = kt::prefs::readBytes(key);
    if (!bytes || bytes->size() <= 4) return false;
    return loadPresetImage(bytes->data(), static_cast<long>(bytes->size()), false);
}

void CPresetSystemEditor::saveDefaultPreset() {
    storeImage(kDefaultPresetKey, false);
}
void CPresetSystemEditor::storeA() {
    storeImage(kMemoAKey, false);
}
void CPresetSystemEditor::storeB() {
    storeImage(kMemoBKey, false);
}
void CPresetSystemEditor::saveDefaultBank() {
    storeImage(kDefaultBankKey, true);
}

void CPresetSystemEditor::resetDefaultPreset() {
    kt::prefs::remove(kDefaultPresetKey);
}
void CPresetSystemEditor::resetDefaultBank() {
    kt::prefs::remove(kDefaultBankKey);
}
void CPresetSystemEditor::resetDefaultMidi() {
    kt::prefs::remove(kDefaultMidiKey);
}

void CPresetSystemEditor::loadDefaultPreset() {
    recallPresetImage(kDefaultPresetKey);
}
void CPresetSystemEditor::recallA() {
    recallPresetImage(kMemoAKey);
}
void CPresetSystemEditor::recallB() {
    recallPresetImage(kMemoBKey);
}

void CPresetSystemEditor::loadDefaultBank() {
    // Unlike a bank file, the stored bank keeps the current preset it names.
    const auto bytes = kt::prefs::readBytes(kDefaultBankKey);
    if (!bytes || bytes->size() <= 4) return;
    loadBankImage(bytes->data(), static_cast<long>(bytes->size()), false);
}

void CPresetSystemEditor::recallPathsAndFilenames() {
    recallName(kDirectoryKey, presetDirectory);
    recallName(kBankNameKey, bankFileName);
    recallName(kPresetNameKey, presetFileName);
}

void CPresetSystemEditor::storePathsAndFilenames() {
    storeName(kDirectoryKey, presetDirectory);
    storeName(kBankNameKey, bankFileName);
    storeName(kPresetNameKey, presetFileName);
}
