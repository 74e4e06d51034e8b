#include "lv2/lv2_instance.h"

#include <lv2/atom/atom.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

#include "lv2/lv2_identity.h"

namespace kt::lv2 {

using namespace vst;

Lv2Instance* Lv2Instance::create(double sampleRate, const LV2_Feature* const* features) noexcept {
    std::unique_ptr<Lv2Instance> self(new (std::nothrow) Lv2Instance);
    if (!self) return nullptr;
    try {
        self->plugin = std::make_unique<Plugin>(&Lv2Instance::hostCallback);
    } catch (...) {
        return nullptr;  // nothing may cross into the host
    }
    self->mapUrids(features);
    // From here on the callback finds this instance through the record.
    self->plugin->getAeffect()->user = self.get();
    self->plugin->setSampleRate(static_cast<float>(sampleRate));
    self->applied.fill(std::numeric_limits<float>::quiet_NaN());
    return self.release();
}

Lv2Instance::~Lv2Instance() {
    if (!plugin) return;  // its construction failed
    // A user interface still attached closes the editor while the effect is whole.
    if (EffectListener* to = listener.exchange(nullptr, std::memory_order_acq_rel))
        to->instanceGone();
    // The effect may still call its host while it is taken down: it then
    // finds no instance and gets the default answers.
    plugin->getAeffect()->user = nullptr;
    plugin.reset();
}

bool Lv2Instance::attachListener(EffectListener* to) {
    EffectListener* none = nullptr;
    return to && listener.compare_exchange_strong(none, to, std::memory_order_acq_rel);
}

void Lv2Instance::detachListener(EffectListener* from) {
    listener.compare_exchange_strong(from, nullptr, std::memory_order_acq_rel);
}

void Lv2Instance::mapUrids(const LV2_Feature* const* features) {
    for (auto f = features; f && *f; ++f) {
        if (std::strcmp((*f)->URI, LV2_URID__map) != 0 || !(*f)->data) continue;
        const auto* map = static_cast<const LV2_URID_Map*>((*f)->data);
        bankKey = map->map(map->handle, kBankStateKey);
        chunkType = map->map(map->handle, LV2_ATOM__Chunk);
    }
}

void Lv2Instance::connect(std::uint32_t port, void* data) {
    if (port < kInputLeft)
        controls[port] = static_cast<const float*>(data);
    else if (port == kInputLeft || port == kInputRight)
        inputs[port - kInputLeft] = static_cast<const float*>(data);
    else if (port == kOutputLeft || port == kOutputRight)
        outputs[port - kOutputLeft] = static_cast<float*>(data);
    else if (port == kLatencyPort)
        latency = static_cast<float*>(data);
}

// The controls the host has set are applied before the state is cleared, so
// processing starts at them instead of gliding there from the last values.
void Lv2Instance::activate() {
    applyControls();
    plugin->suspend();
}

// A port left unconnected or holding NaN keeps the value last applied; one
// outside 0..1 counts as the nearer end.
void Lv2Instance::applyControls() {
    for (int i = 0; i < kNumEngineParams; ++i) {
        if (!controls[i]) continue;
        const float port = *controls[i];
        if (std::isnan(port)) continue;
        const float v = std::clamp(port, 0.0f, 1.0f) + 0.0f;  // + 0 makes -0 plain 0
        if (v == applied[i]) continue;
        applied[i] = v;
        plugin->setParameter(i, v);
    }
}

void Lv2Instance::run(std::uint32_t frames) {
    applyControls();
    if (latency) *latency = static_cast<float>(plugin->getAeffect()->initialDelay);
    if (!outputs[0]) {
        // Nowhere to put the left result: the right output, if any, is silent.
        if (outputs[1]) std::memset(outputs[1], 0, sizeof(float) * frames);
        return;
    }
    float* in[2] = {const_cast<float*>(inputs[0]), const_cast<float*>(inputs[1])};
    float* out[2] = {outputs[0], outputs[1]};
    while (frames > 0) {
        const std::uint32_t n = std::min<std::uint32_t>(frames, INT32_MAX);
        plugin->processReplacing(in, out, static_cast<int32>(n));
        for (float*& p : in)
            if (p) p += n;
        for (float*& p : out)
            if (p) p += n;
        frames -= n;
    }
}

// The effect's host callback. Before the instance is complete (while the
// effect is constructed) and after it is gone, only the version is answered.
VstIntPtr Lv2Instance::hostCallback(AEffect* effect, int32 opcode, int32 index, VstIntPtr value,
                                    void*, float opt) {
    if (opcode == audioMasterVersion) return 2400;
    auto* self = effect ? static_cast<Lv2Instance*>(effect->user) : nullptr;
    return self ? self->answerEffect(opcode, index, value, opt) : 0;
}

VstIntPtr Lv2Instance::answerEffect(int32 opcode, int32 index, VstIntPtr value, float opt) {
    switch (opcode) {
        case audioMasterPinConnected: {
            // Asked by run() for each block: 0 means connected.
            if (index < 0 || index > 1) return 1;
            const bool connected =
                value == 0 ? inputs[index] != nullptr : outputs[index] != nullptr;
            return connected ? 0 : 1;
        }
        case audioMasterAutomate:
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
        case audioMasterUpdateDisplay:
            break;
        default:
            return 0;
    }
    EffectListener* to = listener.load(std::memory_order_acquire);
    if (!to) return 0;
    switch (opcode) {
        case audioMasterAutomate:
            to->parameterAutomated(index, opt);
            break;
        case audioMasterBeginEdit:
            to->editBegun(index);
            break;
        case audioMasterEndEdit:
            to->editEnded(index);
            break;
        default:
            to->displayChanged();
            break;
    }
    return 1;
}

}  // namespace kt::lv2
