#include "editor/CPresetSystemEditor.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/preset_files.h"
#include "presets/stored_presets.h"

namespace stored = kt::stored;

CPresetSystemEditor::CPresetSystemEditor(AudioEffect* effect)
    : AEffGUIEditor(effect), codec(*static_cast<CPresetSystemEffect*>(effect), *this) {}

CPresetSystemEditor::~CPresetSystemEditor() {
    storePathsAndFilenames();
}

CPresetSystemEffect* CPresetSystemEditor::presetEffect() {
    return static_cast<CPresetSystemEffect*>(effect);
}

void CPresetSystemEditor::loadDefaults() {
    loadDefaultBank();
    presetEffect()->setPresetNo(0);
    loadDefaultPreset();
    loadDefaultMidi();
    recallPathsAndFilenames();
}

// ---- Byte images: the preset store's image code, showing loads in the bar.

int CPresetSystemEditor::PresetToBuffer(char** out) {
    return codec.presetToBuffer(out);
}
int CPresetSystemEditor::BankToBuffer(char** out) {
    return codec.bankToBuffer(out);
}
int CPresetSystemEditor::MidiToBuffer(char** out) {
    return codec.midiToBuffer(out);
}
bool CPresetSystemEditor::BufferToPreset(const char* body, int length,
                                         const newpresetheader* header, bool swapped) {
    return codec.bufferToPreset(body, length, header, swapped);
}
bool CPresetSystemEditor::BufferToBank(const char* body, int length, const newpresetheader* header,
                                       bool swapped) {
    return codec.bufferToBank(body, length, header, swapped);
}
bool CPresetSystemEditor::BufferToMidi(const char* body, int length, const newpresetheader* header,
                                       bool swapped) {
    return codec.bufferToMidi(body, length, header, swapped);
}
bool CPresetSystemEditor::BufferToPresetOld(const char* data, int length, bool swapped,
                                            int values) {
    return codec.bufferToPresetOld(data, length, swapped, values);
}
bool CPresetSystemEditor::BufferToBankOld(const char* data, int length, bool swapped, int presets,
                                          int values) {
    return codec.bufferToBankOld(data, length, swapped, presets, values);
}
bool CPresetSystemEditor::BufferToMidiOld(const char* data, int length, bool swapped, int values) {
    return codec.bufferToMidiOld(data, length, swapped, values);
}

// ---- Files, once a path is chosen. The names are remembered before the
// file is opened, even if the load fails.

namespace {

void alert(const std::string& message) {
    XPlatDisplayAlert(message.c_str());
}

bool isReadableFile(const char* path) {
    struct stat info {};
    return ::stat(path, &info) == 0 && S_ISREG(info.st_mode) && ::access(path, R_OK) == 0;
}

}  // namespace

bool CPresetSystemEditor::loadFile(const char* path, bool reversed, bool bank) {
    const std::string shown = path ? path : "";
    const char* kind = bank ? "bank" : "preset";
    char* name = bank ? bankFileName : presetFileName;
    if (!XPlatGetFileNameAndDir(path, name, presetDirectory)) {
        alert(std::string("Could not load the ") + kind +
              " file: not a full path, or its name or folder is too long.\n" + shown);
        return false;
    }
    const std::string refused = std::string("Could not load the ") + kind +
                                " file: it holds no Kav Tamor " + kind +
                                ", or its data is damaged. Nothing was changed.\n" + shown;
    switch (kt::loadImageFile(codec, name, presetDirectory, reversed, bank)) {
        case kt::FileLoad::loaded:
            return true;
        case kt::FileLoad::unreadable:
            alert(isReadableFile(path)
                      ? refused
                      : std::string("Could not read the ") + kind + " file:\n" + shown);
            return false;
        case kt::FileLoad::cutShort:  // already reported
            return false;
        case kt::FileLoad::refused:
            alert(refused);
            return false;
    }
    return false;
}

bool CPresetSystemEditor::loadPresetFile(const char* path, bool reversed) {
    return loadFile(path, reversed, false);
}

bool CPresetSystemEditor::loadBankFile(const char* path, bool reversed) {
    return loadFile(path, reversed, true);
}

bool CPresetSystemEditor::saveFile(const char* path, bool bank) {
    char* name = bank ? bankFileName : presetFileName;
    if (XPlatGetFileNameAndDir(path, name, presetDirectory))
        return kt::saveImageFile(codec, name, presetDirectory, bank);
    const std::string message = std::string("Could not save the ") + (bank ? "bank" : "preset") +
                                " file:\n" + (path ? path : "");
    XPlatDisplayAlert(message.c_str());
    return false;
}

bool CPresetSystemEditor::savePresetFile(const char* path) {
    return saveFile(path, false);
}
bool CPresetSystemEditor::saveBankFile(const char* path) {
    return saveFile(path, true);
}

// ---- Stored defaults, memories and names.

void CPresetSystemEditor::storeImage(const char* key, bool bank, const char* what) {
    if (!stored::storeImage(codec, key, bank))
        alert(std::string("Could not store the ") + what + " in the preferences folder.");
}

void CPresetSystemEditor::saveDefaultPreset() {
    storeImage(stored::kDefaultPreset, false, "default preset");
}
void CPresetSystemEditor::storeA() {
    storeImage(stored::kMemoA, false, "preset in memory A");
}
void CPresetSystemEditor::storeB() {
    storeImage(stored::kMemoB, false, "preset in memory B");
}
void CPresetSystemEditor::saveDefaultBank() {
    storeImage(stored::kDefaultBank, true, "default bank");
}
void CPresetSystemEditor::resetDefaultPreset() {
    stored::removeImage(stored::kDefaultPreset);
}
void CPresetSystemEditor::resetDefaultBank() {
    stored::removeImage(stored::kDefaultBank);
}
void CPresetSystemEditor::resetDefaultMidi() {
    stored::removeImage(stored::kDefaultMidi);
}
void CPresetSystemEditor::loadDefaultPreset() {
    stored::recallPreset(codec, stored::kDefaultPreset);
}
void CPresetSystemEditor::recallA() {
    stored::recallPreset(codec, stored::kMemoA);
}
void CPresetSystemEditor::recallB() {
    stored::recallPreset(codec, stored::kMemoB);
}
void CPresetSystemEditor::loadDefaultBank() {
    stored::recallBank(codec, stored::kDefaultBank);
}

void CPresetSystemEditor::recallPathsAndFilenames() {
    stored::recallName(stored::kDirectory, presetDirectory);
    stored::recallName(stored::kBankName, bankFileName);
    stored::recallName(stored::kPresetName, presetFileName);
}

void CPresetSystemEditor::storePathsAndFilenames() {
    stored::storeName(stored::kDirectory, presetDirectory);
    stored::storeName(stored::kBankName, bankFileName);
    stored::storeName(stored::kPresetName, presetFileName);
}
