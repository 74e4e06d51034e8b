// The bank of 27 presets kept inside the effect. The host is told of one
// program only; the bank is switched from the editor's preset bar and travels
// to the host's project as one chunk.
//
// Threads: setParameter may arrive from any thread (it only stores an atomic
// word into the current preset); the other operations run on the host's
// user-interface or dispatcher thread.
#pragma once

#include <atomic>
#include <memory>

#include "host/AudioEffectX.h"
#include "presets/CPresetSystemEditorInterface.h"
#include "presets/preset_codec.h"
#include "presets/preset_record.h"

class CPresetSystemEffect : public AudioEffectX {
  public:
    CPresetSystemEffect(vst::audioMasterCallback audioMaster, int numPresets, int numParams);
    ~CPresetSystemEffect() override;

    void setParameter(vst::int32 index, float value) override;
    float getParameter(vst::int32 index) override;
    vst::int32 getProgram() override { return 0; }
    void setProgram(vst::int32) override {}
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(vst::int32 category, vst::int32 index, char* text) override;
    vst::int32 getChunk(void** data, bool isPreset) override;
    vst::int32 setChunk(void* data, vst::int32 size, bool isPreset) override;
    vst::int32 processEvents(vst::VstEvents*) override { return 0; }
    vst::int32 canDo(char*) override { return 0; }
    void resume() override {}

    virtual int getPresetNo() { return currentPreset.load(std::memory_order_relaxed); }
    virtual void setPresetNo(int n);
    virtual void setPresetName(const char* name);
    // MIDI learn is part of the interface but does nothing in this effect.
    virtual void attachMidi(int, int) {}
    virtual void detachMidiParam(int) {}
    virtual void detachMidiCC(int) {}
    virtual int getMidiCC(int) { return 0; }
    virtual int getMidiParam(int) { return 0; }
    virtual int getMidiActivity() { return 0; }
    virtual void beginLearn() {}
    virtual void endLearn() {}
    virtual void setLearnParam(int) {}
    virtual void beginCancel() {}
    virtual void endCancel() {}
    virtual int getUniqueID() { return cEffect.uniqueID; }
    virtual void initializePreset(int n);
    virtual bool isDummy(int) { return false; }
    virtual bool isDummyOld(int) { return false; }
    virtual void loadDefaults();
    virtual void initPresets();
    virtual void initMidi() {}

    // The store, for the editor's file layer.
    kt::PresetRecord& preset(int n) { return bank[n]; }
    kt::PresetRecord& presetTemplate() { return templatePreset; }
    int numberOfPresets() const { return kt::kNumPresets; }
    bool isLoadingProgram() const { return loadingProgram.load(std::memory_order_relaxed); }
    // The store's own image code: the chunk's while there is no editor; it
    // shows nothing.
    kt::PresetImageCodec& storeCodec() { return ownCodec; }

  protected:
    // The editor's preset layer, or null while the effect has no editor.
    CPresetSystemEditorInterface* presetEditor();
    // The old chunk format, read in place from the host's bytes.
    vst::int32 setChunkOld(const unsigned char* data, vst::int32 size, bool isPreset, bool swapped);

    std::unique_ptr<kt::PresetRecord[]> bank;
    kt::PresetRecord templatePreset;
    std::unique_ptr<unsigned char[]> chunkBuffer;
    // The store's own image code, for the chunk while there is no editor.
    kt::PresetImageCodec ownCodec{*this, kt::noPresetDisplay()};
    std::atomic<int> currentPreset{0};
    std::atomic<bool> loadingProgram{false};
};
