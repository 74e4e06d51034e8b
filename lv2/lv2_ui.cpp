#include "lv2/lv2_ui.h"

#include <lv2/instance-access/instance-access.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "editor/AEffGUIEditor.h"
#include "gui/CFrame.h"
#include "lv2/lv2_instance.h"

namespace kt::lv2 {
namespace {

struct HostFeatures {
    Lv2Instance* instance = nullptr;
    void* parent = nullptr;
    bool idles = false;
    const LV2UI_Resize* resize = nullptr;
    const LV2UI_Touch* touch = nullptr;
};

HostFeatures findFeatures(const LV2_Feature* const* features) {
    HostFeatures found;
    for (auto f = features; f && *f; ++f) {
        const char* uri = (*f)->URI;
        void* data = (*f)->data;
        if (!uri) continue;
        if (std::strcmp(uri, LV2_INSTANCE_ACCESS_URI) == 0)
            found.instance = static_cast<Lv2Instance*>(data);
        else if (std::strcmp(uri, LV2_UI__parent) == 0)
            found.parent = data;
        else if (std::strcmp(uri, LV2_UI__idleInterface) == 0)
            found.idles = true;
        else if (std::strcmp(uri, LV2_UI__resize) == 0)
            found.resize = static_cast<const LV2UI_Resize*>(data);
        else if (std::strcmp(uri, LV2_UI__touch) == 0)
            found.touch = static_cast<const LV2UI_Touch*>(data);
    }
    return found;
}

// Hosts show a UI's standard error in their log; the reason a window did not
// open belongs there.
std::nullptr_t refuse(const char* why) {
    std::fprintf(stderr, "Kav Tamor: no editor window: %s\n", why);
    return nullptr;
}

}  // namespace

Lv2Ui::Lv2Ui(Lv2Instance* instance, LV2UI_Write_Function write, LV2UI_Controller controller)
    : instance(instance),
      write(write),
      controller(controller),
      uiThread(std::this_thread::get_id()) {
    portValues.fill(std::numeric_limits<float>::quiet_NaN());
}

Lv2Ui* Lv2Ui::create(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                     const LV2_Feature* const* features) noexcept {
    const HostFeatures host = findFeatures(features);
    if (!host.instance)
        return refuse(
            "the host gives its plug-in windows no access to the plug-in (instance-access); "
            "its own controls work as usual");
    if (!host.parent) return refuse("the host gives no window to open in (ui:parent)");
    if (!host.idles) return refuse("the host does not call the window's idle interface");
    if (!write || !widget) return nullptr;
    try {
        auto* editor = dynamic_cast<AEffGUIEditor*>(host.instance->effect().getEditor());
        if (!editor) return nullptr;
        std::unique_ptr<Lv2Ui> ui(new Lv2Ui(host.instance, write, controller));
        ui->touchFeature = host.touch && host.touch->touch ? host.touch : nullptr;
        if (!host.instance->attachListener(ui.get()))
            return refuse("the editor is already open in another window of this plug-in");
        if (!editor->open(host.parent)) return refuse("the window cannot be made");
        ui->editor = editor;
        const PlatformFrame* frame =
            editor->getFrame() ? editor->getFrame()->getPlatformFrame() : nullptr;
        *widget = reinterpret_cast<LV2UI_Widget>(frame ? frame->nativeWindow() : 0);
        vst::ERect* rect = nullptr;
        if (host.resize && host.resize->ui_resize && editor->getRect(&rect) && rect)
            host.resize->ui_resize(host.resize->handle, rect->right - rect->left,
                                   rect->bottom - rect->top);
        return ui.release();
    } catch (...) {
        return nullptr;  // out of memory: nothing may cross into the host
    }
}

Lv2Ui::~Lv2Ui() {
    release();
}

void Lv2Ui::release() {
    if (!instance) return;
    if (editor) editor->close();
    instance->detachListener(this);
    editor = nullptr;
    instance = nullptr;
}

void Lv2Ui::instanceGone() {
    release();
}

// The host's value enters the effect like any other change (so the editor
// shows it at once), unless the effect holds it already: the echo of this
// UI's own write changes nothing. Nothing here is written back to the host.
void Lv2Ui::portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format,
                      const void* buffer) {
    if (!instance || port >= kNumEngineParams || format != 0 || size != sizeof(float) || !buffer)
        return;
    float v;
    std::memcpy(&v, buffer, sizeof v);
    if (std::isnan(v) || grabbed[port]) return;
    v = std::clamp(v, 0.0f, 1.0f) + 0.0f;  // as run() takes it
    portValues[port] = v;
    Plugin& effect = instance->effect();
    const auto index = static_cast<vst::int32>(port);
    if (portValue(index, effect.getParameter(index)) != v) effect.setParameter(index, v);
}

int Lv2Ui::idle() {
    if (!editor) return 0;
    if (portsStale.exchange(false, std::memory_order_acquire)) writeChangedPorts();
    editor->idle();
    return 0;
}

// A stepped parameter's port gets the centre of the step, as the bundle's
// enumeration lists it.
void Lv2Ui::writePort(int index, float value) {
    const float v = portValue(index, value);
    portValues[static_cast<std::size_t>(index)] = v;
    write(controller, static_cast<std::uint32_t>(index), sizeof(float), 0, &v);
}

void Lv2Ui::writeChangedPorts() {
    if (!instance) return;
    for (int i = 0; i < kNumEngineParams; ++i) {
        const float v = portValue(i, instance->effect().getParameter(i));
        if (!(v == portValues[static_cast<std::size_t>(i)])) writePort(i, v);  // NaN: unknown
    }
}

void Lv2Ui::touch(int index, bool grab) {
    grabbed[static_cast<std::size_t>(index)] = grab;
    if (touchFeature)
        touchFeature->touch(touchFeature->handle, static_cast<std::uint32_t>(index), grab);
}

void Lv2Ui::parameterAutomated(int index, float value) {
    if (index < 0 || index >= kNumEngineParams) return;
    if (onUiThread())
        writePort(index, value);
    else
        portsStale.store(true, std::memory_order_release);
}

void Lv2Ui::editBegun(int index) {
    if (index >= 0 && index < kNumEngineParams && onUiThread()) touch(index, true);
}

void Lv2Ui::editEnded(int index) {
    if (index >= 0 && index < kNumEngineParams && onUiThread()) touch(index, false);
}

void Lv2Ui::displayChanged() {
    if (onUiThread())
        writeChangedPorts();
    else
        portsStale.store(true, std::memory_order_release);
}

}  // namespace kt::lv2
