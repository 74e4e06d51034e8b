// kavtamor bank export / show and render --bank, run as a user runs them.
#include "tests/presets/chunk_support.h"
#include "tests/support/command.h"

using namespace kt;
using namespace kt::test;
namespace fs = std::filesystem;

namespace {

struct CommandRun {
    int status;
    std::string output;
};

CommandRun kavtamor(const std::vector<std::string>& args) {
    const CommandResult r = runKavtamor(args);
    return {r.exitCode, r.out + r.err};
}

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class BankCommandTest : public PresetStoreTest {
  protected:
    fs::path file(const char* name) { return fs::path(config.root()) / name; }

    TempConfig config;
};

TEST_F(BankCommandTest, ExportWritesTheModulesBankWithTheChosenCurrentPreset) {
    const fs::path bank = file("exported.kvb");
    const CommandRun run = kavtamor({"bank", "export", bank.string(), "--preset", "tv hot"});
    ASSERT_EQ(run.status, 0) << run.output;
    const auto bytes = readBytes(bank);
    ASSERT_EQ(bytes.size(), 27041u);
    EXPECT_EQ(bytes[4], 0x38);
    EXPECT_EQ(bytes[20], 15);
    // The file layer's bank loading reads it back.
    ASSERT_TRUE(loadBank(bank));
    EXPECT_EQ(fx().preset(15).nameText(), "TV Hot");

    EXPECT_EQ(kavtamor({"bank", "export", bank.string(), "--preset", "27"}).status, 2);
    EXPECT_EQ(kavtamor({"bank", "export"}).status, 2);
}

TEST_F(BankCommandTest, ShowListsEveryPresetAsTheModuleDisplaysIt) {
    fx().setPresetNo(2);
    store.setParameter(1, 0.75f);
    fx().setPresetName("Pushed drive");
    const fs::path bank = file("custom.kvb");
    ASSERT_TRUE(saveFile(bank, true));

    auto module = loadModule();
    ASSERT_TRUE(module);
    module->setParameter(1, 0.75f);
    const std::string drive = "Drive " + module->parameterDisplay(1);

    const CommandRun run = kavtamor({"bank", "show", bank.string()});
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(count(run.output, "Output "), 27u);
    const auto at = run.output.find(" 2  Pushed drive\n");
    ASSERT_NE(at, std::string::npos) << run.output;
    EXPECT_NE(run.output.find(drive, at), std::string::npos) << drive;
    EXPECT_NE(run.output.find("26  DVD Master 2 [recon]"), std::string::npos);
}

TEST_F(BankCommandTest, DamagedAndForeignFilesAreReported) {
    const fs::path preset = file("one.kav");
    ASSERT_TRUE(saveFile(preset, false));
    CommandRun run = kavtamor({"bank", "show", preset.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("not a bank file"), std::string::npos) << run.output;

    const fs::path bank = file("bad.kvb");
    ASSERT_TRUE(saveFile(bank, true));
    auto bytes = readBytes(bank);
    bytes[41 + 168 + 24] = 0x7F;  // preset 0, value 0: far above 1
    writeBytes(bank, bytes);
    run = kavtamor({"bank", "show", bank.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("refused"), std::string::npos) << run.output;
    EXPECT_EQ(kavtamor({"bank", "show", file("missing.kvb").string()}).status, 1);
    writeBytes(bank, {'K', 'v', 't', 'r'});  // too short for a kind
    EXPECT_EQ(kavtamor({"bank", "show", bank.string()}).status, 1);
}

TEST_F(BankCommandTest, RenderTakesItsPresetFromTheBank) {
    const fs::path input = file("in.wav");
    ASSERT_EQ(kavtamor({"demo-material", input.string()}).status, 0);
    // Preset 0 of the bank turns the output down by a known step.
    fx().setPresetNo(4);
    store.setParameter(0, 0.5f);
    fx().setPresetName("Quieter");
    const fs::path bank = file("render.kvb");
    ASSERT_TRUE(saveFile(bank, true));

    const CommandRun withBank = kavtamor({"render", input.string(), file("a.wav").string(),
                                          "--bank", bank.string(), "--preset", "quieter"});
    ASSERT_EQ(withBank.status, 0) << withBank.output;
    EXPECT_NE(withBank.output.find("\"Quieter\""), std::string::npos) << withBank.output;
    const CommandRun plain =
        kavtamor({"render", input.string(), file("b.wav").string(), "--preset", "4"});
    ASSERT_EQ(plain.status, 0) << plain.output;
    EXPECT_NE(readBytes(file("a.wav")), readBytes(file("b.wav")));

    EXPECT_EQ(kavtamor({"render", input.string(), file("c.wav").string(), "--bank", input.string()})
                  .status,
              1);
}

}  // namespace
