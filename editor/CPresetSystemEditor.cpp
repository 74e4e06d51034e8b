#include "editor/CPresetSystemEditor.h"

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

void CPresetSystemEditor::nameChangedExternal(const char* name) {
    if (!name) return;
    showPresetName(name);
    setMenuEntry(presetEffect()->getPresetNo(), name);
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

bool CPresetSystemEditor::loadPresetFile(const char* path, bool reversed) {
    return XPlatGetFileNameAndDir(path, presetFileName, presetDirectory) &&
           kt::loadPresetFile(codec, presetFileName, presetDirectory, reversed);
}

bool CPresetSystemEditor::loadBankFile(const char* path, bool reversed) {
    return XPlatGetFileNameAndDir(path, bankFileName, presetDirectory) &&
           kt::loadBankFile(codec, bankFileName, presetDirectory, reversed);
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

void CPresetSystemEditor::saveDefaultPreset() {
    stored::storeImage(codec, stored::kDefaultPreset, false);
}
void CPresetSystemEditor::storeA() {
    stored::storeImage(codec, stored::kMemoA, false);
}
void CPresetSystemEditor::storeB() {
    stored::storeImage(codec, stored::kMemoB, false);
}
void CPresetSystemEditor::saveDefaultBank() {
    stored::storeImage(codec, stored::kDefaultBank, true);
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
