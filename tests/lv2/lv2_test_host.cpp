#include "tests/lv2/lv2_test_host.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/presets/presets.h>

#include <algorithm>
#include <cstring>

#include "lv2/lv2_identity.h"

namespace kt::test {
namespace {

// The module stays mapped (FFTW's planner state would read as leaked).
void keepModuleMapped() {
    static void* const handle = ::dlopen(KT_LV2_BINARY, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    ASSERT_TRUE(handle) << ::dlerror();
}

LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
    return static_cast<UridMap*>(handle)->map(uri);
}

}  // namespace

UridMap::UridMap() : map_{this, mapUri}, feature_{LV2_URID__map, &map_} {}

LV2_URID UridMap::map(const char* uri) {
    const auto found = std::find(uris_.begin(), uris_.end(), uri);
    if (found != uris_.end()) return static_cast<LV2_URID>(found - uris_.begin() + 1);
    uris_.emplace_back(uri);
    return static_cast<LV2_URID>(uris_.size());
}

Lv2Bundle::Lv2Bundle() {
    keepModuleMapped();
    world_ = lilv_world_new();
    lilv_world_load_bundle(world_, uri("file://" KT_LV2_BUNDLE_DIR "/"));
    plugin_ = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), uri(lv2::kPluginUri));
    EXPECT_TRUE(plugin_) << "no plug-in in " KT_LV2_BUNDLE_DIR;
}

Lv2Bundle::~Lv2Bundle() {
    for (LilvNode* node : nodes_) lilv_node_free(node);
    lilv_world_free(world_);
}

LilvNode* Lv2Bundle::uri(const char* text) {
    nodes_.push_back(lilv_new_uri(world_, text));
    return nodes_.back();
}

std::vector<Lv2Bundle::Preset> Lv2Bundle::presets() {
    struct Reader {
        Lv2Bundle* bundle;
        Preset* preset;
    };
    auto takeValue = [](const char* symbol, void* data, const void* value, uint32_t size,
                        uint32_t) {
        auto* reader = static_cast<Reader*>(data);
        LilvNode* name = lilv_new_string(reader->bundle->world_, symbol);
        const LilvPort* port = lilv_plugin_get_port_by_symbol(reader->bundle->plugin_, name);
        lilv_node_free(name);
        ASSERT_TRUE(port) << symbol;
        const uint32_t index = lilv_port_get_index(reader->bundle->plugin_, port);
        ASSERT_LT(index, static_cast<uint32_t>(kNumEngineParams));
        ASSERT_EQ(size, sizeof(float));
        std::memcpy(&reader->preset->values[index], value, sizeof(float));
    };
    std::vector<std::pair<std::string, Preset>> found;
    LilvNodes* related = lilv_plugin_get_related(plugin_, uri(LV2_PRESETS__Preset));
    LILV_FOREACH(nodes, i, related) {
        const LilvNode* node = lilv_nodes_get(related, i);
        lilv_world_load_resource(world_, node);
        LilvState* state = lilv_state_new_from_world(world_, urids_.lv2(), node);
        if (!state) continue;
        Preset preset;
        preset.values.fill(-1.0f);
        if (const char* label = lilv_state_get_label(state)) preset.label = label;
        Reader reader{this, &preset};
        lilv_state_emit_port_values(state, takeValue, &reader);
        found.emplace_back(lilv_node_as_uri(node), preset);
        lilv_state_free(state);
    }
    lilv_nodes_free(related);
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Preset> presets;
    for (auto& [uri, preset] : found) presets.push_back(preset);
    return presets;
}

Lv2Run::Lv2Run(Lv2Bundle& bundle, double sampleRate,
               const std::array<float, kNumEngineParams>* startControls)
    : bundle_(bundle) {
    const LV2_Feature* features[] = {bundle.urids().feature(), nullptr};
    instance_ = lilv_plugin_instantiate(bundle.plugin(), sampleRate, features);
    EXPECT_TRUE(instance_);
    if (!instance_) return;
    std::array<float, lv2::kNumPorts> defaults{};
    lilv_plugin_get_port_ranges_float(bundle.plugin(), nullptr, nullptr, defaults.data());
    std::copy_n(defaults.begin(), kNumEngineParams, controls.begin());
    if (startControls) controls = *startControls;
    for (int i = 0; i < kNumEngineParams; ++i) reconnectControl(i);
    lilv_instance_connect_port(instance_, lv2::kLatencyPort, &latency_);
    state_ = static_cast<const LV2_State_Interface*>(
        lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
    EXPECT_TRUE(state_);
    lilv_instance_activate(instance_);
}

Lv2Run::~Lv2Run() {
    if (!instance_) return;
    lilv_instance_deactivate(instance_);
    lilv_instance_free(instance_);
}

void Lv2Run::disconnectControl(int index) {
    lilv_instance_connect_port(instance_, static_cast<uint32_t>(index), nullptr);
}

void Lv2Run::reconnectControl(int index) {
    lilv_instance_connect_port(instance_, static_cast<uint32_t>(index), &controls[index]);
}

void Lv2Run::run(const float* inL, const float* inR, float* outL, float* outR,
                 std::uint32_t frames) {
    lilv_instance_connect_port(instance_, lv2::kInputLeft, const_cast<float*>(inL));
    lilv_instance_connect_port(instance_, lv2::kInputRight, const_cast<float*>(inR));
    lilv_instance_connect_port(instance_, lv2::kOutputLeft, outL);
    lilv_instance_connect_port(instance_, lv2::kOutputRight, outR);
    lilv_instance_run(instance_, frames);
}

namespace {

struct StateSlot {
    LV2_URID key;
    LV2_URID type;
    std::vector<std::uint8_t> bytes;
    bool present;
};

LV2_State_Status storeSlot(LV2_State_Handle handle, uint32_t key, const void* value, size_t size,
                           uint32_t type, uint32_t) {
    auto* slot = static_cast<StateSlot*>(handle);
    if (key != slot->key) return LV2_STATE_ERR_UNKNOWN;
    const auto* bytes = static_cast<const std::uint8_t*>(value);
    slot->bytes.assign(bytes, bytes + size);
    slot->type = type;
    slot->present = true;
    return LV2_STATE_SUCCESS;
}

const void* retrieveSlot(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                         uint32_t* flags) {
    auto* slot = static_cast<StateSlot*>(handle);
    if (key != slot->key || !slot->present) return nullptr;
    *size = slot->bytes.size();
    *type = slot->type;
    *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    return slot->bytes.data();
}

}  // namespace

std::vector<std::uint8_t> Lv2Run::save() {
    StateSlot slot{bundle_.urids().map(lv2::kBankStateKey), 0, {}, false};
    const LV2_Feature* features[] = {bundle_.urids().feature(), nullptr};
    const auto status = state_->save(lilv_instance_get_handle(instance_), storeSlot, &slot,
                                     LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, features);
    EXPECT_EQ(status, LV2_STATE_SUCCESS);
    EXPECT_EQ(slot.type, bundle_.urids().map(LV2_ATOM__Chunk));
    return slot.bytes;
}

LV2_State_Status Lv2Run::restore(const std::vector<std::uint8_t>& bytes, const char* typeUri) {
    StateSlot slot{bundle_.urids().map(lv2::kBankStateKey),
                   bundle_.urids().map(typeUri ? typeUri : LV2_ATOM__Chunk), bytes, true};
    const LV2_Feature* features[] = {bundle_.urids().feature(), nullptr};
    return state_->restore(lilv_instance_get_handle(instance_), retrieveSlot, &slot,
                           LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, features);
}

}  // namespace kt::test
