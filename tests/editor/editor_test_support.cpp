#include "tests/editor/editor_test_support.h"

#include <cstdio>

#include "gui/CBitmap.h"
#include "tests/gui/gui_test_support.h"

namespace kt::test {

void Recorder::valueChanged(CControl* control) {
    char entry[48];
    std::snprintf(entry, sizeof entry, "%ld=%g", control->getTag(),
                  static_cast<double>(control->getValue()));
    log.push_back(entry);
    notified.push_back(control->getValue());
}

void Recorder::beginEdit(long index) {
    log.push_back("begin " + std::to_string(index));
}

void Recorder::endEdit(long index) {
    log.push_back("end " + std::to_string(index));
}

void Recorder::setMeterType(long type) {
    log.push_back("type " + std::to_string(type));
}

void Recorder::setScale(long scale) {
    log.push_back("scale " + std::to_string(scale));
}

void Recorder::saveTamorDefaults() {
    log.push_back("save defaults");
}

std::string Recorder::text() const {
    std::string all;
    for (const std::string& entry : log) all += (all.empty() ? "" : ", ") + entry;
    return all;
}

ViewFrame::ViewFrame(int width, int height) {
    frame = new MyFrame(CRect(0, 0, width, height), &recorder);
    auto offscreen = std::make_unique<kt::OffscreenFrame>(width, height);
    platform = offscreen.get();
    frame->open(std::move(offscreen));
}

ViewFrame::~ViewFrame() {
    frame->close();
}

CMouseEventResult ViewFrame::down(double x, double y, std::int32_t buttons) {
    CPoint where(x, y);
    return frame->onMouseDown(where, buttons);
}

void ViewFrame::move(double x, double y, std::int32_t buttons) {
    frame->platformMouseMoved(x, y, buttons);
}

void ViewFrame::up(double x, double y, std::int32_t buttons) {
    frame->platformMouseUp(x, y, buttons);
}

bool ViewFrame::wheel(double x, double y, float distance, std::int32_t buttons) {
    return frame->onWheel(CPoint(x, y), kMouseWheelAxisY, distance, buttons);
}

TestBitmap::TestBitmap(int width, int height) {
    const std::vector<unsigned char> png = stripedPng(width, height, {0x808080});
    bitmap = new CBitmap(png.data(), png.size());
}

TestBitmap::~TestBitmap() {
    bitmap->forget();
}

}  // namespace kt::test
