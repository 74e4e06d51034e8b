// A file written whole or not at all. open() creates a temporary file beside
// the target (in the same folder, so the final rename stays on one file
// system); the caller fills it, through write() or by its path or
// descriptor, and commit() syncs it to disk and renames it over the target.
// Until commit() the target is untouched; a file never committed is removed
// by the destructor, so a failed write leaves whatever was there and nothing
// else. Not for the audio thread.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <span>
#include <string>

namespace kt {

class AtomicFile {
  public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Refuses a target that is a directory or another kind of non-regular
    // file, or an existing file without write permission; a symbolic link is
    // followed, so the file it names is replaced and the link stays. A new
    // file gets `mode` (before the umask), a replaced one keeps its own.
    // False with *error set (when given) if the target is refused or its
    // folder takes no file.
    bool open(const std::string& target, std::string* error = nullptr, mode_t mode = 0666);

    const std::string& temporaryPath() const { return temporary_; }
    int fd() const { return descriptor_; }

    // Appends bytes; false once any write has failed.
    bool write(const void* data, std::size_t size);

    // Replaces the target with the temporary file and makes the rename
    // durable. False with *error set when the data cannot be made durable or
    // the rename fails; the target is then as it was.
    bool commit(std::string* error = nullptr);

  private:
    void discard();

    std::string target_;     // as the caller named it, for messages
    std::string finalPath_;  // the file the rename replaces (a link's target)
    std::string temporary_;
    int descriptor_ = -1;
    int failure_ = 0;  // errno of the first failed write
};

// Writes bytes to path as a whole or not at all.
bool writeFileAtomically(const std::string& path, std::span<const unsigned char> bytes,
                         mode_t mode = 0666);

}  // namespace kt
