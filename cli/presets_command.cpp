// kavtamor presets: the factory presets the module holds in its bank.
#include <cstdio>

#include "cli/command_table.h"
#include "cli/module_path.h"

namespace kt {
namespace {

const char* kPresetsHelp =
    "Usage: kavtamor presets [--plugin PATH]\n"
    "\n"
    "Lists the presets of the module's bank by number and name, as the module\n"
    "answers effGetProgramNameIndexed. Use the number or the name with\n"
    "'kavtamor render --preset'.\n";

int listPresets(VstPlugin& plugin) {
    // The bank lives inside the module; the host sees one program, so the
    // names are asked by index until the module refuses one.
    for (int i = 0; i < 1024; ++i) {
        std::optional<std::string> name = plugin.programNameIndexed(i);
        if (!name) break;
        std::printf("%3d  %s\n", i, name->c_str());
    }
    return 0;
}

}  // namespace

int runPresetsCommand(int argc, char** argv) {
    return runOnModule(argc, argv, "presets", kPresetsHelp, listPresets);
}

}  // namespace kt
