// How views reach the editor that owns their frame: the idle work a tracking
// control asks for, the knob mode, and the begin/end bracket of an edit.
#pragma once

class CFrame;

class VSTGUIEditorInterface {
  public:
    virtual ~VSTGUIEditorInterface() = default;
    virtual void doIdleStuff() {}
    virtual int getKnobMode() const { return 0; }
    virtual void beginEdit(long index) { (void)index; }
    virtual void endEdit(long index) { (void)index; }
    virtual CFrame* getFrame() const { return nullptr; }
};
