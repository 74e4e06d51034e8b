#include "platform/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace kt {
namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Makes a rename in the folder durable.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

AtomicFile::AtomicFile(std::string target, mode_t mode) : target_(std::move(target)) {
    static std::atomic<unsigned> counter{0};
    const std::string prefix = folderOf(target_) + "." + nameOf(target_) + ".tmp-" +
                               std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temporary_ = prefix + std::to_string(counter.fetch_add(1, std::memory_order_relaxed));
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) temporary_.clear();
}

AtomicFile::~AtomicFile() {
    discard();
}

void AtomicFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool AtomicFile::write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (ok() && size > 0) {
        const ssize_t n = ::write(fd_, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = true;
            break;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return ok();
}

bool AtomicFile::commit() {
    if (!ok()) {
        discard();
        return false;
    }
    bool done = ::fsync(fd_) == 0;
    done = ::close(fd_) == 0 && done;
    fd_ = -1;
    done = done && ::rename(temporary_.c_str(), target_.c_str()) == 0;
    if (!done) {
        discard();
        return false;
    }
    temporary_.clear();
    syncFolder(folderOf(target_));
    return true;
}

bool writeFileAtomically(const std::string& path, std::span<const unsigned char> bytes,
                         mode_t mode) {
    AtomicFile file(path, mode);
    file.write(bytes.data(), bytes.size());
    return file.commit();
}

}  // namespace kt
