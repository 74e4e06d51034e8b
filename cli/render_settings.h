// The options render and bench share: --plugin, --preset and --set, applied
// to a loaded module.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/vst_host.h"

namespace kt {

struct ModuleSettings {
    std::optional<std::string> preset;  // number or name
    std::vector<std::string> sets;      // NAME=VALUE
};

// Takes --preset and every --set from the arguments.
ModuleSettings takeModuleSettings(Arguments& args);

// Applies the preset, then the settings in order; prints each setting as the
// module displays it to `out` when verbose. False with a message on standard
// error.
bool applyModuleSettings(const VstPlugin& plugin, const ModuleSettings& settings,
                         const char* command, bool verbose, std::FILE* out = stdout);

// The linear gain the current Drive and Output settings ask for, read from
// the module's own displays (its decibels are 6 dB per doubling); 1 for a
// module without them.
double expectedGain(const VstPlugin& plugin);

// The help text of --preset and --set.
extern const char* const kSettingsHelp;

}  // namespace kt
