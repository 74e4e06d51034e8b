// Writes the LV2 bundle's description files into a folder:
//   kt_lv2_ttl BUNDLE_DIR
// The identity and the display texts come from an effect made here, so the
// bundle says what the module says.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "lv2/bundle_ttl.h"
#include "lv2/lv2_identity.h"
#include "plugin/Plugin.h"

namespace {

vst::VstIntPtr quietHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::VstIntPtr, void*,
                         float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

bool write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (out) return true;
    std::fprintf(stderr, "kt_lv2_ttl: cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s BUNDLE_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    Plugin effect(quietHost);
    char text[64] = {};
    kt::lv2::PluginFacts facts;
    effect.getEffectName(text);
    facts.name = text;
    effect.getVendorString(text);
    facts.maker = text;
    effect.getProductString(text);
    facts.comment = text;
    facts.minorVersion = KT_VERSION_MINOR;
    facts.microVersion = KT_VERSION_MICRO;
    // The largest latency, at the common rates (the highest rate band).
    for (const float rate : {44100.0f, 48000.0f, 88200.0f, 96000.0f, 176400.0f, 192000.0f}) {
        effect.setSampleRate(rate);
        facts.maxLatency = std::max(facts.maxLatency, effect.getAeffect()->initialDelay);
    }
    auto display = [&effect](int index, float v) {
        char shown[32] = {}, label[32] = {};
        effect.setParameter(index, v);
        effect.getParameterDisplay(index, shown);
        effect.getParameterLabel(index, label);
        return *label ? std::string(shown) + " " + label : std::string(shown);
    };
    using namespace kt::lv2;
    const bool ok = write(dir + "/manifest.ttl", manifestTtl()) &&
                    write(dir + "/" + kPluginTtlName, pluginTtl(facts, display)) &&
                    write(dir + "/" + kPresetsTtlName, presetsTtl());
    return ok ? 0 : 1;
}
