// Replays the committed fuzz corpus through the fuzz targets' entry
// functions, so every seed runs under the test suite's sanitizers too.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/fuzz_entries.h"
#include "fuzz/lv2_state_entry.h"
#include "tests/support/temp_config.h"

namespace {

namespace fs = std::filesystem;

class FuzzCorpusTest : public ::testing::Test {
  protected:
    void TearDown() override {
        kt::fuzz::releaseStore();
        kt::fuzz::releaseLv2Instance();
    }

    // Runs every file of the target's corpus; answers how many there were.
    template <class Entry>
    int replay(const char* target, Entry entry) {
        int count = 0;
        const fs::path dir = fs::path(KT_FUZZ_CORPUS_DIR) / target;
        for (const auto& file : fs::directory_iterator(dir)) {
            std::ifstream in(file.path(), std::ios::binary);
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                                  std::istreambuf_iterator<char>()};
            EXPECT_EQ(entry(bytes.data(), bytes.size()), 0) << file.path();
            // Every prefix of a seed, too: the cut-short data readers must refuse or bound.
            for (std::size_t cut = 0; cut < bytes.size(); cut += 1 + bytes.size() / 61)
                entry(bytes.data(), cut);
            ++count;
        }
        return count;
    }

    kt::test::TempConfig config;
};

TEST_F(FuzzCorpusTest, Chunk) {
    EXPECT_GE(replay("chunk", kt::fuzz::chunkInput), 4);
}
TEST_F(FuzzCorpusTest, Images) {
    EXPECT_GE(replay("images", kt::fuzz::imageInput), 4);
}
TEST_F(FuzzCorpusTest, OldLayouts) {
    EXPECT_GE(replay("old_layouts", kt::fuzz::oldLayoutInput), 4);
}
TEST_F(FuzzCorpusTest, Files) {
    EXPECT_GE(replay("files", kt::fuzz::fileInput), 4);
}
TEST_F(FuzzCorpusTest, Lv2State) {
    EXPECT_GE(replay("lv2_state", kt::fuzz::lv2StateInput), 4);
}

}  // namespace
