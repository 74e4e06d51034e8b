#include "presets/CPresetSystemEffect.h"

#include <algorithm>
#include <cstring>

#include "host/AEffEditor.h"
#include "presets/factory_presets.h"

using namespace vst;
using kt::kNumPresets;
using kt::kPresetNameSize;
using kt::kPresetParams;

CPresetSystemEffect::CPresetSystemEffect(audioMasterCallback audioMaster, int, int numParams)
    : AudioEffectX(audioMaster, 1, numParams),
      bank(new kt::PresetRecord[kNumPresets]),
      chunkBuffer(new unsigned char[kt::kChunkBytes]()) {
    loadingProgram = true;
    programsAreChunks(true);
    curProgram = 0;
    initPresets();
    templatePreset.copyFrom(bank[0]);
    loadingProgram = false;
}

CPresetSystemEffect::~CPresetSystemEffect() = default;

CPresetSystemEditorInterface* CPresetSystemEffect::presetEditor() {
    return dynamic_cast<CPresetSystemEditorInterface*>(editor);
}

void CPresetSystemEffect::initPresets() {
    for (int p = 0; p < kNumPresets; ++p) {
        bank[p].setName(kt::kFactoryPresets[static_cast<std::size_t>(p)].name.data());
        for (int i = 0; i < kPresetParams; ++i) bank[p].setValue(i, kt::factoryValue(p, i));
    }
}

void CPresetSystemEffect::initializePreset(int n) {
    if (n >= 0 && n < kNumPresets) bank[n].copyFrom(templatePreset);
}

void CPresetSystemEffect::setParameter(int32 index, float value) {
    // The store keeps only values its readers take back, so a host's stray
    // automation value cannot make the bank's own chunk unreadable.
    if (!(value >= 0.0f)) value = 0.0f;  // also NaN
    if (value > 1.0f) value = 1.0f;
    if (index >= 0 && index < kPresetParams) bank[getPresetNo()].setValue(index, value);
}

float CPresetSystemEffect::getParameter(int32 index) {
    if (index < 0 || index >= kPresetParams) return -1.0f;
    return bank[getPresetNo()].value(index);
}

void CPresetSystemEffect::setPresetNo(int n) {
    n = std::clamp(n, 0, kNumPresets - 1);
    currentPreset = n;
    loadingProgram = true;
    curProgram = 0;
    // Index order matters: the version at 25 comes last so that its mapping
    // sees the other values already applied.
    for (int i = 0; i < kPresetParams; ++i) setParameter(i, bank[n].value(i));
    updateDisplay();
    beginEdit(0);
    endEdit(0);
    loadingProgram = false;
}

void CPresetSystemEffect::setPresetName(const char* name) {
    curProgram = 0;
    if (name) bank[getPresetNo()].setName(name);
    updateDisplay();
}

void CPresetSystemEffect::setProgramName(char* name) {
    bank[getPresetNo()].setName(name);
    if (CPresetSystemEditorInterface* side = presetEditor())
        side->nameChangedExternal(bank[getPresetNo()].nameText().c_str());
}

void CPresetSystemEffect::getProgramName(char* name) {
    bank[getPresetNo()].copyName(name);
}

bool CPresetSystemEffect::getProgramNameIndexed(int32, int32 index, char* text) {
    if (index < 0 || index >= kNumPresets) return false;
    bank[index].copyName(text);
    return true;
}

void CPresetSystemEffect::loadDefaults() {
    templatePreset.copyFrom(bank[0]);
    if (CPresetSystemEditorInterface* side = presetEditor()) side->loadDefaults();
}
