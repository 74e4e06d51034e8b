// Looks up the artwork that the build embedded from resources/png by resource number.
#include "resources/resources.h"

#include "resources/embedded_table.h"

namespace kt {

std::span<const unsigned char> findResource(int id) {
    for (std::size_t i = 0; i < embedded::kEntryCount; ++i) {
        const embedded::Entry& entry = embedded::kEntries[i];
        if (entry.id == id) return {entry.bytes, entry.size};
    }
    return {};
}

}  // namespace kt
