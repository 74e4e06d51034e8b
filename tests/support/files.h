// Shared file helpers, and stand-in programs first on PATH for an object's life.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kt::test {

inline std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<unsigned char> readBytes(const std::filesystem::path& path) {
    const std::string text = readText(path);
    return {text.begin(), text.end()};
}

inline void writeBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// Scripts in `folder`/bin, before (or with `only`, instead of) the programs on PATH.
class FakePrograms {
  public:
    explicit FakePrograms(const std::filesystem::path& folder, bool only = false)
        : bin(folder / "bin") {
        std::filesystem::create_directories(bin);
        oldPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", (only ? bin.string() : bin.string() + ":" + oldPath_).c_str(), 1);
    }
    ~FakePrograms() { ::setenv("PATH", oldPath_.c_str(), 1); }
    FakePrograms(const FakePrograms&) = delete;
    FakePrograms& operator=(const FakePrograms&) = delete;

    void script(const std::string& name, const std::string& body) const {
        std::ofstream(bin / name) << "#!/bin/sh\n" << body << "\n";
        std::filesystem::permissions(bin / name, std::filesystem::perms::owner_all);
    }

    const std::filesystem::path bin;

  private:
    std::string oldPath_;
};

}  // namespace kt::test
