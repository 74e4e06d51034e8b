// The preset readers' fuzz corpus, replayed under the suite's sanitizers.
#include <gtest/gtest.h>

#include "fuzz/corpus_replay.h"
#include "fuzz/fuzz_entries.h"
#include "tests/support/temp_config.h"

namespace {

TEST(FuzzCorpus, EveryPresetTargetsSeeds) {
    kt::test::TempConfig config;
    const std::pair<const char*, kt::fuzz::Entry> targets[] = {
        {"chunk", kt::fuzz::chunkInput},
        {"images", kt::fuzz::imageInput},
        {"old_layouts", kt::fuzz::oldLayoutInput},
        {"files", kt::fuzz::fileInput}};
    for (const auto& [target, entry] : targets)
        EXPECT_GE(kt::fuzz::replayCorpus(KT_FUZZ_CORPUS_DIR, target, entry), 4) << target;
    kt::fuzz::releaseStore();
}

}  // namespace
