#include "lv2/lv2_descriptor.h"

#include <cstring>

#include "lv2/lv2_identity.h"
#include "lv2/lv2_instance.h"

namespace kt::lv2 {
namespace {

Lv2Instance* self(LV2_Handle handle) {
    return static_cast<Lv2Instance*>(handle);
}

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*,
                       const LV2_Feature* const* features) {
    return Lv2Instance::create(rate, features);
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
    self(handle)->connect(port, data);
}
void activate(LV2_Handle handle) {
    self(handle)->activate();
}
void run(LV2_Handle handle, uint32_t frames) {
    self(handle)->run(frames);
}
void deactivate(LV2_Handle) {}
void cleanup(LV2_Handle handle) {
    delete self(handle);
}

LV2_State_Status saveState(LV2_Handle handle, LV2_State_Store_Function store,
                           LV2_State_Handle state, uint32_t, const LV2_Feature* const*) {
    return self(handle)->save(store, state);
}

LV2_State_Status restoreState(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                              LV2_State_Handle state, uint32_t, const LV2_Feature* const*) {
    return self(handle)->restore(retrieve, state);
}

constexpr LV2_State_Interface kStateInterface{saveState, restoreState};

const void* extensionData(const char* uri) {
    if (uri && std::strcmp(uri, LV2_STATE__interface) == 0) return &kStateInterface;
    return nullptr;
}

constexpr LV2_Descriptor kDescriptor{kPluginUri, instantiate, connectPort, activate,
                                     run,        deactivate,  cleanup,     extensionData};

}  // namespace

const LV2_Descriptor& descriptor() {
    return kDescriptor;
}

}  // namespace kt::lv2
