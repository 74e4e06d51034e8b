// The table of embedded PNGs that the build generates from resources/png (private to
// kt_resources; everyone else goes through kt::findResource).
#pragma once

#include <cstddef>

namespace kt::embedded {

struct Entry {
    int id;
    const unsigned char* bytes;
    std::size_t size;
};

// Ordered by resource number; kEntryCount entries followed by an end marker.
extern const Entry kEntries[];
extern const std::size_t kEntryCount;

}  // namespace kt::embedded
