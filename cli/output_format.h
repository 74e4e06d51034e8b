// The format of an output file: the container from the file name's
// extension, the sample format from --bits, and the notes kavtamor gives
// when the module's requantizer and the file's word length do not match.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/vst_host.h"

namespace kt {

enum class OutputBits { k16, k24, k32Int, k32Float };

// "16", "24", "32i" or "32f"; empty with *error set otherwise (a bare "32"
// is refused with a hint, since it could mean either).
std::optional<OutputBits> parseOutputBits(const std::string& text, std::string* error);

// The libsndfile format for a file name's extension (wav, flac, aiff/aif,
// ogg/oga, w64, caf) and output bits; 0 with *error set when there is none.
int outputFormatFor(const std::string& path, OutputBits bits, std::string* error);

// The word length of a format's integer samples: 16, 24 or 32; 0 for float
// samples and for lossy formats.
int integerBitsOf(int format);

// What to tell the user about writing the module's current output into a
// file of this format: a file of 16 bits or less rounded without the
// module's dither (its requantizer is off), or a requantizer set to another
// word length than the file's. Empty for a module without Quantize and Bits
// parameters.
std::vector<std::string> wordLengthNotes(const VstPlugin& plugin, int format);

// The help text of --bits.
extern const char* const kOutputBitsHelp;

}  // namespace kt
