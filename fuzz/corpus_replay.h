// Runs a fuzz entry over the committed seeds of its target, so every seed
// runs under the test suite's sanitizers too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kt::fuzz {

using Entry = int (*)(const std::uint8_t* data, std::size_t size);

// Feeds every file of corpusDir/target to entry, and every prefix of each (the
// cut-short data readers must refuse or bound). Answers how many files there
// were, or -1 when an entry answered something other than 0.
int replayCorpus(const std::string& corpusDir, const char* target, Entry entry);

}  // namespace kt::fuzz
