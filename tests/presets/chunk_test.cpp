// The host chunk of the current format, through the module's binary interface.
#include <limits>
#include <thread>

#include "tests/presets/chunk_support.h"

using namespace kt::test;

namespace {

class ChunkTest : public ModuleTest {
  protected:
    std::vector<std::uint8_t> chunk() const { return plugin->getChunk(); }
};

TEST_F(ChunkTest, ChunkIsTheBankImageBehindABigEndianHeader) {
    const auto c = chunk();
    ASSERT_EQ(c.size(), 27049u);
    const std::vector<std::uint8_t> head(c.begin(), c.begin() + 49);
    const std::vector<std::uint8_t> expected = {
        2, 0, 0, 0, 'K', 'v', 't', 'r',                     // marker, identifier
        'K', 'v', 't', 'r', 0x38, 1, 5, 1, 0, 0, 0, 0, 26,  // bank header
        0, 0, 0x02, 0xD9, 0, 0, 0, 0, 0, 0, 0x69, 0x78,     // 729 records, preset 0,
                                                            // 27000 bytes
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(head, expected);
    const BankContents bank = parseChunk(c);
    EXPECT_EQ(bank.names[0], "Default");
    EXPECT_EQ(bank.names[26], "DVD Master 2 [recon]");
    EXPECT_EQ(bank.values[26][25], 0.025f);
}

TEST_F(ChunkTest, RoundTripRestoresEveryPresetAndTheCurrentOne) {
    const BankContents wanted = distinctBank(13);
    const auto bytes = makeChunk(wanted);
    ASSERT_EQ(plugin->setChunk(bytes), 0);
    EXPECT_EQ(chunk(), bytes);
    EXPECT_EQ(plugin->programName(), "Bank preset 13");
    EXPECT_EQ(plugin->getParameter(23), wanted.values[13][23]);

    // A second instance given the first one's chunk ends up identical.
    auto other = loadModule();
    ASSERT_TRUE(other);
    ASSERT_EQ(other->setChunk(chunk()), 0);
    EXPECT_EQ(other->getChunk(), bytes);
    for (int i = 0; i < 22; ++i)
        EXPECT_EQ(other->parameterDisplay(i), plugin->parameterDisplay(i)) << "parameter " << i;

    // Another writer's byte order loads the same bank.
    ASSERT_EQ(other->setChunk(makeChunk(distinctBank(26), /*littleEndian=*/true)), 0);
    EXPECT_EQ(other->getChunk(), makeChunk(distinctBank(26)));
    EXPECT_EQ(other->programName(), "Bank preset 26");
}

TEST_F(ChunkTest, ParameterChangesLandInTheCurrentPresetOnly) {
    ASSERT_EQ(plugin->setChunk(makeChunk(distinctBank(5))), 0);
    const BankContents before = parseChunk(chunk());
    plugin->setParameter(1, 0.3f);
    plugin->setParameter(24, 0.75f);
    BankContents after = parseChunk(chunk());
    EXPECT_EQ(after.values[5][1], 0.3f);
    EXPECT_EQ(after.values[5][24], 0.75f);
    after.values[5][1] = before.values[5][1];
    after.values[5][24] = before.values[5][24];
    EXPECT_EQ(after.values, before.values);
    EXPECT_EQ(after.current, 5);
}

TEST_F(ChunkTest, StrayAutomationValuesAreStoredWithinRange) {
    plugin->setParameter(23, 1.5f);
    plugin->setParameter(24, std::numeric_limits<float>::quiet_NaN());
    plugin->setParameter(22, -2.0f);
    const auto c = chunk();
    const BankContents bank = parseChunk(c);
    EXPECT_EQ(bank.values[0][23], 1.0f);
    EXPECT_EQ(bank.values[0][24], 0.0f);
    EXPECT_EQ(bank.values[0][22], 0.0f);
    EXPECT_EQ(plugin->setChunk(c), 0);  // the bank's own chunk always loads
}

TEST_F(ChunkTest, AutomationDuringChunkExchangesKeepsTheBankWhole) {
    // Automation on one thread while another saves and restores the chunk.
    {
        std::jthread automation([&](std::stop_token stop) {
            for (int n = 0; !stop.stop_requested(); ++n)
                plugin->setParameter(n % 22, static_cast<float>(n % 100) / 100.0f);
        });
        for (int round = 0; round < 40; ++round) {
            const auto c = chunk();
            ASSERT_EQ(c.size(), 27049u);
            EXPECT_EQ(plugin->setChunk(c), 0);
        }
    }
    EXPECT_EQ(parseChunk(chunk()).names[26], "DVD Master 2 [recon]");
}

TEST_F(ChunkTest, RefusedChunksLeaveTheBankAsItWas) {
    ASSERT_EQ(plugin->setChunk(makeChunk(distinctBank(4))), 0);
    const auto before = chunk();
    const auto good = makeChunk(distinctBank(9));

    auto withByte = [&](std::size_t at, std::uint8_t value) {
        auto c = good;
        c[at] = value;
        return c;
    };
    auto withFloat = [&](int preset, int index, float v) {
        auto c = good;
        const std::size_t at = 49 + static_cast<std::size_t>(preset) * 1000 + 168 +
                               static_cast<std::size_t>(index) * 32 + 24;
        const auto bits = std::bit_cast<std::uint32_t>(v);
        for (int b = 0; b < 4; ++b)
            c[at + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(bits >> (24 - 8 * b));
        return c;
    };
    const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> refused = {
        {"foreign identifier", withByte(7, 's')},
        {"unknown marker", withByte(0, 3)},
        {"not a bank image", withByte(12, 0x22)},
        {"negative record count", withByte(21, 0x80)},
        {"value above one", withFloat(20, 3, 1.5f)},
        {"negative value", withFloat(26, 25, -0.01f)},
        {"NaN value", withFloat(0, 0, std::numeric_limits<float>::quiet_NaN())},
        {"header only", std::vector<std::uint8_t>(good.begin(), good.begin() + 8)},
        {"cut inside the bank header", std::vector<std::uint8_t>(good.begin(), good.begin() + 48)},
        {"empty", {}},
    };
    for (const auto& [what, bytes] : refused) {
        EXPECT_EQ(plugin->setChunk(bytes), -1) << what;
        EXPECT_EQ(chunk(), before) << what;
        EXPECT_EQ(plugin->programName(), "Bank preset 4") << what;
    }
    EXPECT_EQ(plugin->dispatch(vst::effSetChunk, 0, 100, nullptr), -1);
}

// Damaged but readable chunks load what lies whole and valid inside them.
TEST_F(ChunkTest, DamagedChunksLoadTheirWholeRecordsOnly) {
    const auto factory = chunk();
    const BankContents bank = distinctBank(3);
    auto load = [&](const std::vector<std::uint8_t>& c) {
        EXPECT_EQ(plugin->setChunk(factory), 0);
        EXPECT_EQ(plugin->setChunk(c), 0);
        return parseChunk(chunk());
    };
    // Preset 0 whole, preset 1's name record and half of its first value record.
    auto c = makeChunk(bank);
    c.resize(49 + 1000 + 168 + 16);
    BankContents got = load(c);
    EXPECT_EQ(got.values[0], bank.values[0]);
    EXPECT_EQ(got.names[1], "Bank preset 1");
    EXPECT_EQ(got.values[1][0], 1.0f);  // reset to the template by its name record
    EXPECT_EQ(got.names[2], "Limiter Gentle");

    // Preset 2's name record claims more bytes than the chunk holds: reading ends.
    c = makeChunk(bank);
    c[49 + 2 * 1000 + 4] = 0x7F;
    got = load(c);
    EXPECT_EQ(got.names[1], "Bank preset 1");
    EXPECT_EQ(got.names[2], "Limiter Gentle");
    EXPECT_EQ(got.names[26], "DVD Master 2 [recon]");

    // An absurd record count is bounded by the data.
    c = makeChunk(bank);
    for (std::size_t b = 0; b < 4; ++b) c[8 + 13 + b] = b == 0 ? 0x7F : 0xFF;
    EXPECT_EQ(load(c).values, bank.values);

    // Current preset 27 becomes 0; only the name record of preset 40 is skipped.
    c = makeChunk(bank);
    c[8 + 17 + 3] = 27;
    c[49 + 5 * 1000 + 11] = 40;
    got = load(c);
    EXPECT_EQ(got.current, 0);
    EXPECT_EQ(got.names[5], "Loudness 1");
    EXPECT_EQ(got.values[5], bank.values[5]);
}

// An old preset is remapped as applied, its record kept until the first edit.
TEST_F(ChunkTest, OldVersionPresetIsRemappedInTheEngineOnlyUntilEdited) {
    BankContents bank = distinctBank(0);
    bank.values[0][11] = 0.8f;    // NoiseShape setting 3 of 4 in version 1: type C
    bank.values[0][25] = 0.015f;  // stored by version 1
    const auto bytes = makeChunk(bank);
    ASSERT_EQ(plugin->setChunk(bytes), 0);
    EXPECT_EQ(plugin->parameterDisplay(11), "type C");
    EXPECT_EQ(chunk(), bytes);
    ASSERT_EQ(plugin->setChunk(chunk()), 0);
    EXPECT_EQ(plugin->parameterDisplay(11), "type C");

    plugin->setParameter(11, 0.93f);  // the user picks type F
    EXPECT_EQ(parseChunk(chunk()).values[0][25], 0.025f);
    ASSERT_EQ(plugin->setChunk(chunk()), 0);
    EXPECT_EQ(plugin->parameterDisplay(11), "type F");
}

}  // namespace
