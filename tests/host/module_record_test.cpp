// The effect record, the dispatcher's answers and a host on several threads (TSan).
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/module_fixture.h"

using namespace vst;
using kt::test::ModuleTest;

namespace {

TEST_F(ModuleTest, RecordAndIdentityAsAnnounced) {
    const AEffect* e = plugin->effect();
    EXPECT_EQ(e->magic, kEffectMagic);
    EXPECT_EQ(e->numPrograms, 1);
    EXPECT_EQ(e->numParams, 26);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->flags, 4145);  // HasEditor, CanReplacing, ProgramChunks, CanDoubleReplacing
    EXPECT_EQ(e->initialDelay, 159);
    EXPECT_EQ(e->uniqueID, fourCC('K', 'v', 't', 'r'));
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_NE(e->processDoubleReplacing, nullptr);
    const kt::EffectIdentity id = plugin->identity();
    EXPECT_EQ(id.name, "Kav Tamor");
    EXPECT_EQ(id.product, "Full band precision limiter");
    EXPECT_EQ(id.vstVersion, 2400);
    EXPECT_EQ(id.category, kPlugCategMastering);
}

TEST_F(ModuleTest, DispatcherAnswersHostsRelyOn) {
    EXPECT_EQ(plugin->dispatch(effSetProgram, 0, 1), 0);  // one program only
    EXPECT_EQ(plugin->dispatch(effGetProgram), 0);
    EXPECT_EQ(plugin->dispatch(effCanBeAutomated, 3), 1);
    EXPECT_EQ(plugin->dispatch(effGetTailSize), 0);
    EXPECT_EQ(plugin->dispatch(200), 0);  // unknown opcodes
    EXPECT_EQ(plugin->dispatch(-1), 0);
    for (const char* what : {"bypass", "receiveVstMidiEvent", "offline"})
        EXPECT_EQ(plugin->dispatch(effCanDo, 0, 0, const_cast<char*>(what)), 0) << what;
    int dummy = 0;
    void* in = &dummy;
    void* out = &dummy;
    plugin->dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out);
    EXPECT_EQ(in, nullptr);
    EXPECT_EQ(out, nullptr);
    // The latency (the record's initial delay) follows the sample rate opcode only.
    EXPECT_EQ(plugin->dispatch(effSetBlockSizeAndSampleRate, 0, 512, nullptr, 96000.0f), 1);
    EXPECT_EQ(plugin->latency(), 159);
    plugin->setSampleRate(96000.0f);
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
    ERect area{0, 0, 462, 524};
    EXPECT_EQ(plugin->dispatch(effEditDraw, 0, 0, &area), 0);
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
    kt::VstPlugin::Options options;
    options.host = std::make_shared<kt::HostCallback>();
    options.host->setAnswer(audioMasterVersion, 0);
    std::string error;
    EXPECT_EQ(kt::VstPlugin::load(KT_MODULE_PATH, options, &error), nullptr);
    EXPECT_NE(error.find("no effect"), std::string::npos) << error;
}

// Each instance keeps its own values and calls only its own host.
TEST(ModuleEntry, ManyInstancesLiveSideBySide) {
    kt::test::TempConfig config;
    auto hostA = std::make_shared<kt::HostCallback>();
    auto hostB = std::make_shared<kt::HostCallback>();
    auto a = kt::test::loadModule(hostA);
    auto b = kt::test::loadModule(hostB);
    ASSERT_TRUE(a && b);
    a->setParameter(1, 0.75f);
    EXPECT_EQ(b->getParameter(1), 0.5f);
    hostA->clearCalls();
    std::vector<double> l(64), r(64);
    double* io[] = {l.data(), r.data()};
    b->processDouble(io, io, 64);
    EXPECT_EQ(hostA->count(audioMasterPinConnected), 0u);
    EXPECT_GE(hostB->count(audioMasterPinConnected), 1u);
    EXPECT_EQ(a->close(), 1);
    a.reset();
    b->processDouble(io, io, 64);
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

TEST_F(ModuleTest, ProcessingWhileOtherThreadsChangeParameters) {
    plugin->setSampleRate(48000.0f);
    plugin->setMainsOn(true);
    constexpr int kFrames = 256;
    std::vector<double> inL(kFrames), inR(kFrames), outL(kFrames), outR(kFrames);
    for (int i = 0; i < kFrames; ++i) inL[i] = inR[i] = 0.9 * ((i % 50) < 25 ? 1.0 : -1.0);
    std::jthread audio([&](std::stop_token stop) {
        double* in[2] = {inL.data(), inR.data()};
        double* out[2] = {outL.data(), outR.data()};
        while (!stop.stop_requested()) plugin->processDouble(in, out, kFrames);
    });
    std::jthread automation([&] {
        for (int round = 0; round < 200; ++round)
            for (int i = 0; i < 26; ++i)
                plugin->setParameter(i, static_cast<float>((round * 7 + i) % 11) / 10.0f);
    });
    std::jthread ui([&] {
        for (int round = 0; round < 200; ++round) {
            for (int i = 0; i < 26; ++i) {
                (void)plugin->parameterDisplay(i);
                (void)plugin->getParameter(i);
            }
            (void)plugin->programName();
        }
    });
    automation.join();
    ui.join();
    // TransShape changes take the engine lock while blocks are processed.
    for (int i = 0; i < 20; ++i) plugin->setParameter(4, (i % 3) / 3.0f + 0.1f);
    audio.request_stop();
    audio.join();
    for (double v : outL) EXPECT_LE(std::abs(v), 1.0);
}

}  // namespace
