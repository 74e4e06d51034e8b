#include "platform/dialogs.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace kt {
namespace {

bool onPath(const char* program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    const std::string_view dirs(path);
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string_view::npos) end = dirs.size();
        std::string candidate(end > start ? dirs.substr(start, end - start) : ".");
        candidate.append("/").append(program);
        if (access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

std::string startPath(const FileDialogOptions& o) {
    std::string p = o.folder;
    if (!p.empty() && p.back() != '/') p += '/';
    return p + o.defaultName;
}

}  // namespace

DialogTool findDialogTool() {
    if (onPath("zenity")) return DialogTool::zenity;
    if (onPath("kdialog")) return DialogTool::kdialog;
    return DialogTool::none;
}

std::vector<std::string> fileDialogArguments(DialogTool tool, const FileDialogOptions& o) {
    std::vector<std::string> args;
    if (tool == DialogTool::zenity) {
        args = {"zenity", "--file-selection", "--title=" + o.title};
        if (o.save) {
            args.push_back("--save");
            args.push_back("--confirm-overwrite");
        }
        const std::string start = startPath(o);
        if (!start.empty()) args.push_back("--filename=" + start);
        for (const auto& f : o.filters) {
            args.push_back("--file-filter=" + f.description + " (" + f.pattern + ") | " +
                           f.pattern);
        }
    } else if (tool == DialogTool::kdialog) {
        args = {"kdialog", "--title", o.title, o.save ? "--getsavefilename" : "--getopenfilename"};
        std::string start = startPath(o);
        args.push_back(start.empty() ? "." : start);
        std::string filter;
        for (const auto& f : o.filters) {
            if (!filter.empty()) filter += '\n';
            filter += f.pattern + "|" + f.description + " (" + f.pattern + ")";
        }
        if (!filter.empty()) args.push_back(filter);
    }
    return args;
}

std::vector<std::string> alertArguments(DialogTool tool, const std::string& message) {
    if (tool == DialogTool::zenity)
        return {"zenity", "--warning", "--no-markup", "--title=Kav Tamor", "--text=" + message};
    if (tool == DialogTool::kdialog) return {"kdialog", "--title", "Kav Tamor", "--sorry", message};
    return {};
}

FileDialog::FileDialog(const FileDialogOptions& options) {
    reapAdoptedChildren();
    const auto args = fileDialogArguments(findDialogTool(), options);
    launched = !args.empty() && process.start(args, true);
    if (launched) state = State::running;
}

FileDialog::State FileDialog::poll() {
    if (state != State::running || !process.poll()) return state;
    std::string out = process.output();
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    if (process.exitCode() == 0 && !out.empty()) {
        chosenPath = out;
        state = State::chosen;
    } else {
        state = State::cancelled;
    }
    return state;
}

void showAlert(const char* message) {
    reapAdoptedChildren();
    auto args = alertArguments(findDialogTool(), message ? message : "");
    // Without either dialog program, the plain X toolkit's message box still
    // tells the user (for one thing, that there is no file dialog).
    if (args.empty() && onPath("xmessage"))
        args = {"xmessage", "-center",  "-title", "Kav Tamor",           "-buttons",
                "OK",       "-default", "OK",     message ? message : ""};
    if (args.empty()) return;
    ChildProcess alert;
    if (!alert.start(args, false)) return;
    // Nobody waits for the alert; it is reaped on a later dialog or idle pass.
    alert.detach();
}

}  // namespace kt
