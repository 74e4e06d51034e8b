#include "editor/AEffGUIEditor.h"

#include <atomic>

#include "editor/MyFrame.h"
#include "gui/CBitmap.h"
#include "host/AudioEffectX.h"
#include "platform/ticks.h"

namespace {
std::atomic<vst::int32> knobMode{0};  // shared by every editor of the process
}

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect), lastIdleTicks(getTicks()) {
    if (effect) effect->setEditor(this);
}

AEffGUIEditor::~AEffGUIEditor() {
    closeFrame();
}

std::uint32_t AEffGUIEditor::getTicks() {
    return kt::getTicks();
}

bool AEffGUIEditor::getRect(vst::ERect** r) {
    if (!r) return false;
    *r = &rect;
    return true;
}

bool AEffGUIEditor::openFrame(void* parent, CBitmap* background) {
    closeFrame();
    CRect size(0, 0, rect.right - rect.left, rect.bottom - rect.top);
    if (background && background->isLoaded())
        size = CRect(0, 0, background->getWidth(), background->getHeight());
    auto* newFrame = new MyFrame(size, this);
    if (background) newFrame->setBackground(background);
    if (!openWindow(newFrame, parent)) {
        newFrame->close();
        return false;
    }
    frame = newFrame;
    return true;
}

bool AEffGUIEditor::openWindow(MyFrame* newFrame, void* parent) {
    return newFrame->open(parent);
}

void AEffGUIEditor::closeFrame() {
    if (!frame) return;
    MyFrame* old = frame;
    frame = nullptr;
    old->close();
}

void AEffGUIEditor::idle() {
    if (inIdle || !frame) return;
    frame->idle();
}

void AEffGUIEditor::draw(vst::ERect* r) {
    if (!frame) return;
    auto context = frame->createDrawContext();
    if (!context) return;
    CRect update = frame->getViewSize();
    if (r) update = CRect(r->left, r->top, r->right, r->bottom).normalize();
    frame->drawAll(context.get(), update);
}

bool AEffGUIEditor::onKeyDown(vst::VstKeyCode& key) {
    return frame && frame->onKeyDown(key) > 0;
}

bool AEffGUIEditor::onKeyUp(vst::VstKeyCode& key) {
    return frame && frame->onKeyUp(key) > 0;
}

bool AEffGUIEditor::onWheel(float distance) {
    if (!frame) return false;
    CPoint where;
    frame->getCurrentMouseLocation(where);
    const CButtonState buttons = frame->getCurrentMouseButtons();
    return frame->onWheel(where, distance, buttons);
}

bool AEffGUIEditor::setKnobMode(vst::int32 mode) {
    knobMode.store(mode, std::memory_order_relaxed);
    return true;
}

int AEffGUIEditor::getKnobMode() const {
    return knobMode.load(std::memory_order_relaxed);
}

void AEffGUIEditor::beginEdit(long index) {
    if (effect) static_cast<AudioEffectX*>(effect)->beginEdit(static_cast<vst::int32>(index));
}

void AEffGUIEditor::endEdit(long index) {
    if (effect) static_cast<AudioEffectX*>(effect)->endEdit(static_cast<vst::int32>(index));
}

CFrame* AEffGUIEditor::getFrame() const {
    return frame;
}

void AEffGUIEditor::doIdleStuff() {
    std::uint32_t now = currentTicks();
    if (now < lastIdleTicks) {
        // Too soon for another pass: keep the window's events flowing for a moment.
        if (frame) frame->pumpEvents(kt::kIdleEventWaitMs);
        now += kt::kIdleEventWaitMs;
        if (now < lastIdleTicks - 50) return;
    }
    idle();
    lastIdleTicks = now + 100;
    inIdle = true;
    if (effect) effect->masterIdle();
    inIdle = false;
}
