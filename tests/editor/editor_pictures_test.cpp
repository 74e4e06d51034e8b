// The whole editor drawn offscreen against reference pictures (KT_UPDATE_REFERENCE=1 rewrites).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "engine/parameters.h"
#include "tests/editor/editor_fixture.h"
#include "tests/editor/reference_images.h"

using namespace kt;
using namespace kt::test;
namespace fs = std::filesystem;

namespace {

class EditorPictures : public EditorFixture {
  protected:
    void expectPicture(const std::string& name) {
        const fs::path shot = fs::temp_directory_path() /
                              ("kt_editor_" + name + "_" + std::to_string(getpid()) + ".png");
        ASSERT_TRUE(editor->savePicture(shot));
        const fs::path reference = referencePath(name);
        if (std::getenv("KT_UPDATE_REFERENCE")) {
            fs::copy_file(shot, reference, fs::copy_options::overwrite_existing);
            fs::remove(shot);
            GTEST_SKIP() << "reference written to " << reference;
        }
        const ImageDifference d = compareImages(shot, reference);
        EXPECT_TRUE(d.close()) << name << ": mean " << d.mean << ", share " << d.share
                               << "; picture kept at " << shot;
        if (d.close()) fs::remove(shot);
    }
    void silence() {
        meters.peak = meters.rms = 0.0f;
        meters.gain = 1.0f;
    }
};

}  // namespace

TEST_F(EditorPictures, Default) {
    silence();
    idleAfter(50);
    expectPicture("editor_default");
}

TEST_F(EditorPictures, QuantizeOnWithShapeDAt16Bits) {
    silence();
    plugin->setParameter(kQuantize, paramLongToCont(1, 2));
    plugin->setParameter(kNoiseShape, paramLongToCont(4, 7));
    plugin->setParameter(kBits, paramLongToCont(2, 5));
    plugin->setParameter(kAutoblack, paramLongToCont(1, 2));
    idleAfter(50);
    expectPicture("editor_quantize");
}

TEST_F(EditorPictures, K20WithSignalOnTheMeters) {
    plugin->setSampleRate(44100);
    plugin->setParameter(kMeterType, paramLongToCont(1, 2));
    plugin->setParameter(kScale, paramLongToCont(2, 3));
    plugin->setParameter(kDrive, 0.75f);  // +12 dB into the limiter
    editor->setMeterSource(plugin.get());
    std::vector<float> left(1764), right(1764);
    float* in[2] = {left.data(), right.data()};
    std::vector<float> outL(1764), outR(1764);
    float* out[2] = {outL.data(), outR.data()};
    long n = 0;
    for (int pass = 0; pass < 12; ++pass) {  // 40 ms of music per idle pass
        for (std::size_t i = 0; i < left.size(); ++i, ++n) {
            left[i] = 0.5f * std::sin(2 * 3.14159265f * 441 * n / 44100.0f);
            right[i] = 0.25f * std::sin(2 * 3.14159265f * 882 * n / 44100.0f);
        }
        plugin->processReplacing(in, out, static_cast<vst::int32>(left.size()));
        idleAfter(40);
    }
    expectPicture("editor_k20_signal");
}

TEST_F(EditorPictures, AboutPanelOpen) {
    silence();
    click(250, 380);
    idleAfter(50);
    expectPicture("editor_about");
}
