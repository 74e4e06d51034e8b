// The state is the module's whole bank: saved, restored whole, or refused without change.
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>

#include <vector>

#include "engine/parameters.h"
#include "fuzz/corpus_replay.h"
#include "fuzz/lv2_state_entry.h"
#include "tests/lv2/lv2_test_host.h"
#include "tests/support/module_fixture.h"

namespace kt::test {
namespace {

class Lv2StateTest : public ::testing::Test {
  protected:
    // One block through the instance, so its ports are applied.
    void runBlock(Lv2Run& lv2) {
        std::vector<float> in(256, 0.1f), outL(256), outR(256);
        lv2.run(in.data(), in.data(), outL.data(), outR.data(), 256);
    }

    // An instance whose current preset was edited through its ports.
    std::vector<std::uint8_t> editedState() {
        Lv2Run lv2(bundle, 48000);
        lv2.controls = bundle.presets()[8].values;
        lv2.controls[kDrive] = 0.8f;
        runBlock(lv2);
        return lv2.save();
    }

    TempConfig config;
    Lv2Bundle bundle;
};

TEST_F(Lv2StateTest, TheBankComesBackWhole) {
    const std::vector<std::uint8_t> saved = editedState();
    ASSERT_FALSE(saved.empty());

    // The bytes are the VST module's chunk.
    auto vst = loadModule();
    ASSERT_EQ(vst->setChunk(saved), 0);
    EXPECT_EQ(vst->getParameter(kDrive), 0.8f);
    EXPECT_EQ(vst->getChunk(), saved);

    Lv2Run restored(bundle, 48000);
    runBlock(restored);
    ASSERT_EQ(restored.restore(saved), LV2_STATE_SUCCESS);
    EXPECT_EQ(restored.save(), saved);
    // Ports the host leaves as they were do not overwrite the restored bank.
    runBlock(restored);
    EXPECT_EQ(restored.save(), saved);
    // A port the host moves afterwards is applied.
    restored.controls[kDrive] = 0.25f;
    runBlock(restored);
    ASSERT_EQ(vst->setChunk(restored.save()), 0);
    EXPECT_EQ(vst->getParameter(kDrive), 0.25f);
}

TEST_F(Lv2StateTest, ARefusedStateChangesNothing) {
    const std::vector<std::uint8_t> good = editedState();
    ASSERT_GT(good.size(), 100u);
    Lv2Run lv2(bundle, 44100);
    runBlock(lv2);
    const std::vector<std::uint8_t> before = lv2.save();

    std::vector<std::vector<std::uint8_t>> bad = {
        {},
        std::vector<std::uint8_t>(good.begin(), good.begin() + 8),
        std::vector<std::uint8_t>(good.begin(), good.begin() + good.size() / 2),
        std::vector<std::uint8_t>(good.begin(), good.end() - 1),
    };
    bad.push_back(good);
    bad.back().push_back(0);
    bad.push_back(good);
    bad.back()[5] ^= 0x40;  // another module's identifier
    for (const auto& bytes : bad) {
        EXPECT_NE(lv2.restore(bytes), LV2_STATE_SUCCESS) << bytes.size() << " bytes";
        runBlock(lv2);
        EXPECT_EQ(lv2.save(), before);
    }
    EXPECT_EQ(lv2.restore(good, LV2_ATOM__String), LV2_STATE_ERR_BAD_TYPE);
    EXPECT_EQ(lv2.save(), before);
}

}  // namespace
}  // namespace kt::test

namespace {

TEST(Lv2StateCorpus, EverySeedIsRestoredOrRefusedSafely) {
    kt::test::TempConfig config;
    EXPECT_GE(kt::fuzz::replayCorpus(KT_FUZZ_CORPUS_DIR, "lv2_state", kt::fuzz::lv2StateInput), 4);
    kt::fuzz::releaseLv2Instance();
}

}  // namespace
