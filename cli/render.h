// Renders an audio file through a loaded effect, as a host does offline:
// the file's rate goes to the effect (effSetSampleRate, effSetBlockSize,
// effMainsChanged 1), blocks are processed in single or double precision,
// and the effect's latency is compensated so the output lines up with the
// input sample for sample (unless keepLatency is set).
#pragma once

#include <string>
#include <vector>

#include "cli/audio_analysis.h"
#include "cli/output_format.h"
#include "cli/vst_host.h"

namespace kt {

// The sample rates the module processes as they are; any other rate it
// processes as if it were 44100 Hz.
constexpr int kModuleLowestRate = 5000;
constexpr int kModuleHighestRate = 200000;

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
    bool progress = false;  // a progress bar on standard error
    // Measure levels and loudness for the summary (on a second thread).
    bool analyse = true;
    // Linear gain the settings ask for (drive times output level), for the
    // gain-reduction figure.
    double expectedGain = 1.0;
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

}  // namespace kt
