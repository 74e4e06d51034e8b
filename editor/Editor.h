// The limiter's editor: builds the window, keeps the controls and the
// parameters in step both ways, polls the meter feed on the host's idle calls,
// shows the latency and stores the metering display settings.
#pragma once

#include <atomic>

#include "editor/CPresetSystemEditor.h"

class Editor : public CPresetSystemEditor {
public:
    explicit Editor(AudioEffect* effect);
    ~Editor() override;

    // ---- Window: the frame in the host's window (user-interface thread).
    // Builds the frame with the background bitmap inside `parent`; false when no
    // window can be made there (no display, no such window).
    bool open(void* parent) override;
    // Tears the frame and its views down; open and close may repeat.
    void close() override;
    // The host's idle call: the frame's idle pass (events, dirty views).
    void idle() override;

    // Called by the engine after every parameter change; any thread.
    void setParameter(vst::int32 index, float value) override;
    // Called by the engine when its latency changes.
    void setLatency(long samples);
    long getLatency() const { return latencySamples.load(std::memory_order_relaxed); }

private:
    std::atomic<long> latencySamples{0};
};
