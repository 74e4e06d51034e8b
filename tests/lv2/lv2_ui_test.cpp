// The editor as the plug-in's LV2 user interface, loaded from the built
// bundle the way hosts find it and driven the way they drive it, in real X11
// windows on a private Xvfb display (see tests/editor/with_xvfb.sh).
#include <cairo.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/parameters.h"
#include "lv2/lv2_identity.h"
#include "lv2/lv2_instance.h"
#include "platform/platform_frame.h"
#include "platform/x11_host_window.h"
#include "tests/lv2/lv2_test_host.h"
#include "tests/support/module_fixture.h"
#include "tests/support/temp_config.h"

namespace kt::test {
namespace {

constexpr int kWidth = 524, kHeight = 462;

struct Rect {
    int x, y, width, height;
};
constexpr Rect kInputMeter{147, 38, 60, 370};
constexpr Rect kOutputMeter{319, 38, 60, 368};
constexpr Rect kDriveKnob{52, 349, 56, 55};

// The UI's descriptor from the binary the bundle names for it.
const LV2UI_Descriptor* loadUiDescriptor(Lv2Bundle& bundle) {
    LilvUIs* uis = lilv_plugin_get_uis(bundle.plugin());
    const LilvUI* ui = lilv_uis_get_by_uri(uis, bundle.uri(lv2::kUiUri));
    char* path = nullptr;
    if (ui && lilv_ui_is_a(ui, bundle.uri(LV2_UI__X11UI)))
        path = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
    lilv_uis_free(uis);
    if (!path) return nullptr;
    void* module = ::dlopen(path, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    lilv_free(path);
    auto entry =
        module ? reinterpret_cast<LV2UI_DescriptorFunction>(::dlsym(module, "lv2ui_descriptor"))
               : nullptr;
    return entry ? entry(0) : nullptr;
}

// The host's side: its control ports follow the UI's writes, as in a host.
struct UiHost {
    std::array<float, kNumEngineParams>* ports = nullptr;
    std::vector<std::pair<std::uint32_t, float>> writes;
    std::vector<std::pair<std::uint32_t, bool>> touches;
    int width = 0, height = 0;

    static void write(LV2UI_Controller controller, std::uint32_t port, std::uint32_t size,
                      std::uint32_t format, const void* buffer) {
        auto* self = static_cast<UiHost*>(controller);
        ASSERT_EQ(format, 0u);
        ASSERT_EQ(size, sizeof(float));
        ASSERT_LT(port, static_cast<std::uint32_t>(kNumEngineParams));
        const float v = *static_cast<const float*>(buffer);
        self->writes.emplace_back(port, v);
        if (self->ports) (*self->ports)[port] = v;
    }
    LV2UI_Resize resize{this, [](LV2UI_Feature_Handle self, int width, int height) {
                            static_cast<UiHost*>(self)->width = width;
                            static_cast<UiHost*>(self)->height = height;
                            return 0;
                        }};
    LV2UI_Touch touch{this, [](LV2UI_Feature_Handle self, std::uint32_t port, bool grabbed) {
                          static_cast<UiHost*>(self)->touches.emplace_back(port, grabbed);
                      }};
};

enum class Offer { everything, noInstanceAccess, noIdleCalls };

class UiInstance {
  public:
    UiInstance(const LV2UI_Descriptor& descriptor, UiHost& host, LV2_Handle plugin, void* parent,
               Offer offer)
        : descriptor(descriptor) {
        std::vector<LV2_Feature> offered = {
            {LV2_UI__parent, parent}, {LV2_UI__resize, &host.resize}, {LV2_UI__touch, &host.touch}};
        if (offer != Offer::noInstanceAccess) offered.push_back({LV2_INSTANCE_ACCESS_URI, plugin});
        if (offer != Offer::noIdleCalls) offered.push_back({LV2_UI__idleInterface, nullptr});
        std::vector<const LV2_Feature*> features;
        for (const LV2_Feature& f : offered) features.push_back(&f);
        features.push_back(nullptr);
        handle = descriptor.instantiate(&descriptor, lv2::kPluginUri, KT_LV2_BUNDLE_DIR "/",
                                        &UiHost::write, &host, &widget, features.data());
        idleInterface = static_cast<const LV2UI_Idle_Interface*>(
            descriptor.extension_data(LV2_UI__idleInterface));
    }
    ~UiInstance() {
        if (handle) descriptor.cleanup(handle);
    }

    void portEvent(int port, float v) {
        descriptor.port_event(handle, static_cast<std::uint32_t>(port), sizeof v, 0, &v);
    }
    void idle() { EXPECT_EQ(idleInterface->idle(handle), 0); }
    void idleFor(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    const LV2UI_Descriptor& descriptor;
    const LV2UI_Idle_Interface* idleInterface = nullptr;
    LV2UI_Handle handle = nullptr;
    LV2UI_Widget widget = nullptr;
};

// A screenshot of the host's window, as cairo's pixels.
using Picture = std::vector<std::uint32_t>;

Picture shoot(X11HostWindow& window) {
    const std::string path =
        std::filesystem::temp_directory_path() / ("kt_lv2_ui_" + std::to_string(getpid()) + ".png");
    Picture picture;
    if (!window.saveScreenshot(path.c_str())) return picture;
    cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
    std::filesystem::remove(path);
    if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS &&
        cairo_image_surface_get_width(image) == kWidth &&
        cairo_image_surface_get_height(image) == kHeight) {
        const int stride = cairo_image_surface_get_stride(image);
        const unsigned char* data = cairo_image_surface_get_data(image);
        for (int y = 0; y < kHeight; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
            picture.insert(picture.end(), row, row + kWidth);
        }
    }
    cairo_surface_destroy(image);
    return picture;
}

int changedPixels(const Picture& a, const Picture& b, Rect r) {
    if (a.size() != b.size() || a.empty()) return -1;
    int changed = 0;
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            changed += a[static_cast<std::size_t>(y * kWidth + x)] !=
                       b[static_cast<std::size_t>(y * kWidth + x)];
    return changed;
}

class Lv2UiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through with_xvfb.sh";
        descriptor = loadUiDescriptor(bundle);
        ASSERT_TRUE(descriptor) << "no X11 UI in " KT_LV2_BUNDLE_DIR;
        window = X11HostWindow::create(kWidth, kHeight, "lv2 ui test");
        ASSERT_TRUE(window);
    }

    std::unique_ptr<UiInstance> open(Lv2Run& lv2, Offer offer = Offer::everything,
                                     X11HostWindow* parent = nullptr) {
        host.ports = &lv2.controls;
        return std::make_unique<UiInstance>(*descriptor, host, lv2.handle(),
                                            (parent ? parent : window.get())->windowId(), offer);
    }

    // The host's control ports hold what the effect holds (read back
    // through its saved bank), each as its port takes it.
    void expectPortsMatchTheEffect(Lv2Run& lv2) {
        auto vst = loadModule();
        ASSERT_EQ(vst->setChunk(lv2.save()), 0);
        for (int i = 0; i < kNumEngineParams; ++i)
            EXPECT_EQ(lv2::portValue(i, vst->getParameter(i)), lv2.controls[i])
                << paramInfo(i).name;
    }

    TempConfig config;
    Lv2Bundle bundle;
    const LV2UI_Descriptor* descriptor = nullptr;
    std::unique_ptr<X11HostWindow> window;
    UiHost host;
};

TEST_F(Lv2UiTest, OpensIdlesAndClosesManyTimesAndItsMetersMove) {
    Lv2Run lv2(bundle, 44100);
    for (int round = 0; round < 12; ++round) {
        auto ui = open(lv2);
        ASSERT_TRUE(ui->handle) << "round " << round;
        EXPECT_NE(ui->widget, nullptr);
        ui->idleFor(30);
    }
    EXPECT_EQ(host.width, kWidth);
    EXPECT_EQ(host.height, kHeight);
    EXPECT_TRUE(host.writes.empty()) << "a window that only opens writes no port";

    auto ui = open(lv2);
    std::vector<float> in(441), outL(441), outR(441);
    auto play = [&](float amplitude, int ms) {  // 10 ms blocks between idle calls
        for (std::size_t n = 0; n < in.size(); ++n)
            in[n] = amplitude * static_cast<float>(std::sin(0.06 * static_cast<double>(n)));
        for (int t = 0; t < ms; t += 10) {
            lv2.run(in.data(), in.data(), outL.data(), outR.data(), 441);
            ui->idle();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    };
    play(0.0f, 150);
    const Picture quiet = shoot(*window);
    play(0.5f, 300);
    const Picture loud = shoot(*window);
    EXPECT_GT(changedPixels(quiet, loud, kInputMeter), 200);
    EXPECT_GT(changedPixels(quiet, loud, kOutputMeter), 200);
}

TEST_F(Lv2UiTest, ControlsAndPortsStayInStepBothWays) {
    Lv2Run lv2(bundle, 44100);
    auto ui = open(lv2);
    ASSERT_TRUE(ui->handle);
    // Hosts report every control port to a new window: nothing comes back.
    for (int i = 0; i < kNumEngineParams; ++i) ui->portEvent(i, lv2.controls[i]);
    ui->idleFor(60);
    EXPECT_TRUE(host.writes.empty());

    // A click on Power: one port write. The host echoes it: nothing comes back.
    const float powerBefore = lv2.controls[kPower];
    window->sendButton(262, 417, 1, true, 1000);
    window->sendButton(262, 417, 1, false, 1050);
    window->flush();
    ui->idleFor(150);
    ASSERT_EQ(host.writes.size(), 1u);
    EXPECT_EQ(host.writes[0].first, static_cast<std::uint32_t>(kPower));
    EXPECT_NE(host.writes[0].second, powerBefore);
    ui->portEvent(kPower, lv2.controls[kPower]);
    ui->idleFor(60);
    EXPECT_EQ(host.writes.size(), 1u);
    expectPortsMatchTheEffect(lv2);

    // A drag on Drive: writes inside the host's touch. A report of the port
    // that arrives during the drag (an echo lagging behind) does not pull
    // the knob back.
    host.writes.clear();
    window->sendButton(80, 376, 1, true, 2000);
    window->flush();
    ui->idleFor(60);
    for (int y = 370; y >= 340; y -= 10) {
        window->sendMotion(80, y, kPlatformLeftButton);
        window->flush();
        ui->idleFor(50);
        if (!host.writes.empty()) ui->portEvent(kDrive, host.writes.front().second);
    }
    window->sendButton(80, 340, 1, false, 2500);
    window->flush();
    ui->idleFor(60);
    ASSERT_GE(host.writes.size(), 2u);
    for (const auto& [port, v] : host.writes) EXPECT_EQ(port, static_cast<std::uint32_t>(kDrive));
    using Touch = std::pair<std::uint32_t, bool>;
    EXPECT_EQ(host.touches, (std::vector<Touch>{{kDrive, true}, {kDrive, false}}));
    expectPortsMatchTheEffect(lv2);

    // The host moves a port while the plug-in is stopped: the effect and the
    // knob follow, and nothing is written back.
    const Picture before = shoot(*window);
    const std::size_t writesBefore = host.writes.size();
    lv2.controls[kDrive] = 0.8f;
    ui->portEvent(kDrive, 0.8f);
    ui->idleFor(100);
    EXPECT_GT(changedPixels(before, shoot(*window), kDriveKnob), 50);
    EXPECT_EQ(host.writes.size(), writesBefore);
    expectPortsMatchTheEffect(lv2);

    // A preset applied in the editor (on this thread, as its preset bar does):
    // each port it changed is written, and only those.
    const std::vector<std::uint8_t> beforePreset = lv2.save();
    host.writes.clear();
    static_cast<lv2::Lv2Instance*>(lv2.handle())->effect().setPresetNo(7);
    EXPECT_GT(host.writes.size(), 0u);
    EXPECT_LT(host.writes.size(), static_cast<std::size_t>(kNumEngineParams));
    expectPortsMatchTheEffect(lv2);

    // A state restored on another thread while the window idles: the next
    // idle pass writes what changed.
    host.writes.clear();
    std::thread restorer([&] { EXPECT_EQ(lv2.restore(beforePreset), LV2_STATE_SUCCESS); });
    ui->idleFor(60);
    restorer.join();
    ui->idleFor(60);
    EXPECT_GT(host.writes.size(), 0u);
    expectPortsMatchTheEffect(lv2);
}

TEST_F(Lv2UiTest, OneWindowPerInstanceAndOnlyWithTheInstance) {
    // Hosts that cannot give the instance see that the UI needs it.
    LilvNode* ui = bundle.uri(lv2::kUiUri);
    EXPECT_TRUE(lilv_world_ask(bundle.world(), ui, bundle.uri(LV2_CORE__requiredFeature),
                               bundle.uri(LV2_INSTANCE_ACCESS_URI)));

    Lv2Run lv2(bundle, 44100);
    EXPECT_FALSE(open(lv2, Offer::noInstanceAccess)->handle);
    EXPECT_FALSE(open(lv2, Offer::noIdleCalls)->handle);

    auto otherWindow = X11HostWindow::create(kWidth, kHeight, "second");
    ASSERT_TRUE(otherWindow);
    auto first = open(lv2);
    ASSERT_TRUE(first->handle);
    EXPECT_FALSE(open(lv2, Offer::everything, otherWindow.get())->handle)
        << "the editor is open in the first window";
    first->idleFor(30);
    first.reset();
    auto second = open(lv2, Offer::everything, otherWindow.get());
    ASSERT_TRUE(second->handle);

    // Another instance has an editor of its own; a host that deletes it
    // before its window leaves a window whose calls do nothing.
    auto other = std::make_unique<Lv2Run>(bundle, 48000);
    auto third = open(*other);
    ASSERT_TRUE(third->handle);
    second->idleFor(30);
    third->idleFor(30);
    other.reset();
    host.ports = &lv2.controls;
    third->idleFor(30);
    third->portEvent(kDrive, 0.3f);
    third.reset();
    second->idleFor(30);
}

}  // namespace
}  // namespace kt::test
