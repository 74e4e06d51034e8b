// A host drives the module from several threads at once: the audio thread
// processes, automation and the user-interface thread change parameters, read
// displays and the program name. Nothing may race (ThreadSanitizer build) or crash.
#include <cmath>
#include <thread>
#include <vector>

#include "tests/support/module_fixture.h"

using namespace vst;
using kt::test::ModuleTest;

namespace {

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
    // TransShape changes take the engine lock; make sure a few happen while
    // blocks are being processed.
    for (int i = 0; i < 20; ++i) plugin->setParameter(4, (i % 3) / 3.0f + 0.1f);
    audio.request_stop();
    audio.join();
    for (double v : outL) EXPECT_LE(std::abs(v), 1.0);
}

}  // namespace
