// The preset bar's file dialogs with a stand-in zenity.
#include <chrono>
#include <thread>

#include "editor/Editor.h"
#include "tests/editor/preset_layer_support.h"

using namespace kt;
using namespace kt::test;
namespace fs = std::filesystem;

namespace {

// The effect's editor with a frame present, so its dialogs open.
class FramedEditor : public Editor {
  public:
    using Editor::Editor;

  protected:
    bool hasFrame() override { return true; }
};

class PresetDialogsTest : public InProcessTest {
  protected:
    void SetUp() override {
        fakes.script("zenity", "printf '%s\\n' \"$@\" > '" + argsFile.string() + "'\n[ -s '" +
                                   answerFile.string() + "' ] || exit 1\ncat '" +
                                   answerFile.string() + "'");
        original = plugin->getEditor();
        framed = new FramedEditor(plugin.get());  // becomes the effect's editor
    }
    void TearDown() override {
        plugin->setEditor(original);
        delete framed;
    }

    void answer(const std::string& path) { std::ofstream(answerFile) << path << "\n"; }
    // Idle passes until the dialog program has finished and been collected.
    void finishDialog() {
        ASSERT_TRUE(framed->isDialogOpen());
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (framed->isDialogOpen() && std::chrono::steady_clock::now() < end) {
            framed->idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        EXPECT_FALSE(framed->isDialogOpen()) << "the dialog never finished";
    }

    FakePrograms fakes{config.root()};
    RecordedAlerts recorded;
    fs::path argsFile = fs::path(config.root()) / "zenity-args";
    fs::path answerFile = fs::path(config.root()) / "zenity-answer";
    AEffEditor* original = nullptr;
    FramedEditor* framed = nullptr;
};

TEST_F(PresetDialogsTest, LoadBankDialogLoadsTheChosenFile) {
    fx().setPresetNo(5);
    fx().setPresetName("From the dialog");
    const fs::path bank = fs::path(config.root()) / "dialog.kvb";
    ASSERT_TRUE(framed->saveBankFile(bank.c_str()));
    fx().initPresets();
    answer(bank.string());
    framed->loadBank(false);
    finishDialog();
    EXPECT_EQ(fx().preset(5).nameText(), "From the dialog");
    EXPECT_EQ(fx().getPresetNo(), 0);
    const std::string args = readText(argsFile);
    EXPECT_NE(args.find("--title=Load bank\n"), std::string::npos) << args;
    EXPECT_NE(args.find("--file-filter=Kav Bank (*.kvb) | *.kvb"), std::string::npos) << args;
    // The remembered folder and file name are where the dialog starts.
    EXPECT_NE(args.find("--filename=" + bank.string() + "\n"), std::string::npos) << args;
}

TEST_F(PresetDialogsTest, ReversedLoadSaysSoAndCancelChangesNothing) {
    const BankSnapshot before = snapshot(fx());
    framed->loadPreset(true);
    finishDialog();
    EXPECT_NE(readText(argsFile).find("--title=Load preset (endian-reversed)\n"),
              std::string::npos);
    EXPECT_EQ(snapshot(fx()), before);
}

TEST_F(PresetDialogsTest, ClosingTheWindowEndsAnOpenDialog) {
    const fs::path bank = fs::path(config.root()) / "late.kvb";
    answer(bank.string());
    framed->saveBank();
    ASSERT_TRUE(framed->isDialogOpen());
    framed->close();
    EXPECT_FALSE(framed->isDialogOpen());
    for (int i = 0; i < 20; ++i) framed->idle();
    EXPECT_FALSE(fs::exists(bank)) << "a dialog answered after close must not save";
}

}  // namespace
