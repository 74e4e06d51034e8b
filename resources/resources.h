// The module's artwork, embedded at build time and looked up by resource number.
#pragma once

#include <cstddef>
#include <span>

namespace kt {

// The PNG bytes of bitmap `id`, or an empty span when there is no such bitmap.
std::span<const unsigned char> findResource(int id);

}  // namespace kt
