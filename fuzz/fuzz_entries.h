// The entry functions of the fuzz targets. Each takes one input of any
// length and feeds it to the readers of outside bytes of a preset store built
// in this process. The libFuzzer targets call them, and so does the test
// suite, which replays the committed corpus.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kt::fuzz {

// The host chunk: the input is the chunk handed to setChunk.
int chunkInput(const std::uint8_t* data, std::size_t size);
// Preset and bank images as files and stored values hold them. The first
// byte chooses: bit 0 the user's byte reversal, bit 1 a bank rather than a
// preset, bit 2 the buffer readers called directly with a header from the
// input instead of the image loaders.
int imageInput(const std::uint8_t* data, std::size_t size);
// The old layouts: the first byte chooses old preset, old bank or old chunk
// and the byte order; the next two give the value and preset counts handed
// to the block readers.
int oldLayoutInput(const std::uint8_t* data, std::size_t size);
// The file loaders: the input after its first byte (as for imageInput)
// becomes a file on disk that is loaded by path.
int fileInput(const std::uint8_t* data, std::size_t size);

// Deletes the shared store.
void releaseStore();

}  // namespace kt::fuzz
