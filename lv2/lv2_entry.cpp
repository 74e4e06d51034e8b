// The LV2 module's exported entry points: the plug-in and its user interface.
#include "lv2/lv2_descriptor.h"

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(
    uint32_t index) {
    return index == 0 ? &kt::lv2::descriptor() : nullptr;
}

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(
    uint32_t index) {
    return index == 0 ? &kt::lv2::uiDescriptor() : nullptr;
}
