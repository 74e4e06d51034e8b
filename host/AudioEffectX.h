// The extended host protocol: opcodes 25..79, the extended host callbacks,
// the capability vocabulary and the identity answers. Operations this effect
// does not use keep the neutral answers listed here.
#pragma once

#include "host/AudioEffect.h"

namespace HostCanDos {
inline constexpr const char* canDoSendVstEvents = "sendVstEvents";
inline constexpr const char* canDoSendVstMidiEvent = "sendVstMidiEvent";
inline constexpr const char* canDoSendVstTimeInfo = "sendVstTimeInfo";
inline constexpr const char* canDoReceiveVstEvents = "receiveVstEvents";
inline constexpr const char* canDoReceiveVstMidiEvent = "receiveVstMidiEvent";
inline constexpr const char* canDoReportConnectionChanges = "reportConnectionChanges";
inline constexpr const char* canDoAcceptIOChanges = "acceptIOChanges";
inline constexpr const char* canDoSizeWindow = "sizeWindow";
inline constexpr const char* canDoOffline = "offline";
inline constexpr const char* canDoOpenFileSelector = "openFileSelector";
inline constexpr const char* canDoCloseFileSelector = "closeFileSelector";
inline constexpr const char* canDoStartStopProcess = "startStopProcess";
inline constexpr const char* canDoShellCategory = "shellCategory";
inline constexpr const char* canDoSendVstMidiEventFlagIsRealtime = "sendVstMidiEventFlagIsRealtime";
}  // namespace HostCanDos

namespace PlugCanDos {
inline constexpr const char* canDoSendVstEvents = "sendVstEvents";
inline constexpr const char* canDoSendVstMidiEvent = "sendVstMidiEvent";
inline constexpr const char* canDoReceiveVstEvents = "receiveVstEvents";
inline constexpr const char* canDoReceiveVstMidiEvent = "receiveVstMidiEvent";
inline constexpr const char* canDoReceiveVstTimeInfo = "receiveVstTimeInfo";
inline constexpr const char* canDoOffline = "offline";
inline constexpr const char* canDoMidiProgramNames = "midiProgramNames";
inline constexpr const char* canDoBypass = "bypass";
}  // namespace PlugCanDos

class AudioEffectX : public AudioEffect {
  public:
    using AudioEffect::AudioEffect;

    vst::VstIntPtr dispatcher(vst::int32 opcode, vst::int32 index, vst::VstIntPtr value, void* ptr,
                              float opt) override;
    void resume() override;

    virtual bool canParameterBeAutomated(vst::int32) { return true; }
    virtual bool string2parameter(vst::int32, char*) { return false; }
    virtual bool getParameterProperties(vst::int32, vst::VstParameterProperties*) { return false; }
    virtual bool beginEdit(vst::int32 index);
    virtual bool endEdit(vst::int32 index);
    virtual bool getProgramNameIndexed(vst::int32, vst::int32, char*) { return false; }
    virtual vst::int32 beginSetProgram() { return 0; }
    virtual vst::int32 endSetProgram() { return 0; }
    virtual vst::int32 beginLoadBank(vst::VstPatchChunkInfo*) { return 0; }
    virtual vst::int32 beginLoadProgram(vst::VstPatchChunkInfo*) { return 0; }
    virtual bool ioChanged();
    virtual double updateSampleRate();
    virtual vst::int32 updateBlockSize();
    virtual vst::int32 getInputLatency();
    virtual vst::int32 getOutputLatency();
    virtual bool getInputProperties(vst::int32, vst::VstPinProperties*) { return false; }
    virtual bool getOutputProperties(vst::int32, vst::VstPinProperties*) { return false; }
    virtual bool setSpeakerArrangement(vst::VstSpeakerArrangement*, vst::VstSpeakerArrangement*) {
        return false;
    }
    virtual bool getSpeakerArrangement(vst::VstSpeakerArrangement** in,
                                       vst::VstSpeakerArrangement** out);
    virtual bool setBypass(bool) { return false; }
    virtual bool setPanLaw(vst::int32, float) { return false; }
    virtual bool setProcessPrecision(vst::int32) { return false; }
    virtual vst::int32 getNumMidiInputChannels() { return 0; }
    virtual vst::int32 getNumMidiOutputChannels() { return 0; }
    virtual vst::VstTimeInfo* getTimeInfo(vst::int32 filter);
    virtual vst::int32 getCurrentProcessLevel();
    virtual vst::int32 getAutomationState();
    virtual vst::int32 processEvents(vst::VstEvents*) { return 0; }
    virtual vst::int32 startProcess() { return 0; }
    virtual vst::int32 stopProcess() { return 0; }
    virtual bool processVariableIo(vst::VstVariableIo*) { return false; }
    virtual vst::int32 setTotalSampleToProcess(vst::int32 value) { return value; }
    virtual bool getHostVendorString(char* text);
    virtual bool getHostProductString(char* text);
    virtual vst::int32 getHostVendorVersion();
    virtual vst::VstIntPtr hostVendorSpecific(vst::int32 index, vst::VstIntPtr value, void* ptr,
                                              float opt);
    virtual vst::int32 canHostDo(char* text);
    virtual vst::int32 getHostLanguage();
    virtual void isSynth(bool state) { setFlag(vst::effFlagsIsSynth, state); }
    virtual void noTail(bool state) { setFlag(vst::effFlagsNoSoundInStop, state); }
    virtual vst::int32 getGetTailSize() { return 0; }
    virtual void* getDirectory();
    virtual bool getEffectName(char*) { return false; }
    virtual bool getVendorString(char*) { return false; }
    virtual bool getProductString(char*) { return false; }
    virtual vst::int32 getVendorVersion() { return 0; }
    virtual vst::VstIntPtr vendorSpecific(vst::int32, vst::VstIntPtr, void*, float) { return 0; }
    virtual vst::int32 canDo(char*) { return 0; }
    virtual vst::int32 getVstVersion() { return 2400; }
    virtual vst::int32 getPlugCategory() { return 0; }
    virtual vst::int32 getMidiProgramName(vst::int32, vst::MidiProgramName*) { return 0; }
    virtual vst::int32 getCurrentMidiProgram(vst::int32, vst::MidiProgramName*) { return -1; }
    virtual vst::int32 getMidiProgramCategory(vst::int32, vst::MidiProgramCategory*) { return 0; }
    virtual bool hasMidiProgramsChanged(vst::int32) { return false; }
    virtual bool getMidiKeyName(vst::int32, vst::MidiKeyName*) { return false; }
    virtual bool updateDisplay();
    virtual bool sizeWindow(vst::int32 width, vst::int32 height);
    virtual bool openFileSelector(vst::VstFileSelect* select);
    virtual bool closeFileSelector(vst::VstFileSelect* select);
    virtual vst::int32 getNextShellPlugin(char*) { return 0; }
    virtual bool allocateArrangement(vst::VstSpeakerArrangement**, vst::int32) { return false; }
    virtual bool deallocateArrangement(vst::VstSpeakerArrangement**) { return false; }
    virtual bool copySpeaker(void*, void*) { return false; }
    virtual bool matchArrangement(vst::VstSpeakerArrangement**, vst::VstSpeakerArrangement*) {
        return false;
    }
    virtual bool offlineRead(vst::VstOfflineTask* task, vst::int32 option, bool readSource);
    virtual bool offlineWrite(vst::VstOfflineTask* task, vst::int32 option);
    virtual bool offlineStart(vst::VstAudioFile* files, vst::int32 count, vst::int32 newCount);
    virtual vst::int32 offlineGetCurrentPass();
    virtual vst::int32 offlineGetCurrentMetaPass();
    virtual bool offlineNotify(vst::VstAudioFile*, vst::int32, bool) { return false; }
    virtual bool offlinePrepare(vst::VstOfflineTask*, vst::int32) { return false; }
    virtual bool offlineRun(vst::VstOfflineTask*, vst::int32) { return false; }
    virtual vst::int32 offlineGetNumPasses() { return 0; }
    virtual vst::int32 offlineGetNumMetaPasses() { return 0; }
    virtual void wantEvents(vst::int32 filter);
    virtual vst::int32 tempoAt(vst::int32 position);
    virtual vst::int32 getNumAutomatableParameters();
    virtual vst::int32 getParameterQuantization();
    virtual vst::int32 getNumCategories() { return 1; }
    virtual bool copyProgram(vst::int32) { return false; }
    virtual bool needIdle();
    virtual vst::AEffect* getPreviousPlug(vst::int32 input);
    virtual vst::AEffect* getNextPlug(vst::int32 output);
    virtual void inputConnected(vst::int32, bool) {}
    virtual void outputConnected(vst::int32, bool) {}
    virtual vst::int32 willProcessReplacing();
    virtual void wantAsyncOperation(bool state) { setFlag(vst::effFlagsExtIsAsync, state); }
    virtual void hasExternalBuffer(bool state) { setFlag(vst::effFlagsExtHasBuffer, state); }
    virtual vst::int32 reportCurrentPosition() { return 0; }
    virtual float* reportDestinationBuffer() { return nullptr; }
    virtual void setOutputSamplerate(float rate);
    virtual vst::VstSpeakerArrangement* getInputSpeakerArrangement();
    virtual vst::VstSpeakerArrangement* getOutputSpeakerArrangement();
    virtual bool openWindow(void* window);
    virtual bool closeWindow(void* window);
    virtual void setBlockSizeAndSampleRate(vst::int32 size, float rate) {
        blockSize = size;
        sampleRate = rate;
    }
    virtual bool getErrorText(char*) { return false; }
    virtual void* getIcon() { return nullptr; }
    virtual bool setViewPosition(vst::int32, vst::int32) { return false; }
    virtual vst::int32 fxIdle() { return 0; }
    virtual bool keysRequired() { return false; }
    virtual bool getChunkFile(void* path);

    // Sends events to the host (not part of the slot list; used by no one here).
    bool sendVstEventsToHost(vst::VstEvents* events);

  private:
    vst::VstIntPtr dispatchEditorKeys(vst::int32 opcode, vst::int32 index, vst::VstIntPtr value,
                                      float opt);
};
