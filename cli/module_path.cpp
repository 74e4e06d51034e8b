#include "cli/module_path.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace kt {

std::string defaultModulePath() {
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "KavTamor.so";
    return (self.parent_path() / "KavTamor.so").string();
}

std::unique_ptr<VstPlugin> loadModuleOrReport(const std::optional<std::string>& pluginOption) {
    const std::string path = pluginOption ? *pluginOption : defaultModulePath();
    std::string error;
    std::unique_ptr<VstPlugin> plugin = VstPlugin::load(path, &error);
    if (!plugin) std::fprintf(stderr, "kavtamor: %s\n", error.c_str());
    return plugin;
}

}  // namespace kt
