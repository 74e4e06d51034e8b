// The desktop's dialogs, run as separate programs (zenity, or kdialog when zenity
// is missing) so the host's user-interface thread never waits for them.
#pragma once

#include <string>
#include <vector>

#include "platform/child_process.h"

namespace kt {

struct FileFilter {
    std::string description;  // "Kav Preset"
    std::string pattern;      // "*.kav"
};

struct FileDialogOptions {
    bool save = false;
    std::string title;
    std::string folder;       // where the dialog starts; empty for the current folder
    std::string defaultName;  // the suggested file name (save dialogs)
    std::vector<FileFilter> filters;
};

enum class DialogTool { zenity, kdialog, none };

// The dialog program found on PATH, zenity first.
DialogTool findDialogTool();

// The argument vector that runs the file dialog with `tool`.
std::vector<std::string> fileDialogArguments(DialogTool tool, const FileDialogOptions& options);
std::vector<std::string> alertArguments(DialogTool tool, const std::string& message);

// One running file dialog, polled from the idle pass.
class FileDialog {
  public:
    enum class State { running, chosen, cancelled };

    // Starts the dialog; a dialog that cannot be started reads as cancelled.
    explicit FileDialog(const FileDialogOptions& options);
    ~FileDialog() = default;  // ends a dialog still open

    State poll();
    const std::string& path() const { return chosenPath; }
    // False when the dialog program could not be started at all.
    bool started() const { return launched; }

  private:
    ChildProcess process;
    bool launched = false;
    State state = State::cancelled;
    std::string chosenPath;
};

// A warning with one OK button, shown without waiting for it to be closed
// (zenity, kdialog, or xmessage when neither is installed).
void showAlert(const char* message);

}  // namespace kt
