// kavtamor bank export FILE.kvb [--preset N]: the module's bank as a bank file.
// kavtamor bank show FILE.kvb: each preset of a bank file, as the module displays it.
#include <cstdio>
#include <string>

#include "cli/arguments.h"
#include "cli/bank_file.h"
#include "cli/command_table.h"
#include "cli/file_checks.h"
#include "cli/module_path.h"
#include "cli/preset_select.h"

namespace kt {
namespace {

void printHelp(std::FILE* out) {
    std::fprintf(out,
                 "Usage: kavtamor bank export FILE.kvb [--preset N|NAME] [--plugin PATH]\n"
                 "       kavtamor bank show FILE.kvb [--plugin PATH]\n"
                 "\n"
                 "export  writes the module's bank of presets (its factory presets and any\n"
                 "        stored default bank) to FILE.kvb, the bank file the editor loads.\n"
                 "        --preset makes that preset the bank's current one. An existing\n"
                 "        file is replaced only by the complete bank (written beside it and\n"
                 "        renamed into place); a directory or a write-protected file is\n"
                 "        refused.\n"
                 "show    loads FILE.kvb into the module and lists every preset with the\n"
                 "        values the module displays for it. A file larger than any bank,\n"
                 "        or shorter than its header says, is refused.\n");
}

int usageError(const std::string& message) {
    return kt::usageError("bank", message);
}

int exportBank(const VstPlugin& plugin, const std::string& path,
               const std::optional<std::string>& preset) {
    std::string error;
    if (preset) {
        std::optional<int> index = findPreset(plugin, *preset, &error);
        if (!index || !selectPreset(plugin, *index, &error)) return usageError(error);
    }
    error = overwritesInput(path, {plugin.path()});
    if (!error.empty() || !writeBankFile(plugin, path, &error)) {
        std::fprintf(stderr, "kavtamor bank: %s\n", error.c_str());
        return 1;
    }
    std::printf("Wrote %s: %zu presets, current preset %s\n", path.c_str(),
                presetNames(plugin).size(), plugin.programName().c_str());
    return 0;
}

int showBank(const VstPlugin& plugin, const std::string& path) {
    std::string error;
    if (!loadBankFile(plugin, path, &error)) {
        std::fprintf(stderr, "kavtamor bank: %s\n", error.c_str());
        return 1;
    }
    const std::vector<std::string> names = presetNames(plugin);
    std::printf("%s: %zu presets\n", path.c_str(), names.size());
    for (std::size_t p = 0; p < names.size(); ++p) {
        if (!selectPreset(plugin, static_cast<int>(p), &error)) {
            std::fprintf(stderr, "kavtamor bank: %s\n", error.c_str());
            return 1;
        }
        std::printf("\n%2zu  %s\n", p, names[p].c_str());
        int column = 0;
        for (int i = 0; i < plugin.numParams(); ++i) {
            const std::string name = plugin.parameterName(i);
            if (name.empty() || name == "dummy" || name == "resvd-vid") continue;
            std::string label = plugin.parameterLabel(i);
            std::string text = name + " " + plugin.parameterDisplay(i);
            if (!label.empty()) text += " " + label;
            std::printf("%s%-25s", column == 0 ? "    " : "", text.c_str());
            if (++column == 3) {
                std::printf("\n");
                column = 0;
            }
        }
        if (column != 0) std::printf("\n");
    }
    return 0;
}

}  // namespace

int runBankCommand(int argc, char** argv) {
    Arguments args = Arguments::fromMain(argc, argv);
    if (args.takeFlag("help")) {
        printHelp(stdout);
        return 0;
    }
    std::optional<std::string> pluginPath = args.take("plugin");
    std::optional<std::string> preset = args.take("preset");
    std::vector<std::string> words = args.positionals();
    if (!args.error().empty()) return usageError(args.error());
    if (words.size() != 2 || (words[0] != "export" && words[0] != "show"))
        return usageError("expected 'export FILE.kvb' or 'show FILE.kvb'");
    if (words[0] == "show" && preset) return usageError("--preset goes with export");

    std::unique_ptr<VstPlugin> plugin = loadModuleOrReport(pluginPath);
    if (!plugin) return 1;
    return words[0] == "export" ? exportBank(*plugin, words[1], preset)
                                : showBank(*plugin, words[1]);
}

}  // namespace kt
