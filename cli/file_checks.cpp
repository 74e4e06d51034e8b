#include "cli/file_checks.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace kt {

std::string inputFileProblem(const std::string& path) {
    if (path.empty()) return "an input file has no name";
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) return "cannot read " + path + ": it does not exist";
        return "cannot read " + path + ": " + std::strerror(errno);
    }
    if (S_ISDIR(info.st_mode)) return "cannot read " + path + ": it is a directory";
    if (S_ISREG(info.st_mode) && info.st_size == 0) return "cannot read " + path + ": it is empty";
    return {};
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    if (a.empty() || b.empty()) return false;
    if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string overwritesInput(const std::string& output, std::initializer_list<std::string> inputs) {
    for (const std::string& input : inputs) {
        if (sameFile(output, input))
            return output + " is the same file as " + input +
                   ", which this command reads; choose another output file";
    }
    return {};
}

}  // namespace kt
