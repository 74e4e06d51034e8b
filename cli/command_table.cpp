#include "cli/command_table.h"

#include <array>

namespace kt {
namespace {

constexpr auto kCommands = std::to_array<Command>({
    {"info", "identity, channels, flags, latency and the parameter table", runInfoCommand},
    {"presets", "the factory presets by number and name", runPresetsCommand},
    {"render", "process an audio file through the limiter", runRenderCommand},
    {"bank", "write the module's bank to a file, or list a bank file", runBankCommand},
    {"bench", "time the module (and optionally another) on generated material", runBenchCommand},
    {"demo-material", "write the bundled demo excerpt (a short mix) to a WAV file",
     runDemoMaterialCommand},
    {"editor", "open the editor window", runEditorCommand},
});

}  // namespace

std::span<const Command> commandTable() {
    return kCommands;
}

}  // namespace kt
