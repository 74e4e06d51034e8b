#include "gui/CFileSelector.h"

#include "platform/dialogs.h"

namespace {

kt::FileDialogOptions optionsOf(bool save, const std::string& title, const std::string& folder,
                                const std::string& name,
                                const std::vector<std::pair<std::string, std::string>>& filters) {
    kt::FileDialogOptions o;
    o.save = save;
    o.title = title;
    o.folder = folder;
    o.defaultName = name;
    for (const auto& [description, extension] : filters)
        o.filters.push_back({description, "*." + extension});
    return o;
}

}  // namespace

CFileSelector::CFileSelector(CFrame* frame, Style style) : frame(frame), style(style) {}

CFileSelector::~CFileSelector() {
    cancel();
}

void CFileSelector::addFileExtension(const char* description, const char* extension) {
    filters.emplace_back(description ? description : "", extension ? extension : "");
}

std::vector<std::string> CFileSelector::dialogArguments() const {
    return kt::fileDialogArguments(kt::findDialogTool(), optionsOf(style == kSelectSaveFile, title,
                                                                   folder, defaultName, filters));
}

bool CFileSelector::run(Callback cb) {
    if (dialog || !frame) return false;
    selected.clear();
    auto d = std::make_unique<kt::FileDialog>(
        optionsOf(style == kSelectSaveFile, title, folder, defaultName, filters));
    if (d->poll() == kt::FileDialog::State::cancelled) return false;  // never started
    dialog = std::move(d);
    callback = std::move(cb);
    remember();  // kept alive while the dialog is open
    frame->addIdleTask(this);
    return true;
}

void CFileSelector::onIdle() {
    if (!dialog) return;
    const auto state = dialog->poll();
    if (state == kt::FileDialog::State::running) return;
    if (state == kt::FileDialog::State::chosen) selected = dialog->path();
    Callback cb = std::move(callback);
    remember();  // the callback may forget us
    finish();
    if (cb) cb(this, getSelectedFile());
    forget();
}

void CFileSelector::cancel() {
    if (!dialog) return;
    callback = nullptr;
    finish();
}

void CFileSelector::onFrameClosed() {
    frame = nullptr;
    cancel();
}

void CFileSelector::finish() {
    dialog.reset();
    if (frame) frame->removeIdleTask(this);
    forget();  // the reference taken by run
}
