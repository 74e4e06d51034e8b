// The editor's preset layer: the preset bar along the bottom of the window and
// the operations it offers on the bank (byte images, preset and bank files,
// stored defaults, A/B memories, the operation manual), and the remembered
// folder and file names. The byte formats and the file and stored-value work
// live in presets/; this class owns the bar's views while the window is open,
// the names the user chose and the file dialogs, and shows what a load reads.
//
// Threads: BankToBuffer and BufferToBank also run when the host asks for or
// hands over the chunk, and nameChangedExternal when it names the program, on
// whichever thread it uses. What those show in the bar is posted to a mailbox
// and put into the views by the idle pass, so only the user-interface thread
// touches a view. Everything else runs on the user-interface thread.
#pragma once

#include <memory>
#include <string>

#include "editor/AEffGUIEditor.h"
#include "editor/operation_manual.h"
#include "editor/preset_display_mailbox.h"
#include "gui/CControl.h"
#include "presets/CPresetSystemEditorInterface.h"
#include "presets/preset_codec.h"
#include "presets/xplat.h"

class CKavTextEdit;
class CKvKickButton;
class CKvRockerSwitch;
class COptionMenu;
class CPresetSystemEffect;
class CSaveLoadButton;

namespace kt {
class FileDialog;
}

class CPresetSystemEditor : public AEffGUIEditor,
                            public CControlListener,
                            public CPresetSystemEditorInterface,
                            public kt::PresetDisplay {
  public:
    // The tags of the bar's controls.
    enum PresetBarTag : long {
        kTagName = 1000,
        kTagRocker = 1001,
        kTagLoadBank = 1002,
        kTagSaveBank = 1003,
        kTagLoadPreset = 1004,
        kTagSavePreset = 1005,
        kTagMenu = 1012,
        kTagDefaultBank = 1013,
        kTagDefaultPreset = 1014,
        kTagStoreA = 1015,
        kTagStoreB = 1016,
        kTagRecallA = 1017,
        kTagRecallB = 1018,
        kTagManual = 1019,
    };
    // The longest preset name the bar shows and takes.
    static constexpr int kShownNameLength = 24;

    explicit CPresetSystemEditor(AudioEffect* effect);
    ~CPresetSystemEditor() override;

    // Builds the bar into the editor's open frame, after the editor's own views;
    // false without an effect or a frame.
    bool open(void* parent) override;
    // Forgets the bar's views (the frame owns them) and ends an open dialog.
    void close() override;
    // The bar's controls; the editor passes every control change here first.
    void valueChanged(CControl* control) override;
    // The bar's controls act on the bank, not on a parameter: their edit
    // brackets are not passed to the host.
    void beginEdit(long index) override;
    void endEdit(long index) override;

    virtual void endLearn() {}
    virtual void endCancel() {}
    // The name field and the current menu entry show `name` (a name the user
    // typed), and the current preset takes it.
    void nameChangedInternal(const char* name);
    // A name the host gave the current preset: shown in the field and the
    // menu; the effect already has it. Any thread.
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
    // their buffers is refused). Every failure is reported with an alert: a
    // file that cannot be read or written, data that is refused (which
    // changes nothing) and a path too long to remember.
    bool loadPresetFile(const char* path, bool reversed);
    bool loadBankFile(const char* path, bool reversed);
    bool savePresetFile(const char* path);
    bool saveBankFile(const char* path);

    // The idle pass: a file dialog's answer, the manual's opener, what other
    // threads posted for the bar, then the frame's own pass.
    void idle() override;
    bool isDialogOpen() const { return dialog != nullptr; }

    // Opens the operation manual from the documents folder, writing the
    // module's copy there first when it is missing.
    virtual void openManual();

    const char* currentDirectory() const { return presetDirectory; }
    const char* currentBankFileName() const { return bankFileName; }
    const char* currentPresetFileName() const { return presetFileName; }

  protected:
    CPresetSystemEffect* presetEffect();
    // Whether the editor's frame (and so a parent for dialogs) exists.
    virtual bool hasFrame() { return getFrame() != nullptr; }
    // kt::PresetDisplay, any thread: posted to the bar, shown on the idle pass
    // (at once when the user-interface thread calls showPendingInBar).
    void showPresetName(const char* name) override;
    void setMenuEntry(int preset, const char* name) override;
    void selectMenuEntry(int preset) override;
    // User-interface thread: puts what was posted into the bar's views.
    void showPendingInBar();

    // The bar's views while the window is open (owned by the frame), else null.
    CKavTextEdit* nameField = nullptr;
    COptionMenu* presetMenu = nullptr;
    CKvRockerSwitch* rocker = nullptr;
    CSaveLoadButton* loadBankButton = nullptr;
    CSaveLoadButton* saveBankButton = nullptr;
    CSaveLoadButton* loadPresetButton = nullptr;
    CSaveLoadButton* savePresetButton = nullptr;
    CKvKickButton* defaultBankButton = nullptr;
    CKvKickButton* defaultPresetButton = nullptr;
    CKvKickButton* storeAButton = nullptr;
    CKvKickButton* storeBButton = nullptr;
    CKvKickButton* recallAButton = nullptr;
    CKvKickButton* recallBButton = nullptr;
    CKvKickButton* manualButton = nullptr;

  private:
    class BarDisplay;
    void buildBar();
    void forgetBar();
    // Preset n's name as the bar shows it: its name field, at most 24 characters.
    std::string presetName(int n);
    void choosePreset(int n, const std::string& name);
    void onNameEdited();
    bool loadFile(const char* path, bool reversed, bool bank);
    void storeImage(const char* key, bool bank, const char* what);
    enum class PendingDialog { none, loadPreset, loadBank, savePreset, saveBank };

    void openDialog(PendingDialog kind, bool reversed);
    void collectDialog();
    bool saveFile(const char* path, bool bank);

    kt::PresetImageCodec codec;
    char presetDirectory[kXPlatNameBytes] = {};
    char bankFileName[kXPlatNameBytes] = {};
    char presetFileName[kXPlatNameBytes] = {};

    std::unique_ptr<kt::FileDialog> dialog;
    PendingDialog pending = PendingDialog::none;
    bool pendingReversed = false;

    kt::PresetDisplayMailbox mailbox;
    kt::ManualViewer manualViewer;
    std::string manualShown;  // the path the viewer was started with
};
