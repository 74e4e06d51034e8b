// The base effect class: it owns the effect record the host keeps, answers the
// core dispatcher opcodes (0..24) and makes the basic host callbacks.
//
// Threads: the host calls the dispatcher, setParameter and getParameter from
// whichever threads it likes, and the processing functions from its audio
// thread. This layer adds no locking; the engine locks where it must.
#pragma once

#include "vst/vst_abi.h"

class AEffEditor;

class AudioEffect {
  public:
    AudioEffect(vst::audioMasterCallback audioMaster, int numPrograms, int numParams);
    virtual ~AudioEffect();  // deletes the editor object

    virtual vst::VstIntPtr dispatcher(vst::int32 opcode, vst::int32 index, vst::VstIntPtr value,
                                      void* ptr, float opt);
    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(vst::int32 size) { blockSize = size; }
    virtual void processReplacing(float** inputs, float** outputs, vst::int32 frames) = 0;
    virtual void processDoubleReplacing(double**, double**, vst::int32) {}
    virtual void setParameter(vst::int32, float) {}
    virtual float getParameter(vst::int32) { return 0.0f; }
    virtual void setParameterAutomated(vst::int32 index, float value);
    virtual vst::int32 getProgram() { return curProgram; }
    virtual void setProgram(vst::int32 program) { curProgram = program; }
    virtual void setProgramName(char*) {}
    virtual void getProgramName(char* name) { *name = 0; }
    virtual void getParameterLabel(vst::int32, char* label) { *label = 0; }
    virtual void getParameterDisplay(vst::int32, char* text) { *text = 0; }
    virtual void getParameterName(vst::int32, char* text) { *text = 0; }
    virtual vst::int32 getChunk(void**, bool) { return 0; }
    virtual vst::int32 setChunk(void*, vst::int32, bool) { return 0; }
    virtual void setUniqueID(vst::int32 id) { cEffect.uniqueID = id; }
    virtual void setNumInputs(vst::int32 n) { cEffect.numInputs = n; }
    virtual void setNumOutputs(vst::int32 n) { cEffect.numOutputs = n; }
    virtual void canProcessReplacing(bool state) { setFlag(vst::effFlagsCanReplacing, state); }
    virtual void canDoubleReplacing(bool state) { setFlag(vst::effFlagsCanDoubleReplacing, state); }
    virtual void programsAreChunks(bool state) { setFlag(vst::effFlagsProgramChunks, state); }
    virtual void setInitialDelay(vst::int32 delay) { cEffect.initialDelay = delay; }
    virtual AEffEditor* getEditor() { return editor; }
    virtual vst::AEffect* getAeffect() { return &cEffect; }
    virtual float getSampleRate() { return sampleRate; }
    virtual vst::int32 getBlockSize() { return blockSize; }
    virtual vst::int32 getMasterVersion();
    virtual vst::int32 getCurrentUniqueId();
    virtual void masterIdle();
    virtual bool isInputConnected(vst::int32 input);
    virtual bool isOutputConnected(vst::int32 output);
    virtual void dB2string(float value, char* text, vst::int32 maxLen);
    virtual void Hz2string(float samples, char* text, vst::int32 maxLen);
    virtual void ms2string(float samples, char* text, vst::int32 maxLen);
    virtual void float2string(float value, char* text, vst::int32 maxLen);
    virtual void int2string(float value, char* text, vst::int32 maxLen);
    virtual void process(float**, float**, vst::int32) {}
    virtual float getVu() { return 0.0f; }
    virtual void hasVu(bool state) { setFlag(vst::effFlagsHasVu, state); }
    virtual void hasClip(bool state) { setFlag(vst::effFlagsHasClip, state); }
    virtual void canMono(bool state) { setFlag(vst::effFlagsCanMono, state); }
    virtual void setRealtimeQualities(vst::int32 q) { cEffect.realQualities = q; }
    virtual void setOfflineQualities(vst::int32 q) { cEffect.offQualities = q; }

    // Takes ownership of the editor object and sets or clears effFlagsHasEditor.
    void setEditor(AEffEditor* newEditor);

  protected:
    void setFlag(vst::int32 flag, bool state);
    // Calls the host, or answers 0 when there is no host callback.
    vst::VstIntPtr callHost(vst::int32 opcode, vst::int32 index = 0, vst::VstIntPtr value = 0,
                            void* ptr = nullptr, float opt = 0.0f);

    vst::audioMasterCallback audioMaster;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.0f;
    vst::int32 blockSize = 1024;
    vst::int32 numPrograms;
    vst::int32 numParams;
    vst::int32 curProgram = 0;
    vst::AEffect cEffect;

  private:
    vst::VstIntPtr dispatchEditor(vst::int32 opcode, vst::int32 index, vst::VstIntPtr value,
                                  void* ptr);
};

// Writes `text` into `dst` cut to maxLen characters and terminated (dst holds
// maxLen + 1 bytes).
void vst_strncpy(char* dst, const char* text, int maxLen);
