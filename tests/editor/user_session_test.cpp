// A user's session with the preset bar: the module in an Xvfb window, XTest, real zenity.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "cli/vst_host.h"
#include "platform/x11_host_window.h"
#include "tests/support/temp_config.h"

// Last: the X11 headers define macros (None, Bool, Status) that other headers use as names.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace fs = std::filesystem;
using kt::VstPlugin;
using kt::X11HostWindow;

namespace {

constexpr int kWidth = 524, kHeight = 462;
constexpr int kDrive = 1;

// Where the bar's controls are, in the editor's pixels.
struct Spot {
    int x, y;
};
constexpr Spot kDefaultBank{55, 453}, kSavePreset{112, 455}, kLoadPreset{175, 455};
constexpr Spot kName{256, 454}, kDriveKnob{80, 376};

// Synthetic input through XTest, on a display connection of its own.
class Hands {
  public:
    Hands() : display(XOpenDisplay(nullptr)) {
        own = display;  // errors on it (a dialog gone while listed) are expected
        previous = XSetErrorHandler([](Display* where, XErrorEvent* error) {
            return where == own ? 0 : previous ? previous(where, error) : 0;
        });
    }
    ~Hands() {
        if (display) XCloseDisplay(display);
    }
    bool ready() {
        int event, error, major, minor;
        return display && XTestQueryExtension(display, &event, &error, &major, &minor);
    }
    void moveTo(int x, int y) {
        XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
        XFlush(display);
    }
    void button(bool press) {
        XTestFakeButtonEvent(display, 1, press, CurrentTime);
        XFlush(display);
    }
    void key(KeySym symbol, bool press) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, symbol), press, CurrentTime);
        XFlush(display);
    }
    // A key with Shift if the keyboard map needs it, and a modifier held if given.
    void tap(KeySym symbol, KeySym modifier = NoSymbol) {
        const KeyCode code = XKeysymToKeycode(display, symbol);
        const bool shifted = code && XkbKeycodeToKeysym(display, code, 0, 0) != symbol;
        if (modifier != NoSymbol) key(modifier, true);
        if (shifted) key(XK_Shift_L, true);
        key(symbol, true);
        key(symbol, false);
        if (shifted) key(XK_Shift_L, false);
        if (modifier != NoSymbol) key(modifier, false);
    }
    void type(const std::string& text) {
        for (const char c : text) tap(c == ' ' ? XK_space : static_cast<unsigned char>(c));
    }
    // Keys go to the window under the pointer, as without a window manager.
    void focusFollowsPointer() {
        XSetInputFocus(display, PointerRoot, RevertToPointerRoot, CurrentTime);
        XFlush(display);
    }
    // Whether a mapped top-level window is titled `title`.
    bool windowTitled(const char* title) {
        Window root = DefaultRootWindow(display), parent, *children = nullptr;
        unsigned count = 0;
        bool found = false;
        if (!XQueryTree(display, root, &root, &parent, &children, &count)) return false;
        for (unsigned i = 0; i < count && !found; ++i) {
            char* name = nullptr;
            XWindowAttributes attributes;
            found = XFetchName(display, children[i], &name) && name &&
                    std::strcmp(name, title) == 0 &&
                    XGetWindowAttributes(display, children[i], &attributes) &&
                    attributes.map_state == IsViewable;
            if (name) XFree(name);
        }
        if (children) XFree(children);
        return found;
    }

  private:
    static inline Display* own = nullptr;
    static inline XErrorHandler previous = nullptr;
    Display* display;
};

class UserSession : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through with_xvfb.sh";
        ASSERT_TRUE(hands.ready()) << "the X server has no XTest extension";
        folder = fs::path(config.root()) / "masters";
        fs::create_directories(folder);
        plugin = load();
        ASSERT_TRUE(plugin);
        window = X11HostWindow::create(kWidth, kHeight, "user session");
        ASSERT_TRUE(window);
        ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, window->windowId()), 1);
        idle(300);
    }
    void TearDown() override {
        if (plugin) plugin->dispatch(vst::effEditClose);
        window.reset();
        if (plugin) plugin->close();
    }

    static std::unique_ptr<VstPlugin> load() {
        std::string error;
        auto p = VstPlugin::load(KT_MODULE_PATH, &error);
        EXPECT_TRUE(p) << error;
        return p;
    }

    // The host's part: idle calls and window events, about 30 a second.
    void idle(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        do {
            plugin->dispatch(vst::effEditIdle);
            window->pumpEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        } while (std::chrono::steady_clock::now() < end);
    }

    void click(Spot at) {
        hands.moveTo(at.x, at.y);
        idle(60);
        hands.button(true);
        hands.button(false);
        idle(120);
    }
    // Drags upwards by `pixels` with the left button.
    void drag(Spot from, int pixels) {
        hands.moveTo(from.x, from.y);
        idle(60);
        hands.button(true);
        for (int step = 1; step <= pixels; step += 4) {
            hands.moveTo(from.x, from.y - step);
            idle(20);
        }
        hands.button(false);
        idle(120);
    }
    void doubleClick(Spot at, KeySym modifier = NoSymbol) {
        hands.moveTo(at.x, at.y);
        idle(60);
        if (modifier != NoSymbol) hands.key(modifier, true);
        for (int i = 0; i < 4; ++i) hands.button(i % 2 == 0);
        if (modifier != NoSymbol) hands.key(modifier, false);
        idle(120);
    }

    // Waits for zenity's window, lets `answer` type, then idles until it has gone.
    void inDialog(const char* title, const std::function<void()>& answer) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!hands.windowTitled(title) && std::chrono::steady_clock::now() < end) idle(100);
        ASSERT_TRUE(hands.windowTitled(title)) << "no dialog titled " << title;
        idle(800);               // the file chooser fills itself in
        hands.moveTo(540, 420);  // inside the chooser and a confirmation over it
        hands.focusFollowsPointer();
        answer();
        const auto gone = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (hands.windowTitled(title) && std::chrono::steady_clock::now() < gone) idle(100);
        idle(500);
    }
    // A whole path typed into the chooser's name field.
    void typePath(const fs::path& path) {
        hands.tap(XK_a, XK_Control_L);
        hands.type(path.string());
        idle(600);  // the chooser completes what was typed
        hands.tap(XK_Return);
    }

    std::string programName() {
        char name[64] = {};
        plugin->dispatch(vst::effGetProgramName, 0, 0, name);
        return name;
    }

    kt::test::TempConfig config;  // HOME and the preferences: a fresh user
    Hands hands;
    fs::path folder;
    std::unique_ptr<VstPlugin> plugin;
    std::unique_ptr<X11HostWindow> window;
};

// Only a real session shows these: zenity's dialogs, pointer input, a new instance's default.
TEST_F(UserSession, PresetFilesAndDefaultBankFromTheWindow) {
    const float drive = plugin->getParameter(kDrive);
    const fs::path presetFile = folder / "album.kav";
    click(kSavePreset);
    inDialog("Save preset", [&] { typePath(presetFile); });
    ASSERT_TRUE(fs::exists(presetFile));
    EXPECT_EQ(fs::file_size(presetFile), 1041u);
    drag(kDriveKnob, 60);  // turn Drive up
    EXPECT_GT(plugin->getParameter(kDrive), drive);
    click(kLoadPreset);
    inDialog("Load preset", [&] { hands.tap(XK_Return); });  // the remembered file
    EXPECT_EQ(plugin->getParameter(kDrive), drive);

    // Renamed, stored as the default bank: a new instance starts from it, until it is removed.
    click(kName);
    hands.type("Album Master");
    hands.tap(XK_Return);
    idle(150);
    EXPECT_EQ(programName(), "Album Master");
    auto firstPresetOfANewInstance = [] {
        auto fresh = load();
        char name[64] = {};
        fresh->dispatch(vst::effGetProgramNameIndexed, 0, 0, name);
        fresh->close();
        return std::string(name);
    };
    doubleClick(kDefaultBank);
    const fs::path stored = fs::path(config.configDir()) / "DefaultBank";
    ASSERT_TRUE(fs::exists(stored));
    EXPECT_EQ(firstPresetOfANewInstance(), "Album Master");
    doubleClick(kDefaultBank, XK_Control_L);
    EXPECT_FALSE(fs::exists(stored));
    EXPECT_EQ(firstPresetOfANewInstance(), "Default");
}

}  // namespace
