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
