// Renders an audio file through a loaded effect, as a host does offline:
// the file's rate goes to the effect (effSetSampleRate, effSetBlockSize,
// effMainsChanged 1), blocks are processed in single or double precision,
// and the effect's latency is compensated so the output lines up with the
// input sample for sample (unless keepLatency is set). Each render starts
// from a suspended effect, so the same settings give the same output.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/audio_analysis.h"
#include "cli/input_file.h"
#include "cli/output_format.h"
#include "cli/sample_writer.h"
#include "cli/vst_host.h"

namespace kt {

struct RenderOptions {
    std::string inputPath;
    // The format follows the extension. An existing file is replaced only
    // by a complete result (see AtomicOutput).
    std::string outputPath;
    int precision = 64;  // 32: processReplacing, 64: processDoubleReplacing
    int blockSize = 512;
    OutputBits bits = OutputBits::k24;
    // Write the effect's raw output (delayed by its latency) instead of the
    // compensated one; the file keeps the input's length either way.
    bool keepLatency = false;
    // Write what could be read of an input that ends before its header says,
    // instead of failing.
    bool allowShort = false;
    // Measure levels and loudness for the summary (on a second thread).
    bool analyse = true;
    // Measure the input too; off when it was measured beforehand.
    bool analyseInput = true;
    MeterOptions meters;
    // Linear gain the settings ask for (drive times output level), for the
    // gain-reduction figure.
    double expectedGain = 1.0;
    // Called from the rendering thread with the fraction of the input done.
    std::function<void(double)> onProgress;
};

struct RenderSummary {
    int sampleRate = 0;
    int channels = 0;
    long long frames = 0;
    int latency = 0;
    LevelFigures input;
    bool analysed = false;          // the level figures below were measured
    LevelFigures output;            // of the latency-aligned output
    double deepestReductionDb = 0;  // see deepestGainReductionDb
    double processSeconds = 0;      // time spent in the effect's processing calls
    double audioSeconds = 0;
    // The meters behind the figures (the input's only when it was measured
    // in this render), for timelines and album loudness.
    std::shared_ptr<const StreamMeter> inputMeter;
    std::shared_ptr<const StreamMeter> outputMeter;
    // Said about a result that was written all the same: a rate outside the
    // module's, an input cut short (with allowShort).
    std::vector<std::string> warnings;
};

// False with *error set when the files cannot be read or written, the input
// has more than two channels or ends before its header says (unless
// allowShort), or the effect cannot process the precision. The output file
// is then left as it was.
bool renderFile(const VstPlugin& plugin, const RenderOptions& options, RenderSummary* summary,
                std::string* error);

// The same render with the output going to `sink` (or nowhere when null)
// instead of a file; options.outputPath is not used.
bool renderToSink(const VstPlugin& plugin, const RenderOptions& options, RenderSink* sink,
                  RenderSummary* summary, std::string* error);

// Writes a stored render to `path` in `format`, whole or not at all.
bool writeStoredRender(const std::string& path, int format, int sampleRate, int channels,
                       const SampleStore& store, std::string* error);

// The input measured on its own (no effect involved): its figures, window
// peaks and, with a timeline in `meters`, its levels over time. Refuses what
// a render refuses.
struct InputMeasurement {
    SF_INFO info{};
    std::shared_ptr<const StreamMeter> meter;
    std::vector<std::string> warnings;
};
bool measureInput(const std::string& path, bool allowShort, const MeterOptions& meters,
                  InputMeasurement* measurement, std::string* error);

}  // namespace kt
