#include "editor/Editor.h"

#include "gui/CBitmap.h"

namespace {
constexpr int kBackgroundBitmap = 128;  // the window's backdrop; its size is the window's
}

Editor::Editor(AudioEffect* effect) : CPresetSystemEditor(effect) {
    rect.top = 0;
    rect.left = 0;
    rect.bottom = 462;
    rect.right = 524;
}

Editor::~Editor() = default;

void Editor::setParameter(vst::int32, float) {}

void Editor::setLatency(long samples) { latencySamples.store(samples, std::memory_order_relaxed); }

// ---- Window: the frame, opened in the host's window and torn down on close.

bool Editor::open(void* parent) {
    AEffGUIEditor::open(parent);
    CBitmap* background = new CBitmap(kBackgroundBitmap);
    const bool opened = openFrame(parent, background);
    background->forget();  // the frame keeps its own reference
    if (!opened) {
        AEffEditor::close();
        return false;
    }
    CPresetSystemEditor::open(parent);  // the preset bar
    return true;
}

void Editor::close() {
    closeFrame();
    CPresetSystemEditor::close();
}

void Editor::idle() { CPresetSystemEditor::idle(); }
