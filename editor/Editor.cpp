// The editor's life: construction, and the window built view by view on open
// and torn down on close.
#include "editor/Editor.h"

#include <map>

#include "editor/MyFrame.h"
#include "editor/gr_meter.h"
#include "editor/info_view.h"
#include "editor/knob.h"
#include "editor/level_meters.h"
#include "editor/meter_readouts.h"
#include "editor/mode_button.h"
#include "editor/on_off_buttons.h"
#include "editor/speed_switch.h"
#include "editor/steppers.h"
#include "editor/value_fields.h"
#include "engine/parameters.h"
#include "gui/CBitmap.h"
#include "host/AudioEffect.h"

using namespace kt::ui;
using kt::paramContToLong;
using kt::paramLongToCont;

namespace {

constexpr int kBackgroundBitmap = 128;  // the window's backdrop; its size is the window's
constexpr int kGlowBitmap = 170;

struct KnobRow {
    long tag;
    CRect size;
    int bitmap;
    CCoord imageHeight;
    float dragScale, wheelStep, defaultValue;
};

// In the order they are added to the window.
const KnobRow kUpperKnobs[] = {
    {kTagTransient, {55, 169, 105, 217}, 152, 48, 0.7f, 0.05f, 0.2f},
    {kTagRelease, {56, 267, 105, 314}, 153, 47, 0.7f, 0.05f, 0.7237f},
    {kTagLeveller, {421, 169, 469, 216}, 147, 47, 0.7f, 1.0f / 24, 1.0f},
    {kTagLink, {421, 267, 469, 314}, 148, 47, 0.7f, 0.05f, 1.0f},
};
const KnobRow kDriveKnob{kTagDrive, {52, 349, 108, 404}, 150, 55, 1.0f, 1.0f / 96, 0.5f};
const KnobRow kOutputKnob{kTagOutput, {417, 349, 475, 405}, 151, 56, 1.0f, 1.0f / 24, 1.0f};

}  // namespace

// The bitmaps of one open, each loaded once; released when the views hold them.
class Editor::Bitmaps {
  public:
    Bitmaps() = default;
    Bitmaps(const Bitmaps&) = delete;
    Bitmaps& operator=(const Bitmaps&) = delete;
    ~Bitmaps() {
        for (auto& [id, bitmap] : loaded) bitmap->forget();
    }
    CBitmap* operator()(int id) {
        CBitmap*& bitmap = loaded[id];
        if (!bitmap) bitmap = new CBitmap(id);
        return bitmap;
    }

  private:
    std::map<int, CBitmap*> loaded;
};

Editor::Editor(AudioEffect* effect)
    : CPresetSystemEditor(effect), lastMeterPoll(getTicks()), defaultsSavedAt(getTicks()) {
    rect.top = 0;
    rect.left = 0;
    rect.bottom = 462;
    rect.right = 524;
}

Editor::~Editor() = default;

bool Editor::open(void* parent) {
    AEffGUIEditor::open(parent);
    // Everything below reads the effect afresh; earlier news is stale.
    pendingChanges.store(0, std::memory_order_relaxed);
    {
        Bitmaps bitmaps;
        if (!openFrame(parent, bitmaps(kBackgroundBitmap))) {
            AEffEditor::close();
            return false;
        }
        addViews(bitmaps);
    }
    uiThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
    CPresetSystemEditor::open(parent);  // the preset bar's place
    return true;
}

void Editor::close() {
    uiThread.store(std::thread::id(), std::memory_order_relaxed);
    CPresetSystemEditor::close();
    dropViews();
    closeFrame();
}

CControl* Editor::getControl(long tag) const {
    return tag >= 0 && tag < kNumControlTags ? controls[static_cast<std::size_t>(tag)] : nullptr;
}

void Editor::dropViews() {
    controls.fill(nullptr);
    knobs.fill(nullptr);
    valueFields.fill(nullptr);
    meterIn = nullptr;
    meterOut = nullptr;
    meterGR = nullptr;
    readoutIn = readoutOut = nullptr;
    readoutGR = nullptr;
    modeButton = nullptr;
    bits = nullptr;
    noiseShape = nullptr;
    autoBlack = nullptr;
    calibButton = nullptr;
    speedSwitch = nullptr;
    info = nullptr;
}

// The views in drawing order, each given the effect's current value.
void Editor::addViews(Bitmaps& bitmap) {
    auto value = [this](long index) {
        return effect->getParameter(static_cast<vst::int32>(index));
    };
    auto add = [this](CControl* control) {
        const long tag = control->getTag();
        if (tag >= 0 && tag < kNumControlTags && tag != kTagMeters)
            controls[static_cast<std::size_t>(tag)] = control;
        frame->addView(control);
        return control;
    };
    auto switchButton = [&](long tag, const CRect& size, int image, bool storable) {
        add(new CTamorBcklitButton(size, this, tag, bitmap(image), bitmap(kGlowBitmap), storable));
    };
    auto knob = [&](const KnobRow& row) {
        auto* k = new CMyKnob(row.size, this, row.tag, 101, row.imageHeight, bitmap(row.bitmap));
        k->setDragScale(row.dragScale);
        k->setWheelStep(row.wheelStep);
        k->setWheelFineFactor(0.1f);
        k->setDefaultValue(row.defaultValue);
        k->setValue(value(row.tag));
        knobs[static_cast<std::size_t>(row.tag)] = k;
        add(k);
    };

    switchButton(kTagDetectorOrder, {44, 40, 77, 59}, 139, false);
    add(new COversamplingButton({81, 40, 114, 59}, this, kTagOversample, bitmap(140),
                                bitmap(kGlowBitmap)));
    modeButton = new CModeButton({223, 305, 258, 367}, this, kTagScale, bitmap(141));
    modeButton->setMeterType(value(kTagMeterType));
    modeButton->setScale(value(kTagScale));
    add(modeButton);
    switchButton(kTagQuantize, {412, 40, 445, 59}, 162, false);
    autoBlack =
        new CAutoBlack({449, 40, 482, 59}, this, kTagAutoblack, bitmap(163), bitmap(kGlowBitmap));
    autoBlack->setQuantize(value(kTagQuantize));
    autoBlack->setAutoblack(value(kTagAutoblack));
    add(autoBlack);
    bits = new CBits({412, 72, 445, 103}, this, kTagBits, bitmap(142));
    bits->setQuantize(value(kTagQuantize));
    bits->setBits(value(kTagBits));
    add(bits);
    noiseShape = new CNoiseShape({449, 72, 482, 103}, this, kTagNoiseShape, bitmap(143));
    noiseShape->setNoiseShape(value(kTagNoiseShape));
    noiseShape->setQuantize(value(kTagQuantize));
    add(noiseShape);
    calibButton = new CCalibButton({269, 335, 302, 366}, this, kTagCalibrate, bitmap(145));
    add(calibButton);
    switchButton(kTagAttZoom, {269, 265, 302, 284}, 144, true);
    switchButton(kTagAttShowBit0, {224, 265, 257, 284}, 164, true);
    switchButton(kTagAttShowBit1, {224, 230, 257, 249}, 165, true);
    switchButton(kTagAttShowBit2, {269, 230, 302, 249}, 166, true);
    for (const KnobRow& row : kUpperKnobs) knob(row);
    speedSwitch = new CSpeedSwitch({38, 121, 128, 146}, this, kTagTransShape, bitmap(146));
    add(speedSwitch);
    add(new CTamorButton({245, 400, 280, 435}, this, kTagPower, bitmap(149), false));
    knob(kDriveKnob);
    knob(kOutputKnob);
    add(new CTamorButton({394, 368, 412, 392}, this, kTagAutoOut, bitmap(161), false));
    add(new CTamorButton({116, 368, 134, 392}, this, kTagPostMeter, bitmap(161), true));
    info = new CInfo({224, 370, 301, 401}, bitmap(157), bitmap(137));
    info->setLatency(getLatency());
    frame->addView(info);

    for (ValueField which : kValueFields) {
        CKavTextEdit* field = makeValueField(which, this, bitmap(kBackgroundBitmap));
        const long tag = field->getTag();
        field->setValue(value(tag));
        valueFields[static_cast<std::size_t>(tag)] = field;
        frame->addView(field);
    }

    switchButton(kTagMeterOvs, {269, 307, 302, 326}, 160, true);

    // The plain parameter controls show the effect's values.
    for (long tag = 0; tag <= kLastParameterTag; ++tag) {
        CControl* c = controls[static_cast<std::size_t>(tag)];
        if (!c || c == modeButton || knobs[static_cast<std::size_t>(tag)]) continue;
        c->setValue(value(tag));
    }
    const int attShow = paramContToLong(value(kTagAttShow), 8);
    for (int b = 0; b < 3; ++b)
        controls[kTagAttShowBit0 + b]->setValue((attShow >> b) & 1 ? 1.0f : 0.0f);

    meterIn = new CMeterIn({147, 38, 207, 408}, this, kTagMeters,
                           {bitmap(128), bitmap(155), bitmap(130), bitmap(131), bitmap(132),
                            bitmap(133), bitmap(129), bitmap(154)});
    frame->addView(meterIn);
    meterOut = new CMeterOut({319, 38, 379, 406}, this, kTagMeters,
                             {bitmap(128), bitmap(155), bitmap(130), bitmap(134), bitmap(135),
                              bitmap(136), bitmap(129), bitmap(154)});
    frame->addView(meterOut);
    meterGR = new CMeterGR({233, 39, 291, 192}, this, kTagMeters, bitmap(156), bitmap(167));
    meterGR->setZoom(value(kTagAttZoom));
    frame->addView(meterGR);
    readoutIn = new CMeterLCD({131, 415, 224, 426}, this, kTagMeters, bitmap(128), bitmap(137),
                              bitmap(138));
    frame->addView(readoutIn);
    readoutOut = new CMeterLCD({303, 415, 396, 426}, this, kTagMeters, bitmap(128), bitmap(137),
                               bitmap(138));
    frame->addView(readoutOut);
    readoutGR = new CMeterLCDGR({217, 199, 310, 210}, this, kTagMeters, bitmap(128), bitmap(137));
    frame->addView(readoutGR);
    showMeterScale(value(kTagMeterType), value(kTagScale));
}
