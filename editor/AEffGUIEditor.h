// The editor base the host drives through the effect's dispatcher: size, open
// into the host's window, close, idle, draw, keys and wheel, the knob mode, and
// the bridge from the controls back to the effect (the begin/end bracket of an
// edit). Everything here runs on the host's user-interface thread, except
// setParameter, which the engine calls from whichever thread changed a value.
#pragma once

#include <cstdint>

#include "gui/VSTGUIEditorInterface.h"
#include "host/AEffEditor.h"

class MyFrame;
class CBitmap;

class AEffGUIEditor : public AEffEditor, public VSTGUIEditorInterface {
  public:
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override;  // closes a window the host never closed

    bool getRect(vst::ERect** r) override;
    void idle() override;
    void draw(vst::ERect* r) override;
    bool onKeyDown(vst::VstKeyCode& key) override;
    bool onKeyUp(vst::VstKeyCode& key) override;
    bool onWheel(float distance) override;
    bool setKnobMode(vst::int32 mode) override;

    // Called by the engine after every parameter change; the editor updates its
    // controls and marks them dirty. Any thread.
    virtual void setParameter(vst::int32, float) {}

    // VSTGUIEditorInterface: what the controls ask of their editor.
    void doIdleStuff() override;
    int getKnobMode() const override;
    void beginEdit(long index) override;
    void endEdit(long index) override;
    CFrame* getFrame() const override;

    // Milliseconds from a steady clock, wrapping at 2^32.
    static std::uint32_t getTicks();

  protected:
    // The clock of the idle pacing (getTicks; tests put in their own).
    virtual std::uint32_t currentTicks() const { return getTicks(); }
    // Opens the frame in the host's window with `background` as its backdrop and
    // its size; false (and no frame) when the window cannot be made.
    bool openFrame(void* parent, CBitmap* background);
    // Releases the frame and its views.
    void closeFrame();
    // Puts the new frame on the screen inside the host's window; false when it
    // cannot be made. Tests open it on an offscreen platform instead.
    virtual bool openWindow(MyFrame* newFrame, void* parent);

    MyFrame* frame = nullptr;
    vst::ERect rect{};
    std::uint32_t lastIdleTicks;
    bool inIdle = false;
};
