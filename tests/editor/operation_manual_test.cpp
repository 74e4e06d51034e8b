// The manual button with stand-in xdg-user-dir and xdg-open: copy, open, alert on failure.
#include "editor/operation_manual.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "docs/manual_document.h"
#include "tests/editor/preset_layer_support.h"

using namespace kt;
using namespace kt::test;
namespace fs = std::filesystem;

namespace {

class ManualTest : public InProcessTest {
  protected:
    // An opener that records its argument and exits with `code`.
    void opener(int code) {
        fakes.script("xdg-open", "printf '%s' \"$1\" > '" + opened.string() + "'\nexit " +
                                     std::to_string(code));
    }
    // Idle passes until the opener has been collected.
    void idleUntilOpened() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!fs::exists(opened) && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        for (int i = 0; i < 50; ++i) {
            editor().idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    FakePrograms fakes{config.root()};
    RecordedAlerts recorded;
    fs::path opened = fakes.bin / "opened";
};

TEST_F(ManualTest, FreshInstallationGetsTheModulesCopyAndTheOpenerShowsIt) {
    const fs::path docs = fs::path(config.root()) / "Mes documents";
    fakes.script("xdg-user-dir", "echo '" + docs.string() + "'");
    opener(0);
    editor().openManual();
    const fs::path manual = docs / kManualFileName;
    const auto copy = manualDocument();
    EXPECT_EQ(readText(manual), std::string(copy.begin(), copy.end()));
    EXPECT_EQ(readText(manual).substr(0, 5), "%PDF-");
    idleUntilOpened();
    EXPECT_EQ(readText(opened), manual.string());
    EXPECT_TRUE(alerts().empty());
}

TEST_F(ManualTest, UnconfiguredDocumentsFolderIsDocumentsInHomeAndAnOwnCopyStays) {
    fakes.script("xdg-user-dir", "echo \"$HOME\"");  // what it says when nothing is configured
    opener(0);
    const fs::path manual = fs::path(config.root()) / "Documents" / kManualFileName;
    fs::create_directories(manual.parent_path());
    std::ofstream(manual) << "the user's annotated copy";
    editor().openManual();
    idleUntilOpened();
    EXPECT_EQ(readText(manual), "the user's annotated copy");
    EXPECT_EQ(readText(opened), manual.string());
}

TEST_F(ManualTest, FailedOpenerIsReportedWithThePath) {
    opener(3);
    editor().openManual();
    idleUntilOpened();
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0], "Could not open manual file:\n~/\"Documents/Kav Tamor Manual.pdf\"");
    // No opener at all: told at once.
    ::setenv("PATH", fakes.bin.c_str(), 1);
    fs::remove(fakes.bin / "xdg-open");
    editor().openManual();
    EXPECT_EQ(alerts().size(), 2u);
}

}  // namespace
