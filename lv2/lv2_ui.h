// The plug-in's LV2 user interface: the effect's own editor, opened into the
// host's window. It needs the plug-in instance itself (instance-access), for
// the editor belongs to the effect; a host that cannot give it gets no UI
// and shows its own controls, which drive the ports as before.
//
// Both ways stay in step: a control the user moves in the editor becomes a
// write to its port (a drag is bracketed by the host's touch, when offered),
// a preset applied in the editor writes every port it changed, and a port the
// host changes (port_event) moves the effect and so the editor's control,
// whether or not the plug-in is running.
//
// Threads: everything runs on the host's user-interface thread (the thread
// that instantiated the UI), except the listener calls that may come from
// another thread (see EffectListener); those only leave a note for idle().
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>

#include "lv2/effect_listener.h"
#include "lv2/port_layout.h"

class AEffGUIEditor;

namespace kt::lv2 {

class Lv2Instance;

class Lv2Ui final : public EffectListener {
  public:
    // Null, with a line on standard error, when the host lacks a feature the
    // UI needs (instance-access, ui:parent, ui:idleInterface), when another
    // UI already owns the instance's editor, or when no window can be made.
    static Lv2Ui* create(LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) noexcept;
    // Closes the window and gives the editor back to the instance.
    ~Lv2Ui();
    Lv2Ui(const Lv2Ui&) = delete;
    Lv2Ui& operator=(const Lv2Ui&) = delete;

    // A control port's value from the host (format 0, one float).
    void portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format,
                   const void* buffer);
    // The host's idle call: what other threads noted, then the editor's idle
    // pass (its events, meters and redraws). Always 0: the window stays open.
    int idle();

    // EffectListener.
    void parameterAutomated(int index, float value) override;
    void editBegun(int index) override;
    void editEnded(int index) override;
    void displayChanged() override;
    void instanceGone() override;

  private:
    Lv2Ui(Lv2Instance* instance, LV2UI_Write_Function write, LV2UI_Controller controller);
    bool onUiThread() const { return std::this_thread::get_id() == uiThread; }
    void writePort(int index, float value);
    void writeChangedPorts();
    void touch(int index, bool grabbed);
    void release();

    Lv2Instance* instance;
    AEffGUIEditor* editor = nullptr;  // the effect's; open while this UI lives
    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Touch* touchFeature = nullptr;
    const std::thread::id uiThread;
    // What each control port holds, as far as this UI knows: the last value it
    // wrote or the host reported (NaN: not known yet).
    std::array<float, kNumEngineParams> portValues;
    // Ports whose control the user is dragging: the host's reports of them lag
    // behind the drag, so they are not shown until it ends.
    std::array<bool, kNumEngineParams> grabbed{};
    // Set by a preset switch on another thread: idle() writes what changed.
    std::atomic<bool> portsStale{false};
};

}  // namespace kt::lv2
