// The editor's views on an offscreen MyFrame with a recorder of what they tell.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/MyFrame.h"
#include "editor/metering_settings.h"
#include "gui/CBitmap.h"
#include "gui/CControl.h"
#include "platform/offscreen_frame.h"

namespace kt::test {

// Listener and editor: "begin T", "end T", "T=V", "type N", "scale N", "save defaults".
class Recorder : public CControlListener,
                 public VSTGUIEditorInterface,
                 public kt::ui::MeteringSettings {
  public:
    void valueChanged(CControl* control) override;
    void beginEdit(long index) override { log.push_back("begin " + std::to_string(index)); }
    void endEdit(long index) override { log.push_back("end " + std::to_string(index)); }
    void doIdleStuff() override { ++idleRequests; }
    void setMeterType(long type) override { log.push_back("type " + std::to_string(type)); }
    void setScale(long scale) override { log.push_back("scale " + std::to_string(scale)); }
    void saveTamorDefaults() override { log.push_back("save defaults"); }
    // The values notified, in order.
    const std::vector<float>& values() const { return notified; }
    // The log as one text, entries separated by ", ".
    std::string text() const;
    void clear() { log.clear(), notified.clear(); }

    std::vector<std::string> log;
    std::vector<float> notified;
    int idleRequests = 0;
    // Called for setMeterType / setScale, as the editor's round trip would.
    CControl* echoTo = nullptr;
};

class ViewFrame {
  public:
    ViewFrame(int width = 524, int height = 462);
    ~ViewFrame() { frame->close(); }
    MyFrame* operator->() const { return frame; }
    MyFrame* get() const { return frame; }

    template <typename View>
    View* add(View* view) {
        frame->addView(view);
        return view;
    }
    // Input through the frame, as the platform reports it.
    CMouseEventResult down(double x, double y, std::int32_t buttons) {
        CPoint where(x, y);
        return frame->onMouseDown(where, buttons);
    }
    void move(double x, double y, std::int32_t buttons = 0) {
        frame->platformMouseMoved(x, y, buttons);
    }
    void up(double x, double y, std::int32_t buttons = kLButton) {
        frame->platformMouseUp(x, y, buttons);
    }
    bool wheel(double x, double y, float distance, std::int32_t buttons = 0) {
        return frame->onWheel(CPoint(x, y), kMouseWheelAxisY, distance, buttons);
    }
    void click(double x, double y, std::int32_t buttons = kLButton) {
        down(x, y, buttons);
        up(x, y, buttons);
    }
    // One idle pass: dirty views redrawn.
    void idle() { frame->idle(); }

    Recorder recorder;

  private:
    MyFrame* frame;
};

// A plain bitmap of the given size, held for the test (views keep their own references).
class TestBitmap {
  public:
    TestBitmap(int width, int height);
    ~TestBitmap() { bitmap->forget(); }
    TestBitmap(const TestBitmap&) = delete;
    TestBitmap& operator=(const TestBitmap&) = delete;
    operator CBitmap*() const { return bitmap; }

  private:
    CBitmap* bitmap;
};

}  // namespace kt::test
