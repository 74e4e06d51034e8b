#include "cli/vst_host.h"

#include <dlfcn.h>

#include <array>
#include <cstring>
#include <unordered_map>

namespace kt {
namespace {

// Which HostCallback serves which effect record. The callback receives only
// the record's address; during the entry function the record does not exist
// yet (null) or is not yet known, so the instance being loaded on this thread
// answers those calls.
std::mutex registryMutex;
std::unordered_map<vst::AEffect*, HostCallback*> registry;
thread_local HostCallback* loadingHost = nullptr;

HostCallback* hostFor(vst::AEffect* effect) {
    if (effect != nullptr) {
        std::lock_guard<std::mutex> lock(registryMutex);
        auto it = registry.find(effect);
        if (it != registry.end()) return it->second;
    }
    return loadingHost;
}

vst::VstIntPtr hostTrampoline(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                              vst::VstIntPtr value, void* ptr, float opt) {
    HostCallback* host = hostFor(effect);
    if (host != nullptr) return host->handle(effect, opcode, index, value, ptr, opt);
    // A call from an effect we do not know (for example from a thread it
    // started after we closed it): the plain default answers.
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

void registerEffect(vst::AEffect* effect, HostCallback* host) {
    std::lock_guard<std::mutex> lock(registryMutex);
    registry[effect] = host;
}

void unregisterEffect(vst::AEffect* effect) {
    std::lock_guard<std::mutex> lock(registryMutex);
    registry.erase(effect);
}

// Makes `host` answer the calls of an entry function running on this thread.
class LoadingScope {
  public:
    explicit LoadingScope(HostCallback* host) : previous_(loadingHost) { loadingHost = host; }
    ~LoadingScope() { loadingHost = previous_; }

  private:
    HostCallback* previous_;
};

using EntryProc = vst::AEffect* (*)(vst::audioMasterCallback);

// Generous text buffers: this module's names and displays exceed the 8
// characters VST 2.4 nominally allows, and other modules overrun too.
constexpr std::size_t kTextBufferSize = 256;

}  // namespace

// --- HostCallback ---------------------------------------------------------

void HostCallback::setAnswer(vst::int32 opcode, vst::VstIntPtr answer) {
    setHandler(opcode, [answer](const HostCall&) { return answer; });
}

void HostCallback::setHandler(vst::int32 opcode, Handler handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    handlers_[opcode] = std::move(handler);
}

void HostCallback::clearAnswer(vst::int32 opcode) {
    std::lock_guard<std::mutex> lock(mutex_);
    handlers_.erase(opcode);
}

void HostCallback::setRecording(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    recording_ = on;
}

std::vector<HostCall> HostCallback::calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

std::size_t HostCallback::count(vst::int32 opcode) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t n = 0;
    for (const HostCall& call : calls_) n += call.opcode == opcode ? 1 : 0;
    return n;
}

void HostCallback::clearCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
}

void HostCallback::setCurrentId(vst::int32 id) {
    std::lock_guard<std::mutex> lock(mutex_);
    currentId_ = id;
}

vst::VstIntPtr HostCallback::defaultAnswer(vst::int32 opcode) const {
    switch (opcode) {
        case vst::audioMasterVersion:
            return 2400;
        case vst::audioMasterCurrentId:
            return currentId_;
        case vst::audioMasterPinConnected:
            return 0;  // 0 means connected
        default:
            return 0;
    }
}

vst::VstIntPtr HostCallback::handle(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                                    vst::VstIntPtr value, void* ptr, float opt) {
    HostCall call{0, std::chrono::steady_clock::now(), effect, opcode, index, value, ptr, opt};
    Handler handler;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        call.sequence = nextSequence_++;
        if (recording_) calls_.push_back(call);
        auto it = handlers_.find(opcode);
        if (it == handlers_.end()) return defaultAnswer(opcode);
        handler = it->second;
    }
    // Outside the lock, so a handler may inspect the host or call the effect.
    return handler(call);
}

// --- VstPlugin ------------------------------------------------------------

std::unique_ptr<VstPlugin> VstPlugin::load(const std::string& path, std::string* error) {
    return load(path, Options{}, error);
}

std::unique_ptr<VstPlugin> VstPlugin::load(const std::string& path, const Options& options,
                                           std::string* error) {
    auto fail = [error](std::string reason) {
        if (error != nullptr) *error = std::move(reason);
        return std::unique_ptr<VstPlugin>();
    };

    const int mode = RTLD_NOW | RTLD_LOCAL | (options.unloadOnClose ? 0 : RTLD_NODELETE);
    void* library = dlopen(path.c_str(), mode);
    if (library == nullptr) {
        const char* why = dlerror();
        return fail("cannot load " + path + ": " + (why != nullptr ? why : "unknown error"));
    }
    auto entry = reinterpret_cast<EntryProc>(dlsym(library, "VSTPluginMain"));
    if (entry == nullptr) entry = reinterpret_cast<EntryProc>(dlsym(library, "main_macho"));
    if (entry == nullptr) {
        dlclose(library);
        return fail(path + " is not a VST 2.4 module (no VSTPluginMain or main_macho)");
    }

    std::unique_ptr<VstPlugin> plugin(new VstPlugin());
    plugin->library_ = library;
    plugin->path_ = path;
    plugin->host_ = options.host ? options.host : std::make_shared<HostCallback>();
    plugin->host_->setCurrentId(options.shellId);

    vst::AEffect* effect = nullptr;
    {
        LoadingScope scope(plugin->host_.get());
        effect = entry(&hostTrampoline);
        if (effect != nullptr) registerEffect(effect, plugin->host_.get());
    }
    if (effect == nullptr) {
        // plugin's destructor closes the library.
        return fail(path + ": the entry function created no effect");
    }
    plugin->effect_ = effect;
    if (effect->magic != vst::kEffectMagic) {
        // Not a record we can trust with effClose either.
        unregisterEffect(effect);
        plugin->effect_ = nullptr;
        return fail(path + ": the entry function returned a record without the VstP magic");
    }
    if (options.sendOpen) plugin->dispatch(vst::effOpen);
    return plugin;
}

VstPlugin::~VstPlugin() {
    close();
    if (library_ != nullptr) dlclose(library_);
}

vst::VstIntPtr VstPlugin::close() {
    vst::VstIntPtr answer = 0;
    if (effect_ != nullptr) {
        answer = effect_->dispatcher(effect_, vst::effClose, 0, 0, nullptr, 0.0f);
        unregisterEffect(effect_);
        effect_ = nullptr;
    }
    return answer;
}

vst::VstIntPtr VstPlugin::dispatch(vst::int32 opcode, vst::int32 index, vst::VstIntPtr value,
                                   void* ptr, float opt) const {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string VstPlugin::dispatchString(vst::int32 opcode, vst::int32 index) const {
    std::array<char, kTextBufferSize> text{};
    dispatch(opcode, index, 0, text.data());
    text.back() = '\0';
    return text.data();
}

EffectIdentity VstPlugin::identity() const {
    EffectIdentity id;
    id.name = dispatchString(vst::effGetEffectName, 0);
    id.vendor = dispatchString(vst::effGetVendorString, 0);
    id.product = dispatchString(vst::effGetProductString, 0);
    id.vendorVersion = dispatch(vst::effGetVendorVersion);
    id.vstVersion = dispatch(vst::effGetVstVersion);
    id.category = dispatch(vst::effGetPlugCategory);
    id.uniqueId = effect_->uniqueID;
    id.version = effect_->version;
    return id;
}

bool VstPlugin::canDo(const std::string& what) const {
    std::vector<char> text(what.begin(), what.end());
    text.push_back('\0');
    return dispatch(vst::effCanDo, 0, 0, text.data()) > 0;
}

std::string VstPlugin::parameterName(int index) const {
    return dispatchString(vst::effGetParamName, index);
}

std::string VstPlugin::parameterLabel(int index) const {
    return dispatchString(vst::effGetParamLabel, index);
}

std::string VstPlugin::parameterDisplay(int index) const {
    return dispatchString(vst::effGetParamDisplay, index);
}

std::string VstPlugin::programName() const {
    return dispatchString(vst::effGetProgramName, 0);
}

std::optional<std::string> VstPlugin::programNameIndexed(int index) const {
    std::array<char, kTextBufferSize> text{};
    if (dispatch(vst::effGetProgramNameIndexed, index, 0, text.data()) == 0) return std::nullopt;
    text.back() = '\0';
    return std::string(text.data());
}

std::vector<std::uint8_t> VstPlugin::getChunk(bool isPreset) const {
    void* data = nullptr;
    vst::VstIntPtr size = dispatch(vst::effGetChunk, isPreset ? 1 : 0, 0, &data);
    if (size <= 0 || data == nullptr) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

vst::VstIntPtr VstPlugin::setChunk(const std::vector<std::uint8_t>& chunk, bool isPreset) const {
    // The effect reads from the buffer only, but the interface takes a plain pointer.
    std::vector<std::uint8_t> copy = chunk;
    return dispatch(vst::effSetChunk, isPreset ? 1 : 0, static_cast<vst::VstIntPtr>(copy.size()),
                    copy.empty() ? nullptr : copy.data());
}

void VstPlugin::setSampleRate(float rate) const {
    dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate);
}

void VstPlugin::setBlockSize(int frames) const {
    dispatch(vst::effSetBlockSize, 0, frames);
}

void VstPlugin::setMainsOn(bool on) const {
    dispatch(vst::effMainsChanged, 0, on ? 1 : 0);
}

std::vector<VstPlugin::ShellEntry> VstPlugin::shellEntries() const {
    std::vector<ShellEntry> entries;
    if (dispatch(vst::effGetPlugCategory) != kPlugCategShell) return entries;
    for (int guard = 0; guard < 10000; ++guard) {
        std::array<char, kTextBufferSize> name{};
        vst::VstIntPtr id = dispatch(vst::effShellGetNextPlugin, 0, 0, name.data());
        if (id == 0) break;
        name.back() = '\0';
        entries.push_back({static_cast<vst::int32>(id), name.data()});
    }
    return entries;
}

std::string fourCharText(vst::int32 id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((static_cast<std::uint32_t>(id) >> shift) & 0xff);
        text += (c >= 0x20 && c < 0x7f) ? c : '.';
    }
    return text;
}

}  // namespace kt
