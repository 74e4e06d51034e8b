#include "presets/CPresetSystemEditor.h"

#include "presets/CPresetSystemEffect.h"

CPresetSystemEditor::CPresetSystemEditor(AudioEffect* effect) : AEffGUIEditor(effect) {}

CPresetSystemEditor::~CPresetSystemEditor() = default;

CPresetSystemEffect* CPresetSystemEditor::presetEffect() {
    return static_cast<CPresetSystemEffect*>(effect);
}

void CPresetSystemEditor::nameChangedExternal(const char*) {}

void CPresetSystemEditor::loadDefaults() {}

int CPresetSystemEditor::BankToBuffer(char** out) {
    *out = nullptr;
    return 0;
}

int CPresetSystemEditor::PresetToBuffer(char** out) {
    *out = nullptr;
    return 0;
}
