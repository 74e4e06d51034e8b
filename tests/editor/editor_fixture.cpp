#include "tests/editor/editor_fixture.h"

#include <cairo.h>

namespace kt::test {

namespace {

vst::VstIntPtr recordingHost(vst::AEffect*, vst::int32 opcode, vst::int32 index, vst::VstIntPtr,
                             void*, float) {
    if (opcode == vst::audioMasterAutomate)
        hostLog().push_back("automate " + std::to_string(index));
    if (opcode == vst::audioMasterBeginEdit) hostLog().push_back("begin " + std::to_string(index));
    if (opcode == vst::audioMasterEndEdit) hostLog().push_back("end " + std::to_string(index));
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

}  // namespace

std::vector<std::string>& hostLog() {
    static std::vector<std::string> log;
    return log;
}

void FakeMeters::getMeters(float* inPeakL, float* inPeakR, float* outPeakL, float* outPeakR,
                           float* inRmsL, float* inRmsR, float* outRmsL, float* outRmsR,
                           float* gainL, float* gainR) {
    ++polls;
    *inPeakL = *inPeakR = *outPeakL = *outPeakR = peak;
    *inRmsL = *inRmsR = *outRmsL = *outRmsR = rms;
    *gainL = *gainR = gain;
}

bool OffscreenEditor::openWindow(MyFrame* newFrame, void*) {
    const CRect& size = newFrame->getViewSize();
    newFrame->open(std::make_unique<kt::OffscreenFrame>(static_cast<int>(size.width()),
                                                        static_cast<int>(size.height())));
    return true;
}

bool OffscreenEditor::savePicture(const std::string& path) const {
    if (!frame) return false;
    cairo_surface_t* image = frame->getPlatformFrame()->backBuffer();
    cairo_surface_flush(image);
    return cairo_surface_write_to_png(image, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

EditorFixture::EditorFixture() {
    hostLog().clear();
    plugin = std::make_unique<Plugin>(recordingHost);
    // Put an editor with an offscreen window in the place of the effect's own.
    Editor* own = static_cast<Editor*>(plugin->getEditor());
    editor = new OffscreenEditor(plugin.get());
    delete own;
    editor->setMeterSource(&meters);
    editor->setLatency(plugin->getAeffect()->initialDelay);
    editor->open(nullptr);
    editor->window()->idle();
    hostLog().clear();
}

}  // namespace kt::test
