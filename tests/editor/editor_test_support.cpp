#include "tests/editor/editor_test_support.h"

#include <cstdio>

#include "tests/gui/gui_test_support.h"

namespace kt::test {

void Recorder::valueChanged(CControl* control) {
    char entry[48];
    std::snprintf(entry, sizeof entry, "%ld=%g", control->getTag(),
                  static_cast<double>(control->getValue()));
    log.push_back(entry);
    notified.push_back(control->getValue());
}

std::string Recorder::text() const {
    std::string all;
    for (const std::string& entry : log) all += (all.empty() ? "" : ", ") + entry;
    return all;
}

ViewFrame::ViewFrame(int width, int height)
    : frame(new MyFrame(CRect(0, 0, width, height), &recorder)) {
    frame->open(std::make_unique<kt::OffscreenFrame>(width, height));
}

TestBitmap::TestBitmap(int width, int height) {
    const std::vector<unsigned char> png = stripedPng(width, height, {0x808080});
    bitmap = new CBitmap(png.data(), png.size());
}

}  // namespace kt::test
