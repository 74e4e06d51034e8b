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

#include "fuzz/preset_store.h"

namespace {

using Bytes = std::vector<unsigned char>;
namespace fs = std::filesystem;

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

Bytes image(kt::PresetImageCodec& codec, int (kt::PresetImageCodec::*write)(char**)) {
    char* buffer = nullptr;
    const int length = (codec.*write)(&buffer);
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
    kt::PresetStoreEffect store;
    store.setPresetNo(6);
    kt::PresetImageCodec& codec = store.storeCodec();

    const Bytes preset = image(codec, &kt::PresetImageCodec::presetToBuffer);
    const Bytes bank = image(codec, &kt::PresetImageCodec::bankToBuffer);
    const Bytes midi = image(codec, &kt::PresetImageCodec::midiToBuffer);
    const Bytes littlePreset = reversedImage(preset);
    const Bytes littleBank = reversedImage(bank);
    const Bytes id = word(kt::kUniqueId, false);

    const Bytes oldPreset = join({id, {kt::kKindOldPreset}, oldBlocks(1, 22, false)});
    const Bytes oldBank = join({id, {kt::kKindOldBank}, oldBlocks(27, 20, false)});
    auto oldChunk = [&](bool little) {
        return join({word(kt::kChunkMarkerOld, little), word(kt::kUniqueId, little),
                     word(3, little), word(1, little), word(0, little), word(0, little),
                     word(0, little), word(0, little), oldBlocks(3, 22, little)});
    };

    const Bytes currentChunk = join({word(kt::kChunkMarkerCurrent, false), id, bank});
    const Bytes littleChunk =
        join({word(kt::kChunkMarkerCurrent, true), word(kt::kUniqueId, true), littleBank});
    const fs::path chunk = root / "chunk";
    write(chunk, "current", currentChunk);
    write(chunk, "current-little", littleChunk);
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

    const fs::path lv2 = root / "lv2_state";
    write(lv2, "current", prefixed({0}, currentChunk));
    write(lv2, "current-little", prefixed({0}, littleChunk));
    write(lv2, "other-type", prefixed({1}, currentChunk));
    write(lv2, "missing", prefixed({2}, currentChunk));
    return 0;
}
