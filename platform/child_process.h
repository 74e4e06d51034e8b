// A helper program started without a shell (posix_spawnp with an argument
// vector) whose standard output is collected without ever blocking the caller.
// Used for the file and alert dialogs, from the user-interface thread.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace kt {

class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess();  // ends a program still running
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts argv[0] (looked up on PATH). With captureOutput the program's standard
    // output is kept; otherwise it goes to /dev/null like its standard error.
    bool start(const std::vector<std::string>& argv, bool captureOutput);

    // Reads what is available and checks for the end; true once the program ended.
    bool poll();
    bool running() const { return pid > 0; }
    int exitCode() const { return status; }  // -1 unless it exited normally
    const std::string& output() const { return captured; }

    // Ends the program (SIGTERM) and forgets it; it is reaped later if it lingers.
    void terminate();
    // Lets the program run on without us; it is reaped by reapAdoptedChildren.
    void detach();

  private:
    void drainPipe();
    void closePipe();

    pid_t pid = -1;
    int pipeFd = -1;
    int status = -1;
    std::string captured;
};

// Reaps programs that were ended or started without waiting for them. Only the
// process ids we started are waited for, never the host's own children.
void adoptChild(pid_t pid);
void reapAdoptedChildren();

}  // namespace kt
