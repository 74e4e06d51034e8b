// The desktop's file dialog for opening or saving one file. It runs as a separate
// program; the frame polls it on its idle passes, so the host keeps drawing while
// it is open, and the callback runs on the idle pass that collects the answer.
// Closing the frame ends a dialog that is still open, without calling back.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/CBaseObject.h"
#include "gui/CFrame.h"

namespace kt {
class FileDialog;
}

class CFileSelector : public CBaseObject, private CIdleTask {
  public:
    enum Style { kSelectFile, kSelectSaveFile };
    // Called with the chosen path, or null when the dialog was cancelled.
    using Callback = std::function<void(CFileSelector* selector, const char* path)>;

    CFileSelector(CFrame* frame, Style style);

    void setTitle(const char* title) { this->title = title ? title : ""; }
    void setInitialDirectory(const char* folder) { this->folder = folder ? folder : ""; }
    void setDefaultSaveName(const char* name) { defaultName = name ? name : ""; }
    // description "Kav Preset", extension "kav".
    void addFileExtension(const char* description, const char* extension);

    // Starts the dialog; false when none can be started (no dialog program).
    bool run(Callback callback);
    void cancel();
    bool isRunning() const { return dialog != nullptr; }
    const char* getSelectedFile() const { return selected.empty() ? nullptr : selected.c_str(); }

    // The argument vector the dialog is started with (for tests and diagnostics).
    std::vector<std::string> dialogArguments() const;

  protected:
    ~CFileSelector() override;

  private:
    void onIdle() override;
    void onFrameClosed() override;
    void finish();

    CFrame* frame;
    Style style;
    std::string title, folder, defaultName;
    std::vector<std::pair<std::string, std::string>> filters;
    std::unique_ptr<kt::FileDialog> dialog;
    Callback callback;
    std::string selected;
};
