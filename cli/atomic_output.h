// An output file of a command, written whole or not at all (kt::AtomicFile),
// whose temporary file is also removed when SIGINT, SIGTERM or SIGHUP end
// the program, so an interrupted run leaves whatever was there and nothing
// else.
#pragma once

#include <cstddef>
#include <string>

#include "platform/atomic_file.h"

namespace kt {

// The outputs that may be in progress at once and still be removed by a
// signal (more are written, but not removed then).
constexpr int kMaxParallelOutputs = 64;

// Opened and committed on any thread; each object by one thread at a time.
class AtomicOutput {
  public:
    AtomicOutput() = default;
    ~AtomicOutput();
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    // See AtomicFile::open: refuses directories, other non-regular files and
    // write-protected files; follows a symbolic link.
    bool open(const std::string& target, std::string* error);
    // The temporary file, for writers that open files by name or descriptor.
    const std::string& temporaryPath() const { return file_.temporaryPath(); }
    int fd() const { return file_.fd(); }
    bool write(const void* data, std::size_t size) { return file_.write(data, size); }
    bool commit(std::string* error);

  private:
    AtomicFile file_;
    int slot_ = -1;  // where the signal handler finds the temporary file
};

}  // namespace kt
