// The file dialogs of the preset bar with a stand-in for zenity on PATH: the
// titles and filters they ask for, and the load or save they run once the
// idle pass collects the chosen path.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "editor/Editor.h"
#include "presets/xplat.h"
#include "tests/editor/preset_layer_support.h"

using namespace kt;
using namespace kt::test;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> alerts;
void recordAlert(const char* message) {
    alerts.emplace_back(message);
}

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
        const fs::path bin = fs::path(config.root()) / "bin";
        fs::create_directories(bin);
        argsFile = fs::path(config.root()) / "zenity-args";
        answerFile = fs::path(config.root()) / "zenity-answer";
        std::ofstream(bin / "zenity") << "#!/bin/sh\n"
                                      << "printf '%s\\n' \"$@\" > '" << argsFile.string() << "'\n"
                                      << "[ -s '" << answerFile.string() << "' ] || exit 1\n"
                                      << "cat '" << answerFile.string() << "'\n";
        fs::permissions(bin / "zenity", fs::perms::owner_all);
        oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", (bin.string() + ":" + oldPath).c_str(), 1);
        original = plugin->getEditor();
        framed = new FramedEditor(plugin.get());  // becomes the effect's editor
        alerts.clear();
        previousAlert = XPlatSetAlertHandler(recordAlert);
    }
    void TearDown() override {
        XPlatSetAlertHandler(previousAlert);
        plugin->setEditor(original);
        delete framed;
        ::setenv("PATH", oldPath.c_str(), 1);
    }

    void answer(const std::string& path) { std::ofstream(answerFile) << path << "\n"; }

    // Runs idle passes until the dialog program has finished and been collected.
    void finishDialog() {
        ASSERT_TRUE(framed->isDialogOpen());
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (framed->isDialogOpen() && std::chrono::steady_clock::now() < end) {
            framed->idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        EXPECT_FALSE(framed->isDialogOpen()) << "the dialog never finished";
    }

    std::string arguments() {
        std::ifstream in(argsFile);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path argsFile, answerFile;
    std::string oldPath;
    AEffEditor* original = nullptr;
    FramedEditor* framed = nullptr;
    XPlatAlertHandler previousAlert = nullptr;
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
    const std::string args = arguments();
    EXPECT_NE(args.find("--title=Load bank\n"), std::string::npos) << args;
    EXPECT_NE(args.find("--file-filter=Kav Bank (*.kvb) | *.kvb"), std::string::npos) << args;
    // The remembered folder and file name are where the dialog starts.
    EXPECT_NE(args.find("--filename=" + bank.string() + "\n"), std::string::npos) << args;
}

TEST_F(PresetDialogsTest, ReversedLoadSaysSoAndCancelChangesNothing) {
    const BankSnapshot before = snapshot(fx());
    framed->loadPreset(true);
    finishDialog();
    EXPECT_NE(arguments().find("--title=Load preset (endian-reversed)\n"), std::string::npos);
    EXPECT_EQ(snapshot(fx()), before);
}

TEST_F(PresetDialogsTest, SaveDialogWritesTheChosenFile) {
    const fs::path preset = fs::path(config.root()) / "saved.kav";
    answer(preset.string());
    framed->savePreset();
    finishDialog();
    EXPECT_EQ(fs::file_size(preset), 1041u);
    const std::string args = arguments();
    EXPECT_NE(args.find("--save"), std::string::npos);
    EXPECT_NE(args.find("--file-filter=Kav Preset (*.kav) | *.kav"), std::string::npos) << args;
    EXPECT_STREQ(framed->currentPresetFileName(), "saved.kav");
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
