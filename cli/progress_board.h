// What kavtamor says while it renders: whole lines of text, and, on a
// terminal, one live progress line per file being rendered, kept below the
// text and redrawn in place. Thread-safe: the render threads of a batch
// report through one board, and each line comes out whole, so a terminal
// and a log both read cleanly.
#pragma once

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace kt {

class ProgressBoard {
  public:
    // Text lines go to `text` (nowhere when null); live lines to standard error, only when
    // `live` (standard error is a terminal and the user wants progress).
    ProgressBoard(std::FILE* text, bool live);
    ~ProgressBoard();
    ProgressBoard(const ProgressBoard&) = delete;
    ProgressBoard& operator=(const ProgressBoard&) = delete;

    // One line of text (without its newline).
    void say(const std::string& line);
    // A warning or error line on standard error.
    void warn(const std::string& line);

    // A live line for a job; returns its slot.
    int open(const std::string& name);
    // The job's state ("render 2") and the fraction of it done.
    void show(int slot, const std::string& state, double fraction);
    void close(int slot);

  private:
    struct Slot {
        bool used = false;
        std::string name, state;
        double fraction = 0.0;
    };
    void eraseLive();
    void drawLive();
    void write(std::FILE* to, const std::string& line);

    std::mutex mutex_;
    std::FILE* text_;
    bool live_;
    std::vector<Slot> slots_;
    int drawn_ = 0;  // live lines on the screen
    std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace kt
