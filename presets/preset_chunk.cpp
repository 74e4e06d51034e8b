// The host chunk: the whole bank as one opaque block of bytes.
#include "presets/CPresetSystemEffect.h"

using namespace vst;

int32 CPresetSystemEffect::getChunk(void**, bool) { return 0; }

int32 CPresetSystemEffect::setChunk(void*, int32, bool) { return -1; }

int32 CPresetSystemEffect::setChunkOld(const unsigned char*, int32, bool, bool) { return -1; }
