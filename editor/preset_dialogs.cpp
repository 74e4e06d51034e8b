// The file dialogs of the preset bar: started without blocking, polled on the
// idle pass, and closed with the window.
#include <memory>
#include <string>

#include "editor/CPresetSystemEditor.h"
#include "platform/dialogs.h"

void CPresetSystemEditor::openDialog(PendingDialog kind, bool reversed) {
    if (!hasFrame()) return;
    const bool bank = kind == PendingDialog::loadBank || kind == PendingDialog::saveBank;
    const bool save = kind == PendingDialog::saveBank || kind == PendingDialog::savePreset;
    kt::FileDialogOptions options;
    options.save = save;
    options.title = std::string(save ? "Save " : "Load ") + (bank ? "bank" : "preset");
    if (reversed) options.title += " (endian-reversed)";
    options.folder = presetDirectory;
    if (save) options.defaultName = bank ? bankFileName : presetFileName;
    options.filters.push_back(bank ? kt::FileFilter{"Kav Bank", "*.kvb"}
                                   : kt::FileFilter{"Kav Preset", "*.kav"});
    dialog = std::make_unique<kt::FileDialog>(options);
    pending = kind;
    pendingReversed = reversed;
}

void CPresetSystemEditor::close() {
    dialog.reset();
    pending = PendingDialog::none;
    AEffGUIEditor::close();
}

void CPresetSystemEditor::idle() {
    AEffGUIEditor::idle();
    if (!dialog) return;
    const kt::FileDialog::State state = dialog->poll();
    if (state == kt::FileDialog::State::running) return;
    const std::string path = dialog->path();
    const PendingDialog kind = pending;
    dialog.reset();
    pending = PendingDialog::none;
    if (state != kt::FileDialog::State::chosen || path.empty()) return;
    switch (kind) {
        case PendingDialog::loadPreset:
            loadPresetFile(path.c_str(), pendingReversed);
            break;
        case PendingDialog::loadBank:
            loadBankFile(path.c_str(), pendingReversed);
            break;
        case PendingDialog::savePreset:
            savePresetFile(path.c_str());
            break;
        case PendingDialog::saveBank:
            saveBankFile(path.c_str());
            break;
        case PendingDialog::none:
            break;
    }
}

void CPresetSystemEditor::loadPreset(bool reversed) {
    if (!dialog) openDialog(PendingDialog::loadPreset, reversed);
}

void CPresetSystemEditor::loadBank(bool reversed) {
    if (!dialog) openDialog(PendingDialog::loadBank, reversed);
}

void CPresetSystemEditor::savePreset() {
    if (!dialog) openDialog(PendingDialog::savePreset, false);
}

void CPresetSystemEditor::saveBank() {
    if (!dialog) openDialog(PendingDialog::saveBank, false);
}
