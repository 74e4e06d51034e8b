// The module's two exported entry points. Everything else stays hidden.
//
// The host calls an entry point on the thread that creates its plug-ins
// (usually its user-interface thread), once per instance; the entry asks the
// host's version (audioMasterVersion) and builds the effect, which holds the
// engine lock while it is constructed.
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
