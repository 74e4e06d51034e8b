// The editor object the effect owns for its whole life; its window exists only
// between open and close. All operations run on the host's user-interface thread.
#pragma once

#include "vst/vst_abi.h"

class AudioEffect;

class AEffEditor {
  public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    virtual ~AEffEditor() = default;

    virtual AudioEffect* getEffect() { return effect; }
    virtual bool getRect(vst::ERect** rect) {
        *rect = nullptr;
        return false;
    }
    virtual bool open(void* parent) {
        hostWindow = parent;
        return false;
    }
    virtual void close() { hostWindow = nullptr; }
    virtual bool isOpen() { return hostWindow != nullptr; }
    virtual void idle() {}
    virtual void draw(vst::ERect*) {}
    virtual vst::int32 mouse(vst::int32, vst::int32) { return 0; }
    virtual vst::int32 key(vst::int32) { return 0; }
    virtual void top() {}
    virtual void sleep() {}
    virtual bool onKeyDown(vst::VstKeyCode&) { return false; }
    virtual bool onKeyUp(vst::VstKeyCode&) { return false; }
    virtual bool onWheel(float) { return false; }
    virtual bool setKnobMode(vst::int32) { return false; }

  protected:
    AudioEffect* effect;
    void* hostWindow = nullptr;
};
