// The whole effect in this process (no window), preferences in a temporary folder.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "editor/CPresetSystemEditor.h"
#include "plugin/Plugin.h"
#include "presets/xplat.h"
#include "tests/presets/preset_test_support.h"
#include "tests/support/files.h"
#include "tests/support/temp_config.h"

namespace kt::test {

inline vst::VstIntPtr silentHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::VstIntPtr,
                                 void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

inline std::unique_ptr<Plugin> makePlugin() {
    return std::make_unique<Plugin>(silentHost);
}

// The alerts shown while the object lives.
class RecordedAlerts {
  public:
    RecordedAlerts() : previous_(XPlatSetAlertHandler(record)) { all().clear(); }
    ~RecordedAlerts() { XPlatSetAlertHandler(previous_); }
    static std::vector<std::string>& all() {
        static std::vector<std::string> alerts;
        return alerts;
    }

  private:
    static void record(const char* message) { all().emplace_back(message); }
    XPlatAlertHandler previous_;
};

class InProcessTest : public ::testing::Test {
  protected:
    CPresetSystemEditor& editor() {
        return *static_cast<CPresetSystemEditor*>(plugin->getEditor());
    }
    CPresetSystemEffect& fx() { return *plugin; }
    const PresetRecord& current() { return plugin->preset(plugin->getPresetNo()); }
    std::string currentName() { return current().nameText(); }
    std::vector<std::string>& alerts() { return RecordedAlerts::all(); }

    TempConfig config;  // before the effect, which reads the preferences
    std::unique_ptr<Plugin> plugin = makePlugin();
};

}  // namespace kt::test
