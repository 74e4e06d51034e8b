#include "platform/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>

extern char** environ;

namespace kt {
namespace {

std::mutex adoptedMutex;
std::vector<pid_t>& adopted() {
    static std::vector<pid_t> pids;
    return pids;
}

}  // namespace

void adoptChild(pid_t pid) {
    if (pid <= 0) return;
    std::lock_guard lock(adoptedMutex);
    adopted().push_back(pid);
}

void reapAdoptedChildren() {
    std::lock_guard lock(adoptedMutex);
    auto& pids = adopted();
    pids.erase(std::remove_if(pids.begin(), pids.end(),
                              [](pid_t p) {
                                  const pid_t r = waitpid(p, nullptr, WNOHANG);
                                  return r == p || (r < 0 && errno == ECHILD);
                              }),
               pids.end());
}

ChildProcess::~ChildProcess() {
    terminate();
}

bool ChildProcess::start(const std::vector<std::string>& argv, bool captureOutput) {
    terminate();
    captured.clear();
    status = -1;
    if (argv.empty()) return false;

    int fds[2] = {-1, -1};
    if (captureOutput && pipe2(fds, O_CLOEXEC) != 0) return false;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (captureOutput) {
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    pid_t child = -1;
    const int err = posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (captureOutput) close(fds[1]);
    if (err != 0) {
        if (captureOutput) close(fds[0]);
        return false;
    }
    pid = child;
    if (captureOutput) {
        pipeFd = fds[0];
        fcntl(pipeFd, F_SETFL, fcntl(pipeFd, F_GETFL) | O_NONBLOCK);
    }
    return true;
}

void ChildProcess::drainPipe() {
    if (pipeFd < 0) return;
    char buffer[1024];
    for (;;) {
        const ssize_t n = read(pipeFd, buffer, sizeof buffer);
        if (n > 0) {
            captured.append(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) closePipe();  // end of output
        return;
    }
}

void ChildProcess::closePipe() {
    if (pipeFd >= 0) close(pipeFd);
    pipeFd = -1;
}

bool ChildProcess::poll() {
    if (pid <= 0) return true;
    drainPipe();
    int wstatus = 0;
    const pid_t r = waitpid(pid, &wstatus, WNOHANG);
    if (r == 0) return false;
    if (r == pid) {
        drainPipe();
        status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    }
    closePipe();
    pid = -1;
    return true;
}

void ChildProcess::detach() {
    closePipe();
    adoptChild(pid);
    pid = -1;
}

void ChildProcess::terminate() {
    closePipe();
    if (pid > 0) {
        kill(pid, SIGTERM);
        if (waitpid(pid, nullptr, WNOHANG) != pid) adoptChild(pid);
    }
    pid = -1;
}

}  // namespace kt
