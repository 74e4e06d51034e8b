#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

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

// Creates a hidden file beside `path`, exclusively.
int createTemporaryBeside(const std::string& path, mode_t mode, std::string* temporary) {
    static std::atomic<unsigned> counter{0};
    const std::string stem =
        folderOf(path) + "." + nameOf(path) + ".tmp-" + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = stem + std::to_string(counter.fetch_add(1, std::memory_order_relaxed));
        const int fd = ::open(temporary->c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Makes a rename in the folder durable.
void syncFolder(const std::string& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

}  // namespace

AtomicFile::~AtomicFile() {
    discard();
}

void AtomicFile::discard() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool AtomicFile::open(const std::string& target, std::string* error, mode_t mode) {
    discard();
    target_ = target;
    finalPath_ = target;
    failure_ = 0;
    if (target.empty()) return fail(error, "the output file has no name");
    struct stat link {};
    if (::lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        // Replace the file the link names, not the link (a dangling link is replaced).
        char resolved[PATH_MAX];
        if (::realpath(target.c_str(), resolved) != nullptr) finalPath_ = resolved;
    }
    struct stat existing {};
    const bool exists = ::stat(finalPath_.c_str(), &existing) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode))
            return fail(error, "cannot write " + target + ": it is a directory");
        if (!S_ISREG(existing.st_mode))
            return fail(error, "cannot write " + target + ": it is not a regular file");
        // Without a write bit the file is protected, even from a user whom
        // the system would let write it.
        if (::access(finalPath_.c_str(), W_OK) != 0 || (existing.st_mode & 0222) == 0)
            return fail(error,
                        "cannot write " + target + ": it is write-protected (left as it is)");
    }
    descriptor_ = createTemporaryBeside(finalPath_, mode, &temporary_);
    if (descriptor_ < 0) {
        const int why = errno;
        temporary_.clear();
        const std::string folder = folderOf(target);
        return fail(error, "cannot write " + target + ": " +
                               (folder.empty() ? std::string("the current folder")
                                               : "the folder " + folder) +
                               " takes no new file (" + std::strerror(why) + ")");
    }
    if (exists) ::fchmod(descriptor_, existing.st_mode & 07777);
    return true;
}

bool AtomicFile::write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0 && descriptor_ >= 0 && failure_ == 0) {
        const ssize_t written = ::write(descriptor_, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            failure_ = written < 0 ? errno : ENOSPC;
            break;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return descriptor_ >= 0 && failure_ == 0;
}

bool AtomicFile::commit(std::string* error) {
    if (descriptor_ < 0 || temporary_.empty())
        return fail(error, "cannot write " + target_ + ": the output was not opened");
    int failure = failure_;
    if (failure == 0 && ::fsync(descriptor_) != 0) failure = errno;
    if (::close(descriptor_) != 0 && failure == 0) failure = errno;
    descriptor_ = -1;
    if (failure == 0 && ::rename(temporary_.c_str(), finalPath_.c_str()) != 0) failure = errno;
    if (failure != 0) {
        discard();
        return fail(error, "cannot write " + target_ + ": " + std::strerror(failure));
    }
    temporary_.clear();
    syncFolder(folderOf(finalPath_));
    return true;
}

bool writeFileAtomically(const std::string& path, std::span<const unsigned char> bytes,
                         mode_t mode) {
    AtomicFile file;
    return file.open(path, nullptr, mode) && file.write(bytes.data(), bytes.size()) &&
           file.commit();
}

}  // namespace kt
