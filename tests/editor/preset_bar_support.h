// An editor whose preset bar is built into an offscreen frame.
#pragma once

#include <chrono>
#include <memory>
#include <thread>

#include "editor/CKavTextEdit.h"
#include "editor/CPresetSystemEditor.h"
#include "editor/MyFrame.h"
#include "editor/preset_bar_controls.h"
#include "gui/CBitmap.h"
#include "gui/COptionMenu.h"
#include "platform/offscreen_frame.h"

namespace kt::test {

template <class Base>
class OffscreenBar : public Base {
  public:
    using Base::Base;

    // The window's frame and background, then the bar, as the editor's open does.
    bool openOffscreen() {
        this->frame = new MyFrame(CRect(0, 0, 524, 462), this);
        CBitmap* background = new CBitmap(128);
        this->frame->setBackground(background);
        background->forget();
        this->frame->open(std::make_unique<OffscreenFrame>(524, 462));
        return CPresetSystemEditor::open(nullptr);
    }
    void closeOffscreen() {
        this->close();
        this->closeFrame();
    }

    MyFrame* myFrame() { return this->frame; }
    CKavTextEdit* name() { return this->nameField; }
    COptionMenu* menu() { return this->presetMenu; }
    CKvRockerSwitch* rockerSwitch() { return this->rocker; }
    CKvKickButton* manual() { return this->manualButton; }

    // Input as the window system delivers it, in frame pixels.
    void click(double x, double y, std::int32_t buttons, std::uint32_t timeMs = 1000) {
        this->frame->platformMouseDown(x, y, buttons, timeMs);
        this->frame->platformMouseUp(x, y, buttons);
    }
    void doubleClick(double x, double y, std::int32_t buttons) {
        click(x, y, buttons, clock += 1000);
        click(x, y, buttons, clock + 100);
    }
    void hover(double x, double y) { this->frame->platformMouseMoved(x, y, 0); }
    // One idle pass of the host's, after the editor's pacing lets it run.
    void idlePass() {
        std::this_thread::sleep_for(std::chrono::milliseconds(45));
        this->idle();
    }

  private:
    std::uint32_t clock = 1000;
};

}  // namespace kt::test
