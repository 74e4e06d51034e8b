#include "host/AudioEffect.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "host/AEffEditor.h"

using namespace vst;

namespace {

// The trampolines stored in the record; each finds its object through `object`.
AudioEffect* self(AEffect* e) {
    return static_cast<AudioEffect*>(e->object);
}

VstIntPtr dispatchEffectClass(AEffect* e, int32 opcode, int32 index, VstIntPtr value, void* ptr,
                              float opt) {
    AudioEffect* effect = self(e);
    if (opcode == effClose) {
        effect->dispatcher(opcode, index, value, ptr, opt);
        delete effect;
        return 1;
    }
    return effect->dispatcher(opcode, index, value, ptr, opt);
}

float getParameterClass(AEffect* e, int32 index) {
    return self(e)->getParameter(index);
}

void setParameterClass(AEffect* e, int32 index, float value) {
    self(e)->setParameter(index, value);
}

void processClass(AEffect* e, float** inputs, float** outputs, int32 frames) {
    self(e)->process(inputs, outputs, frames);
}

void processClassReplacing(AEffect* e, float** inputs, float** outputs, int32 frames) {
    self(e)->processReplacing(inputs, outputs, frames);
}

void processClassDoubleReplacing(AEffect* e, double** inputs, double** outputs, int32 frames) {
    self(e)->processDoubleReplacing(inputs, outputs, frames);
}

}  // namespace

void vst_strncpy(char* dst, const char* text, int maxLen) {
    if (!dst) return;
    std::size_t n = std::strlen(text);
    if (maxLen >= 0 && n > static_cast<std::size_t>(maxLen)) n = static_cast<std::size_t>(maxLen);
    std::memcpy(dst, text, n);
    dst[n] = 0;
}

AudioEffect::AudioEffect(audioMasterCallback audioMaster, int numPrograms, int numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams) {
    std::memset(&cEffect, 0, sizeof(cEffect));
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEffectClass;
    cEffect.process = processClass;
    cEffect.setParameter = setParameterClass;
    cEffect.getParameter = getParameterClass;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = fourCC('N', 'o', 'E', 'f');
    cEffect.version = 1;
    cEffect.processReplacing = processClassReplacing;
    cEffect.processDoubleReplacing = processClassDoubleReplacing;
}

AudioEffect::~AudioEffect() {
    delete editor;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

void AudioEffect::setFlag(int32 flag, bool state) {
    if (state)
        cEffect.flags |= flag;
    else
        cEffect.flags &= ~flag;
}

VstIntPtr AudioEffect::callHost(int32 opcode, int32 index, VstIntPtr value, void* ptr, float opt) {
    return audioMaster ? audioMaster(&cEffect, opcode, index, value, ptr, opt) : 0;
}

VstIntPtr AudioEffect::dispatcher(int32 opcode, int32 index, VstIntPtr value, void* ptr,
                                  float opt) {
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
        case effOpen:
            open();
            return 0;
        case effClose:
            close();
            return 0;
        case effSetProgram:
            if (value < numPrograms) setProgram(static_cast<int32>(value));
            return 0;
        case effGetProgram:
            return getProgram();
        case effSetProgramName:
            if (text) setProgramName(text);
            return 0;
        case effGetProgramName:
            if (text) getProgramName(text);
            return 0;
        case effGetParamLabel:
            if (text) getParameterLabel(index, text);
            return 0;
        case effGetParamDisplay:
            if (text) getParameterDisplay(index, text);
            return 0;
        case effGetParamName:
            if (text) getParameterName(index, text);
            return 0;
        case effGetVu:
            return static_cast<VstIntPtr>(getVu() * 32767.0f);
        case effSetSampleRate:
            setSampleRate(opt);
            return 0;
        case effSetBlockSize:
            setBlockSize(static_cast<int32>(value));
            return 0;
        case effMainsChanged:
            if (value)
                resume();
            else
                suspend();
            return 0;
        case effIdentify:
            return fourCC('N', 'v', 'E', 'f');
        case effGetChunk:
            return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
        case effSetChunk:
            return setChunk(ptr, static_cast<int32>(value), index != 0);
        default:
            if (opcode >= effEditGetRect && opcode <= effEditSleep)
                return dispatchEditor(opcode, index, value, ptr);
            return 0;
    }
}

VstIntPtr AudioEffect::dispatchEditor(int32 opcode, int32 index, VstIntPtr value, void* ptr) {
    if (!editor) return 0;
    switch (opcode) {
        case effEditGetRect:
            return ptr ? editor->getRect(static_cast<ERect**>(ptr)) : 0;
        case effEditOpen:
            return editor->open(ptr);
        case effEditClose:
            editor->close();
            return 0;
        case effEditDraw:
            editor->draw(static_cast<ERect*>(ptr));
            return 0;
        case effEditMouse:
            return editor->mouse(index, static_cast<int32>(value));
        case effEditKey:
            return editor->key(static_cast<int32>(value));
        case effEditIdle:
            editor->idle();
            return 0;
        case effEditTop:
            editor->top();
            return 0;
        case effEditSleep:
            editor->sleep();
            return 0;
        default:
            return 0;
    }
}

void AudioEffect::setParameterAutomated(int32 index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

int32 AudioEffect::getMasterVersion() {
    if (!audioMaster) return 1;
    const VstIntPtr version = callHost(audioMasterVersion);
    return version ? static_cast<int32>(version) : 1;
}

int32 AudioEffect::getCurrentUniqueId() {
    return static_cast<int32>(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle() {
    callHost(audioMasterIdle);
}

bool AudioEffect::isInputConnected(int32 input) {
    return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected(int32 output) {
    return callHost(audioMasterPinConnected, output, 1) == 0;
}
