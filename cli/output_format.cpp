#include "cli/output_format.h"

#include <sndfile.h>

#include <cctype>
#include <filesystem>

#include "cli/arguments.h"
#include "cli/parameter_values.h"

namespace kt {
namespace {

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

std::string displayWord(const VstPlugin& plugin, int index) {
    std::string word;
    for (char c : plugin.parameterDisplay(index)) {
        if (!std::isspace(static_cast<unsigned char>(c)))
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return word;
}

}  // namespace

const char* const kOutputBitsHelp =
    "  --bits 16|24|32i|32f  output samples (default 24): integers of 16, 24 or 32\n"
    "                      bits, or 32-bit float (32f). FLAC holds 16 or 24 bits;\n"
    "                      Ogg Vorbis ignores --bits.\n";

std::optional<OutputBits> parseOutputBits(const std::string& text, std::string* error) {
    if (text == "16") return OutputBits::k16;
    if (text == "24") return OutputBits::k24;
    if (text == "32i") return OutputBits::k32Int;
    if (text == "32f") return OutputBits::k32Float;
    if (text == "32") {
        *error = "--bits 32 could mean either: write 32f for float or 32i for integer samples";
    } else {
        *error = "--bits takes 16, 24, 32i or 32f";
    }
    return std::nullopt;
}

int outputFormatFor(const std::string& path, OutputBits bits, std::string* error) {
    const std::string ext = lowerExtension(path);
    const int samples = bits == OutputBits::k16      ? SF_FORMAT_PCM_16
                        : bits == OutputBits::k24    ? SF_FORMAT_PCM_24
                        : bits == OutputBits::k32Int ? SF_FORMAT_PCM_32
                                                     : SF_FORMAT_FLOAT;
    if (ext == ".wav") return SF_FORMAT_WAV | samples;
    if (ext == ".w64") return SF_FORMAT_W64 | samples;
    if (ext == ".aiff" || ext == ".aif") return SF_FORMAT_AIFF | samples;
    if (ext == ".caf") return SF_FORMAT_CAF | samples;
    if (ext == ".flac") {
        if (bits == OutputBits::k32Float || bits == OutputBits::k32Int) {
            *error = "FLAC holds 16 or 24 bits, not 32";
            return 0;
        }
        return SF_FORMAT_FLAC | samples;
    }
    if (ext == ".ogg" || ext == ".oga") return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    *error = "cannot tell the output format from \"" + path +
             "\"; use .wav, .flac, .aiff, .ogg, .w64 or .caf";
    return 0;
}

int integerBitsOf(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_16:
            return 16;
        case SF_FORMAT_PCM_24:
            return 24;
        case SF_FORMAT_PCM_32:
            return 32;
        default:
            return 0;
    }
}

std::vector<std::string> wordLengthNotes(const VstPlugin& plugin, int format) {
    std::vector<std::string> notes;
    const int quantize = findParameter(plugin, "Quantize");
    const int bits = findParameter(plugin, "Bits");
    if (quantize < 0 || bits < 0 || (format & SF_FORMAT_SUBMASK) == SF_FORMAT_VORBIS) return notes;
    const int fileBits = integerBitsOf(format);
    const std::string file = std::to_string(fileBits);
    if (displayWord(plugin, quantize) != "on") {
        if (fileBits > 0 && fileBits <= 16) {
            notes.push_back("Quantize is off, so the " + file +
                            "-bit file gets the module's output rounded without dither; "
                            "--set Quantize=on --set Bits=" +
                            file + " lets the module dither it");
        }
        return notes;
    }
    const std::optional<long> moduleBits = parseInteger(displayWord(plugin, bits));
    if (!moduleBits) return notes;
    const std::string module = std::to_string(*moduleBits);
    if (fileBits == 0) {
        notes.push_back("the module requantizes to " + module +
                        " bits; the float file keeps those values exactly");
    } else if (*moduleBits > fileBits) {
        notes.push_back("the module requantizes to " + module + " bits but the file holds " + file +
                        ": its samples are rounded again, without dither; --set Bits=" + file +
                        " lets the module dither to the file's word length");
    } else if (*moduleBits < fileBits) {
        notes.push_back("the module requantizes to " + module + " bits and the file holds " + file +
                        ": the " + module + "-bit values are kept exactly");
    }
    return notes;
}

}  // namespace kt
