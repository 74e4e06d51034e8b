// The desktop programs of the preset bar: the file dialogs, started without
// blocking, polled on the idle pass and closed with the window, and the
// document opener that shows the operation manual.
#include <memory>
#include <string>

#include "editor/CPresetSystemEditor.h"
#include "platform/dialogs.h"
#include "presets/xplat.h"

void CPresetSystemEditor::openDialog(PendingDialog kind, bool reversed) {
    if (!hasFrame()) return;
    const bool bank = kind == PendingDialog::loadBank || kind == PendingDialog::saveBank;
    const bool save = kind == PendingDialog::saveBank || kind == PendingDialog::savePreset;
    kt::FileDialogOptions options;
    options.save = save;
    options.title = std::string(save ? "Save " : "Load ") + (bank ? "bank" : "preset");
    if (reversed) options.title += " (endian-reversed)";
    options.folder = presetDirectory;
    options.defaultName = bank ? bankFileName : presetFileName;  // preselected when loading
    options.filters.push_back(bank ? kt::FileFilter{"Kav Bank", "*.kvb"}
                                   : kt::FileFilter{"Kav Preset", "*.kav"});
    if (kt::findDialogTool() == kt::DialogTool::none) {
        XPlatDisplayAlert(
            "Cannot show a file dialog: neither zenity nor kdialog is installed.\n"
            "Install one of them (for example: sudo apt install zenity).");
        return;
    }
    dialog = std::make_unique<kt::FileDialog>(options);
    if (!dialog->started()) {
        dialog.reset();
        XPlatDisplayAlert("Could not start the file dialog.");
        return;
    }
    pending = kind;
    pendingReversed = reversed;
}

void CPresetSystemEditor::close() {
    dialog.reset();
    pending = PendingDialog::none;
    manualViewer.forget();
    forgetBar();
    AEffGUIEditor::close();
}

void CPresetSystemEditor::idle() {
    collectDialog();
    if (manualViewer.failed()) XPlatDisplayAlert(kt::manualAlertText(manualShown).c_str());
    showPendingInBar();
    AEffGUIEditor::idle();
}

void CPresetSystemEditor::collectDialog() {
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

void CPresetSystemEditor::openManual() {
    manualShown = kt::manualPath();
    if (!kt::ensureManualCopy(manualShown) || !manualViewer.open(manualShown))
        XPlatDisplayAlert(kt::manualAlertText(manualShown).c_str());
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
