// The module's two exported entry points. Everything else stays hidden.
#include <new>

#include "plugin/Plugin.h"

using namespace vst;

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
    if (!audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f)) return nullptr;
    return new Plugin(audioMaster);
}

namespace {

AEffect* entry(audioMasterCallback audioMaster) {
    // A host that does not answer its version (or gives no callback) gets no effect.
    if (!audioMaster || !audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f))
        return nullptr;
    AudioEffect* effect = nullptr;
    try {
        effect = createEffectInstance(audioMaster);
    } catch (...) {
        return nullptr;  // nothing may cross into the host
    }
    return effect ? effect->getAeffect() : nullptr;
}

}  // namespace

extern "C" {
__attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    return entry(audioMaster);
}
__attribute__((visibility("default"))) AEffect* main_macho(audioMasterCallback audioMaster) {
    return entry(audioMaster);
}
}
