// The editor's idle work: the meter poll, the blink of the calibration button,
// the saved indication of the display defaults, and storing those defaults.
#include "editor/Editor.h"
#include "editor/gr_meter.h"
#include "editor/level_meters.h"
#include "editor/meter_readouts.h"
#include "editor/meter_source.h"
#include "editor/mode_button.h"
#include "editor/on_off_buttons.h"
#include "editor/steppers.h"
#include "engine/parameters.h"
#include "host/AudioEffect.h"
#include "platform/preferences.h"

using namespace kt::ui;
using kt::paramContToLong;
using kt::paramLongToCont;

namespace {

// The buttons whose settings are stored as the display defaults.
constexpr long kStorableTags[] = {kTagAttShowBit0, kTagAttShowBit1, kTagAttShowBit2,
                                  kTagAttZoom,     kTagMeterOvs,    kTagPostMeter};

}  // namespace

void Editor::idle() {
    const std::uint32_t now = currentTicks();
    if (static_cast<std::int32_t>(now - lastMeterPoll) <= 39) return;
    showPendingChanges();
    pollMeters(now);
    if (defaultsSavedAt != 0 && now - defaultsSavedAt > 500) {
        showSaved(false);
        defaultsSavedAt = 0;
    }
    CPresetSystemEditor::idle();
    lastMeterPoll = now;
}

void Editor::pollMeters(std::uint32_t now) {
    if (!meterSource) return;
    float inPeakL = 0, inPeakR = 0, outPeakL = 0, outPeakR = 0;
    float inRmsL = 0, inRmsR = 0, outRmsL = 0, outRmsR = 0, gainL = 1, gainR = 1;
    meterSource->getMeters(&inPeakL, &inPeakR, &outPeakL, &outPeakR, &inRmsL, &inRmsR, &outRmsL,
                           &outRmsR, &gainL, &gainR);
    if (meterIn) meterIn->refreshMeters(now, inPeakL, inPeakR, inRmsL, inRmsR);
    if (meterOut) meterOut->refreshMeters(now, outPeakL, outPeakR, outRmsL, outRmsR);
    if (meterGR) meterGR->refreshMeters(now, gainL, gainR);
    if (readoutIn) readoutIn->refreshMeters(inPeakL, inPeakR);
    if (readoutOut) readoutOut->refreshMeters(outPeakL, outPeakR);
    if (readoutGR) readoutGR->refreshMeters(gainL, gainR);
    if (calibButton) calibButton->setTicks(now);
}

void Editor::resetMeters() {
    if (meterIn) meterIn->reset();
    if (meterOut) meterOut->reset();
    if (meterGR) meterGR->reset();
    if (readoutIn) readoutIn->reset();
    if (readoutOut) readoutOut->reset();
    if (readoutGR) readoutGR->reset();
}

void Editor::showSaved(bool saved) {
    for (long tag : kStorableTags)
        if (auto* button = dynamic_cast<CTamorButton*>(controls[static_cast<std::size_t>(tag)]))
            button->save(saved);
    if (modeButton) modeButton->save(saved);
}

void Editor::saveTamorDefaults() {
    int steps[kt::kStoredDisplaySettings.size()];
    for (std::size_t i = 0; i < kt::kStoredDisplaySettings.size(); ++i) {
        const int index = kt::kStoredDisplaySettings[i].index;
        steps[i] = paramContToLong(effect->getParameter(index), kt::paramInfo(index).steps);
    }
    defaultsSavedAt = std::max<std::uint32_t>(currentTicks(), 1);  // 0 means none showing
    showSaved(true);
    for (std::size_t i = 0; i < kt::kStoredDisplaySettings.size(); ++i)
        kt::prefs::writeInt(kt::kStoredDisplaySettings[i].key,
                            steps[i]);  // on disk when it returns
}
