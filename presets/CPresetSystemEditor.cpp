#include "presets/CPresetSystemEditor.h"

#include "platform/dialogs.h"
#include "presets/CPresetSystemEffect.h"

CPresetSystemEditor::CPresetSystemEditor(AudioEffect* effect) : AEffGUIEditor(effect) {}

CPresetSystemEditor::~CPresetSystemEditor() {
    storePathsAndFilenames();
}

CPresetSystemEffect* CPresetSystemEditor::presetEffect() {
    return static_cast<CPresetSystemEffect*>(effect);
}

void CPresetSystemEditor::nameChangedExternal(const char* name) {
    if (!name) return;
    CPresetSystemEffect* fx = presetEffect();
    showPresetName(name);
    if (fx) setMenuEntry(fx->getPresetNo(), name);
}

void CPresetSystemEditor::loadDefaults() {
    CPresetSystemEffect* fx = presetEffect();
    if (!fx) return;
    loadDefaultBank();
    fx->setPresetNo(0);
    loadDefaultPreset();
    loadDefaultMidi();
    recallPathsAndFilenames();
}
