// Renders an audio file through a loaded effect, as a host does offline:
// the file's rate goes to the effect (effSetSampleRate, effSetBlockSize,
// effMainsChanged 1), blocks are processed in single or double precision,
// and the effect's latency is compensated so the output lines up with the
// input sample for sample (unless keepLatency is set).
#pragma once

#include <string>

#include "cli/audio_analysis.h"
#include "cli/vst_host.h"

namespace kt {

enum class OutputBits { k16, k24, k32Float };

struct RenderOptions {
    std::string inputPath;
    std::string outputPath;  // the format follows the extension
    int precision = 64;      // 32: processReplacing, 64: processDoubleReplacing
    int blockSize = 512;
    OutputBits bits = OutputBits::k24;
    // Write the effect's raw output (delayed by its latency) instead of the
    // compensated one; the file keeps the input's length either way.
    bool keepLatency = false;
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
};

// The libsndfile format for a file name's extension (wav, flac, aiff/aif,
// ogg, w64, caf) and output bits; 0 when there is none.
int outputFormatFor(const std::string& path, OutputBits bits, std::string* error);

// False with *error set when the files cannot be read or written, the input
// has more than two channels, or the effect cannot process the precision.
bool renderFile(const VstPlugin& plugin, const RenderOptions& options, RenderSummary* summary,
                std::string* error);

}  // namespace kt
