#include "platform/documents_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/child_process.h"

namespace kt {
namespace {

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// The tool's answer, or empty when there is none within the time limit.
std::string askXdgUserDir() {
    ChildProcess tool;
    if (!tool.start({"xdg-user-dir", "DOCUMENTS"}, true)) return {};
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
    while (!tool.poll()) {
        if (std::chrono::steady_clock::now() > end) return {};  // ended by the destructor
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (tool.exitCode() != 0) return {};
    std::string answer = tool.output();
    const auto lineEnd = answer.find('\n');
    if (lineEnd != std::string::npos) answer.resize(lineEnd);
    return answer;
}

}  // namespace

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return withoutTrailingSlashes(home);
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return withoutTrailingSlashes(entry->pw_dir);
    return "/tmp";
}

std::string documentsFolder() {
    const std::string home = homeFolder();
    const std::string answer = withoutTrailingSlashes(askXdgUserDir());
    if (answer.empty() || answer[0] != '/' || answer == home) return home + "/Documents";
    return answer;
}

}  // namespace kt
