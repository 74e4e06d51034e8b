// The plug-in's state: the whole bank of presets and the current preset, as
// the bytes of the host chunk the VST module hands its hosts.
#include <vector>

#include "lv2/lv2_instance.h"
#include "presets/preset_image.h"

namespace kt::lv2 {

LV2_State_Status Lv2Instance::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    if (!bankKey || !store) return LV2_STATE_ERR_NO_FEATURE;
    void* chunk = nullptr;
    const vst::int32 size = plugin->getChunk(&chunk, false);
    if (size <= 0 || !chunk) return LV2_STATE_ERR_UNKNOWN;
    // The chunk is written in one byte order and read in either.
    return store(handle, bankKey, chunk, static_cast<std::size_t>(size), chunkType,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

// Only a whole chunk is taken: every chunk save() stores has exactly
// kChunkBytes, and the chunk reader would take a cut-short bank in part.
LV2_State_Status Lv2Instance::restore(LV2_State_Retrieve_Function retrieve,
                                      LV2_State_Handle handle) {
    if (!bankKey || !retrieve) return LV2_STATE_ERR_NO_FEATURE;
    std::size_t size = 0;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    const void* value = retrieve(handle, bankKey, &size, &type, &flags);
    if (!value) return LV2_STATE_ERR_NO_PROPERTY;
    if (type != chunkType) return LV2_STATE_ERR_BAD_TYPE;
    if (size != static_cast<std::size_t>(kChunkBytes)) return LV2_STATE_ERR_UNKNOWN;
    // The effect reads the chunk in place; it gets a copy of its own.
    const auto* bytes = static_cast<const unsigned char*>(value);
    std::vector<unsigned char> chunk(bytes, bytes + size);
    if (plugin->setChunk(chunk.data(), kChunkBytes, false) != 0) return LV2_STATE_ERR_UNKNOWN;
    return LV2_STATE_SUCCESS;
}

}  // namespace kt::lv2
