// The limiter's editor: builds the window, keeps the controls and the
// parameters in step both ways, polls the meter feed on the host's idle calls,
// shows the latency and stores the metering display settings.
//
// Threads: everything runs on the host's user-interface thread (the thread
// that opens the window), except setParameter and setLatency, which the engine
// calls from whichever thread changed a value. Called on the user-interface
// thread they update the controls at once; from any other thread they only
// note the change in an atomic word, and the next idle pass reads the value
// back from the effect and shows it. So no other thread ever touches a view,
// which the user-interface thread may destroy at any moment.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>

#include "editor/CPresetSystemEditor.h"
#include "editor/control_tags.h"
#include "editor/metering_settings.h"

namespace kt {
class MeterSource;
}
class CAutoBlack;
class CBits;
class CCalibButton;
class CInfo;
class CKavTextEdit;
class CMeterGR;
class CMeterIn;
class CMeterLCD;
class CMeterLCDGR;
class CMeterOut;
class CModeButton;
class CMyKnob;
class CNoiseShape;
class CSpeedSwitch;
class CTamorButton;

class Editor : public CPresetSystemEditor, public kt::ui::MeteringSettings {
  public:
    explicit Editor(AudioEffect* effect);
    ~Editor() override;

    // Where the meter poll reads the meter feed (the effect); none: no meters.
    void setMeterSource(kt::MeterSource* source) { meterSource = source; }

    // ---- Window (user-interface thread).
    // Builds the frame and its views inside `parent` from the effect's current
    // values; false when no window can be made there.
    bool open(void* parent) override;
    // Tears the frame and its views down; open and close may repeat.
    void close() override;
    // The host's idle call: at most every 40 ms, the meter poll, the changes
    // other threads made, then the frame's idle pass.
    void idle() override;

    // ---- Controls to parameters (user-interface thread).
    void valueChanged(CControl* control) override;
    void setMeterType(long type) override;
    void setScale(long scale) override;
    // Stores the six metering display settings as the user's defaults and
    // lights the storable buttons for about half a second.
    void saveTamorDefaults() override;
    void resetMeters();

    // ---- Parameters to controls (any thread).
    void setParameter(vst::int32 index, float value) override;
    void setLatency(long samples);
    long getLatency() const { return latencySamples.load(std::memory_order_relaxed); }

    // The tag's control while the window is open (tests and the value fields).
    CControl* getControl(long tag) const;

  private:
    class Bitmaps;
    void addViews(Bitmaps& bitmap);
    void dropViews();
    bool onUserInterfaceThread() const;
    // User-interface thread, window open: shows a parameter's new value.
    void showParameter(int index, float value);
    // The one place a knob's parameter is shown: the knob and the value field
    // of the same parameter.
    void showKnobValue(int index, float value);
    void showMeterScale(float meterType, float scale);
    void showAttShow(float value);
    void showPendingChanges();
    void pollMeters(std::uint32_t now);
    void showSaved(bool saved);
    void setAttShowBit(int bit, const CControl* button);
    void automate(long index, float value);

    kt::MeterSource* meterSource = nullptr;

    // Views of the open window (owned by the frame); null while closed.
    std::array<CControl*, kt::ui::kNumControlTags> controls{};         // by tag
    std::array<CMyKnob*, kt::ui::kNumControlTags> knobs{};             // by tag
    std::array<CKavTextEdit*, kt::ui::kNumControlTags> valueFields{};  // by tag
    CMeterIn* meterIn = nullptr;
    CMeterOut* meterOut = nullptr;
    CMeterGR* meterGR = nullptr;
    CMeterLCD* readoutIn = nullptr;
    CMeterLCD* readoutOut = nullptr;
    CMeterLCDGR* readoutGR = nullptr;
    CModeButton* modeButton = nullptr;
    CBits* bits = nullptr;
    CNoiseShape* noiseShape = nullptr;
    CAutoBlack* autoBlack = nullptr;
    CCalibButton* calibButton = nullptr;
    CSpeedSwitch* speedSwitch = nullptr;
    CInfo* info = nullptr;

    std::atomic<long> latencySamples{0};
    std::uint32_t lastMeterPoll;
    std::uint32_t defaultsSavedAt;

    // The thread that opened the window; no thread's id while it is closed.
    std::atomic<std::thread::id> uiThread{};
    // Parameters (bit = index) and the latency (kLatencyChanged) changed by
    // other threads since the last idle pass. Release on set, acquire on take,
    // so the effect's new value is seen when the bit is.
    std::atomic<std::uint32_t> pendingChanges{0};
    static constexpr std::uint32_t kLatencyChanged = 1u << 31;
};
