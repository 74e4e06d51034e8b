// The editor layer that turns the preset store into byte images and files:
// preset and bank buffers, the host chunk's body, preset and bank files,
// stored defaults and A/B memories, and the preset bar.
#pragma once

#include "editor/AEffGUIEditor.h"

class CPresetSystemEffect;

class CPresetSystemEditor : public AEffGUIEditor {
public:
    explicit CPresetSystemEditor(AudioEffect* effect);
    ~CPresetSystemEditor() override;

    virtual void endLearn() {}
    virtual void endCancel() {}
    virtual void nameChangedExternal(const char* name);
    virtual void loadDefaults();
    // Allocates a bank buffer (freed by the caller with delete[]) and returns its length.
    virtual int BankToBuffer(char** out);
    // Allocates a preset buffer of the current preset and returns its length.
    virtual int PresetToBuffer(char** out);

protected:
    CPresetSystemEffect* presetEffect();
};
