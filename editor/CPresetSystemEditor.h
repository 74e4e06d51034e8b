// The editor's preset layer: the operations the preset bar offers on the
// bank (byte images, preset and bank files, stored defaults, A/B memories)
// and the remembered folder and file names. The byte formats and the file
// and stored-value work live in presets/; this class owns the names the user
// chose, the file dialogs, and shows what a load reads in the preset bar.
//
// Threads: BankToBuffer and BufferToBank also run when the host asks for or
// hands over the chunk, on whichever thread it uses; everything else runs on
// the host's user-interface thread.
#pragma once

#include <memory>
#include <string>

#include "editor/AEffGUIEditor.h"
#include "gui/CControl.h"
#include "presets/CPresetSystemEditorInterface.h"
#include "presets/preset_codec.h"
#include "presets/xplat.h"

class CPresetSystemEffect;

namespace kt {
class FileDialog;
}

class CPresetSystemEditor : public AEffGUIEditor,
                            public CControlListener,
                            public CPresetSystemEditorInterface,
                            public kt::PresetDisplay {
  public:
    explicit CPresetSystemEditor(AudioEffect* effect);
    ~CPresetSystemEditor() override;

    // The preset bar's controls (tags 1000 and above); user-interface thread.
    void valueChanged(CControl*) override {}

    virtual void endLearn() {}
    virtual void endCancel() {}
    void nameChangedExternal(const char* name) override;
    // Start-up: the stored default bank, preset 0, the stored default preset
    // and the remembered names.
    void loadDefaults() override;

    // Readers (see kt::PresetImageCodec). Each answers whether it took the data.
    virtual bool BufferToBankOld(const char* data, int length, bool swapped, int presets,
                                 int values);
    bool BufferToBank(const char* body, int length, const newpresetheader* header,
                      bool swapped) override;
    virtual bool BufferToPresetOld(const char* data, int length, bool swapped, int values);
    virtual bool BufferToPreset(const char* body, int length, const newpresetheader* header,
                                bool swapped);
    virtual bool BufferToMidiOld(const char* data, int length, bool swapped, int values);
    virtual bool BufferToMidi(const char* body, int length, const newpresetheader* header,
                              bool swapped);
    // Writers: allocate an image (freed by the caller with delete[]) and answer
    // its length.
    int BankToBuffer(char** out) override;
    virtual int PresetToBuffer(char** out);
    virtual int MidiToBuffer(char** out);

    // File dialogs; they do nothing while the window is closed.
    virtual void loadBank(bool reversed);
    virtual void saveBank();
    virtual void loadPreset(bool reversed);
    virtual void savePreset();
    virtual void loadMidi(bool) {}
    virtual void saveMidi() {}

    // Stored defaults and memories in the preferences store.
    virtual void saveDefaultBank();
    virtual void resetDefaultBank();
    virtual void loadDefaultBank();
    virtual void saveDefaultPreset();
    virtual void resetDefaultPreset();
    virtual void loadDefaultPreset();
    virtual void storeA();
    virtual void storeB();
    virtual void recallA();
    virtual void recallB();
    virtual void saveDefaultMidi() {}
    virtual void resetDefaultMidi();
    virtual void loadDefaultMidi() {}
    virtual void storePathsAndFilenames();
    virtual void recallPathsAndFilenames();

    // What the dialogs do once a path is chosen. The path is split into the
    // remembered folder and file name first (a path whose parts do not fit
    // their buffers is refused). A failed save is reported with an alert.
    bool loadPresetFile(const char* path, bool reversed);
    bool loadBankFile(const char* path, bool reversed);
    bool savePresetFile(const char* path);
    bool saveBankFile(const char* path);

    // Polls a file dialog that is open; called from the idle pass.
    void idle() override;
    // Ends a file dialog still open: its answer would have no window to go to.
    void close() override;
    bool isDialogOpen() const { return dialog != nullptr; }

    const char* currentDirectory() const { return presetDirectory; }
    const char* currentBankFileName() const { return bankFileName; }
    const char* currentPresetFileName() const { return presetFileName; }

  protected:
    CPresetSystemEffect* presetEffect();
    // Whether the editor's frame (and so a parent for dialogs) exists.
    virtual bool hasFrame() { return getFrame() != nullptr; }
    // kt::PresetDisplay: the preset bar's name field and menu, while the
    // window is open.
    void showPresetName(const char*) override {}
    void setMenuEntry(int, const char*) override {}
    void selectMenuEntry(int) override {}

  private:
    enum class PendingDialog { none, loadPreset, loadBank, savePreset, saveBank };

    void openDialog(PendingDialog kind, bool reversed);
    bool saveFile(const char* path, bool bank);

    kt::PresetImageCodec codec;
    char presetDirectory[kXPlatNameBytes] = {};
    char bankFileName[kXPlatNameBytes] = {};
    char presetFileName[kXPlatNameBytes] = {};

    std::unique_ptr<kt::FileDialog> dialog;
    PendingDialog pending = PendingDialog::none;
    bool pendingReversed = false;
};
