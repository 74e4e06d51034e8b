#include "cli/progress_board.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

namespace kt {
namespace {

int terminalColumns() {
    struct winsize size {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 20) return size.ws_col;
    return 80;
}

std::string bar(double fraction) {
    constexpr int kWidth = 30;
    const int filled = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * kWidth);
    std::string text = "[";
    for (int i = 0; i < kWidth; ++i) text += i < filled ? '#' : '.';
    char percent[8];
    std::snprintf(percent, sizeof percent, "] %3d%%", static_cast<int>(fraction * 100.0 + 1e-9));
    return text + percent;
}

}  // namespace

ProgressBoard::ProgressBoard(std::FILE* text, bool live) : text_(text), live_(live) {}

ProgressBoard::~ProgressBoard() {
    std::lock_guard<std::mutex> lock(mutex_);
    eraseLive();
}

void ProgressBoard::eraseLive() {
    if (drawn_ == 0) return;
    for (int i = 0; i < drawn_; ++i) std::fputs("\033[1A\r\033[2K", stderr);
    std::fflush(stderr);
    drawn_ = 0;
}

void ProgressBoard::drawLive() {
    if (!live_) return;
    // Lines longer than the terminal would wrap and spoil the redraw.
    const std::size_t columns = static_cast<std::size_t>(terminalColumns() - 1);
    for (const Slot& slot : slots_) {
        if (!slot.used) continue;
        std::string line = bar(slot.fraction) + "  " + slot.state + "  " + slot.name;
        if (line.size() > columns) line.resize(columns);
        std::fputs(line.c_str(), stderr);
        std::fputc('\n', stderr);
        ++drawn_;
    }
    std::fflush(stderr);
    lastDraw_ = std::chrono::steady_clock::now();
}

void ProgressBoard::write(std::FILE* to, const std::string& line) {
    if (to == nullptr) return;
    std::lock_guard<std::mutex> lock(mutex_);
    eraseLive();
    std::fputs(line.c_str(), to);
    std::fputc('\n', to);
    std::fflush(to);
    drawLive();
}

void ProgressBoard::say(const std::string& line) {
    write(text_, line);
}

void ProgressBoard::warn(const std::string& line) {
    write(stderr, line);
}

int ProgressBoard::open(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t slot = 0;
    while (slot < slots_.size() && slots_[slot].used) ++slot;
    if (slot == slots_.size()) slots_.emplace_back();
    slots_[slot] = Slot{true, name, "", 0.0};
    if (live_) {
        eraseLive();
        drawLive();
    }
    return static_cast<int>(slot);
}

void ProgressBoard::show(int slot, const std::string& state, double fraction) {
    std::lock_guard<std::mutex> lock(mutex_);
    Slot& entry = slots_.at(static_cast<std::size_t>(slot));
    const bool newState = entry.state != state;
    entry.state = state;
    entry.fraction = fraction;
    if (!live_) return;
    // At most ten redraws a second, besides changes of state.
    const auto now = std::chrono::steady_clock::now();
    if (!newState && now - lastDraw_ < std::chrono::milliseconds(100)) return;
    eraseLive();
    drawLive();
}

void ProgressBoard::close(int slot) {
    std::lock_guard<std::mutex> lock(mutex_);
    slots_.at(static_cast<std::size_t>(slot)).used = false;
    if (live_) {
        eraseLive();
        drawLive();
    }
}

}  // namespace kt
