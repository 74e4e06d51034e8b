// A small LV2 host on lilv with a URID map.
#pragma once

#include <lilv/lilv.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "lv2/port_layout.h"

namespace kt::test {

class UridMap {
  public:
    UridMap();
    LV2_URID map(const char* uri);
    const LV2_Feature* feature() const { return &feature_; }
    LV2_URID_Map* lv2() { return &map_; }

  private:
    std::vector<std::string> uris_;
    LV2_URID_Map map_;
    LV2_Feature feature_;
};

// The bundle as lilv sees it. One per test: it owns the lilv world.
class Lv2Bundle {
  public:
    Lv2Bundle();
    ~Lv2Bundle();
    Lv2Bundle(const Lv2Bundle&) = delete;
    Lv2Bundle& operator=(const Lv2Bundle&) = delete;

    LilvWorld* world() const { return world_; }
    const LilvPlugin* plugin() const { return plugin_; }
    UridMap& urids() { return urids_; }
    LilvNode* uri(const char* text);  // freed with the bundle

    // The factory presets the bundle declares, in the module's order.
    struct Preset {
        std::string label;
        std::array<float, kNumEngineParams> values{};
    };
    std::vector<Preset> presets();

  private:
    LilvWorld* world_ = nullptr;
    const LilvPlugin* plugin_ = nullptr;
    UridMap urids_;
    std::vector<LilvNode*> nodes_;
};

// One instance of the plug-in with every port connected.
class Lv2Run {
  public:
    // Activated at once, the control ports at the bundle's defaults or these.
    Lv2Run(Lv2Bundle& bundle, double sampleRate,
           const std::array<float, kNumEngineParams>* startControls = nullptr);
    ~Lv2Run();
    Lv2Run(const Lv2Run&) = delete;
    Lv2Run& operator=(const Lv2Run&) = delete;

    // The control values the ports read, and the latency last reported.
    std::array<float, kNumEngineParams> controls{};
    float latency() const { return latency_; }
    // The plug-in instance, as instance-access hands it to a user interface.
    LV2_Handle handle() const { return lilv_instance_get_handle(instance_); }
    // Connects a control port to nothing (null) or back to its value.
    void disconnectControl(int index);
    void reconnectControl(int index);

    // One run() over a block, the audio ports connected to these buffers.
    void run(const float* inL, const float* inR, float* outL, float* outR, std::uint32_t frames);

    // The stored bank bytes, and restoring bytes with a type (atom:Chunk unless given).
    std::vector<std::uint8_t> save();
    LV2_State_Status restore(const std::vector<std::uint8_t>& bytes, const char* typeUri = nullptr);

  private:
    Lv2Bundle& bundle_;
    LilvInstance* instance_ = nullptr;
    const LV2_State_Interface* state_ = nullptr;
    float latency_ = -1.0f;
};

}  // namespace kt::test
