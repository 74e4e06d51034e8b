// A view with a value: minimum, maximum, default, a tag naming what it controls
// and a listener told of every change the user makes. The value and the dirty
// flag may be set from any thread (the host automates from its audio thread);
// everything else runs on the user-interface thread.
#pragma once

#include <atomic>

#include "gui/CView.h"

class CControl;

class CControlListener {
  public:
    virtual ~CControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
};

class CControl : public CView {
  public:
    CControl(const CRect& size, CControlListener* listener = nullptr, long tag = 0,
             CBitmap* background = nullptr);

    virtual void setValue(float v) { value.store(v, std::memory_order_relaxed); }
    virtual float getValue() const { return value.load(std::memory_order_relaxed); }
    virtual void setMin(float v) { vmin = v; }
    virtual float getMin() const { return vmin; }
    virtual void setMax(float v) { vmax = v; }
    virtual float getMax() const { return vmax; }
    virtual void setDefaultValue(float v) { defaultValue = v; }
    virtual float getDefaultValue() const { return defaultValue; }
    virtual void setTag(long t) { tag = t; }
    long getTag() const { return tag; }
    virtual void setListener(CControlListener* l) { listener = l; }
    CControlListener* getListener() const { return listener; }
    void setWheelInc(float v) { wheelInc = v; }
    float getWheelInc() const { return wheelInc; }

    // Tells the listener that the user changed the value.
    virtual void valueChanged();
    // The host-automation bracket around a drag, through the frame's editor.
    virtual void beginEdit();
    virtual void endEdit();
    // Keeps the value within minimum..maximum.
    virtual void bounceValue();
    // Control-click sets the default value (begin/end edit around it); true when it did.
    virtual bool checkDefaultValue(CButtonState buttons);

    // Also dirty when the value changed since the last draw.
    void setDirty(bool state = true) override;
    bool isDirty() const override;

  protected:
    std::atomic<float> value{0.0f};
    std::atomic<float> oldValue{1.0f};
    float vmin = 0.0f;
    float vmax = 1.0f;
    float defaultValue = 0.5f;
    float wheelInc = 0.1f;
    long tag;
    CControlListener* listener;
};
