// A file that replaces its target only when it is complete: the bytes go to
// a new temporary file beside the target (created exclusively, so two
// writers never share it), are synced to disk, and the temporary file is
// renamed over the target. A write that fails or is abandoned removes the
// temporary file and leaves the target as it was. Not for the audio thread.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <span>
#include <string>

namespace kt {

class AtomicFile {
  public:
    // Creates the temporary file with `mode` (before the umask); check ok().
    explicit AtomicFile(std::string target, mode_t mode = 0666);
    ~AtomicFile();  // removes the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool ok() const { return fd_ >= 0 && !failed_; }
    // The temporary file's descriptor, for writers that take one.
    int fd() const { return fd_; }
    const std::string& temporaryPath() const { return temporary_; }

    bool write(const void* data, std::size_t size);
    // Syncs, closes and renames over the target; true when the target now
    // holds everything written.
    bool commit();

  private:
    void discard();

    std::string target_;
    std::string temporary_;
    int fd_ = -1;
    bool failed_ = false;
};

// Writes bytes to path as a whole or not at all.
bool writeFileAtomically(const std::string& path, std::span<const unsigned char> bytes,
                         mode_t mode = 0666);

}  // namespace kt
