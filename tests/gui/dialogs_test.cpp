// The dialog programs run for real against fake zenity / kdialog scripts.
#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/gui/gui_test_support.h"
#include "tests/support/files.h"
#include "tests/support/temp_config.h"

namespace fs = std::filesystem;
using namespace kt;

namespace {

class FakeDialogs : public ::testing::Test {
  protected:
    // A fake that records its arguments, waits, prints the answer and exits with the code.
    void fake(const std::string& name, const std::string& answer, int code, double delay = 0) {
        fakes.script(name, "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                               (dir / (name + ".args")).string() + "'\n/bin/sleep " +
                               std::to_string(delay) + "\nprintf '%s\\n' '" + answer +
                               "'\n/usr/bin/touch '" + (dir / (name + ".done")).string() +
                               "'\nexit " + std::to_string(code));
    }
    std::vector<std::string> argsOf(const std::string& name) {
        std::ifstream in(dir / (name + ".args"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    static FileDialog::State waitFor(FileDialog& d) {
        for (int i = 0; i < 500 && d.poll() == FileDialog::State::running; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return d.poll();
    }
    bool waitForFile(const fs::path& p) {
        for (int i = 0; i < 500 && !fs::exists(p); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return fs::exists(p);
    }

    // A folder per test as HOME, and only the fakes on PATH.
    kt::test::TempConfig config;
    fs::path dir = config.root();
    kt::test::FakePrograms fakes{dir, true};
};

FileDialogOptions savePresetOptions() {
    FileDialogOptions o;
    o.save = true;
    o.title = "Save Preset";
    o.folder = "/home/user/presets";
    o.defaultName = "My Preset.kav";
    o.filters = {{"Kav Preset", "*.kav"}};
    return o;
}

}  // namespace

TEST_F(FakeDialogs, ZenityIsPreferredAndGetsItsArgumentsUnquotedWithoutAShell) {
    fake("zenity", "/tmp/a b/$HOME;x.kav", 0);
    fake("kdialog", "/wrong", 0);
    EXPECT_EQ(findDialogTool(), DialogTool::zenity);
    FileDialog dialog(savePresetOptions());
    EXPECT_EQ(waitFor(dialog), FileDialog::State::chosen);
    EXPECT_EQ(dialog.path(), "/tmp/a b/$HOME;x.kav");
    EXPECT_EQ(argsOf("zenity"),
              (std::vector<std::string>{"--file-selection", "--title=Save Preset", "--save",
                                        "--confirm-overwrite",
                                        "--filename=/home/user/presets/My Preset.kav",
                                        "--file-filter=Kav Preset (*.kav) | *.kav"}));
}

TEST_F(FakeDialogs, CancelAndTimeOutReadAsCancelled) {
    fake("zenity", "", 1);
    FileDialog cancelled(savePresetOptions());
    EXPECT_EQ(waitFor(cancelled), FileDialog::State::cancelled);
    fake("zenity", "/tmp/x.kav", 5);
    FileDialog timedOut(savePresetOptions());
    EXPECT_EQ(waitFor(timedOut), FileDialog::State::cancelled);
}

TEST_F(FakeDialogs, KdialogServesWhenZenityIsMissing) {
    fake("kdialog", "/tmp/bank.kvb", 0);
    EXPECT_EQ(findDialogTool(), DialogTool::kdialog);
    FileDialogOptions o;
    o.title = "Load Bank";
    o.folder = "/data";
    o.filters = {{"Kav Bank", "*.kvb"}};
    FileDialog dialog(o);
    EXPECT_EQ(waitFor(dialog), FileDialog::State::chosen);
    EXPECT_EQ(dialog.path(), "/tmp/bank.kvb");
    EXPECT_EQ(argsOf("kdialog"),
              (std::vector<std::string>{"--title", "Load Bank", "--getopenfilename", "/data/",
                                        "*.kvb|Kav Bank (*.kvb)"}));
}

TEST_F(FakeDialogs, WithNoDialogProgramNoneStartsAndAlertsFallBackToXmessage) {
    EXPECT_EQ(findDialogTool(), DialogTool::none);
    FileDialog dialog(savePresetOptions());
    EXPECT_FALSE(dialog.started());
    EXPECT_EQ(dialog.poll(), FileDialog::State::cancelled);
    showAlert("nobody sees this");  // nothing to show it with

    fake("xmessage", "", 0);
    showAlert("No file dialog program");
    ASSERT_TRUE(waitForFile(dir / "xmessage.done"));
    const auto args = argsOf("xmessage");
    ASSERT_FALSE(args.empty());
    EXPECT_EQ(args.back(), "No file dialog program");
}

TEST_F(FakeDialogs, AlertReturnsAtOnceAndShowsTheTextVerbatim) {
    fake("zenity", "", 0, 1.0);
    const auto start = std::chrono::steady_clock::now();
    showAlert("Could not open manual file:\n~/\"Kav Tamor.pdf\" <&>");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    ASSERT_TRUE(waitForFile(dir / "zenity.args"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto args = argsOf("zenity");
    ASSERT_GE(args.size(), 4u);
    EXPECT_EQ(args[0], "--warning");
    EXPECT_EQ(args[1], "--no-markup");
    EXPECT_EQ(args.back(), "~/\"Kav Tamor.pdf\" <&>");  // second line of the text
}
