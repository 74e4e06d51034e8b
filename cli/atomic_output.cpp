#include "cli/atomic_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
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

// Creates a hidden file beside `path`, exclusively, with the modes an
// ordinary new file gets (the umask applies).
int createTemporaryBeside(const std::string& path, std::string* temporary) {
    static unsigned counter = 0;
    const std::string stem =
        folderOf(path) + "." + nameOf(path) + ".kavtamor-" + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = stem + std::to_string(counter++);
        const int fd = ::open(temporary->c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// The temporary files of outputs in progress, so that a signal ending the
// program (Ctrl-C) removes them too. A few slots: a command writes one file
// at a time.
constexpr int kTrackedSlots = 4;
char trackedPaths[kTrackedSlots][PATH_MAX];
std::atomic<bool> trackedInUse[kTrackedSlots];

void removeTemporariesAndEnd(int signal) {
    for (int slot = 0; slot < kTrackedSlots; ++slot)
        if (trackedInUse[slot].load(std::memory_order_acquire)) ::unlink(trackedPaths[slot]);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Installs the handler for the signals that end a command-line program,
// unless the program handles or ignores them itself.
void removeTemporariesOnSignals() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
        struct sigaction action {};
        action.sa_handler = removeTemporariesAndEnd;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

int track(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    removeTemporariesOnSignals();
    for (int slot = 0; slot < kTrackedSlots; ++slot) {
        if (trackedInUse[slot].load(std::memory_order_relaxed)) continue;
        std::memcpy(trackedPaths[slot], path.c_str(), path.size() + 1);
        trackedInUse[slot].store(true, std::memory_order_release);
        return slot;
    }
    return -1;
}

void untrack(int slot) {
    if (slot >= 0) trackedInUse[slot].store(false, std::memory_order_release);
}

}  // namespace

AtomicOutput::~AtomicOutput() {
    discard();
}

void AtomicOutput::discard() {
    untrack(slot_);
    slot_ = -1;
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool AtomicOutput::open(const std::string& target, std::string* error) {
    discard();
    target_ = target;
    finalPath_ = target;
    failure_ = 0;
    if (target.empty()) {
        *error = "the output file has no name";
        return false;
    }
    struct stat link {};
    if (::lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        // Replace the file the link names, not the link (a dangling link is replaced).
        char resolved[PATH_MAX];
        if (::realpath(target.c_str(), resolved) != nullptr) finalPath_ = resolved;
    }
    struct stat existing {};
    const bool exists = ::stat(finalPath_.c_str(), &existing) == 0;
    if (exists) {
        if (S_ISDIR(existing.st_mode)) {
            *error = "cannot write " + target + ": it is a directory";
            return false;
        }
        if (!S_ISREG(existing.st_mode)) {
            *error = "cannot write " + target + ": it is not a regular file";
            return false;
        }
        // Without a write bit the file is protected, even from a user whom
        // the system would let write it.
        if (::access(finalPath_.c_str(), W_OK) != 0 || (existing.st_mode & 0222) == 0) {
            *error = "cannot write " + target + ": it is write-protected (left as it is)";
            return false;
        }
    }
    descriptor_ = createTemporaryBeside(finalPath_, &temporary_);
    if (descriptor_ < 0) {
        const std::string folder = folderOf(target);
        *error = "cannot write " + target + ": " +
                 (folder.empty() ? std::string("the current folder") : "the folder " + folder) +
                 " takes no new file (" + std::strerror(errno) + ")";
        temporary_.clear();
        return false;
    }
    slot_ = track(temporary_);
    // A replaced file keeps its permissions.
    if (exists) ::fchmod(descriptor_, existing.st_mode & 07777);
    return true;
}

bool AtomicOutput::write(const void* data, std::size_t size) {
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

bool AtomicOutput::commit(std::string* error) {
    if (descriptor_ < 0 || temporary_.empty()) {
        *error = "cannot write " + target_ + ": the output was not opened";
        return false;
    }
    int failure = failure_;
    if (failure == 0 && ::fsync(descriptor_) != 0) failure = errno;
    if (::close(descriptor_) != 0 && failure == 0) failure = errno;
    descriptor_ = -1;
    if (failure == 0 && ::rename(temporary_.c_str(), finalPath_.c_str()) != 0) failure = errno;
    if (failure != 0) {
        *error = "cannot write " + target_ + ": " + std::strerror(failure);
        discard();
        return false;
    }
    untrack(slot_);
    slot_ = -1;
    temporary_.clear();
    return true;
}

}  // namespace kt
