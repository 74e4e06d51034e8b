// A file written whole or not at all. open() creates a temporary file beside
// the target (in the same folder, so the final rename stays on one file
// system); the caller fills it, by path or through write(), and commit()
// flushes it to disk and renames it over the target. Until commit() the
// target is untouched; an output never committed is removed again by the
// destructor, or by SIGINT, SIGTERM or SIGHUP when they end the program, so a
// failed or interrupted run leaves whatever was there and nothing else.
#pragma once

#include <cstddef>
#include <string>

namespace kt {

class AtomicOutput {
  public:
    AtomicOutput() = default;
    ~AtomicOutput();
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    // Refuses a target that is a directory or another kind of non-regular
    // file, or an existing file without write permission; a symbolic link is
    // followed, so the file it names is replaced and the link stays. False
    // with *error set when the target is refused or its folder takes no file.
    bool open(const std::string& target, std::string* error);

    // The temporary file, for writers that open files by name.
    const std::string& temporaryPath() const { return temporary_; }
    // Appends bytes to the temporary file.
    bool write(const void* data, std::size_t size);

    // Replaces the target with the temporary file. False with *error set
    // when the data cannot be made durable or the rename fails; the target
    // is then as it was.
    bool commit(std::string* error);

  private:
    void discard();

    std::string target_;     // as the user named it, for messages
    std::string finalPath_;  // the file the rename replaces (a link's target)
    std::string temporary_;
    int descriptor_ = -1;
    int failure_ = 0;  // errno of the first failed write
    int slot_ = -1;    // where the signal handler finds the temporary file
};

}  // namespace kt
