// The operation manual the preset bar's manual button opens: a PDF kept in the
// user's documents folder, written there from the module's own copy when it is
// missing, and shown with the desktop's document opener (xdg-open), which runs
// on its own while the host goes on. User-interface thread.
#pragma once

#include <string>

#include "platform/child_process.h"

namespace kt {

inline constexpr const char* kManualFileName = "Kav Tamor Manual.pdf";

// Where the manual is kept: the documents folder and the file name.
std::string manualPath();

// Writes the module's copy of the manual to `path` (making its folder) unless
// a file is there already; false when there is none and none could be written.
bool ensureManualCopy(const std::string& path);

// The alert shown when the manual cannot be opened; it names the path, from
// "~/" when it lies in the home folder.
std::string manualAlertText(const std::string& path);

// The document opener started for the manual, followed on the idle pass.
class ManualViewer {
  public:
    ManualViewer() = default;
    ~ManualViewer() { forget(); }
    ManualViewer(const ManualViewer&) = delete;
    ManualViewer& operator=(const ManualViewer&) = delete;

    // Starts `xdg-open path`; false when the program cannot be started.
    bool open(const std::string& path);
    // True once the opener has ended with a failure (reported once).
    bool failed();
    // Lets the opener run on unwatched (the window is closing).
    void forget() { opener.detach(); }

  private:
    ChildProcess opener;
};

}  // namespace kt
