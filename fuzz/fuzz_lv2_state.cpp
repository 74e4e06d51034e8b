// libFuzzer target: see lv2_state_entry.h.
#include "fuzz/lv2_state_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return kt::fuzz::lv2StateInput(data, size);
}
