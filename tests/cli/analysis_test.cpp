// The summary's measurements, and the text kavtamor writes for machines and people.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "cli/audio_analysis.h"
#include "cli/inter_sample_peak.h"
#include "cli/json_writer.h"
#include "cli/progress_board.h"

namespace kt {
namespace {

TEST(GainReductionTest, TheDeepestQualifyingWindowCounts) {
    const std::vector<double> in = {0.9, 0.9, 0.1, 0.9};
    const std::vector<double> out = {0.9, 0.45, 0.001, 0.9};
    // With a drive of 2 every driven window reaches 1.8; window 1 sits 12 dB below it.
    EXPECT_NEAR(deepestGainReductionDb(in, out, 2.0, 0.5), 20 * std::log10(0.45 / 1.8), 1e-9);
    // Window 2 is too quiet to count, however low its ratio.
    EXPECT_NEAR(deepestGainReductionDb({0.1}, {0.001}, 2.0, 0.5), 0.0, 1e-12);
    // Output louder than asked (no limiting): no reduction.
    EXPECT_NEAR(deepestGainReductionDb({0.9}, {0.95}, 1.0, 0.5), 0.0, 1e-12);
}

TEST(StreamMeterTest, FiguresAndATimelineEntryPerIntervalAndOneForTheRest) {
    const int rate = 48000;
    MeterOptions options;
    options.loudnessRange = true;
    options.timelineSeconds = 0.1;
    StreamMeter meter(2, rate, 1000, options);
    // 4.05 s of a 997 Hz sine at -6 dBFS, then silence for 2 s.
    std::vector<double> samples;
    for (int i = 0; i < 6 * rate + rate / 20; ++i) {
        const double v =
            i < 4 * rate + rate / 20 ? 0.5 * std::sin(2.0 * M_PI * 997.0 * i / rate) : 0.0;
        samples.push_back(v);
        samples.push_back(v);
    }
    for (std::size_t at = 0; at < samples.size() / 2; at += 7777)
        meter.add(samples.data() + 2 * at, std::min<std::size_t>(7777, samples.size() / 2 - at));
    meter.finish();
    const LevelTimeline& timeline = meter.timeline();
    ASSERT_EQ(timeline.shortTermLoudness.size(), 61u);  // 60 intervals and the rest
    ASSERT_EQ(timeline.truePeak.size(), 61u);
    EXPECT_NEAR(timeline.shortTermLoudness[39], -6.0, 0.3);  // 3 s of sine behind it
    EXPECT_LT(timeline.shortTermLoudness[20], -7.0);         // the window was half silent
    EXPECT_NEAR(timeline.truePeak[30], 0.5, 0.01);
    EXPECT_EQ(timeline.truePeak[60], 0.0);
    EXPECT_GT(meter.figures().loudnessRange, 0.0);  // the rise and the fall
    EXPECT_NEAR(meter.figures().samplePeak, 0.5, 1e-3);
    // Stereo 997 Hz at -6 dBFS reads about -6 LUFS; the silence is gated out.
    EXPECT_NEAR(meter.figures().loudness, -6.0, 0.3);
}

TEST(InterSamplePeakTest, FindsThePeakOfSinesBetweenTheirSamples) {
    // Faded sines up to near the top of the band, where peaks fall between samples.
    for (double frequency : {997.0, 5000.0, 11025.0, 15000.0, 19000.0}) {
        std::vector<double> samples(2 * 44100);
        for (std::size_t i = 0; i < 44100; ++i) {
            const double fade = std::min({1.0, i / 2000.0, (44100.0 - i) / 2000.0});
            samples[2 * i] = 0.5 * fade * std::sin(2.0 * M_PI * frequency * i / 44100 + 0.7);
            samples[2 * i + 1] = 0.25 * samples[2 * i];
        }
        InterSamplePeak meter(2);
        meter.add(samples.data(), 1000);
        meter.add(samples.data() + 2000, 43100);
        meter.finish();
        EXPECT_NEAR(20.0 * std::log10(meter.peak() / 0.5), 0.0, 0.02) << frequency << " Hz";
    }
}

TEST(JsonWriterTest, EscapesTextAndWritesNoNumberJsonLacks) {
    JsonWriter json;
    json.beginObject();
    json.key("name").value(
        std::string("a \"quoted\" \\ path\n\twith \x01 and \xff bytes, caf\xc3\xa9"));
    json.key("levels").beginArray().value(-14.25).value(-INFINITY).value(NAN).value(3).endArray();
    json.key("empty").beginObject().endObject();
    json.key("flags").beginArray().value(true).null().endArray();
    json.endObject();
    EXPECT_EQ(json.text(),
              "{\n"
              "  \"name\": \"a \\\"quoted\\\" \\\\ path\\n\\twith \\u0001 and \\ufffd bytes, "
              "caf\xc3\xa9\",\n"
              "  \"levels\": [\n    -14.25,\n    null,\n    null,\n    3\n  ],\n"
              "  \"empty\": {},\n"
              "  \"flags\": [\n    true,\n    null\n  ]\n"
              "}\n");
    // Overlong forms and surrogates are not UTF-8 either.
    EXPECT_EQ(jsonString("\xc0\xaf \xed\xa0\x80"), "\"\\ufffd\\ufffd \\ufffd\\ufffd\\ufffd\"");
}

TEST(ProgressBoardTest, LinesFromManyThreadsComeOutWhole) {
    std::FILE* log = std::tmpfile();
    ASSERT_NE(log, nullptr);
    {
        ProgressBoard board(log, false);
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&board, t] {
                const int slot = board.open("file " + std::to_string(t));
                for (int i = 0; i < 200; ++i) {
                    board.show(slot, "render 1", i / 200.0);
                    board.say("thread " + std::to_string(t) + " line " + std::to_string(i) +
                              std::string(100, '.'));
                }
                board.close(slot);
            });
        }
        for (std::thread& thread : threads) thread.join();
    }
    std::rewind(log);
    char line[512];
    int lines = 0;
    while (std::fgets(line, sizeof line, log) != nullptr) {
        int thread = -1, number = -1;
        ASSERT_EQ(std::sscanf(line, "thread %d line %d", &thread, &number), 2) << line;
        EXPECT_EQ(std::string(line).find(std::string(100, '.') + "\n"),
                  std::string(line).size() - 101)
            << line;
        ++lines;
    }
    EXPECT_EQ(lines, 800);
    std::fclose(log);
}

}  // namespace
}  // namespace kt
