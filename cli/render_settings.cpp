#include "cli/render_settings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "cli/parameter_values.h"
#include "cli/preset_select.h"

namespace kt {

const char* const kSettingsHelp =
    "  --preset N|NAME     start from factory preset N or NAME (see 'kavtamor presets')\n"
    "  --set NAME=VALUE    set a parameter after the preset (repeatable). VALUE is\n"
    "                      either a value as the module displays it, with or without\n"
    "                      its unit: Drive=+6dB, Release=200ms, Transient=30%,\n"
    "                      Bits=16, NoiseShape=\"type C\", Oversample=on; or a\n"
    "                      normalised value written v=0.75 (Drive=v=0.625).\n"
    "                      Names and texts ignore case and spaces; an unknown name\n"
    "                      or a value no setting displays is refused with a list of\n"
    "                      what is accepted.\n";

ModuleSettings takeModuleSettings(Arguments& args) {
    ModuleSettings settings;
    settings.preset = args.take("preset");
    settings.sets = args.takeAll("set");
    return settings;
}

bool applyModuleSettings(const VstPlugin& plugin, const ModuleSettings& settings,
                         const char* command, bool verbose, std::FILE* out) {
    std::string error;
    if (settings.preset) {
        std::optional<int> preset = findPreset(plugin, *settings.preset, &error);
        if (!preset || !selectPreset(plugin, *preset, &error)) {
            std::fprintf(stderr, "kavtamor %s: %s\n", command, error.c_str());
            return false;
        }
        if (verbose)
            std::fprintf(out, "Preset:  %d \"%s\"\n", *preset, plugin.programName().c_str());
    }
    for (const std::string& text : settings.sets) {
        std::optional<ParameterSetting> setting = resolveSetting(plugin, text, &error);
        if (!setting) {
            std::fprintf(stderr, "kavtamor %s: --set %s: %s\n", command, text.c_str(),
                         error.c_str());
            return false;
        }
        if (verbose) {
            std::fprintf(out, "Set:     %s = %s%s (v=%.6g)\n",
                         plugin.parameterName(setting->index).c_str(), setting->display.c_str(),
                         plugin.parameterLabel(setting->index).c_str(), setting->value);
        }
    }
    return true;
}

double expectedGain(const VstPlugin& plugin) {
    double gain = 1.0;
    for (const char* name : {"Drive", "Output"}) {
        const int index = findParameter(plugin, name);
        if (index < 0 || plugin.parameterLabel(index) != "dB") continue;
        const std::string display = plugin.parameterDisplay(index);
        char* end = nullptr;
        const double db = std::strtod(display.c_str(), &end);
        if (end != display.c_str() && std::isfinite(db)) gain *= std::exp2(db / 6.0);
    }
    return gain;
}

}  // namespace kt
