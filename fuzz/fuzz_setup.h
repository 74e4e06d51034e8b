// Set-up shared by the libFuzzer targets.
#pragma once

#include <cstdlib>
#include <string>

namespace kt::fuzz {

// Points the preferences store at a private temporary folder, so the fuzzed
// instance neither reads the user's stored defaults nor writes its names there.
inline void usePrivateConfig() {
    const char* tmp = std::getenv("TMPDIR");
    static std::string folder;
    folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/kt-fuzz-config-XXXXXX";
    if (::mkdtemp(folder.data())) ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
}

}  // namespace kt::fuzz
