// The base class's number-to-text helpers.
#include <gtest/gtest.h>

#include <string>

#include "host/AudioEffect.h"

namespace {

class TextEffect : public AudioEffect {
public:
    TextEffect() : AudioEffect(nullptr, 1, 1) {}
    void processReplacing(float**, float**, vst::int32) override {}
    std::string f(float v, int maxLen = 31) { return run(&AudioEffect::float2string, v, maxLen); }
    std::string i(float v) { return run(&AudioEffect::int2string, v, 31); }
    std::string db(float v) { return run(&AudioEffect::dB2string, v, 31); }
    std::string hz(float v) { return run(&AudioEffect::Hz2string, v, 31); }
    std::string ms(float v) { return run(&AudioEffect::ms2string, v, 31); }

private:
    std::string run(void (AudioEffect::*fn)(float, char*, vst::int32), float v, int maxLen) {
        char buffer[64] = {};
        (this->*fn)(v, buffer, maxLen);
        return buffer;
    }
};

// Eight characters at most (or the caller's limit); too large reads "Huge!".
TEST(TextHelpers, NumberTexts) {
    TextEffect e;
    EXPECT_EQ(e.f(-1.5f), "-1.50000");
    EXPECT_EQ(e.f(-2e7f), "Huge!");
    EXPECT_EQ(e.f(1.5f, 3), "1.5");
    EXPECT_EQ(e.i(-7.0f), "-7");
    EXPECT_EQ(e.i(1e9f), "Huge!");
    EXPECT_EQ(e.db(0.0f), "-oo");
    EXPECT_EQ(e.db(-1.0f), "-oo");
    EXPECT_EQ(e.hz(0.0f), "0.000000");
    EXPECT_EQ(e.hz(441.0f), "100.0000");
    EXPECT_EQ(e.ms(44100.0f), "1000.000");
}

TEST(Record, NullHostCallbackAnswersFallbacks) {
    TextEffect e;
    EXPECT_EQ(e.getMasterVersion(), 1);
    EXPECT_EQ(e.getCurrentUniqueId(), 0);
    EXPECT_TRUE(e.isInputConnected(1));
    EXPECT_TRUE(e.isOutputConnected(1));
    e.masterIdle();
    e.setParameterAutomated(0, 0.5f);
    e.setEditor(nullptr);
    EXPECT_EQ(e.getAeffect()->flags & vst::effFlagsHasEditor, 0);
}

}  // namespace
