// XDG_CONFIG_HOME and HOME in a fresh temporary folder for the object's life.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace kt::test {

class TempConfig {
  public:
    TempConfig() {
        char pattern[] = "/tmp/kt-config-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        root_ = made ? made : "/tmp";
        saveAndSet("XDG_CONFIG_HOME", root_ + "/config", oldConfig_, hadConfig_);
        saveAndSet("HOME", root_, oldHome_, hadHome_);
    }
    ~TempConfig() {
        restore("XDG_CONFIG_HOME", oldConfig_, hadConfig_);
        restore("HOME", oldHome_, hadHome_);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempConfig(const TempConfig&) = delete;
    TempConfig& operator=(const TempConfig&) = delete;

    const std::string& root() const { return root_; }
    std::string configDir() const { return root_ + "/config/kav-tamor"; }

  private:
    static void saveAndSet(const char* name, const std::string& value, std::string& old,
                           bool& had) {
        const char* current = std::getenv(name);
        had = current != nullptr;
        if (had) old = current;
        ::setenv(name, value.c_str(), 1);
    }
    static void restore(const char* name, const std::string& old, bool had) {
        if (had)
            ::setenv(name, old.c_str(), 1);
        else
            ::unsetenv(name);
    }

    std::string root_;
    std::string oldConfig_, oldHome_;
    bool hadConfig_ = false, hadHome_ = false;
};

}  // namespace kt::test
