// The effect record and the dispatcher's fixed answers, seen from a host.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "tests/support/module_fixture.h"

using namespace vst;
using kt::test::ModuleTest;

namespace {

TEST_F(ModuleTest, RecordHoldsTheAnnouncedIdentityAndCounts) {
    const AEffect* e = plugin->effect();
    EXPECT_EQ(e->magic, kEffectMagic);
    EXPECT_EQ(e->numPrograms, 1);
    EXPECT_EQ(e->numParams, 26);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags, 4145);
    EXPECT_EQ(e->initialDelay, 159);
    EXPECT_EQ(e->uniqueID, fourCC('K', 'v', 't', 'r'));
    EXPECT_EQ(e->version, 1);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_EQ(e->resvd1, 0);
    EXPECT_EQ(e->resvd2, 0);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_NE(e->processDoubleReplacing, nullptr);
    EXPECT_NE(e->process, nullptr);
    for (char c : e->future) EXPECT_EQ(c, 0);
}

TEST_F(ModuleTest, FixedDispatcherAnswers) {
    EXPECT_EQ(plugin->dispatch(effIdentify), fourCC('N', 'v', 'E', 'f'));
    EXPECT_EQ(plugin->dispatch(effGetVu), 0);
    EXPECT_EQ(plugin->dispatch(effGetProgram), 0);
    EXPECT_EQ(plugin->dispatch(effSetProgram, 0, 1), 0);
    EXPECT_EQ(plugin->dispatch(effGetProgram), 0);
    EXPECT_EQ(plugin->dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(plugin->dispatch(effGetVendorVersion), 1510);
    EXPECT_EQ(plugin->dispatch(effGetPlugCategory), 4);
    EXPECT_EQ(plugin->dispatch(effKeysRequired), 1);
    EXPECT_EQ(plugin->dispatch(effCanBeAutomated, 3), 1);
    EXPECT_EQ(plugin->dispatch(effGetNumProgramCategories), 1);
    EXPECT_EQ(plugin->dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(plugin->dispatch(effSetTotalSampleToProcess, 0, 4321), 4321);
    EXPECT_EQ(plugin->dispatch(effConnectInput, 1, 0), 1);
    EXPECT_EQ(plugin->dispatch(effConnectOutput, 1, 0), 1);
    EXPECT_EQ(plugin->dispatch(effGetTailSize), 0);
    EXPECT_EQ(plugin->dispatch(effSetBypass, 0, 1), 0);
    EXPECT_EQ(plugin->dispatch(effProcessEvents), 0);
    EXPECT_EQ(plugin->dispatch(effString2Parameter, 0, 0, nullptr), 0);
    EXPECT_EQ(plugin->dispatch(200), 0);  // unknown opcodes
    EXPECT_EQ(plugin->dispatch(-1), 0);
}

TEST_F(ModuleTest, ClaimsNoCapability) {
    for (const char* what : {"bypass", "receiveVstMidiEvent", "sendVstEvents", "offline", "x"})
        EXPECT_EQ(plugin->dispatch(effCanDo, 0, 0, const_cast<char*>(what)), 0) << what;
}

TEST_F(ModuleTest, IdentityTexts) {
    const kt::EffectIdentity id = plugin->identity();
    EXPECT_EQ(id.name, "Kav Tamor");
    EXPECT_EQ(id.product, "Full band precision limiter");
    EXPECT_FALSE(id.vendor.empty());
    EXPECT_LE(id.vendor.size(), 63u);
}

TEST_F(ModuleTest, SpeakerArrangementAnswersNullPointers) {
    int dummy = 0;
    void* in = &dummy;
    void* out = &dummy;
    EXPECT_EQ(plugin->dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out),
              0);
    EXPECT_EQ(in, nullptr);
    EXPECT_EQ(out, nullptr);
}

TEST_F(ModuleTest, LatencyFollowsOnlyTheSampleRateOpcode) {
    EXPECT_EQ(plugin->dispatch(effSetBlockSizeAndSampleRate, 0, 512, nullptr, 96000.0f), 1);
    EXPECT_EQ(plugin->latency(), 159);
    plugin->setSampleRate(96000.0f);
    EXPECT_EQ(plugin->latency(), 287);
    plugin->setSampleRate(192000.0f);
    EXPECT_EQ(plugin->latency(), 543);
    plugin->setSampleRate(250000.0f);  // out of range counts as 44100
    EXPECT_EQ(plugin->latency(), 159);
    plugin->setSampleRate(80000.0f);
    EXPECT_EQ(plugin->latency(), 287);
}

TEST_F(ModuleTest, EditorRectangleBeforeOpen) {
    ERect* rect = nullptr;
    EXPECT_EQ(plugin->dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 462);
    EXPECT_EQ(rect->right, 524);
    // Editor requests without a window do nothing and report nothing handled.
    EXPECT_EQ(plugin->dispatch(effEditIdle), 0);
    EXPECT_EQ(plugin->dispatch(effEditDraw, 0, 0, nullptr), 0);
    EXPECT_EQ(plugin->dispatch(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(plugin->dispatch(effEditKeyUp, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(plugin->dispatch(effEditClose), 0);
    EXPECT_EQ(plugin->dispatch(effSetEditKnobMode, 0, 2), 1);
}

TEST_F(ModuleTest, NullPointersWhereTheModuleWouldWriteAreLeftAlone) {
    for (int32 op : {effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName,
                     effGetProgramNameIndexed, effGetEffectName, effGetVendorString,
                     effGetProductString, effGetParameterProperties, effEditGetRect, effGetChunk,
                     effSetProgramName, effCanDo, effShellGetNextPlugin, effGetErrorText})
        EXPECT_EQ(plugin->dispatch(op, 0, 0, nullptr), 0) << "opcode " << op;
}

TEST_F(ModuleTest, ChunkOpcodesRefuseGarbage) {
    unsigned char garbage[16] = {1, 2, 3};
    EXPECT_EQ(plugin->dispatch(effSetChunk, 0, sizeof garbage, garbage), -1);
    EXPECT_EQ(plugin->dispatch(effSetChunk, 0, 0, nullptr), -1);
}

TEST_F(ModuleTest, CloseAnswersOne) { EXPECT_EQ(plugin->close(), 1); }

TEST_F(ModuleTest, ConstructionAsksTheVersionAndAnnouncesPresetZero) {
    const auto calls = plugin->host().calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().opcode, audioMasterVersion);
    EXPECT_EQ(calls.front().effect, nullptr);
    bool sawUpdate = false, sawBegin = false, sawEnd = false;
    for (const auto& c : calls) {
        sawUpdate |= c.opcode == audioMasterUpdateDisplay;
        sawBegin |= c.opcode == audioMasterBeginEdit && c.index == 0;
        sawEnd |= c.opcode == audioMasterEndEdit && c.index == 0 && sawBegin;
        EXPECT_NE(c.opcode, audioMasterAutomate) << "applying a preset must not automate";
        EXPECT_NE(c.opcode, audioMasterWantMidi) << "the effect never asks for MIDI";
    }
    EXPECT_TRUE(sawUpdate);
    EXPECT_TRUE(sawBegin);
    EXPECT_TRUE(sawEnd);
}

TEST(ModuleEntry, HostWithoutVersionGetsNoEffect) {
    kt::test::TempConfig config;
    auto host = std::make_shared<kt::HostCallback>();
    host->setAnswer(audioMasterVersion, 0);
    kt::VstPlugin::Options options;
    options.host = host;
    std::string error;
    EXPECT_EQ(kt::VstPlugin::load(KT_MODULE_PATH, options, &error), nullptr);
}

TEST(ModuleEntry, ManyInstancesLiveSideBySide) {
    kt::test::TempConfig config;
    auto a = kt::test::loadModule();
    auto b = kt::test::loadModule();
    ASSERT_TRUE(a && b);
    a->setParameter(1, 0.75f);
    EXPECT_EQ(a->getParameter(1), 0.75f);
    EXPECT_EQ(b->getParameter(1), 0.5f);
    a.reset();
    EXPECT_EQ(b->parameterName(1), "Drive");
}

TEST(ModuleEntry, OnlyTheEntryPointsAreExported) {
    const std::string command = std::string("nm -D --defined-only ") + KT_MODULE_PATH;
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> exported;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        const auto space = text.find_last_of(' ');
        std::string name = text.substr(space + 1);
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
        exported.insert(name);
    }
    ASSERT_EQ(::pclose(pipe), 0);
    EXPECT_EQ(exported, (std::set<std::string>{"VSTPluginMain", "main_macho"}));
}

}  // namespace
