#include "docs/manual_document.h"

#include <cstddef>

namespace kt {
namespace docs {
extern const unsigned char kManualPdf[];
extern const std::size_t kManualPdfSize;
}  // namespace docs

std::span<const unsigned char> manualDocument() {
    return {docs::kManualPdf, docs::kManualPdfSize};
}

}  // namespace kt
