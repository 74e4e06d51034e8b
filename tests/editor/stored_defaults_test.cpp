// Stored defaults, A/B memories and remembered names: what one instance stores, the next finds.
#include <filesystem>

#include "platform/preferences.h"
#include "tests/editor/preset_layer_support.h"

using namespace kt;
using namespace kt::test;
namespace fs = std::filesystem;

namespace {

class StoredDefaultsTest : public InProcessTest {
  protected:
    void restart() {
        plugin.reset();
        plugin = makePlugin();
    }
};

TEST_F(StoredDefaultsTest, NothingStoredLeavesTheFactoryPresets) {
    auto factory = makePlugin();
    const BankSnapshot before = snapshot(fx());
    EXPECT_EQ(before, snapshot(*factory));
    editor().loadDefaultPreset();
    editor().loadDefaultBank();
    editor().recallA();
    editor().recallB();
    EXPECT_EQ(snapshot(fx()), before);
    restart();
    EXPECT_EQ(snapshot(fx()), before);
    // Nothing was chosen, so no names were written either.
    EXPECT_FALSE(fs::exists(config.configDir() + "/CurrDir"));
}

TEST_F(StoredDefaultsTest, DefaultPresetLoadsIntoPresetZeroAtStartUp) {
    fx().setPresetNo(7);
    editor().saveDefaultPreset();
    const float drive = fx().preset(7).value(1);
    restart();
    EXPECT_EQ(currentName(), "Loudness 3");
    EXPECT_EQ(fx().getPresetNo(), 0);
    EXPECT_EQ(fx().preset(0).value(1), drive);
    EXPECT_EQ(fx().preset(7).nameText(), "Loudness 3");

    editor().resetDefaultPreset();
    restart();
    EXPECT_EQ(currentName(), "Default");
}

TEST_F(StoredDefaultsTest, MemoriesRecallIntoTheCurrentPreset) {
    fx().setPresetNo(2);
    editor().storeA();
    fx().setPresetNo(5);
    editor().storeB();
    restart();
    fx().setPresetNo(10);
    editor().recallA();
    EXPECT_EQ(fx().getPresetNo(), 10);
    EXPECT_EQ(currentName(), "Limiter Gentle");
    for (int i = 0; i < 26; ++i) EXPECT_EQ(current().value(i), fx().preset(2).value(i));
    editor().recallB();
    EXPECT_EQ(currentName(), "Loudness 1");
}

TEST_F(StoredDefaultsTest, DamagedStoredValuesAreIgnored) {
    const BankSnapshot factory = snapshot(fx());
    const std::vector<unsigned char> garbage = {'K', 'v', 't', 'r', 0x38, 1, 2, 3, 4, 5};
    const std::vector<unsigned char> tiny = {'K', 'v', 't'};
    const std::vector<unsigned char> foreign(2000, 0x5A);
    for (const auto* value : {&garbage, &tiny, &foreign}) {
        ASSERT_TRUE(prefs::writeBytes("DefaultBank", *value));
        ASSERT_TRUE(prefs::writeBytes("DefaultPreset", *value));
        restart();
        EXPECT_EQ(snapshot(fx()), factory);
    }
    ASSERT_TRUE(prefs::writeString("CurrDir", std::string(400, 'd')));
    restart();
    EXPECT_EQ(std::string(editor().currentDirectory()), "");
}

TEST_F(StoredDefaultsTest, ChosenNamesAreFoundAgain) {
    const fs::path folder = fs::path(config.root()) / "Presets ü";
    fs::create_directories(folder);
    ASSERT_TRUE(editor().saveBankFile((folder / "Bänk.kvb").c_str()));
    ASSERT_TRUE(editor().savePresetFile((folder / "one.kav").c_str()));
    restart();
    EXPECT_EQ(std::string(editor().currentDirectory()), folder.string() + "/");
    EXPECT_EQ(std::string(editor().currentBankFileName()), "Bänk.kvb");
    EXPECT_EQ(std::string(editor().currentPresetFileName()), "one.kav");
    EXPECT_EQ(prefs::readString("CurrBank"), "Bänk.kvb");
}

}  // namespace
