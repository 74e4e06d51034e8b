#include "editor/operation_manual.h"

#include <filesystem>
#include <system_error>

#include "docs/manual_document.h"
#include "platform/atomic_file.h"
#include "platform/documents_folder.h"

namespace kt {

std::string manualPath() {
    return documentsFolder() + "/" + kManualFileName;
}

bool ensureManualCopy(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(path, error)) return true;
    fs::create_directories(fs::path(path).parent_path(), error);
    return writeFileAtomically(path, manualDocument());
}

std::string manualAlertText(const std::string& path) {
    const std::string home = homeFolder() + "/";
    std::string text = "Could not open manual file:\n";
    if (path.compare(0, home.size(), home) == 0)
        text += "~/\"" + path.substr(home.size()) + "\"";
    else
        text += "\"" + path + "\"";
    return text;
}

bool ManualViewer::open(const std::string& path) {
    forget();
    return opener.start({"xdg-open", path}, false);
}

bool ManualViewer::failed() {
    if (!opener.running() || !opener.poll()) return false;
    return opener.exitCode() != 0;
}

}  // namespace kt
