#include "editor/Editor.h"

Editor::Editor(AudioEffect* effect) : CPresetSystemEditor(effect) {
    rect.top = 0;
    rect.left = 0;
    rect.bottom = 462;
    rect.right = 524;
}

Editor::~Editor() = default;

void Editor::setParameter(vst::int32, float) {}

void Editor::setLatency(long samples) { latencySamples.store(samples, std::memory_order_relaxed); }
