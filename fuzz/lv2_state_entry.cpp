#include "fuzz/lv2_state_entry.h"

#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "lv2/lv2_descriptor.h"
#include "lv2/lv2_identity.h"
#include "lv2/lv2_instance.h"
#include "presets/preset_image.h"

namespace kt::fuzz {
namespace {

std::vector<std::string>& uris() {
    static std::vector<std::string> known;
    return known;
}

LV2_URID mapUri(LV2_URID_Map_Handle, const char* uri) {
    auto& known = uris();
    for (std::size_t i = 0; i < known.size(); ++i)
        if (known[i] == uri) return static_cast<LV2_URID>(i + 1);
    known.emplace_back(uri);
    return static_cast<LV2_URID>(known.size());
}

LV2_URID_Map uridMap{nullptr, mapUri};
const LV2_Feature mapFeature{LV2_URID__map, &uridMap};

struct Instance {
    const LV2_Descriptor& descriptor = lv2::descriptor();
    LV2_Handle handle = nullptr;
    const LV2_State_Interface* state = nullptr;

    Instance() {
        const LV2_Feature* features[] = {&mapFeature, nullptr};
        handle = descriptor.instantiate(&descriptor, 44100, "", features);
        if (!handle) std::abort();
        state = static_cast<const LV2_State_Interface*>(
            descriptor.extension_data(LV2_STATE__interface));
        descriptor.activate(handle);
    }
    ~Instance() { descriptor.cleanup(handle); }
    lv2::Lv2Instance& lv2() { return *static_cast<lv2::Lv2Instance*>(handle); }
};

std::unique_ptr<Instance>& shared() {
    static std::unique_ptr<Instance> instance;
    return instance;
}

// What restore asks for: the input's bytes, in an exact-size heap copy so a
// read past the end is caught.
struct Stored {
    LV2_URID key;
    LV2_URID type;
    const char* bytes;
    std::size_t size;
    bool present;
};

const void* retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                     uint32_t* flags) {
    const auto* stored = static_cast<const Stored*>(handle);
    if (key != stored->key || !stored->present) return nullptr;
    *size = stored->size;
    *type = stored->type;
    *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    return stored->bytes;
}

LV2_State_Status storeWhole(LV2_State_Handle handle, uint32_t, const void*, size_t size, uint32_t,
                            uint32_t) {
    *static_cast<std::size_t*>(handle) = size;
    return LV2_STATE_SUCCESS;
}

}  // namespace

int lv2StateInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1u << 20)) return 0;
    if (!shared()) shared() = std::make_unique<Instance>();
    Instance& instance = *shared();
    const unsigned mode = data[0];
    std::unique_ptr<char[]> copy(new char[size > 1 ? size - 1 : 1]);
    std::memcpy(copy.get(), data + 1, size - 1);
    Stored stored{mapUri(nullptr, lv2::kBankStateKey),
                  mapUri(nullptr, (mode & 1) ? LV2_ATOM__String : LV2_ATOM__Chunk), copy.get(),
                  size - 1, (mode & 2) == 0};
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    instance.state->restore(instance.handle, retrieve, &stored, 0, features);

    // Whatever was taken, the effect still runs and saves a whole bank of
    // values it may hold.
    float in[16] = {0.5f}, outL[16], outR[16];
    instance.descriptor.connect_port(instance.handle, lv2::kInputLeft, in);
    instance.descriptor.connect_port(instance.handle, lv2::kInputRight, in);
    instance.descriptor.connect_port(instance.handle, lv2::kOutputLeft, outL);
    instance.descriptor.connect_port(instance.handle, lv2::kOutputRight, outR);
    instance.descriptor.run(instance.handle, 16);
    std::size_t saved = 0;
    instance.state->save(instance.handle, storeWhole, &saved, 0, features);
    if (saved != static_cast<std::size_t>(kChunkBytes)) std::abort();
    Plugin& effect = instance.lv2().effect();
    for (int p = 0; p < kNumPresets; ++p)
        for (int i = 0; i < kPresetParams; ++i) {
            const float v = effect.preset(p).value(i);
            if (!(v >= 0.0f && v <= 1.0f)) std::abort();
        }
    return 0;
}

void releaseLv2Instance() {
    shared().reset();
}

}  // namespace kt::fuzz
