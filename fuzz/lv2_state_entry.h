// The fuzz entry for the LV2 plug-in's state: the input is what a host hands
// back to the state interface's restore. The libFuzzer target calls it, and
// so does the test suite, which replays the committed corpus.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kt::fuzz {

// The first byte chooses: bit 0 stores the value under another type than
// atom:Chunk, bit 1 leaves the property out. The rest is the value.
int lv2StateInput(const std::uint8_t* data, std::size_t size);

// Deletes the shared instance.
void releaseLv2Instance();

}  // namespace kt::fuzz
