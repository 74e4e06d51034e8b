// Where the command-line host finds the effect module.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "cli/vst_host.h"

namespace kt {

// KavTamor.so in the directory of the running executable.
std::string defaultModulePath();

// The file a --plugin value names: the default module without one, and a
// plain name ("KavTamor.so") in the current folder, as any other file
// argument, rather than in the system's library folders.
std::string modulePath(const std::optional<std::string>& pluginOption);

// Loads the module named by --plugin (or the default one) and prints the
// reason to standard error when it fails.
std::unique_ptr<VstPlugin> loadModuleOrReport(const std::optional<std::string>& pluginOption);

// The body of a command whose only option is --plugin: prints `help` for
// --help, refuses anything else, and runs `show` on the loaded module.
int runOnModule(int argc, char** argv, const char* command, const char* help,
                const std::function<int(VstPlugin&)>& show);

}  // namespace kt
