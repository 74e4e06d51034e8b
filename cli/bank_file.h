// Bank files (.kvb) on the host side. The module exchanges its whole bank as
// its chunk: the chunk is an 8-byte header (format marker, identifier) in
// front of exactly the bytes a bank file holds. So a bank file is loaded by
// handing the module that header plus the file, and written by saving the
// chunk without its header.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/vst_host.h"

namespace kt {

// The chunk that carries a bank file's bytes, its header in the file's own
// byte order. Old-layout bank files (kind 0x37) become chunks of the old
// format. Empty with *error set when the bytes are no bank of this module,
// or a bank file shorter than its header says.
std::optional<std::vector<std::uint8_t>> bankFileToChunk(const std::vector<std::uint8_t>& file,
                                                         vst::int32 uniqueId, std::string* error);

// Loads the bank file at path into the module and applies its first preset,
// as the editor's bank loading does. A file larger than any bank is refused
// without being read further.
bool loadBankFile(const VstPlugin& plugin, const std::string& path, std::string* error);

// Writes the module's current bank to path (through AtomicOutput, so a
// failed write leaves an old file whole).
bool writeBankFile(const VstPlugin& plugin, const std::string& path, std::string* error);

}  // namespace kt
