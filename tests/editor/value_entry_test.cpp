// The value fields: their text conversions, and typing into them on the offscreen platform.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "editor/value_conversions.h"
#include "editor/value_fields.h"
#include "tests/gui/gui_test_support.h"

using namespace kt;
using Events = std::vector<std::string>;

namespace {

std::string shown(void (*display)(float, char*, void*), float value) {
    char text[kValueTextSize] = {};
    display(value, text, nullptr);
    return text;
}

float entered(void (*entry)(char*, float&, void*), std::string text) {
    float value = -1.0f;
    entry(text.data(), value, nullptr);
    return value;
}

}  // namespace

TEST(ValueConversions, TypedTextIsLimitedToTheRangeAndShownBackInTheFieldsFormat) {
    using Entry = void (*)(char*, float&, void*);
    using Display = void (*)(float, char*, void*);
    const struct {
        Entry entry;
        Display display;
        const char* typed;
        float value;
        const char* shown;  // the value shown back
    } cases[] = {{InputEntered, InputDisplay, "+3", 0.5625f, "+3.00dB"},
                 {InputEntered, InputDisplay, "-99", 0.0f, "-24.00dB"},
                 {OutputEntered, OutputDisplay, "-30", 0.0f, "-12.00dB"},
                 {OutputEntered, OutputDisplay, "loud", 1.0f, "+0.00dB"},  // no number: 0 dB
                 {OutputEntered, OutputDisplay, "-6dB please", 0.5f, "-6.00dB"},
                 {LevelerEntered, LevelerDisplay, "OFF", 1.0f, "off"},
                 {LevelerEntered, LevelerDisplay, "-0.0", 1.0f, "off"},
                 {LevelerEntered, LevelerDisplay, "-3", 0.75f, "-3.00dB"},
                 {TransientEntered, TransientDisplay, "150", 1.0f, "100.0%"},
                 {LinkEntered, LinkDisplay, "-5", 0.0f, "0.0%"},
                 {ReleaseEntered, ReleaseDisplay, "0.5", 0.0f, "1.0ms"},
                 {ReleaseEntered, ReleaseDisplay, "2000", 1.0f, "1000.0ms"}};
    for (const auto& c : cases) {
        EXPECT_EQ(entered(c.entry, c.typed), c.value) << c.typed;
        EXPECT_EQ(shown(c.display, c.value), c.shown) << c.typed;
    }
}

TEST(ValueConversions, NotANumberNeverBecomesAParameterValue) {
    for (auto entry : {InputEntered, OutputEntered, TransientEntered, LinkEntered, LevelerEntered,
                       ReleaseEntered}) {
        EXPECT_FALSE(std::isnan(entered(entry, "nan")));
        EXPECT_FALSE(std::isnan(entered(entry, "-NAN(1)")));
    }
    EXPECT_EQ(entered(InputEntered, "nan"), 0.5f) << "reads as 0 dB";
    EXPECT_EQ(entered(ReleaseEntered, "inf"), 1.0f);
}

namespace {

// Records the listener's calls in the same list as the edit bracket.
class Recorder : public CControlListener {
  public:
    explicit Recorder(Events& events) : events(events) {}
    void valueChanged(CControl* c) override {
        events.push_back("changed " + std::to_string(c->getTag()) + " " +
                         std::to_string(c->getValue()));
    }
    Events& events;
};

struct ValueEntry : ::testing::Test {
    void SetUp() override {
        field = makeValueField(ValueField::Input, &recorder, nullptr);  // 43, 409, 117, 427
        frame->addView(field);
        field->setValue(0.5f);
        frame->idle();
    }
    void click(double x = 80, double y = 418) { frame.down(x, y, kLButton); }
    void key(unsigned char virt, int modifier = 0) {
        VstKeyCode k{0, virt, static_cast<unsigned char>(modifier)};
        frame->platformKeyDown(k);
    }
    void type(const char* text) {
        for (const char* c = text; *c; ++c) {
            VstKeyCode k{*c, 0, 0};
            frame->platformKeyDown(k);
        }
    }
    std::string entryText() const {
        return field->getEntry() ? field->getEntry()->getText() : "(closed)";
    }

    test::TestFrame frame{524, 462};
    Recorder recorder{frame.editor.events};
    CKavTextEdit* field = nullptr;
};

}  // namespace

TEST_F(ValueEntry, ReturnConfirmsTheTypedTextInsideAnEditBracketAndGivesTheKeyboardBack) {
    EXPECT_STREQ(field->getText(), "+0.00dB");
    click();
    ASSERT_TRUE(field->isBeingEdited());
    EXPECT_TRUE(frame.platform().focused);
    EXPECT_EQ(entryText(), "+0.00dB");
    type("+3");  // replaces the text, which opens all selected
    EXPECT_EQ(entryText(), "+3");
    EXPECT_TRUE(frame.editor.events.empty());
    key(VKEY_RETURN);
    EXPECT_FALSE(field->isBeingEdited());
    EXPECT_FALSE(frame.platform().focused);
    EXPECT_EQ(field->getValue(), 0.5625f);
    EXPECT_STREQ(field->getText(), "+3.00dB");
    EXPECT_EQ(frame.editor.events, (Events{"begin 1", "changed 1 0.562500", "end 1"}));
}

TEST_F(ValueEntry, EscapeLeavesValueAndTextAndASecondClickDoesNothing) {
    click();
    type("9");
    click(60, 418);  // on the field again: the entry keeps its text
    EXPECT_EQ(entryText(), "9");
    key(VKEY_ESCAPE);
    EXPECT_FALSE(field->isBeingEdited());
    EXPECT_FALSE(frame.platform().focused);
    EXPECT_EQ(field->getValue(), 0.5f);
    EXPECT_STREQ(field->getText(), "+0.00dB");
    EXPECT_TRUE(frame.editor.events.empty());
}

TEST(ValueEntryTeardown, AFrameClosingMidEntryTellsNoOne) {
    Events events;
    Recorder recorder{events};
    test::SpyEditor editor;
    auto* frame = new CFrame(CRect(0, 0, 524, 462), &editor);
    frame->open(std::make_unique<OffscreenFrame>(524, 462));
    CKavTextEdit* field = makeValueField(ValueField::Output, &recorder, nullptr);
    frame->addView(field);
    frame->platformMouseDown(440, 418, kLButton, 1000);
    ASSERT_TRUE(field->isBeingEdited());
    VstKeyCode five{'5', 0, 0};
    frame->platformKeyDown(five);
    frame->close();  // the editor may be half torn down: nothing may reach it
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(editor.events.empty());
}

TEST_F(ValueEntry, AClickElsewhereOrTheKeyboardGoingToAnotherWindowConfirms) {
    click();
    type("-6");
    frame.down(300, 100, kLButton);
    EXPECT_FALSE(field->isBeingEdited());
    EXPECT_EQ(field->getValue(), 0.375f);

    click();
    type("6");
    frame->platformFocusLost();
    EXPECT_FALSE(field->isBeingEdited());
    EXPECT_EQ(field->getValue(), 0.625f);
    EXPECT_EQ(frame.editor.events.size(), 6u);
}

TEST_F(ValueEntry, TheCaretMovesAndTextIsErasedAndSelectedByKeys) {
    click();
    type("12");
    key(VKEY_LEFT);
    key(VKEY_BACK);
    EXPECT_EQ(entryText(), "2");
    key(VKEY_HOME);
    type("-");
    key(VKEY_DELETE);
    EXPECT_EQ(entryText(), "-");
    type("1.5x");
    key(VKEY_LEFT, MODIFIER_SHIFT);
    key(VKEY_LEFT, MODIFIER_SHIFT);
    type("7");
    EXPECT_EQ(entryText(), "-1.7");
    key(VKEY_HOME, MODIFIER_SHIFT);
    key(VKEY_BACK);
    EXPECT_EQ(entryText(), "");
    type(std::string(40, '1').c_str());
    EXPECT_EQ(entryText().size(), kValueTextSize - 1) << "the entry stops at the field's length";
    key(VKEY_ESCAPE);
}
