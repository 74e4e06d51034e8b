#include "editor/AEffGUIEditor.h"

#include <atomic>

#include "host/AudioEffectX.h"

namespace {
std::atomic<vst::int32> knobMode{0};  // shared by every editor of the process
}

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {
    if (effect) effect->setEditor(this);
}

bool AEffGUIEditor::setKnobMode(vst::int32 mode) {
    knobMode.store(mode, std::memory_order_relaxed);
    return true;
}

vst::int32 AEffGUIEditor::getKnobMode() { return knobMode.load(std::memory_order_relaxed); }

bool AEffGUIEditor::beginEdit(vst::int32 index) {
    return static_cast<AudioEffectX*>(effect)->beginEdit(index);
}

bool AEffGUIEditor::endEdit(vst::int32 index) {
    return static_cast<AudioEffectX*>(effect)->endEdit(index);
}
