// Controls to parameters and back: what a user's change sends to the effect,
// and how the effect's changes reach the controls.
#include <bit>

#include "editor/CKavTextEdit.h"
#include "editor/Editor.h"
#include "editor/gr_meter.h"
#include "editor/info_view.h"
#include "editor/knob.h"
#include "editor/level_meters.h"
#include "editor/meter_readouts.h"
#include "editor/mode_button.h"
#include "editor/on_off_buttons.h"
#include "editor/steppers.h"
#include "engine/parameters.h"
#include "host/AudioEffect.h"

using namespace kt::ui;
using kt::paramContToLong;
using kt::paramLongToCont;

// ---- Controls to parameters

void Editor::automate(long index, float value) {
    effect->setParameterAutomated(static_cast<vst::int32>(index), value);
}

void Editor::valueChanged(CControl* control) {
    CPresetSystemEditor::valueChanged(control);
    const long tag = control->getTag();
    const float value = control->getValue();
    switch (tag) {
        case kTagOutput:
        case kTagDrive:
        case kTagTransient:
        case kTagRelease:
        case kTagTransShape:
        case kTagLink:
        case kTagDetectorOrder:
        case kTagPower:
        case kTagBits:
        case kTagNoiseShape:
        case kTagLeveller:
        case kTagAutoOut:
        case kTagQuantize:
        case kTagAutoblack:
            automate(tag, value);
            break;
        case kTagOversample:
        case kTagCalibrate:
        case kTagMeterOvs:  // what the meters showed no longer compares
            resetMeters();
            automate(tag, value);
            break;
        case kTagAttZoom:
            if (meterGR) meterGR->reset();
            automate(tag, value);
            break;
        case kTagPostMeter:
            if (meterIn) meterIn->reset();
            if (readoutIn) readoutIn->reset();
            automate(tag, value);
            break;
        case kTagMeters:
            resetMeters();
            break;
        case kTagAttShowBit0:
        case kTagAttShowBit1:
        case kTagAttShowBit2:
            setAttShowBit(static_cast<int>(tag - kTagAttShowBit0), control);
            break;
        default:
            break;  // Scale and MeterType come through setScale / setMeterType
    }
}

// One trace button sets or clears its bit of the AttShow mask.
void Editor::setAttShowBit(int bit, const CControl* button) {
    int mask = paramContToLong(effect->getParameter(kTagAttShow), 8);
    if (paramContToLong(button->getValue(), 2) != 0)
        mask |= 1 << bit;
    else
        mask &= ~(1 << bit);
    automate(kTagAttShow, paramLongToCont(mask, 8));
}

void Editor::setMeterType(long type) {
    automate(kTagMeterType, paramLongToCont(static_cast<int>(type), 2));
}

void Editor::setScale(long scale) {
    automate(kTagScale, paramLongToCont(static_cast<int>(scale), 3));
}

// ---- Parameters to controls

bool Editor::onUserInterfaceThread() const {
    return std::this_thread::get_id() == uiThread.load(std::memory_order_relaxed);
}

void Editor::setParameter(vst::int32 index, float value) {
    if (index < 0 || index > kLastParameterTag) return;
    if (onUserInterfaceThread())
        showParameter(index, value);
    else
        pendingChanges.fetch_or(1u << index, std::memory_order_release);
}

void Editor::setLatency(long samples) {
    latencySamples.store(samples, std::memory_order_relaxed);
    if (onUserInterfaceThread()) {
        if (info) info->setLatency(samples);
    } else {
        pendingChanges.fetch_or(kLatencyChanged, std::memory_order_release);
    }
}

// Idle pass: what other threads changed, read back from the effect.
void Editor::showPendingChanges() {
    std::uint32_t changed = pendingChanges.exchange(0, std::memory_order_acquire);
    if (!frame) return;
    if (changed & kLatencyChanged) {
        if (info) info->setLatency(getLatency());
        changed &= ~kLatencyChanged;
    }
    while (changed) {
        const int index = std::countr_zero(changed);
        changed &= changed - 1;
        showParameter(index, effect->getParameter(index));
    }
}

void Editor::showKnobValue(int index, float value) {
    if (CMyKnob* knob = knobs[static_cast<std::size_t>(index)]) {
        knob->setValue(value);
        knob->setDirty();
    }
    if (CKavTextEdit* field = valueFields[static_cast<std::size_t>(index)]) field->setValue(value);
}

// Scale code of the meters: 0 peak, else the K scale (1 K-12, 2 K-14, 3 K-20).
void Editor::showMeterScale(float meterType, float scale) {
    const long code = paramContToLong(meterType, 2) == 0 ? 0 : paramContToLong(scale, 3) + 1;
    if (meterIn) meterIn->setScale(code);
    if (meterOut) meterOut->setScale(code);
    if (readoutIn) readoutIn->setScale(code);
    if (readoutOut) readoutOut->setScale(code);
}

void Editor::showAttShow(float value) {
    if (meterGR) meterGR->reset();
    if (readoutGR) readoutGR->reset();
    const int mask = paramContToLong(value, 8);
    for (int b = 0; b < 3; ++b)
        if (CControl* button = controls[kTagAttShowBit0 + b])
            button->setValue(paramLongToCont((mask >> b) & 1, 2));
}

void Editor::showParameter(int index, float value) {
    if (!frame) return;
    CControl* control = controls[static_cast<std::size_t>(index)];
    switch (index) {
        case kTagOutput:
        case kTagDrive:
        case kTagTransient:
        case kTagRelease:
        case kTagLink:
        case kTagLeveller:
            showKnobValue(index, value);
            break;
        case kTagScale:
            if (modeButton) modeButton->setScale(value);
            showMeterScale(effect->getParameter(kTagMeterType), value);
            break;
        case kTagMeterType:
            if (modeButton) modeButton->setMeterType(value);
            showMeterScale(value, effect->getParameter(kTagScale));
            break;
        case kTagBits:
            if (bits) bits->setBits(value);
            break;
        case kTagNoiseShape:
            if (noiseShape) noiseShape->setNoiseShape(value);
            break;
        case kTagAutoblack:
            if (autoBlack) autoBlack->setAutoblack(value);
            break;
        case kTagQuantize:
            if (control) control->setValue(value);
            if (bits) bits->setQuantize(value);
            if (noiseShape) noiseShape->setQuantize(value);
            if (autoBlack) autoBlack->setQuantize(value);
            break;
        case kTagAttZoom:
            if (control) control->setValue(value);
            if (meterGR) meterGR->setZoom(value);
            break;
        case kTagAttShow:
            showAttShow(value);
            break;
        default:  // TransShape, Oversample, DetectorOrder, Power, Calibrate, MeterOvs, AutoOut,
                  // PostMeter
            if (control) control->setValue(value);
            break;
    }
}
