// The editor layer that turns the preset store into byte images and files:
// preset and bank buffers, the host chunk's body, preset and bank files,
// stored defaults and A/B memories, and the remembered folder and file names.
//
// Threads: BankToBuffer and BufferToBank also run when the host asks for or
// hands over the chunk, on whichever thread it uses; everything else runs on
// the host's user-interface thread.
//
// Every reader takes the length of the data it is given and never reads past
// it: records are read only while a whole record lies inside the data. Data
// with a value outside [0, 1] (or NaN) is rejected whole: the presets it
// touched are restored and nothing is applied.
#pragma once

#include <memory>
#include <string>

#include "editor/AEffGUIEditor.h"
#include "gui/CControl.h"
#include "presets/preset_image.h"
#include "presets/xplat.h"

class CPresetSystemEffect;

namespace kt {
class FileDialog;
}

class CPresetSystemEditor : public AEffGUIEditor, public CControlListener {
  public:
    explicit CPresetSystemEditor(AudioEffect* effect);
    ~CPresetSystemEditor() override;

    // The preset bar's controls (tags 1000 and above); user-interface thread.
    void valueChanged(CControl*) override {}

    virtual void endLearn() {}
    virtual void endCancel() {}
    virtual void nameChangedExternal(const char* name);
    // Start-up: the stored default bank, preset 0, the stored default preset
    // and the remembered names.
    virtual void loadDefaults();

    // Readers. body/data and length are the bytes after the header (after the
    // identifier and kind byte for the old layouts); the header's words are in
    // the machine's order, the body's are reversed when swapped. Each answers
    // whether it took the data.
    virtual bool BufferToBankOld(const char* data, int length, bool swapped, int presets,
                                 int values);
    virtual bool BufferToBank(const char* body, int length, const newpresetheader* header,
                              bool swapped);
    virtual bool BufferToPresetOld(const char* data, int length, bool swapped, int values);
    virtual bool BufferToPreset(const char* body, int length, const newpresetheader* header,
                                bool swapped);
    virtual bool BufferToMidiOld(const char* data, int length, bool swapped, int values);
    virtual bool BufferToMidi(const char* body, int length, const newpresetheader* header,
                              bool swapped);
    // Writers: allocate an image (freed by the caller with delete[]) and answer
    // its length; 0 and no buffer without a bank.
    virtual int BankToBuffer(char** out);
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

    // Whole images as files and stored values hold them: the byte-order test
    // (inverted when reversed), then the kind byte.
    bool loadPresetImage(const unsigned char* data, long length, bool reversed);
    bool loadBankImage(const unsigned char* data, long length, bool reversed);

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
    // The preset bar's name field and menu, while the window is open.
    virtual void showPresetName(const char*) {}
    virtual void setMenuEntry(int, const char*) {}
    virtual void selectMenuEntry(int) {}

  protected:
    void applyLoadedPreset(int c);

  private:
    enum class PendingDialog { none, loadPreset, loadBank, savePreset, saveBank };

    bool storeImage(const char* key, bool bank);
    bool recallPresetImage(const char* key);
    void showAppliedPreset(int n);
    void openDialog(PendingDialog kind, bool reversed);
    bool saveImageFile(const char* path, bool bank);

    char presetDirectory[kXPlatNameBytes] = {};
    char bankFileName[kXPlatNameBytes] = {};
    char presetFileName[kXPlatNameBytes] = {};

    std::unique_ptr<kt::FileDialog> dialog;
    PendingDialog pending = PendingDialog::none;
    bool pendingReversed = false;
};
