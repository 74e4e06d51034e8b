// One instance of the LV2 plug-in: the very effect class of the VST module
// (Plugin) behind LV2's ports, run() and state. The LV2_Handle a host gets
// from instantiate is a pointer to this object, so a user interface given
// the instance (instance-access) reaches the effect and its editor.
//
// Threads, as LV2 classes them: create and the destructor, activate and
// restore are instantiation functions; connect and run are audio functions;
// save may run beside run(); attachListener, detachListener and effect() are
// for the user interface.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "lv2/effect_listener.h"
#include "lv2/port_layout.h"
#include "plugin/Plugin.h"

namespace kt::lv2 {

class Lv2Instance {
  public:
    // Null when the effect cannot be made (out of memory). The rate goes to
    // the effect as the VST host's effSetSampleRate would; the host's
    // urid:map feature, when given, makes state available.
    static Lv2Instance* create(double sampleRate, const LV2_Feature* const* features) noexcept;
    ~Lv2Instance();
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    void connect(std::uint32_t port, void* data);
    // Applies the control ports, then clears the running state (delay lines,
    // envelopes, meters).
    void activate();
    // Applies the control ports that changed, processes the block in single
    // precision and reports the latency. No allocation, no lock but the
    // engine lock, no system call.
    void run(std::uint32_t frames);

    // The whole bank as one atom:Chunk property; restore takes it back whole
    // or changes nothing.
    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

    Plugin& effect() { return *plugin; }
    // The one listener for the effect's calls to its host (the user interface
    // that owns the editor): false, and nothing changes, while another one is
    // attached. Detaching a listener that is not attached does nothing.
    bool attachListener(EffectListener* to);
    void detachListener(EffectListener* from);

  private:
    Lv2Instance() = default;
    static vst::VstIntPtr hostCallback(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                                       vst::VstIntPtr value, void* ptr, float opt);
    vst::VstIntPtr answerEffect(vst::int32 opcode, vst::int32 index, vst::VstIntPtr value,
                                float opt);
    void mapUrids(const LV2_Feature* const* features);
    void applyControls();

    std::unique_ptr<Plugin> plugin;
    std::array<const float*, kNumEngineParams> controls{};
    // The value each control port held when last applied (NaN: never). A
    // port is applied only when it changes, so values that reach the effect
    // another way (a restored bank, the editor) stay until the host moves
    // that port. Only activate() and run() use it.
    std::array<float, kNumEngineParams> applied{};
    std::array<const float*, 2> inputs{};
    std::array<float*, 2> outputs{};
    float* latency = nullptr;
    std::atomic<EffectListener*> listener{nullptr};
    LV2_URID bankKey = 0;  // 0: the host gave no urid:map
    LV2_URID chunkType = 0;
};

}  // namespace kt::lv2
