// What the preset store asks of its editor's preset layer: the bank image of
// the host chunk, a name the host gave, and the stored defaults at start-up.
// The editor implements it; an effect without an editor works on its own
// store with the same image code and shows nothing.
#pragma once

#include "presets/preset_image.h"

class CPresetSystemEditorInterface {
  public:
    virtual void nameChangedExternal(const char* name) = 0;
    virtual void loadDefaults() = 0;
    virtual int BankToBuffer(char** out) = 0;
    virtual bool BufferToBank(const char* body, int length, const newpresetheader* header,
                              bool swapped) = 0;

  protected:
    ~CPresetSystemEditorInterface() = default;
};
