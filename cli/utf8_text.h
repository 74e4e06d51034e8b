// UTF-8 checks for text that comes from outside (file names), before it goes
// where only UTF-8 is allowed (JSON, cairo's text).
#pragma once

#include <string>

namespace kt {

// The length of the valid UTF-8 sequence that starts at text[i] (1 for
// ASCII), or 0 when the bytes there are not UTF-8.
std::size_t utf8SequenceLength(const std::string& text, std::size_t i);

// The text with each byte that is not part of a UTF-8 sequence replaced by
// `replacement`.
std::string validUtf8(const std::string& text, const std::string& replacement);

}  // namespace kt
