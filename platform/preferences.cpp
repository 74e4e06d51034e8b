#include "platform/preferences.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "platform/atomic_file.h"

namespace kt::prefs {

namespace {

constexpr std::size_t kMaxValueBytes = 1 << 20;  // far above any value we store

// Keys name files, so only plain names are accepted.
bool validKey(std::string_view key) {
    if (key.empty() || key.size() > 64 || key[0] == '.') return false;
    for (char c : key)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-')) return false;
    return true;
}

bool makeDirectories(const std::string& path) {
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            const std::string part = path.substr(0, i);
            if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        }
    }
    return true;
}

std::optional<std::vector<unsigned char>> readFile(std::string_view key) {
    if (!validKey(key)) return std::nullopt;
    const std::string path = directory() + "/" + std::string(key);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::vector<unsigned char> data;
    unsigned char chunk[4096];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || data.size() + static_cast<std::size_t>(n) > kMaxValueBytes) {
            ok = false;
            break;
        }
        if (n == 0) break;
        data.insert(data.end(), chunk, chunk + n);
    }
    ::close(fd);
    if (!ok) return std::nullopt;
    return data;
}

bool writeFile(std::string_view key, std::span<const unsigned char> value) {
    if (!validKey(key)) return false;
    const std::string dir = directory();
    return makeDirectories(dir) && writeFileAtomically(dir + "/" + std::string(key), value, 0600);
}

}  // namespace

std::string directory() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/kav-tamor";
    const char* home = std::getenv("HOME");
    return std::string(home && home[0] ? home : "/tmp") + "/.config/kav-tamor";
}

std::optional<std::int32_t> readInt(std::string_view key) {
    const auto data = readFile(key);
    if (!data) return std::nullopt;
    std::string_view text(reinterpret_cast<const char*>(data->data()), data->size());
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<std::string> readString(std::string_view key) {
    const auto data = readFile(key);
    if (!data) return std::nullopt;
    return std::string(data->begin(), data->end());
}

std::optional<std::vector<unsigned char>> readBytes(std::string_view key) {
    return readFile(key);
}

bool writeInt(std::string_view key, std::int32_t value) {
    const std::string text = std::to_string(value) + "\n";
    return writeFile(key, {reinterpret_cast<const unsigned char*>(text.data()), text.size()});
}

bool writeString(std::string_view key, std::string_view value) {
    return writeFile(key, {reinterpret_cast<const unsigned char*>(value.data()), value.size()});
}

bool writeBytes(std::string_view key, std::span<const unsigned char> value) {
    return writeFile(key, value);
}

bool remove(std::string_view key) {
    if (!validKey(key)) return false;
    const std::string path = directory() + "/" + std::string(key);
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace kt::prefs
