// A small VST 2.4 host: loads an effect module the way a host application does
// (dlopen, the entry function, a host callback), wraps the effect record in
// typed calls and closes it again. Used by the command-line host and by the
// tests that drive the module through its binary interface.
//
// Loading uses dlopen with RTLD_NOW | RTLD_LOCAL (and RTLD_NODELETE unless
// Options::unloadOnClose is set); closing sends effClose and calls dlclose.
// Each loaded instance has its own HostCallback, which answers the effect's
// calls to the host and records them. Several instances may be loaded at once;
// each dlopens the module itself, so the loader's reference count keeps the
// code mapped until the last instance is gone.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "vst/vst_abi.h"

namespace kt {

// One call the effect made to the host, in the order received.
struct HostCall {
    std::uint64_t sequence;  // position in the order of all recorded calls of this host
    std::chrono::steady_clock::time_point time;
    vst::AEffect* effect;  // null when the effect called before it had a record (entry)
    vst::int32 opcode;
    vst::int32 index;
    vst::VstIntPtr value;
    void* ptr;  // only meaningful during the call; kept for identity checks
    float opt;
};

// The host side of the callback. Default answers: audioMasterVersion 2400,
// audioMasterPinConnected 0 (connected), audioMasterCurrentId the shell
// identifier being loaded (0 normally), everything else 0. Tests override
// answers per opcode. Thread-safe: the effect may call from any thread.
class HostCallback {
  public:
    using Handler = std::function<vst::VstIntPtr(const HostCall&)>;

    HostCallback() = default;
    HostCallback(const HostCallback&) = delete;
    HostCallback& operator=(const HostCallback&) = delete;

    // Answer every call with this opcode with a fixed value.
    void setAnswer(vst::int32 opcode, vst::VstIntPtr answer);
    // Answer calls with this opcode through a function (for example, pin
    // connection by index: value 0 asks for an input, 1 for an output).
    void setHandler(vst::int32 opcode, Handler handler);
    // Back to the default answer for this opcode.
    void clearAnswer(vst::int32 opcode);

    // Recording is on by default. A long render turns it off so the audio
    // thread's once-per-block calls do not grow the list.
    void setRecording(bool on);
    std::vector<HostCall> calls() const;
    std::size_t count(vst::int32 opcode) const;
    void clearCalls();

    // The identifier answered to audioMasterCurrentId while a shell module
    // is asked for one of its effects.
    void setCurrentId(vst::int32 id);

    // Called by the static callback trampoline.
    vst::VstIntPtr handle(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                          vst::VstIntPtr value, void* ptr, float opt);

  private:
    vst::VstIntPtr defaultAnswer(vst::int32 opcode) const;

    mutable std::mutex mutex_;
    std::map<vst::int32, Handler> handlers_;
    std::vector<HostCall> calls_;
    std::uint64_t nextSequence_ = 0;
    bool recording_ = true;
    vst::int32 currentId_ = 0;
};

// Identity texts and numbers the effect reports.
struct EffectIdentity {
    std::string name;     // effGetEffectName
    std::string vendor;   // effGetVendorString
    std::string product;  // effGetProductString
    vst::VstIntPtr vendorVersion = 0;
    vst::VstIntPtr vstVersion = 0;
    vst::VstIntPtr category = 0;
    vst::int32 uniqueId = 0;
    vst::int32 version = 0;
};

// One loaded effect instance. Created by load(); closing happens in close()
// or the destructor (effClose, then dlclose). All calls go straight to the
// effect's record; none of them allocates except the ones returning strings
// or vectors. Processing reaches the host callback (the effect asks about its
// pins once per block), which takes a mutex and, while recording, appends to
// the call list: turn recording off before long or real-time processing.
class VstPlugin {
  public:
    struct Options {
        // The host to use; a fresh default one when null.
        std::shared_ptr<HostCallback> host;
        // For shell modules: the identifier of the effect to create (0: the module's choice).
        vst::int32 shellId = 0;
        // Send effOpen after the entry function returns (what hosts do).
        bool sendOpen = true;
        // Unmap the module's code at dlclose. Off by default: the module and
        // the libraries it pulls in (FFTW's planner) keep process-wide state
        // that would become unreachable, and so reported as leaked, once
        // unmapped; with RTLD_NODELETE dlclose still drops our reference but
        // the code and that state stay, as in hosts that never unload.
        bool unloadOnClose = false;
    };

    // Loads the module at path and creates one effect. On failure returns
    // null and puts a readable reason into *error (when error is not null).
    static std::unique_ptr<VstPlugin> load(const std::string& path, std::string* error);
    static std::unique_ptr<VstPlugin> load(const std::string& path, const Options& options,
                                           std::string* error);

    ~VstPlugin();
    VstPlugin(const VstPlugin&) = delete;
    VstPlugin& operator=(const VstPlugin&) = delete;

    // effClose and dlclose; the object is unusable afterwards. Returns the
    // answer of effClose (1 from a well-behaved module).
    vst::VstIntPtr close();
    bool isOpen() const { return effect_ != nullptr; }

    vst::AEffect* effect() const { return effect_; }
    HostCallback& host() const { return *host_; }
    std::shared_ptr<HostCallback> sharedHost() const { return host_; }
    const std::string& path() const { return path_; }

    vst::VstIntPtr dispatch(vst::int32 opcode, vst::int32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f) const;

    // Record fields.
    int numParams() const { return effect_->numParams; }
    int numPrograms() const { return effect_->numPrograms; }
    int numInputs() const { return effect_->numInputs; }
    int numOutputs() const { return effect_->numOutputs; }
    vst::int32 flags() const { return effect_->flags; }
    int latency() const { return effect_->initialDelay; }  // initialDelay, in samples
    bool canDoubleReplacing() const { return flags() & vst::effFlagsCanDoubleReplacing; }

    EffectIdentity identity() const;
    bool canDo(const std::string& what) const;  // effCanDo answers > 0

    // Parameters.
    float getParameter(int index) const { return effect_->getParameter(effect_, index); }
    void setParameter(int index, float value) const {
        effect_->setParameter(effect_, index, value);
    }
    std::string parameterName(int index) const;
    std::string parameterLabel(int index) const;
    std::string parameterDisplay(int index) const;

    // Programs.
    std::string programName() const;
    std::optional<std::string> programNameIndexed(int index) const;  // null when refused

    // Chunk: a copy of the effect's chunk (empty when it hands none), and
    // handing one back; returns effSetChunk's answer.
    std::vector<std::uint8_t> getChunk(bool isPreset = false) const;
    vst::VstIntPtr setChunk(const std::vector<std::uint8_t>& chunk, bool isPreset = false) const;

    // Set-up, in the order hosts send it before processing.
    void setSampleRate(float rate) const;
    void setBlockSize(int frames) const;
    void setMainsOn(bool on) const;

    // Replacing processing of one block. The arrays hold numInputs() and
    // numOutputs() channel pointers.
    void process(float** inputs, float** outputs, int frames) const {
        effect_->processReplacing(effect_, inputs, outputs, frames);
    }
    void processDouble(double** inputs, double** outputs, int frames) const {
        effect_->processDoubleReplacing(effect_, inputs, outputs, frames);
    }

    // Names of the effects inside a shell module (category kPlugCategShell),
    // with their identifiers; empty for an ordinary module.
    struct ShellEntry {
        vst::int32 id;
        std::string name;
    };
    std::vector<ShellEntry> shellEntries() const;

  private:
    VstPlugin() = default;
    std::string dispatchString(vst::int32 opcode, vst::int32 index) const;

    void* library_ = nullptr;
    vst::AEffect* effect_ = nullptr;
    std::shared_ptr<HostCallback> host_;
    std::string path_;
};

constexpr vst::int32 kPlugCategShell = 10;

// The identifier as four characters ("Kvtr"), unprintable bytes as '.'.
std::string fourCharText(vst::int32 id);

}  // namespace kt
