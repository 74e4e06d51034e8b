// The editor's views on an offscreen MyFrame with a recorder of what they tell.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/MyFrame.h"
#include "editor/metering_settings.h"
#include "gui/CControl.h"
#include "platform/offscreen_frame.h"

namespace kt::test {

// Listener and editor: "begin T", "end T", "T=V", "type N", "scale N", "save defaults".
class Recorder : public CControlListener,
                 public VSTGUIEditorInterface,
                 public kt::ui::MeteringSettings {
  public:
    void valueChanged(CControl* control) override;
    void beginEdit(long index) override;
    void endEdit(long index) override;
    void doIdleStuff() override { ++idleRequests; }
    void setMeterType(long type) override;
    void setScale(long scale) override;
    void saveTamorDefaults() override;
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
    ~ViewFrame();
    MyFrame* operator->() const { return frame; }
    MyFrame* get() const { return frame; }

    template <typename View>
    View* add(View* view) {
        frame->addView(view);
        return view;
    }
    // Input through the frame, as the platform reports it.
    CMouseEventResult down(double x, double y, std::int32_t buttons);
    void move(double x, double y, std::int32_t buttons = 0);
    void up(double x, double y, std::int32_t buttons = kLButton);
    bool wheel(double x, double y, float distance, std::int32_t buttons = 0);
    void click(double x, double y, std::int32_t buttons = kLButton) {
        down(x, y, buttons);
        up(x, y, buttons);
    }
    // One idle pass: dirty views redrawn.
    void idle() { frame->idle(); }

    Recorder recorder;

  private:
    MyFrame* frame;
    kt::OffscreenFrame* platform;
};

// A plain bitmap of the given size, held for the test (views keep their own references).
class TestBitmap {
  public:
    TestBitmap(int width, int height);
    ~TestBitmap();
    TestBitmap(const TestBitmap&) = delete;
    TestBitmap& operator=(const TestBitmap&) = delete;
    operator CBitmap*() const { return bitmap; }

  private:
    CBitmap* bitmap;
};

}  // namespace kt::test
