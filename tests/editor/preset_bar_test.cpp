// The preset bar with synthetic input: what each tag does to a recording effect, and names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "presets/CPresetSystemEffect.h"
#include "tests/editor/preset_bar_support.h"
#include "tests/editor/preset_layer_support.h"

using namespace kt;
using namespace kt::test;

namespace {

std::vector<std::string> calls;

class RecordingEffect : public CPresetSystemEffect {
  public:
    RecordingEffect() : CPresetSystemEffect(silentHost, kNumPresets, kPresetParams) {}
    void processReplacing(float**, float**, vst::int32) override {}
    void setPresetNo(int n) override {
        calls.push_back("setPresetNo " + std::to_string(n));
        CPresetSystemEffect::setPresetNo(n);
    }
    void setPresetName(const char* name) override {
        calls.push_back(std::string("setPresetName ") + name);
        CPresetSystemEffect::setPresetName(name);
    }
};

// The bar over a recording effect; file, store and manual operations only recorded.
class RecordingBar : public OffscreenBar<CPresetSystemEditor> {
  public:
    using OffscreenBar::OffscreenBar;
    void loadBank(bool reversed) override { record("loadBank", reversed); }
    void loadPreset(bool reversed) override { record("loadPreset", reversed); }
    void saveBank() override { calls.push_back("saveBank"); }
    void savePreset() override { calls.push_back("savePreset"); }
    void saveDefaultBank() override { calls.push_back("saveDefaultBank"); }
    void resetDefaultBank() override { calls.push_back("resetDefaultBank"); }
    void saveDefaultPreset() override { calls.push_back("saveDefaultPreset"); }
    void resetDefaultPreset() override { calls.push_back("resetDefaultPreset"); }
    void storeA() override { calls.push_back("storeA"); }
    void storeB() override { calls.push_back("storeB"); }
    void recallA() override { calls.push_back("recallA"); }
    void recallB() override { calls.push_back("recallB"); }
    void openManual() override { calls.push_back("openManual"); }

  private:
    static void record(const char* what, bool reversed) {
        calls.push_back(std::string(what) + (reversed ? " reversed" : ""));
    }
};

using Calls = std::vector<std::string>;

class PresetBar : public ::testing::Test {
  protected:
    PresetBar() {
        effect.setPresetNo(0);
        calls.clear();
        EXPECT_TRUE(bar->openOffscreen());
    }
    ~PresetBar() override { bar->closeOffscreen(); }

    // A control of the bar's kind, with a tag and a value, as valueChanged sees it.
    Calls changed(long tag, float value) {
        calls.clear();
        CControl* control = new CControl(CRect(), nullptr, tag);
        control->setValue(value);
        bar->valueChanged(control);
        control->forget();
        return calls;
    }
    Calls clicked(double x, double y, std::int32_t buttons) {
        calls.clear();
        bar->click(x, y, buttons);
        return calls;
    }
    Calls doubleClicked(double x, double y, std::int32_t buttons) {
        calls.clear();
        bar->doubleClick(x, y, buttons);
        return calls;
    }
    std::string nameOf(int n) { return effect.preset(n).nameText(); }

    TempConfig config;
    RecordingEffect effect;
    RecordingBar* bar = new RecordingBar(&effect);  // owned by the effect
};

// What the clicks below do not reach (the buttons are checked there).
TEST_F(PresetBar, TagsWithoutAClickOfTheirOwn) {
    EXPECT_EQ(changed(1004, 1.0f), Calls{"loadPreset"});
    EXPECT_EQ(changed(1014, 1.0f), Calls{"saveDefaultPreset"});
    EXPECT_EQ(changed(1019, 1.0f), Calls{"openManual"});
    EXPECT_FALSE(bar->manual()->isPressed());
    EXPECT_EQ(changed(5, 1.0f), Calls{});  // a parameter's control is the editor's

    // The menu: the entry nearest the value, applied, then named after its title.
    EXPECT_EQ(changed(1012, 3.4f), (Calls{"setPresetNo 3", "setPresetName " + nameOf(3)}));
    EXPECT_EQ(bar->menu()->getCurrentIndex(), 3);
    EXPECT_EQ(std::string(bar->name()->getText()), nameOf(3));
    EXPECT_EQ(changed(1001, 1.0f), (Calls{"setPresetNo 4", "setPresetName " + nameOf(4)}));
    EXPECT_EQ(changed(1001, 0.0f), Calls{});  // the release
    EXPECT_EQ(bar->menu()->getCurrentIndex(), 4);
}

TEST_F(PresetBar, RockerStopsAtBothEndsButReappliesThePreset) {
    effect.setPresetNo(26);
    EXPECT_EQ(clicked(365, 453, kLButton),
              (Calls{"setPresetNo 26", "setPresetName " + nameOf(26)}));
    EXPECT_EQ(bar->rockerSwitch()->getValue(), 0.0f);  // released
    EXPECT_EQ(clicked(345, 453, kLButton),
              (Calls{"setPresetNo 25", "setPresetName " + nameOf(25)}));
    effect.setPresetNo(0);
    EXPECT_EQ(clicked(345, 453, kLButton), (Calls{"setPresetNo 0", "setPresetName " + nameOf(0)}));
    EXPECT_EQ(clicked(365, 453, kRButton), Calls{});
    EXPECT_EQ(bar->menu()->getCurrentIndex(), 0);
    EXPECT_EQ(std::string(bar->name()->getText()), nameOf(0));
}

TEST_F(PresetBar, ButtonsAnswerTheirClicks) {
    EXPECT_EQ(clicked(80, 455, kLButton), Calls{"loadBank"});
    EXPECT_EQ(clicked(80, 455, kRButton), Calls{"loadBank reversed"});
    EXPECT_EQ(clicked(175, 455, kRButton), Calls{"loadPreset reversed"});
    EXPECT_EQ(clicked(30, 455, kRButton), Calls{"saveBank"});
    // Default buttons take double clicks only; Control with one removes.
    EXPECT_EQ(clicked(55, 453, kLButton), Calls{});
    EXPECT_EQ(doubleClicked(55, 453, kLButton | kControl), Calls{"resetDefaultBank"});
    EXPECT_EQ(clicked(140, 453, kLButton), Calls{});
    EXPECT_EQ(doubleClicked(140, 453, kLButton | kControl), Calls{"resetDefaultPreset"});
    // The other kick buttons take single left clicks; a right click does nothing.
    EXPECT_EQ(clicked(396, 455, kLButton), Calls{"storeA"});
    EXPECT_EQ(clicked(396, 455, kRButton), Calls{});
    EXPECT_EQ(clicked(430, 455, kLButton | kControl), Calls{"recallA"});
    EXPECT_EQ(clicked(460, 455, kLButton), Calls{"storeB"});
    EXPECT_EQ(clicked(495, 455, kLButton), Calls{"recallB"});
    EXPECT_EQ(clicked(515, 453, kLButton), Calls{"openManual"});
}

TEST_F(PresetBar, HoverAndPressChooseTheRockersHalf) {
    CKvRockerSwitch* rocker = bar->rockerSwitch();
    bar->hover(345, 453);
    EXPECT_EQ(rocker->hoveredHalf(), -1);
    bar->hover(366, 453);
    EXPECT_EQ(rocker->hoveredHalf(), 1);
    bar->myFrame()->platformMouseDown(345, 453, kLButton, 5000);
    EXPECT_EQ(rocker->getValue(), -1.0f);  // pressed left, though hovering right before
    bar->myFrame()->platformMouseUp(345, 453, kLButton);
    bar->hover(250, 300);
    EXPECT_EQ(rocker->hoveredHalf(), 0);
}

TEST_F(PresetBar, NamesAreCutAt24InTheFieldAndTheMenu) {
    const std::string typed = "A name much longer than twenty-four";
    bar->name()->setText(typed.c_str());
    EXPECT_EQ(changed(1000, 0.0f), Calls{"setPresetName " + typed.substr(0, 24)});
    EXPECT_EQ(std::string(bar->name()->getText()), typed.substr(0, 24));
    EXPECT_EQ(std::string(bar->menu()->getEntryTitle(0)), typed.substr(0, 24));
    EXPECT_EQ(nameOf(0), typed.substr(0, 23));  // the store keeps 23

    // A name the host gives shows once the idle pass runs.
    char hostName[] = "From the host";
    effect.setProgramName(hostName);
    bar->idle();
    EXPECT_EQ(std::string(bar->name()->getText()), "From the host");
    EXPECT_EQ(std::string(bar->menu()->getEntryTitle(0)), "From the host");
}

TEST_F(PresetBar, ReopenedBarShowsThePresetsAsTheyAreNow) {
    bar->closeOffscreen();
    char hostName[] = "Renamed while closed";
    effect.setProgramName(hostName);
    effect.setPresetNo(7);
    ASSERT_TRUE(bar->openOffscreen());
    EXPECT_EQ(bar->menu()->getNbEntries(), kNumPresets);
    EXPECT_EQ(bar->menu()->getNbItemsPerColumn(), 12);
    EXPECT_EQ(bar->menu()->getCurrentIndex(), 7);
    EXPECT_EQ(std::string(bar->menu()->getEntryTitle(0)), "Renamed while closed");
    EXPECT_EQ(std::string(bar->name()->getText()), nameOf(7));
    bar->idle();  // what was posted while closed is not shown over the presets
    EXPECT_EQ(std::string(bar->name()->getText()), nameOf(7));
}

}  // namespace
