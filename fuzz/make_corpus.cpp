// Writes the seed corpus of the fuzz targets: valid images of every layout,
// in both byte orders, each with the selector bytes its target expects.
//   kt_make_fuzz_corpus DIR     (DIR is fuzz/corpus)
#include <bit>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/Plugin.h"
#include "presets/CPresetSystemEditor.h"

namespace {

using Bytes = std::vector<unsigned char>;
namespace fs = std::filesystem;

vst::VstIntPtr quietHost(vst::AEffect*, vst::int32 opcode, vst::int32, vst::VstIntPtr, void*,
                         float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

void reverseAt(Bytes& b, std::size_t at) {
    mySwapBytes(b.data() + at);
}

// The image with every multi-byte field reversed, as a writer of the other
// byte order would have made it.
Bytes reversedImage(Bytes b) {
    reverseAt(b, 0);
    for (std::size_t at = 5; at < 41; at += 4) reverseAt(b, at);
    std::size_t at = 41;
    while (at + 12 <= b.size()) {
        const std::uint32_t length = kt::readWord(b.data() + at + 4, true);
        const std::uint32_t type = kt::readWord(b.data() + at, true);
        for (std::size_t w = 0; w < 3; ++w) reverseAt(b, at + 4 * w);
        if (type != 0) {
            reverseAt(b, at + 12);
            reverseAt(b, at + 24);
        }
        at += 12 + length;
    }
    return b;
}

Bytes image(CPresetSystemEditor& editor, int (CPresetSystemEditor::*write)(char**)) {
    char* buffer = nullptr;
    const int length = (editor.*write)(&buffer);
    Bytes bytes(buffer, buffer + length);
    delete[] buffer;
    return bytes;
}

Bytes prefixed(std::initializer_list<unsigned char> head, const Bytes& rest) {
    Bytes out(head);
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

// Old layouts: raw names and values after the identifier and kind byte.
Bytes oldBlocks(int blocks, int values, bool little) {
    Bytes out;
    for (int p = 0; p < blocks; ++p) {
        char name[24] = {};
        std::snprintf(name, sizeof name, "Old %d", p);
        out.insert(out.end(), name, name + 24);
        for (int j = 0; j < values; ++j) {
            std::uint32_t w = std::bit_cast<std::uint32_t>(static_cast<float>(p + j) / 64.0f);
            if (little) w = kt::reverseWord(w);
            unsigned char word[4];
            kt::writeBigEndian(word, w);
            out.insert(out.end(), word, word + 4);
        }
    }
    return out;
}

Bytes word(std::uint32_t w, bool little) {
    Bytes out(4);
    kt::writeBigEndian(out.data(), little ? kt::reverseWord(w) : w);
    return out;
}

Bytes join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

void write(const fs::path& dir, const char* name, const Bytes& bytes) {
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    Plugin plugin(quietHost);
    auto& editor = *static_cast<CPresetSystemEditor*>(plugin.getEditor());
    plugin.setPresetNo(6);

    const Bytes preset = image(editor, &CPresetSystemEditor::PresetToBuffer);
    const Bytes bank = image(editor, &CPresetSystemEditor::BankToBuffer);
    const Bytes midi = image(editor, &CPresetSystemEditor::MidiToBuffer);
    const Bytes littlePreset = reversedImage(preset);
    const Bytes littleBank = reversedImage(bank);
    const Bytes id = word(0x4B767472, false);

    const Bytes oldPreset = join({id, {kt::kKindOldPreset}, oldBlocks(1, 22, false)});
    const Bytes oldBank = join({id, {kt::kKindOldBank}, oldBlocks(27, 20, false)});
    auto oldChunk = [&](bool little) {
        return join({word(0x01000000, little), word(0x4B767472, little), word(3, little),
                     word(1, little), word(0, little), word(0, little), word(0, little),
                     word(0, little), oldBlocks(3, 22, little)});
    };

    const fs::path chunk = root / "chunk";
    write(chunk, "current", join({word(0x02000000, false), id, bank}));
    write(chunk, "current-little",
          join({word(0x02000000, true), word(0x4B767472, true), littleBank}));
    write(chunk, "old", oldChunk(false));
    write(chunk, "old-little", oldChunk(true));

    const fs::path images = root / "images";
    write(images, "preset", prefixed({0}, preset));
    write(images, "preset-little", prefixed({0}, littlePreset));
    write(images, "bank", prefixed({2}, bank));
    write(images, "preset-buffer", prefixed({4 | 1}, preset));
    write(images, "bank-buffer", prefixed({6 | 1}, littleBank));
    write(images, "midi-buffer", prefixed({12 | 1}, midi));
    write(images, "old-preset", prefixed({0}, oldPreset));

    const fs::path old = root / "old_layouts";
    write(old, "preset", prefixed({0, 22, 1}, oldBlocks(1, 22, false)));
    write(old, "preset-little", prefixed({1, 22, 1}, oldBlocks(1, 22, true)));
    write(old, "bank", prefixed({2, 20, 27}, oldBlocks(27, 20, false)));
    const Bytes oc = oldChunk(false);
    write(old, "chunk", prefixed({4, 0, 0}, Bytes(oc.begin() + 8, oc.end())));

    const fs::path files = root / "files";
    write(files, "preset", prefixed({0}, preset));
    write(files, "bank-little", prefixed({2}, littleBank));
    write(files, "old-preset", prefixed({0}, oldPreset));
    write(files, "old-bank", prefixed({2}, oldBank));
    return 0;
}
