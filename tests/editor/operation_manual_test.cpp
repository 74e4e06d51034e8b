// The manual button's work: the module's copy written into the documents
// folder when missing, the document opener started without waiting for it,
// and the alert naming the path when opening fails. Fake xdg-user-dir and
// xdg-open scripts stand in for the desktop's.
#include "editor/operation_manual.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "docs/manual_document.h"
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

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ManualTest : public InProcessTest {
  protected:
    void SetUp() override {
        alerts.clear();
        previous = XPlatSetAlertHandler(recordAlert);
        bin = fs::path(config.root()) / "bin";
        fs::create_directories(bin);
        oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", (bin.string() + ":" + oldPath).c_str(), 1);
    }
    void TearDown() override {
        ::setenv("PATH", oldPath.c_str(), 1);
        XPlatSetAlertHandler(previous);
    }

    void script(const std::string& name, const std::string& body) {
        std::ofstream(bin / name) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(bin / name, fs::perms::owner_all);
    }
    // An opener that records its argument and exits with `code`.
    void opener(int code) {
        script("xdg-open", "printf '%s' \"$1\" > '" + (bin / "opened").string() + "'\nexit " +
                               std::to_string(code));
    }
    // Idle passes until the opener has been collected.
    void idleUntilOpened() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!fs::exists(bin / "opened") && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        for (int i = 0; i < 50; ++i) {
            editor().idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    fs::path bin;
    std::string oldPath;
    XPlatAlertHandler previous = nullptr;
};

TEST_F(ManualTest, FreshInstallationGetsTheModulesCopyAndTheOpenerShowsIt) {
    const fs::path docs = fs::path(config.root()) / "Mes documents";
    script("xdg-user-dir", "echo '" + docs.string() + "'");
    opener(0);
    editor().openManual();
    const fs::path manual = docs / kManualFileName;
    ASSERT_TRUE(fs::exists(manual));
    const auto copy = manualDocument();
    EXPECT_EQ(readText(manual), std::string(copy.begin(), copy.end()));
    EXPECT_EQ(readText(manual).substr(0, 5), "%PDF-");
    idleUntilOpened();
    EXPECT_EQ(readText(bin / "opened"), manual.string());
    EXPECT_TRUE(alerts.empty());
}

TEST_F(ManualTest, UnconfiguredDocumentsFolderIsDocumentsInHomeAndAnOwnCopyStays) {
    script("xdg-user-dir", "echo \"$HOME\"");  // what the tool says when nothing is configured
    opener(0);
    const fs::path manual = fs::path(config.root()) / "Documents" / kManualFileName;
    fs::create_directories(manual.parent_path());
    std::ofstream(manual) << "the user's annotated copy";
    editor().openManual();
    idleUntilOpened();
    EXPECT_EQ(readText(manual), "the user's annotated copy");
    EXPECT_EQ(readText(bin / "opened"), manual.string());
}

TEST_F(ManualTest, FailedOpenerIsReportedWithThePath) {
    opener(3);
    editor().openManual();
    idleUntilOpened();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0], "Could not open manual file:\n~/\"Documents/Kav Tamor Manual.pdf\"");

    // No opener at all: told at once.
    ::setenv("PATH", bin.c_str(), 1);
    fs::remove(bin / "xdg-open");
    editor().openManual();
    EXPECT_EQ(alerts.size(), 2u);
}

}  // namespace
