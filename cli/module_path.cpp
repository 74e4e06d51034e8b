#include "cli/module_path.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "cli/arguments.h"

namespace kt {

std::string defaultModulePath() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "KavTamor.so";
    return (self.parent_path() / "KavTamor.so").string();
}

std::string modulePath(const std::optional<std::string>& pluginOption) {
    if (!pluginOption) return defaultModulePath();
    // The loader searches the library folders for a name without a slash.
    if (!pluginOption->empty() && pluginOption->find('/') == std::string::npos)
        return "./" + *pluginOption;
    return *pluginOption;
}

std::unique_ptr<VstPlugin> loadModuleOrReport(const std::optional<std::string>& pluginOption) {
    if (pluginOption && pluginOption->empty()) {
        std::fprintf(stderr, "kavtamor: --plugin is empty; give the path of a VST 2.4 module\n");
        return nullptr;
    }
    std::string error;
    std::unique_ptr<VstPlugin> plugin = VstPlugin::load(modulePath(pluginOption), &error);
    if (!plugin) std::fprintf(stderr, "kavtamor: %s\n", error.c_str());
    return plugin;
}

int runOnModule(int argc, char** argv, const char* command, const char* help,
                const std::function<int(VstPlugin&)>& show) {
    Arguments args = Arguments::fromMain(argc, argv);
    if (args.takeFlag("help")) {
        std::fputs(help, stdout);
        return 0;
    }
    std::optional<std::string> pluginPath = args.take("plugin");
    std::vector<std::string> rest = args.positionals();
    if (!args.error().empty() || !rest.empty())
        return usageError(command, args.error().empty() ? "no arguments expected" : args.error(),
                          help);
    std::unique_ptr<VstPlugin> plugin = loadModuleOrReport(pluginPath);
    if (!plugin) return 1;
    return show(*plugin);
}

}  // namespace kt
