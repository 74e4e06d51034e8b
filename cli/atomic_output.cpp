#include "cli/atomic_output.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>

namespace kt {
namespace {

// The temporary files of outputs in progress, so that a signal ending the
// program (Ctrl-C) removes them too. A batch writes up to kMaxParallelOutputs
// files at once, from as many threads. A slot is free, claimed by a thread
// writing its path, or holding a path the signal handler may remove.
enum SlotState : int { kFree, kClaimed, kTracked };
char trackedPaths[kMaxParallelOutputs][PATH_MAX];
std::atomic<int> trackedState[kMaxParallelOutputs];

void removeTemporariesAndEnd(int signal) {
    for (int slot = 0; slot < kMaxParallelOutputs; ++slot)
        if (trackedState[slot].load(std::memory_order_acquire) == kTracked)
            ::unlink(trackedPaths[slot]);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Installs the handler for the signals that end a command-line program,
// unless the program handles or ignores them itself. Once, whichever thread
// comes first.
void removeTemporariesOnSignals() {
    static const bool installed = [] {
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
            struct sigaction current {};
            if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != SIG_DFL)
                continue;
            struct sigaction action {};
            action.sa_handler = removeTemporariesAndEnd;
            sigemptyset(&action.sa_mask);
            ::sigaction(signal, &action, nullptr);
        }
        return true;
    }();
    (void)installed;
}

int track(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    removeTemporariesOnSignals();
    for (int slot = 0; slot < kMaxParallelOutputs; ++slot) {
        int expected = kFree;
        if (!trackedState[slot].compare_exchange_strong(expected, kClaimed,
                                                        std::memory_order_acquire))
            continue;
        std::memcpy(trackedPaths[slot], path.c_str(), path.size() + 1);
        trackedState[slot].store(kTracked, std::memory_order_release);
        return slot;
    }
    return -1;
}

void untrack(int slot) {
    if (slot >= 0) trackedState[slot].store(kFree, std::memory_order_release);
}

}  // namespace

AtomicOutput::~AtomicOutput() {
    untrack(slot_);
}

bool AtomicOutput::open(const std::string& target, std::string* error) {
    untrack(slot_);
    slot_ = -1;
    if (!file_.open(target, error)) return false;
    slot_ = track(file_.temporaryPath());
    return true;
}

bool AtomicOutput::commit(std::string* error) {
    const bool done = file_.commit(error);
    untrack(slot_);
    slot_ = -1;
    return done;
}

}  // namespace kt
