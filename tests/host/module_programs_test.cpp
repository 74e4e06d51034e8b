// The bank as the host sees it: one program, the preset names, renaming.
#include <cstring>

#include "tests/support/module_fixture.h"

using namespace vst;
using kt::test::ModuleTest;

namespace {

// Every preset name fits the host's field; there are no others.
TEST_F(ModuleTest, NewInstanceIsOnPresetDefault) {
    EXPECT_EQ(plugin->programName(), "Default");
    for (int i = 0; i < 27; ++i) {
        const auto name = plugin->programNameIndexed(i);
        ASSERT_TRUE(name);
        EXPECT_FALSE(name->empty());
        EXPECT_LE(name->size(), 23u);
    }
    EXPECT_EQ(plugin->programNameIndexed(26), "DVD Master 2 [recon]");
    EXPECT_EQ(plugin->programNameIndexed(27), std::nullopt);
    EXPECT_EQ(plugin->programNameIndexed(-1), std::nullopt);
}

TEST_F(ModuleTest, RenamingCutsAtTwentyThreeCharacters) {
    char name[] = "A name of thirty characters!!!";
    ASSERT_EQ(std::strlen(name), 30u);
    plugin->dispatch(effSetProgramName, 0, 0, name);
    EXPECT_EQ(plugin->programName(), std::string(name, 23));
    EXPECT_EQ(plugin->programNameIndexed(0), std::string(name, 23));
    // The host's buffer gets at most 24 bytes.
    char buffer[40];
    std::memset(buffer, '#', sizeof buffer);
    plugin->dispatch(effGetProgramName, 0, 0, buffer);
    EXPECT_EQ(buffer[23], 0);
    EXPECT_EQ(buffer[24], '#');
}

}  // namespace
