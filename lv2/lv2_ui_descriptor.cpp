#include <cstring>

#include "lv2/lv2_descriptor.h"
#include "lv2/lv2_identity.h"
#include "lv2/lv2_ui.h"

namespace kt::lv2 {
namespace {

Lv2Ui* self(LV2UI_Handle handle) {
    return static_cast<Lv2Ui*>(handle);
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (!pluginUri || std::strcmp(pluginUri, kPluginUri) != 0) return nullptr;
    return Lv2Ui::create(write, controller, widget, features);
}

void cleanup(LV2UI_Handle handle) {
    delete self(handle);
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer) {
    self(handle)->portEvent(port, size, format, buffer);
}

int idle(LV2UI_Handle handle) {
    return self(handle)->idle();
}

constexpr LV2UI_Idle_Interface kIdleInterface{idle};

const void* extensionData(const char* uri) {
    if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdleInterface;
    return nullptr;
}

constexpr LV2UI_Descriptor kUiDescriptor{kUiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

const LV2UI_Descriptor& uiDescriptor() {
    return kUiDescriptor;
}

}  // namespace kt::lv2
