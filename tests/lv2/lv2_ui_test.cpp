// The LV2 user interface loaded from the built bundle, in X11 windows on Xvfb.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <array>
#include <chrono>
#include <cstring>
#include <memory>
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

// The UI's descriptor, from the binary the bundle names for it.
const LV2UI_Descriptor* loadUiDescriptor(Lv2Bundle& bundle) {
    LilvUIs* uis = lilv_plugin_get_uis(bundle.plugin());
    const LilvUI* ui = lilv_uis_get_by_uri(uis, bundle.uri(lv2::kUiUri));
    char* path = ui && lilv_ui_is_a(ui, bundle.uri(LV2_UI__X11UI))
                     ? lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr)
                     : nullptr;
    lilv_uis_free(uis);
    void* module = path ? ::dlopen(path, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE) : nullptr;
    lilv_free(path);
    void* entry = module ? ::dlsym(module, "lv2ui_descriptor") : nullptr;
    return entry ? reinterpret_cast<LV2UI_DescriptorFunction>(entry)(0) : nullptr;
}

struct Ui {
    ~Ui() {
        if (handle) descriptor->cleanup(handle);
    }
    void portEvent(int port, float v) {
        descriptor->port_event(handle, static_cast<std::uint32_t>(port), sizeof v, 0, &v);
    }
    void idleFor(int ms) {
        auto* idle = static_cast<const LV2UI_Idle_Interface*>(
            descriptor->extension_data(LV2_UI__idleInterface));
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            EXPECT_EQ(idle->idle(handle), 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    const LV2UI_Descriptor* descriptor;
    LV2UI_Handle handle = nullptr;
    LV2UI_Widget widget = nullptr;
};

// The host: ports follow the UI's writes, recorded with touches and size.
class Lv2UiTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run through with_xvfb.sh";
        descriptor = loadUiDescriptor(bundle);
        ASSERT_TRUE(descriptor) << "no X11 UI in " KT_LV2_BUNDLE_DIR;
        window = X11HostWindow::create(kWidth, kHeight, "lv2 ui test");
        ASSERT_TRUE(window);
    }

    // Offers parent, resize, touch, instance-access and idleInterface, less the one withheld.
    std::unique_ptr<Ui> open(Lv2Run& lv2, const char* withheld = "",
                             X11HostWindow* parent = nullptr) {
        ports = &lv2.controls;
        const LV2_Feature offered[] = {
            {LV2_UI__parent, (parent ? parent : window.get())->windowId()},
            {LV2_UI__resize, &resize},
            {LV2_UI__touch, &touch},
            {LV2_INSTANCE_ACCESS_URI, lv2.handle()},
            {LV2_UI__idleInterface, nullptr}};
        std::vector<const LV2_Feature*> features;
        for (const LV2_Feature& f : offered)
            if (std::strcmp(f.URI, withheld) != 0) features.push_back(&f);
        features.push_back(nullptr);
        auto ui = std::make_unique<Ui>(Ui{descriptor});
        ui->handle = descriptor->instantiate(descriptor, lv2::kPluginUri, KT_LV2_BUNDLE_DIR "/",
                                             &write, this, &ui->widget, features.data());
        return ui;
    }

    static void write(LV2UI_Controller host, std::uint32_t port, std::uint32_t size,
                      std::uint32_t format, const void* buffer) {
        auto* self = static_cast<Lv2UiTest*>(host);
        ASSERT_TRUE(format == 0 && size == sizeof(float) && port < kNumEngineParams);
        const float v = *static_cast<const float*>(buffer);
        self->writes.emplace_back(port, v);
        (*self->ports)[port] = v;
    }

    // The host's ports hold what the effect holds (read back through its bank).
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
    std::array<float, kNumEngineParams>* ports = nullptr;
    std::vector<std::pair<std::uint32_t, float>> writes;
    std::vector<std::pair<std::uint32_t, bool>> touches;
    int width = 0, height = 0;
    LV2UI_Resize resize{this, [](LV2UI_Feature_Handle self, int w, int h) {
                            static_cast<Lv2UiTest*>(self)->width = w;
                            static_cast<Lv2UiTest*>(self)->height = h;
                            return 0;
                        }};
    LV2UI_Touch touch{this, [](LV2UI_Feature_Handle self, std::uint32_t port, bool grabbed) {
                          static_cast<Lv2UiTest*>(self)->touches.emplace_back(port, grabbed);
                      }};
};

TEST_F(Lv2UiTest, OpensIdlesAndClosesManyTimesBesideAudio) {
    Lv2Run lv2(bundle, 44100);
    for (int round = 0; round < 12; ++round) {
        auto ui = open(lv2);
        ASSERT_TRUE(ui->handle) << "round " << round;
        EXPECT_NE(ui->widget, nullptr);
        ui->idleFor(30);
    }
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);
    EXPECT_TRUE(writes.empty()) << "a window that only opens writes no port";

    // Audio blocks on a thread while the window idles and a control moves.
    auto ui = open(lv2);
    std::vector<float> in(441, 0.5f), outL(441), outR(441);
    std::thread audio([&] {
        for (int t = 0; t < 300; t += 10) {
            lv2.run(in.data(), in.data(), outL.data(), outR.data(), 441);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    ui->portEvent(kRelease, 0.4f);
    ui->idleFor(300);
    audio.join();
}

TEST_F(Lv2UiTest, ControlsAndPortsStayInStepBothWays) {
    Lv2Run lv2(bundle, 44100);
    auto ui = open(lv2);
    ASSERT_TRUE(ui->handle);
    // Hosts report every control port to a new window: nothing comes back.
    for (int i = 0; i < kNumEngineParams; ++i) ui->portEvent(i, lv2.controls[i]);
    ui->idleFor(60);
    EXPECT_TRUE(writes.empty());

    // A drag on Drive: writes inside a touch; a lagging echo does not pull the knob back.
    window->sendButton(80, 376, 1, true, 2000);
    for (int y = 370; y >= 340; y -= 10) {
        window->sendMotion(80, y, kPlatformLeftButton);
        window->flush();
        ui->idleFor(50);
        if (!writes.empty()) ui->portEvent(kDrive, writes.front().second);
    }
    window->sendButton(80, 340, 1, false, 2500);
    window->flush();
    ui->idleFor(60);
    ASSERT_GE(writes.size(), 2u);
    for (const auto& [port, v] : writes) EXPECT_EQ(port, static_cast<std::uint32_t>(kDrive));
    using Touch = std::pair<std::uint32_t, bool>;
    EXPECT_EQ(touches, (std::vector<Touch>{{kDrive, true}, {kDrive, false}}));
    expectPortsMatchTheEffect(lv2);

    // A port moved while stopped: the effect follows, nothing is written back.
    writes.clear();
    lv2.controls[kDrive] = 0.8f;
    ui->portEvent(kDrive, 0.8f);
    ui->idleFor(100);
    EXPECT_TRUE(writes.empty());
    expectPortsMatchTheEffect(lv2);

    // A preset applied in the editor writes the ports it changed, and only those.
    const std::vector<std::uint8_t> beforePreset = lv2.save();
    static_cast<lv2::Lv2Instance*>(lv2.handle())->effect().setPresetNo(7);
    EXPECT_GT(writes.size(), 0u);
    EXPECT_LT(writes.size(), static_cast<std::size_t>(kNumEngineParams));
    expectPortsMatchTheEffect(lv2);

    // A state restored on another thread: the next idle pass writes what changed.
    writes.clear();
    std::thread restorer([&] { EXPECT_EQ(lv2.restore(beforePreset), LV2_STATE_SUCCESS); });
    ui->idleFor(60);
    restorer.join();
    ui->idleFor(60);
    EXPECT_GT(writes.size(), 0u);
    expectPortsMatchTheEffect(lv2);
}

TEST_F(Lv2UiTest, OneWindowPerInstanceAndOnlyWithTheInstance) {
    // Hosts that cannot give the instance see that the UI needs it.
    EXPECT_TRUE(lilv_world_ask(bundle.world(), bundle.uri(lv2::kUiUri),
                               bundle.uri(LV2_CORE__requiredFeature),
                               bundle.uri(LV2_INSTANCE_ACCESS_URI)));
    Lv2Run lv2(bundle, 44100);
    EXPECT_FALSE(open(lv2, LV2_INSTANCE_ACCESS_URI)->handle);
    EXPECT_FALSE(open(lv2, LV2_UI__idleInterface)->handle);

    auto otherWindow = X11HostWindow::create(kWidth, kHeight, "second");
    ASSERT_TRUE(otherWindow);
    auto first = open(lv2);
    ASSERT_TRUE(first->handle);
    EXPECT_FALSE(open(lv2, "", otherWindow.get())->handle) << "the editor is the first window's";
    first->idleFor(30);
    first.reset();
    auto second = open(lv2, "", otherWindow.get());
    ASSERT_TRUE(second->handle);

    // An instance deleted before its window: the window goes with it.
    auto other = std::make_unique<Lv2Run>(bundle, 48000);
    auto orphan = open(*other);
    ASSERT_TRUE(orphan->handle);
    orphan->idleFor(30);
    other.reset();
    orphan->idleFor(30);
    orphan->portEvent(kDrive, 0.3f);
    orphan.reset();
    second->idleFor(30);
}

}  // namespace
}  // namespace kt::test
