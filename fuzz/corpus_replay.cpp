#include "fuzz/corpus_replay.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace kt::fuzz {

int replayCorpus(const std::string& corpusDir, const char* target, Entry entry) {
    namespace fs = std::filesystem;
    int count = 0;
    bool failed = false;
    for (const auto& file : fs::directory_iterator(fs::path(corpusDir) / target)) {
        std::ifstream in(file.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        failed |= entry(bytes.data(), bytes.size()) != 0;
        for (std::size_t cut = 0; cut < bytes.size(); cut += 1 + bytes.size() / 61)
            entry(bytes.data(), cut);
        ++count;
    }
    return failed ? -1 : count;
}

}  // namespace kt::fuzz
