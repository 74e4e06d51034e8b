// The LV2 module's one exported entry point.
#include "lv2/lv2_descriptor.h"

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(
    uint32_t index) {
    return index == 0 ? &kt::lv2::descriptor() : nullptr;
}
