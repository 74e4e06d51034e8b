// Runs the built kavtamor (KT_KAVTAMOR_PATH) in a fresh temporary folder of the test's.
#pragma once

#include <stdlib.h>
#include <sys/wait.h>

#include <string>
#include <system_error>
#include <vector>

#include "tests/support/files.h"

namespace kt::test {

// A fresh temporary folder, removed with the object.
class TempDir {
  public:
    TempDir() {
        char pattern[] = "/tmp/kt-test-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        root_ = made != nullptr ? made : "/tmp";
    }
    ~TempDir() {
        std::error_code ignored;
        if (root_ != "/tmp") std::filesystem::remove_all(root_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string file(const std::string& name) const { return root_ + "/" + name; }

  private:
    std::string root_;
};

struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built kavtamor with these arguments (each single-quoted).
inline CommandResult runKavtamor(const std::vector<std::string>& args) {
    TempDir captured;
    std::string command = KT_KAVTAMOR_PATH;
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " >" + captured.file("out") + " 2>" + captured.file("err") + " </dev/null";
    const int status = std::system(command.c_str());
    CommandResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readText(captured.file("out"));
    result.err = readText(captured.file("err"));
    return result;
}

}  // namespace kt::test
