// An effect that is only its preset store: the bank, chunk and image code of
// the effect, without the engine or an editor. The fuzz targets, the corpus
// maker and the preset tests build one in their own process.
#pragma once

#include "presets/CPresetSystemEffect.h"

namespace kt {

class PresetStoreEffect : public CPresetSystemEffect {
  public:
    PresetStoreEffect() : CPresetSystemEffect(quietHost, kNumPresets, kPresetParams) {
        setUniqueID(kUniqueId);
    }
    void processReplacing(float**, float**, vst::int32) override {}

  private:
    static vst::VstIntPtr quietHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::VstIntPtr,
                                    void*, float) {
        return opcode == vst::audioMasterVersion ? 2400 : 0;
    }
};

}  // namespace kt
