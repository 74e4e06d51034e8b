// The module's editor driven through the binary interface in X11 windows on Xvfb.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/x11_host_window.h"
#include "tests/editor/reference_images.h"
#include "tests/support/module_fixture.h"

namespace fs = std::filesystem;
using kt::VstPlugin;
using kt::X11HostWindow;
using kt::test::compareImages;
using kt::test::ImageDifference;
using kt::test::loadModule;

namespace {

constexpr int kWidth = 524, kHeight = 462;

vst::VstIntPtr openEditor(VstPlugin& p, void* window) {
    return p.dispatch(vst::effEditOpen, 0, 0, window);
}

void idleFor(VstPlugin& p, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        p.dispatch(vst::effEditIdle);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

class EditorWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through with_xvfb.sh";
        plugin = loadModule();
        ASSERT_TRUE(plugin);
        window = X11HostWindow::create(kWidth, kHeight, "editor test");
        ASSERT_TRUE(window);
    }
    void TearDown() override {
        window.reset();
        if (plugin) plugin->close();
    }
    std::unique_ptr<VstPlugin> plugin;
    std::unique_ptr<X11HostWindow> window;
};

}  // namespace

TEST_F(EditorWindow, OpensIdlesDrawsAndClosesManyTimes) {
    for (int round = 0; round < 40; ++round) {
        ASSERT_EQ(openEditor(*plugin, window->windowId()), 1) << "round " << round;
        plugin->dispatch(vst::effEditIdle);
        plugin->dispatch(vst::effEditDraw);
        EXPECT_EQ(plugin->dispatch(vst::effEditKeyDown, 0, 6 /* Escape */, nullptr, 0), 0)
            << "keys nothing uses go back to the host";
        window->pumpEvents();
        plugin->dispatch(vst::effEditClose);
    }
    // A second instance opens its own editor while the first is open.
    auto second = loadModule();
    auto otherWindow = X11HostWindow::create(kWidth, kHeight, "second");
    ASSERT_TRUE(second && otherWindow);
    ASSERT_EQ(openEditor(*plugin, window->windowId()), 1);
    ASSERT_EQ(openEditor(*second, otherWindow->windowId()), 1);
    idleFor(*plugin, 50);
    idleFor(*second, 50);
    plugin->dispatch(vst::effEditClose);
    second->dispatch(vst::effEditClose);
    second->close();
}

// The editor looks like the reference picture, also in a 32-bit parent with alpha.
TEST_F(EditorWindow, ShowsTheEditorAsTheReferencePicture) {
    std::unique_ptr<X11HostWindow> argb;  // made after the first shot: it would cover it
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) argb = X11HostWindow::create(kWidth, kHeight, "argb", true);
        X11HostWindow* parent = pass == 0 ? window.get() : argb.get();
        if (!parent) continue;  // the display has no 32-bit visual
        ASSERT_EQ(openEditor(*plugin, parent->windowId()), 1);
        idleFor(*plugin, 300);
        const fs::path shot =
            fs::temp_directory_path() / ("kt_editor_" + std::to_string(getpid()) + ".png");
        ASSERT_TRUE(parent->saveScreenshot(shot.c_str()));
        plugin->dispatch(vst::effEditClose);
        const fs::path reference = kt::test::referencePath("editor_default");
        if (std::getenv("KT_UPDATE_REFERENCE")) {
            fs::copy_file(shot, reference, fs::copy_options::overwrite_existing);
            fs::remove(shot);
            GTEST_SKIP() << "reference written to " << reference;
        }
        const ImageDifference d = compareImages(shot, reference);
        ASSERT_TRUE(d.comparable) << shot << " and " << reference << " differ in size";
        EXPECT_LT(d.mean, 2.0) << "screenshot kept at " << shot;
        if (pass == 0) {
            EXPECT_LT(d.share, 0.01) << "screenshot kept at " << shot;
        }
        if (d.close()) fs::remove(shot);
    }
}

TEST_F(EditorWindow, SurvivesAHostThatDestroysItsWindowBeforeClosing) {
    ASSERT_EQ(openEditor(*plugin, window->windowId()), 1);
    window->destroyWindow();  // gone before the editor knows, without an idle pass between
    plugin->dispatch(vst::effEditDraw);
    plugin->dispatch(vst::effEditClose);

    auto last = X11HostWindow::create(kWidth, kHeight, "last");
    ASSERT_TRUE(last);
    ASSERT_EQ(openEditor(*plugin, last->windowId()), 1);
    idleFor(*plugin, 30);
    plugin->dispatch(vst::effEditClose);
}

// A bogus or missing parent, or no display, is refused and leaves the editor usable.
TEST_F(EditorWindow, ARefusedOpenLeavesTheEditorUsable) {
    EXPECT_EQ(openEditor(*plugin, reinterpret_cast<void*>(std::uintptr_t{0x3fffff1})), 0);
    EXPECT_EQ(openEditor(*plugin, nullptr), 0);
    const std::string display = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    EXPECT_EQ(openEditor(*plugin, window->windowId()), 0);
    plugin->dispatch(vst::effEditIdle);
    plugin->dispatch(vst::effEditDraw);
    plugin->dispatch(vst::effEditClose);
    setenv("DISPLAY", display.c_str(), 1);
    ASSERT_EQ(openEditor(*plugin, window->windowId()), 1);
    idleFor(*plugin, 30);
    plugin->dispatch(vst::effEditClose);
}

TEST(EditorLifetime, AnEffectClosedWithItsEditorOpenTearsTheWindowDown) {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr);
    auto window = X11HostWindow::create(kWidth, kHeight, "lifetime");
    ASSERT_TRUE(window);
    for (int i = 0; i < 5; ++i) {
        auto plugin = loadModule();
        ASSERT_EQ(openEditor(*plugin, window->windowId()), 1);
        idleFor(*plugin, 20);
        plugin->close();  // no effEditClose first
    }
}
