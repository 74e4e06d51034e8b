// The editor base the host drives: size, open into the host's window, close,
// idle, draw, keys and wheel, and the bridge from controls back to the effect.
#pragma once

#include "editor/AEffEditor.h"

class AEffGUIEditor : public AEffEditor {
public:
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override = default;

    bool getRect(vst::ERect** r) override {
        *r = &rect;
        return true;
    }
    bool setKnobMode(vst::int32 mode) override;
    static vst::int32 getKnobMode();

    // Called by the effect after every parameter change; the editor updates its
    // controls. Any thread.
    virtual void setParameter(vst::int32, float) {}

    virtual bool beginEdit(vst::int32 index);
    virtual bool endEdit(vst::int32 index);

protected:
    vst::ERect rect{};
};
