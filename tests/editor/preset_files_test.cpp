// Preset and bank files by path: names remembered, safe replacement, alerts on failure.
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "tests/editor/preset_layer_support.h"

using namespace kt;
using namespace kt::test;
namespace fs = std::filesystem;

namespace {

class PresetFilesTest : public InProcessTest {
  protected:
    void SetUp() override { fs::create_directories(folder); }
    std::size_t filesIn(const fs::path& dir) {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
    }

    RecordedAlerts recorded;
    fs::path folder = fs::path(config.root()) / "presets";
};

TEST_F(PresetFilesTest, BankWrittenReadBackAndApplied) {
    fx().setPresetNo(21);
    plugin->setParameter(1, 0.875f);
    plugin->setParameter(23, 0.5f);
    const BankSnapshot written = snapshot(fx());
    const fs::path file = folder / "my bank.kvb";
    writeBytes(file, std::vector<unsigned char>(40000, 0xAB));  // replaced whole
    ASSERT_TRUE(editor().saveBankFile(file.c_str()));
    EXPECT_EQ(fs::file_size(file), 27041u);
    EXPECT_EQ(filesIn(folder), 1u);
    EXPECT_EQ(std::string(editor().currentBankFileName()), "my bank.kvb");
    EXPECT_EQ(std::string(editor().currentDirectory()), folder.string() + "/");

    fx().initPresets();
    fx().setPresetNo(3);
    ASSERT_TRUE(editor().loadBankFile(file.c_str(), false));
    EXPECT_EQ(snapshot(fx()), written);
    // A bank file always ends on its first preset, and the engine has it.
    EXPECT_EQ(fx().getPresetNo(), 0);
    EXPECT_EQ(plugin->getParameter(23), fx().preset(0).value(23));
    EXPECT_TRUE(alerts().empty());
}

TEST_F(PresetFilesTest, PresetWrittenAndReadBackIntoAnotherPreset) {
    fx().setPresetNo(24);
    const fs::path file = folder / "adat.kav";
    ASSERT_TRUE(editor().savePresetFile(file.c_str()));
    EXPECT_EQ(fs::file_size(file), 1041u);
    fx().setPresetNo(1);
    ASSERT_TRUE(editor().loadPresetFile(file.c_str(), false));
    EXPECT_EQ(currentName(), "ADAT Limiter");
    EXPECT_EQ(fx().getPresetNo(), 1);
    for (int i = 0; i < 26; ++i) EXPECT_EQ(current().value(i), fx().preset(24).value(i));
    EXPECT_EQ(std::string(editor().currentPresetFileName()), "adat.kav");
}

// Byte order comes from the identifier; mixed files need the reversed option.
TEST_F(PresetFilesTest, ByteReversedFilesAndTheReversedOption) {
    const fs::path little = folder / "little.kav";
    writeBytes(little, presetImage(true, "Little endian", 26, [](int i) { return i / 26.0f; }));
    ASSERT_TRUE(editor().loadPresetFile(little.c_str(), false));
    EXPECT_EQ(currentName(), "Little endian");

    auto mixed = presetImage(true, "Mixed", 26, [](int i) { return i / 52.0f; });
    const unsigned char id[] = {'K', 'v', 't', 'r'};
    std::copy(std::begin(id), std::end(id), mixed.begin());
    const fs::path mixedFile = folder / "mixed.kav";
    writeBytes(mixedFile, mixed);
    EXPECT_FALSE(editor().loadPresetFile(mixedFile.c_str(), false));
    EXPECT_EQ(currentName(), "Little endian");
    EXPECT_TRUE(editor().loadPresetFile(mixedFile.c_str(), true));
    EXPECT_EQ(currentName(), "Mixed");
    // A foreign identifier is refused either way.
    mixed[0] = 'X';
    writeBytes(mixedFile, mixed);
    EXPECT_FALSE(editor().loadPresetFile(mixedFile.c_str(), false));
    EXPECT_FALSE(editor().loadPresetFile(mixedFile.c_str(), true));
}

TEST_F(PresetFilesTest, ReadOnlyFilesLoadAndStayUntouched) {
    const fs::path file = folder / "locked.kav";
    ASSERT_TRUE(editor().savePresetFile(file.c_str()));
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read);
    const auto before = readBytes(file);
    const auto modified = fs::last_write_time(file);
    EXPECT_TRUE(editor().loadPresetFile(file.c_str(), false));
    EXPECT_EQ(readBytes(file), before);
    EXPECT_EQ(fs::last_write_time(file), modified);
}

// Unreadable, tiny or overlong: nothing changes, and each failure is reported.
TEST_F(PresetFilesTest, UnreadableTinyOrOverlongFilesChangeNothingAndAreReported) {
    const BankSnapshot before = snapshot(fx());
    const fs::path tiny = folder / "tiny.kvb";
    writeBytes(tiny, {'K', 'v', 't', 'r'});
    EXPECT_FALSE(editor().loadBankFile(tiny.c_str(), false));
    EXPECT_FALSE(editor().loadBankFile((folder / "missing.kvb").c_str(), false));
    EXPECT_FALSE(editor().loadBankFile(folder.c_str(), false));  // a folder, not a file
    // The names are remembered even when the load fails.
    EXPECT_EQ(std::string(editor().currentBankFileName()), "presets");
    ASSERT_EQ(alerts().size(), 3u);  // each one told
    EXPECT_NE(alerts()[0].find("holds no Kav Tamor bank"), std::string::npos) << alerts()[0];
    EXPECT_NE(alerts()[1].find("Could not read the bank file"), std::string::npos) << alerts()[1];
    EXPECT_FALSE(editor().savePresetFile((folder / (std::string(300, 'n') + ".kav")).c_str()));
    EXPECT_FALSE(
        editor().loadPresetFile((folder / std::string(280, 'd') / "a.kav").c_str(), false));
    EXPECT_FALSE(editor().loadBankFile("no-folder.kvb", false));
    EXPECT_EQ(std::string(editor().currentDirectory()), config.root() + "/");
    EXPECT_EQ(alerts().size(), 6u);
    EXPECT_EQ(snapshot(fx()), before);
}

TEST_F(PresetFilesTest, FilesShorterThanTheirHeaderSaysAreRefusedWithAnAlert) {
    const fs::path bank = folder / "cut.kvb";
    const fs::path preset = folder / "cut.kav";
    ASSERT_TRUE(editor().saveBankFile(bank.c_str()));
    ASSERT_TRUE(editor().savePresetFile(preset.c_str()));
    for (const fs::path& file : {bank, preset}) {
        const auto bytes = readBytes(file);
        writeBytes(file, {bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2)});
    }
    // Changes on both sides of the cut, which a partial load would undo in part.
    fx().setPresetNo(0);
    plugin->setParameter(1, 0.9f);
    fx().setPresetNo(26);
    plugin->setParameter(1, 0.1f);
    const BankSnapshot before = snapshot(fx());
    EXPECT_FALSE(editor().loadBankFile(bank.c_str(), false));
    EXPECT_FALSE(editor().loadPresetFile(preset.c_str(), false));
    EXPECT_EQ(snapshot(fx()), before);
    ASSERT_EQ(alerts().size(), 2u);
    EXPECT_NE(alerts()[0].find("shorter than its header says"), std::string::npos) << alerts()[0];
    EXPECT_NE(alerts()[0].find("cut.kvb"), std::string::npos) << alerts()[0];
    EXPECT_NE(alerts()[1].find("preset file"), std::string::npos) << alerts()[1];
}

TEST_F(PresetFilesTest, FailedSaveKeepsTheOldFileAndAlerts) {
    const fs::path file = folder / "keep.kav";
    const std::vector<unsigned char> old = {'o', 'l', 'd'};
    writeBytes(file, old);
    // The file-size limit makes the write fail part-way, as a full disk would.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 512;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = editor().savePresetFile(file.c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(readBytes(file), old);
    EXPECT_EQ(filesIn(folder), 1u);  // no temporary file left behind
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_NE(alerts()[0].find("Could not save the preset file"), std::string::npos);
    EXPECT_NE(alerts()[0].find("keep.kav"), std::string::npos);

    EXPECT_FALSE(editor().saveBankFile((folder / "no such folder" / "x.kvb").c_str()));
    EXPECT_EQ(alerts().size(), 2u);
}

TEST_F(PresetFilesTest, DialogsDoNothingWithoutAWindow) {
    const BankSnapshot before = snapshot(fx());
    editor().loadBank(false);
    editor().loadPreset(true);
    editor().savePreset();
    editor().saveBank();
    editor().idle();
    EXPECT_EQ(snapshot(fx()), before);
    EXPECT_EQ(filesIn(folder), 0u);
    EXPECT_TRUE(alerts().empty());
}

}  // namespace
