// The operation manual as a PDF document, embedded into the module at build
// time from docs/manual.pdf.
#pragma once

#include <span>

namespace kt {

// The PDF's bytes.
std::span<const unsigned char> manualDocument();

}  // namespace kt
