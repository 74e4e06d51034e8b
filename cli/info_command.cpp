// kavtamor info: what the module reports about itself through the binary interface.
#include <cstdio>

#include "cli/command_table.h"
#include "cli/module_path.h"

namespace kt {
namespace {

const char* kInfoHelp =
    "Usage: kavtamor info [--plugin PATH]\n"
    "\n"
    "Prints the module's identity (name, vendor, product, version, unique\n"
    "identifier, category), its inputs and outputs, the record's flags, the\n"
    "latency it reports and a table of every parameter with its index, name,\n"
    "label and current display text.\n";

struct FlagName {
    vst::int32 bit;
    const char* name;
};

constexpr FlagName kFlagNames[] = {
    {vst::effFlagsHasEditor, "HasEditor"},
    {vst::effFlagsHasClip, "HasClip"},
    {vst::effFlagsHasVu, "HasVu"},
    {vst::effFlagsCanMono, "CanMono"},
    {vst::effFlagsCanReplacing, "CanReplacing"},
    {vst::effFlagsProgramChunks, "ProgramChunks"},
    {vst::effFlagsIsSynth, "IsSynth"},
    {vst::effFlagsNoSoundInStop, "NoSoundInStop"},
    {vst::effFlagsExtIsAsync, "ExtIsAsync"},
    {vst::effFlagsExtHasBuffer, "ExtHasBuffer"},
    {vst::effFlagsCanDoubleReplacing, "CanDoubleReplacing"},
};

const char* categoryName(vst::VstIntPtr category) {
    static const char* const names[] = {"unknown",     "effect",      "synth",   "analysis",
                                        "mastering",   "spacializer", "room fx", "surround fx",
                                        "restoration", "offline",     "shell",   "generator"};
    if (category < 0 || category >= static_cast<vst::VstIntPtr>(std::size(names))) return "unknown";
    return names[category];
}

std::string versionText(vst::VstIntPtr v) {
    // 1510 reads as 1.5.1: thousands, hundreds, tens.
    if (v >= 1000 && v < 10000) {
        return std::to_string(v / 1000) + "." + std::to_string(v / 100 % 10) + "." +
               std::to_string(v / 10 % 10);
    }
    return std::to_string(v);
}

int printInfo(VstPlugin& plugin) {
    const EffectIdentity id = plugin.identity();
    std::printf("Module:      %s\n", plugin.path().c_str());
    std::printf("Name:        %s\n", id.name.c_str());
    std::printf("Vendor:      %s\n", id.vendor.c_str());
    std::printf("Product:     %s\n", id.product.c_str());
    std::printf("Version:     %s (vendor version %ld, record version %d, VST %ld)\n",
                versionText(id.vendorVersion).c_str(), static_cast<long>(id.vendorVersion),
                id.version, static_cast<long>(id.vstVersion));
    std::printf("Unique ID:   '%s' (0x%08X)\n", fourCharText(id.uniqueId).c_str(),
                static_cast<unsigned>(id.uniqueId));
    std::printf("Category:    %ld (%s)\n", static_cast<long>(id.category),
                categoryName(id.category));
    std::printf("Inputs:      %d\n", plugin.numInputs());
    std::printf("Outputs:     %d\n", plugin.numOutputs());
    std::printf("Programs:    %d\n", plugin.numPrograms());
    std::printf("Flags:       %d (", plugin.flags());
    bool first = true;
    for (const FlagName& flag : kFlagNames) {
        if (plugin.flags() & flag.bit) {
            std::printf("%s%s", first ? "" : ", ", flag.name);
            first = false;
        }
    }
    std::printf(")\n");
    std::printf("Latency:     %d samples (at the module's start-up rate)\n", plugin.latency());
    std::printf("Parameters:  %d\n\n", plugin.numParams());

    std::printf("%5s  %-14s %-6s %s\n", "Index", "Name", "Label", "Display");
    for (int i = 0; i < plugin.numParams(); ++i) {
        std::printf("%5d  %-14s %-6s %s\n", i, plugin.parameterName(i).c_str(),
                    plugin.parameterLabel(i).c_str(), plugin.parameterDisplay(i).c_str());
    }
    return 0;
}

}  // namespace

int runInfoCommand(int argc, char** argv) {
    return runOnModule(argc, argv, "info", kInfoHelp, printInfo);
}

}  // namespace kt
