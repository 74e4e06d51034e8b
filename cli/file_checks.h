// Checks a command makes on the files it is given, before it reads or
// writes them.
#pragma once

#include <initializer_list>
#include <string>

namespace kt {

// Why path cannot be read as an input file ("cannot read X: it is a
// directory"); empty when it may be opened.
std::string inputFileProblem(const std::string& path);

// Whether a and b name one existing file, however they are spelt (relative
// or absolute paths, symbolic or hard links).
bool sameFile(const std::string& a, const std::string& b);

// The refusal for writing `output` when it is one of the files the command
// reads; empty when it is none of them. Empty paths are skipped.
std::string overwritesInput(const std::string& output, std::initializer_list<std::string> inputs);

}  // namespace kt
