#include "plugin/Plugin.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "editor/Editor.h"
#include "engine/parameters.h"
#include "platform/preferences.h"

using namespace vst;
using namespace kt;

Plugin::Plugin(audioMasterCallback audioMaster)
    : CPresetSystemEffect(audioMaster, kNumPresets, kNumParams) {
    // Construction holds the engine lock throughout, so no host call can
    // process a block against a half-built instance.
    kt::EngineLockGuard hold(engine.engineLock(), 0);
    setUniqueID(fourCC('K', 'v', 't', 'r'));
    setNumInputs(2);
    setNumOutputs(2);
    canProcessReplacing(true);
    canDoubleReplacing(true);
    setInitialDelay(engine.latency());
    initPresets();
    loadTamorDefaults();
    new Editor(this);  // the editor's base constructor hands it to setEditor
    limiterEditor()->setMeterSource(this);
    limiterEditor()->setLatency(engine.latency());
    loadDefaults();
    setPresetNo(0);
}

Plugin::~Plugin() {
    // The editor goes first, while the engine and the bank it reads are still
    // alive; the engine's own destructor then waits for any running block.
    kt::EngineLockGuard hold(engine.engineLock(), 0);
    delete editor;
    setEditor(nullptr);
}

Editor* Plugin::limiterEditor() {
    return static_cast<Editor*>(editor);
}

// Resolves the host's channel pointers for the engine: a missing second input
// is the first one again, a missing second output is not written, and a
// missing input is processed as silence (in place in the output).
template <typename Sample>
void Plugin::processBlock(Sample** inputs, Sample** outputs, int32 frames) {
    if (frames <= 0 || !outputs || !outputs[0]) return;
    Sample* outL = outputs[0];
    Sample* outR = isOutputConnected(1) ? outputs[1] : nullptr;
    const Sample* inL = inputs ? inputs[0] : nullptr;
    if (!inL) {
        std::memset(outL, 0, sizeof(Sample) * static_cast<std::size_t>(frames));
        inL = outL;
    }
    const Sample* inR = (inputs && inputs[0] && isInputConnected(1) && inputs[1]) ? inputs[1] : inL;
    engine.process(inL, inR, outL, outR, frames);
}

void Plugin::processReplacing(float** inputs, float** outputs, int32 frames) {
    processBlock(inputs, outputs, frames);
}

void Plugin::processDoubleReplacing(double** inputs, double** outputs, int32 frames) {
    processBlock(inputs, outputs, frames);
}

void Plugin::setParameter(int32 index, float value) {
    // NaN or an infinity (a faulty host or automation lane) would poison the
    // engine's state and the stored preset: the parameter keeps its value.
    if (!std::isfinite(value)) return;
    if (index >= 0 && index < kNumEngineParams)
        engine.setParameter(index, value);
    else if (index == kVersion)
        mapVersions(value);
    if (!isLoadingProgram()) storeInCurrentPreset(index, value);
    if (editor) limiterEditor()->setParameter(index, value);
}

// A preset stored by an older version keeps its old values while the engine
// holds them remapped. The first change made to it upgrades the whole record
// to the engine's values and the current version, so applying it again can
// never remap a value twice. The version itself is stored as the current one
// for the same reason: the engine has just remapped the values.
void Plugin::storeInCurrentPreset(int32 index, float value) {
    kt::PresetRecord& record = preset(getPresetNo());
    const bool oldVersion =
        paramContToLong(record.value(kVersion), kVersionSteps) < kCurrentVersion;
    if (oldVersion && index >= 0 && index < kNumParams) {
        for (int i = 0; i < kNumEngineParams; ++i)
            CPresetSystemEffect::setParameter(i, engine.getParameter(i));
        CPresetSystemEffect::setParameter(kVersion, kCurrentVersionValue);
    }
    if (index == kVersion) value = kCurrentVersionValue;
    CPresetSystemEffect::setParameter(index, value);
}

float Plugin::getParameter(int32 index) {
    if (index >= 0 && index < kNumEngineParams) return engine.getParameter(index);
    if (index == kVersion) return kCurrentVersionValue;
    return CPresetSystemEffect::getParameter(index);
}

// Values stored by versions 0 and 1 are reinterpreted as they are applied.
// A preset applies index 25 last, so every other value is in place here.
void Plugin::mapVersions(float value) {
    const int version = paramContToLong(value, kVersionSteps);
    if (version >= kCurrentVersion) return;
    if (version == 0) {
        setParameter(kAutoblack, paramLongToCont(0, 2));
        const int oldBits = paramContToLong(getParameter(kBits), 4);  // 0 meant no requantizing
        setParameter(kQuantize, paramLongToCont(oldBits == 0 ? 0 : 1, 2));
        setParameter(kBits, paramLongToCont(oldBits == 0 ? 1 : oldBits - 1, 3));
        setParameter(kAttShow, paramLongToCont(7, 8));
        setParameter(kAttZoom, paramLongToCont(0, 2));
        setParameter(kPostMeter, paramLongToCont(1, 2));
        const int oldScale = paramContToLong(getParameter(kScale), 4);  // 0 meant peak metering
        setParameter(kMeterType, paramLongToCont(oldScale == 0 ? 0 : 1, 2));
        setParameter(kScale, paramLongToCont(oldScale == 0 ? 1 : oldScale - 1, 3));
    }
    static constexpr int kBitsFromOld[3] = {0, 2, 4};  // 8, 16, 24 bits
    setParameter(kBits, paramLongToCont(kBitsFromOld[paramContToLong(getParameter(kBits), 3)], 5));
    setParameter(kNoiseShape, paramLongToCont(paramContToLong(getParameter(kNoiseShape), 4), 7));
}

// The metering display settings the editor stores as the user's defaults.
void Plugin::loadTamorDefaults() {
    for (const StoredDisplaySetting& setting : kStoredDisplaySettings) {
        const int steps = paramInfo(setting.index).steps;
        const auto step = kt::prefs::readInt(setting.key);
        // A value no step matches is as good as absent.
        if (step && *step >= 0 && *step < steps)
            setParameter(setting.index, paramLongToCont(*step, steps));
    }
}

void Plugin::getParameterName(int32 index, char* text) {
    if (index >= 0 && index < kNumParams) vst_strncpy(text, paramInfo(index).name.data(), 13);
}

void Plugin::getParameterLabel(int32 index, char* text) {
    if (index < 0 || index >= kNumParams) return;
    const std::string_view label = paramInfo(index).label;
    if (!label.empty()) vst_strncpy(text, label.data(), 7);
}

void Plugin::getParameterDisplay(int32 index, char* text) {
    if (index < 0 || index >= kNumEngineParams) return;
    const float v = engine.getParameter(index);
    const ParamInfo& info = paramInfo(index);
    char buffer[32];
    switch (index) {
        case kOutput:
            std::snprintf(buffer, sizeof buffer, "%+.2f", outputDbFromValue(v));
            break;
        case kDrive:
            std::snprintf(buffer, sizeof buffer, "%+.2f", driveDbFromValue(v));
            break;
        case kTransient:
        case kLink:
            std::snprintf(buffer, sizeof buffer, "%.1f%%", v * 100.0);
            break;
        case kRelease:
            std::snprintf(buffer, sizeof buffer, "%.1f", releaseMsFromValue(v));
            break;
        case kLeveller:
            if (v == 1.0f)
                std::snprintf(buffer, sizeof buffer, "off");
            else
                std::snprintf(buffer, sizeof buffer, "%+.2fdB", outputDbFromValue(v));
            break;
        default: {
            const std::string_view step = info.stepTexts[paramContToLong(v, info.steps)];
            std::snprintf(buffer, sizeof buffer, "%.*s", static_cast<int>(step.size()),
                          step.data());
        }
    }
    vst_strncpy(text, buffer, 13);  // hosts are relied on for 14 bytes
}

bool Plugin::getParameterProperties(int32 index, VstParameterProperties* p) {
    struct Steps {
        float step, small, large;
    };
    auto stepsOf = [](int i) -> Steps {
        switch (i) {
            case kOutput:
            case kLeveller:
                return {1.0f / 24, 1.0f / 240, 1.0f / 24};
            case kDrive:
                return {1.0f / 96, 1.0f / 960, 1.0f / 96};
            case kTransient:
            case kRelease:
            case kLink:
                return {5.0f, 5.0f, 5.0f};
            case kTransShape:
            case kScale:
                return {0.5f, 0.5f, 0.5f};
            case kBits:
                return {0.25f, 0.25f, 0.25f};
            case kNoiseShape:
                return {1.0f / 6, 1.0f / 6, 1.0f / 6};
            case kCalibrate:
                return {10.0f / 3, 10.0f / 3, 10.0f / 3};
            case kAttShow:
                return {10.0f / 7, 10.0f / 7, 10.0f / 7};
            default:
                return {1.0f, 1.0f, 1.0f};  // the two-step switches
        }
    };
    if (index == kVersion) {
        p->flags = kVstParameterUsesFloatStep;
        p->stepFloat = 0.0001f;
        return true;
    }
    if (index < 0 || index >= kNumEngineParams) return false;
    const ParamInfo& info = paramInfo(index);
    const bool isSwitch = info.kind == ParamKind::Stepped && info.steps == 2;
    p->flags = kVstParameterUsesFloatStep | (isSwitch ? kVstParameterIsSwitch : 0);
    vst_strncpy(p->label, info.name.data(), sizeof(p->label) - 1);
    vst_strncpy(p->shortLabel, info.name.data(), 7);
    const Steps s = stepsOf(index);
    p->stepFloat = s.step;
    p->smallStepFloat = s.small;
    p->largeStepFloat = s.large;
    return true;
}

void Plugin::setSampleRate(float rate) {
    AudioEffect::setSampleRate(rate);
    reportLatency(engine.setSampleRate(getSampleRate()));
}

void Plugin::reportLatency(int samples) {
    setInitialDelay(samples);
    if (editor) limiterEditor()->setLatency(samples);
}

void Plugin::suspend() {
    engine.suspend();
}

void Plugin::getMeters(float* inPeakL, float* inPeakR, float* outPeakL, float* outPeakR,
                       float* inRmsL, float* inRmsR, float* outRmsL, float* outRmsR, float* gainL,
                       float* gainR) {
    float m[10];
    engine.getMeters(m);
    float* out[10] = {inPeakL, inPeakR, outPeakL, outPeakR, inRmsL,
                      inRmsR,  outRmsL, outRmsR,  gainL,    gainR};
    for (int i = 0; i < 10; ++i)
        if (out[i]) *out[i] = m[i];
}

bool Plugin::getEffectName(char* name) {
    vst_strncpy(name, "Kav Tamor", 31);
    return true;
}

bool Plugin::getVendorString(char* text) {
    vst_strncpy(text, "Kav Tamor Audio", 63);
    return true;
}

bool Plugin::getProductString(char* text) {
    vst_strncpy(text, "Full band precision limiter", 63);
    return true;
}
