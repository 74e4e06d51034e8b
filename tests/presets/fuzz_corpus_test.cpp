// Replays the committed fuzz corpus through the fuzz targets' entry
// functions, so every seed runs under the test suite's sanitizers too.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/fuzz_entries.h"
#include "tests/support/temp_config.h"

namespace {

namespace fs = std::filesystem;

class FuzzCorpusTest : public ::testing::Test {
  protected:
    void TearDown() override { kt::fuzz::releaseStore(); }

    // Runs every file of the target's corpus; answers how many there were.
    int replay(const char* target, int (*entry)(const std::uint8_t*, std::size_t)) {
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

TEST_F(FuzzCorpusTest, EveryTargetsSeeds) {
    const std::pair<const char*, int (*)(const std::uint8_t*, std::size_t)> targets[] = {
        {"chunk", kt::fuzz::chunkInput},
        {"images", kt::fuzz::imageInput},
        {"old_layouts", kt::fuzz::oldLayoutInput},
        {"files", kt::fuzz::fileInput}};
    for (const auto& [target, entry] : targets) EXPECT_GE(replay(target, entry), 4) << target;
}

}  // namespace
