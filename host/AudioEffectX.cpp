#include "host/AudioEffectX.h"

#include "host/AEffEditor.h"

using namespace vst;

VstIntPtr AudioEffectX::dispatcher(int32 opcode, int32 index, VstIntPtr value, void* ptr,
                                   float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
        case effProcessEvents:
            return processEvents(static_cast<VstEvents*>(ptr));
        case effCanBeAutomated:
            return canParameterBeAutomated(index) ? 1 : 0;
        case effString2Parameter:
            return string2parameter(index, text) ? 1 : 0;
        case effGetNumProgramCategories:
            return getNumCategories();
        case effGetProgramNameIndexed:
            return text ? (getProgramNameIndexed(static_cast<int32>(value), index, text) ? 1 : 0)
                        : 0;
        case effCopyProgram:
            return copyProgram(index) ? 1 : 0;
        case effConnectInput:
            inputConnected(index, value != 0);
            return 1;
        case effConnectOutput:
            outputConnected(index, value != 0);
            return 1;
        case effGetInputProperties:
            return getInputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetOutputProperties:
            return getOutputProperties(index, static_cast<VstPinProperties*>(ptr)) ? 1 : 0;
        case effGetPlugCategory:
            return getPlugCategory();
        case effGetCurrentPosition:
            return reportCurrentPosition();
        case effGetDestinationBuffer:
            return reinterpret_cast<VstIntPtr>(reportDestinationBuffer());
        case effOfflineNotify:
            return offlineNotify(static_cast<VstAudioFile*>(ptr), static_cast<int32>(value),
                                 index != 0);
        case effOfflinePrepare:
            return offlinePrepare(static_cast<VstOfflineTask*>(ptr), static_cast<int32>(value));
        case effOfflineRun:
            return offlineRun(static_cast<VstOfflineTask*>(ptr), static_cast<int32>(value));
        case effProcessVarIo:
            return processVariableIo(static_cast<VstVariableIo*>(ptr));
        case effSetSpeakerArrangement:
            return setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                         static_cast<VstSpeakerArrangement*>(ptr));
        case effSetBlockSizeAndSampleRate:
            setBlockSizeAndSampleRate(static_cast<int32>(value), opt);
            return 1;
        case effSetBypass:
            return setBypass(value != 0) ? 1 : 0;
        case effGetEffectName:
            return text ? (getEffectName(text) ? 1 : 0) : 0;
        case effGetErrorText:
            return text ? (getErrorText(text) ? 1 : 0) : 0;
        case effGetVendorString:
            return text ? (getVendorString(text) ? 1 : 0) : 0;
        case effGetProductString:
            return text ? (getProductString(text) ? 1 : 0) : 0;
        case effGetVendorVersion:
            return getVendorVersion();
        case effVendorSpecific:
            return vendorSpecific(index, value, ptr, opt);
        case effCanDo:
            return text ? canDo(text) : 0;
        case effGetTailSize:
            return getGetTailSize();
        case effIdle:
            return fxIdle();
        case effGetIcon:
            return reinterpret_cast<VstIntPtr>(getIcon());
        case effSetViewPosition:
            return setViewPosition(index, static_cast<int32>(value)) ? 1 : 0;
        case effGetParameterProperties:
            return ptr ? (getParameterProperties(index, static_cast<VstParameterProperties*>(ptr))
                              ? 1
                              : 0)
                       : 0;
        case effKeysRequired:
            return keysRequired() ? 0 : 1;
        case effGetVstVersion:
            return getVstVersion();
        case effEditKeyDown:
        case effEditKeyUp:
        case effSetEditKnobMode:
            return dispatchEditorKeys(opcode, index, value, opt);
        case effGetMidiProgramName:
            return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
        case effGetCurrentMidiProgram:
            return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
        case effGetMidiProgramCategory:
            return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
        case effHasMidiProgramsChanged:
            return hasMidiProgramsChanged(index) ? 1 : 0;
        case effGetMidiKeyName:
            return getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)) ? 1 : 0;
        case effBeginSetProgram:
            return beginSetProgram();
        case effEndSetProgram:
            return endSetProgram();
        case effGetSpeakerArrangement:
            return getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                         static_cast<VstSpeakerArrangement**>(ptr))
                       ? 1
                       : 0;
        case effShellGetNextPlugin:
            return text ? getNextShellPlugin(text) : 0;
        case effStartProcess:
            return startProcess();
        case effStopProcess:
            return stopProcess();
        case effSetTotalSampleToProcess:
            return setTotalSampleToProcess(static_cast<int32>(value));
        case effSetPanLaw:
            return setPanLaw(static_cast<int32>(value), opt) ? 1 : 0;
        case effBeginLoadBank:
            return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
        case effBeginLoadProgram:
            return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
        case effSetProcessPrecision:
            return setProcessPrecision(static_cast<int32>(value)) ? 1 : 0;
        case effGetNumMidiInputChannels:
            return getNumMidiInputChannels();
        case effGetNumMidiOutputChannels:
            return getNumMidiOutputChannels();
        default:
            return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

VstIntPtr AudioEffectX::dispatchEditorKeys(int32 opcode, int32 index, VstIntPtr value, float opt) {
    if (!editor) return 0;
    if (opcode == effSetEditKnobMode) return editor->setKnobMode(static_cast<int32>(value)) ? 1 : 0;
    VstKeyCode key{};
    key.character = index;
    key.virt = static_cast<unsigned char>(value & 0xff);
    key.modifier = static_cast<unsigned char>(static_cast<int32>(opt) & 0xff);
    const bool handled = opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
    return handled ? 1 : 0;
}

// Asking for MIDI on resume is what the general protocol does; effects that
// want no MIDI override this.
void AudioEffectX::resume() {
    if (canDo(const_cast<char*>(PlugCanDos::canDoReceiveVstMidiEvent)) == 1) wantEvents(1);
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out) {
    if (in) *in = nullptr;
    if (out) *out = nullptr;
    return false;
}

bool AudioEffectX::beginEdit(int32 index) {
    return callHost(audioMasterBeginEdit, index) != 0;
}
bool AudioEffectX::endEdit(int32 index) {
    return callHost(audioMasterEndEdit, index) != 0;
}
bool AudioEffectX::ioChanged() {
    return callHost(audioMasterIOChanged) != 0;
}

double AudioEffectX::updateSampleRate() {
    const VstIntPtr rate = callHost(audioMasterGetSampleRate);
    if (rate > 0) sampleRate = static_cast<float>(rate);
    return sampleRate;
}

int32 AudioEffectX::updateBlockSize() {
    const VstIntPtr size = callHost(audioMasterGetBlockSize);
    if (size > 0) blockSize = static_cast<int32>(size);
    return blockSize;
}

int32 AudioEffectX::getInputLatency() {
    return static_cast<int32>(callHost(audioMasterGetInputLatency));
}
int32 AudioEffectX::getOutputLatency() {
    return static_cast<int32>(callHost(audioMasterGetOutputLatency));
}
VstTimeInfo* AudioEffectX::getTimeInfo(int32 filter) {
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}
int32 AudioEffectX::getCurrentProcessLevel() {
    return static_cast<int32>(callHost(audioMasterGetCurrentProcessLevel));
}
int32 AudioEffectX::getAutomationState() {
    return static_cast<int32>(callHost(audioMasterGetAutomationState));
}
bool AudioEffectX::getHostVendorString(char* text) {
    return callHost(audioMasterGetVendorString, 0, 0, text) != 0;
}
bool AudioEffectX::getHostProductString(char* text) {
    return callHost(audioMasterGetProductString, 0, 0, text) != 0;
}
int32 AudioEffectX::getHostVendorVersion() {
    return static_cast<int32>(callHost(audioMasterGetVendorVersion));
}
VstIntPtr AudioEffectX::hostVendorSpecific(int32 index, VstIntPtr value, void* ptr, float opt) {
    return callHost(audioMasterVendorSpecific, index, value, ptr, opt);
}
int32 AudioEffectX::canHostDo(char* text) {
    return callHost(audioMasterCanDo, 0, 0, text) != 0 ? 1 : 0;
}
int32 AudioEffectX::getHostLanguage() {
    return static_cast<int32>(callHost(audioMasterGetLanguage));
}
void* AudioEffectX::getDirectory() {
    return reinterpret_cast<void*>(callHost(audioMasterGetDirectory));
}
bool AudioEffectX::updateDisplay() {
    return callHost(audioMasterUpdateDisplay) != 0;
}
bool AudioEffectX::sizeWindow(int32 width, int32 height) {
    return callHost(audioMasterSizeWindow, width, height) != 0;
}
bool AudioEffectX::openFileSelector(VstFileSelect* select) {
    return callHost(audioMasterOpenFileSelector, 0, 0, select) != 0;
}
bool AudioEffectX::closeFileSelector(VstFileSelect* select) {
    return callHost(audioMasterCloseFileSelector, 0, 0, select) != 0;
}
bool AudioEffectX::offlineRead(VstOfflineTask* task, int32 option, bool readSource) {
    return callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, task) != 0;
}
bool AudioEffectX::offlineWrite(VstOfflineTask* task, int32 option) {
    return callHost(audioMasterOfflineWrite, 0, option, task) != 0;
}
bool AudioEffectX::offlineStart(VstAudioFile* files, int32 count, int32 newCount) {
    return callHost(audioMasterOfflineStart, newCount, count, files) != 0;
}
int32 AudioEffectX::offlineGetCurrentPass() {
    return callHost(audioMasterOfflineGetCurrentPass) != 0 ? 1 : 0;
}
int32 AudioEffectX::offlineGetCurrentMetaPass() {
    return callHost(audioMasterOfflineGetCurrentMetaPass) != 0 ? 1 : 0;
}
void AudioEffectX::wantEvents(int32 filter) {
    callHost(audioMasterWantMidi, 0, filter);
}
int32 AudioEffectX::tempoAt(int32 position) {
    return static_cast<int32>(callHost(audioMasterTempoAt, 0, position));
}
int32 AudioEffectX::getNumAutomatableParameters() {
    return static_cast<int32>(callHost(audioMasterGetNumAutomatableParameters));
}
int32 AudioEffectX::getParameterQuantization() {
    return static_cast<int32>(callHost(audioMasterGetParameterQuantization));
}
bool AudioEffectX::needIdle() {
    return callHost(audioMasterNeedIdle) != 0;
}
AEffect* AudioEffectX::getPreviousPlug(int32 input) {
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetPreviousPlug, 0, input));
}
AEffect* AudioEffectX::getNextPlug(int32 output) {
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetNextPlug, 0, output));
}
int32 AudioEffectX::willProcessReplacing() {
    return static_cast<int32>(callHost(audioMasterWillReplaceOrAccumulate));
}
void AudioEffectX::setOutputSamplerate(float rate) {
    callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate);
}
VstSpeakerArrangement* AudioEffectX::getInputSpeakerArrangement() {
    return reinterpret_cast<VstSpeakerArrangement*>(
        callHost(audioMasterGetInputSpeakerArrangement));
}
VstSpeakerArrangement* AudioEffectX::getOutputSpeakerArrangement() {
    return reinterpret_cast<VstSpeakerArrangement*>(
        callHost(audioMasterGetOutputSpeakerArrangement));
}
bool AudioEffectX::openWindow(void* window) {
    return callHost(audioMasterOpenWindow, 0, 0, window) != 0;
}
bool AudioEffectX::closeWindow(void* window) {
    return callHost(audioMasterCloseWindow, 0, 0, window) != 0;
}
bool AudioEffectX::getChunkFile(void* path) {
    return callHost(audioMasterGetChunkFile, 0, 0, path) != 0;
}
bool AudioEffectX::sendVstEventsToHost(VstEvents* events) {
    return callHost(audioMasterProcessEvents, 0, 0, events) == 1;
}
