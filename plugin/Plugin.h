// The Kav Tamor effect: the parameter model, the host-facing processing entry
// points and identity, on top of the preset bank. The signal path itself lives
// in kt::LimiterEngine, the window in Editor.
//
// Threads: the host calls the processing entry points from its audio thread,
// the editor and file operations from its user-interface thread, and
// setParameter, getParameter, the displays and the chunk from either.
#pragma once

#include "editor/meter_source.h"
#include "engine/limiter_engine.h"
#include "presets/CPresetSystemEffect.h"

class Editor;

class Plugin : public CPresetSystemEffect, public kt::MeterSource {
  public:
    explicit Plugin(vst::audioMasterCallback audioMaster);
    ~Plugin() override;

    // Audio thread. Each block asks the host whether the second input and
    // output are connected (audioMasterPinConnected), then runs the engine
    // under its lock; a block that cannot get the lock in time is silence.
    void processReplacing(float** inputs, float** outputs, vst::int32 frames) override;
    void processDoubleReplacing(double** inputs, double** outputs, vst::int32 frames) override;

    // Any thread. The one way a value enters the engine, whatever its source:
    // it updates the engine, the current preset (unless a preset is being
    // applied) and the editor's controls.
    void setParameter(vst::int32 index, float value) override;
    float getParameter(vst::int32 index) override;
    void getParameterName(vst::int32 index, char* text) override;
    void getParameterLabel(vst::int32 index, char* text) override;
    void getParameterDisplay(vst::int32 index, char* text) override;
    bool getParameterProperties(vst::int32 index, vst::VstParameterProperties* p) override;

    // The host's dispatcher thread; both wait for the engine lock.
    void setSampleRate(float rate) override;
    void suspend() override;
    void resume() override {}

    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    vst::int32 getVendorVersion() override { return 1510; }
    vst::int32 getVstVersion() override { return 2400; }
    vst::int32 getPlugCategory() override { return vst::kPlugCategMastering; }
    bool isDummy(int) override { return false; }
    bool isDummyOld(int) override { return false; }

    // The editor's idle pass (user-interface thread): the ten meter readings
    // (see LimiterEngine::getMeters); takes no lock.
    void getMeters(float* inPeakL, float* inPeakR, float* outPeakL, float* outPeakR, float* inRmsL,
                   float* inRmsR, float* outRmsL, float* outRmsR, float* gainL,
                   float* gainR) override;
    virtual int getProcessType() { return engine.rateShift(); }

    kt::LimiterEngine& limiter() { return engine; }

  private:
    template <typename Sample>
    void processBlock(Sample** inputs, Sample** outputs, vst::int32 frames);
    void mapVersions(float value);
    void storeInCurrentPreset(vst::int32 index, float value);
    void loadTamorDefaults();
    void reportLatency(int samples);
    Editor* limiterEditor();

    kt::LimiterEngine engine;
};
