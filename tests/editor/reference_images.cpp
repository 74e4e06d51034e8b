#include "tests/editor/reference_images.h"

#include <cairo.h>

#include <cstdint>
#include <cstdlib>

namespace kt::test {

ImageDifference compareImages(const std::filesystem::path& a, const std::filesystem::path& b) {
    ImageDifference d;
    cairo_surface_t* x = cairo_image_surface_create_from_png(a.c_str());
    cairo_surface_t* y = cairo_image_surface_create_from_png(b.c_str());
    if (cairo_surface_status(x) == CAIRO_STATUS_SUCCESS &&
        cairo_surface_status(y) == CAIRO_STATUS_SUCCESS &&
        cairo_image_surface_get_width(x) == cairo_image_surface_get_width(y) &&
        cairo_image_surface_get_height(x) == cairo_image_surface_get_height(y)) {
        d.comparable = true;
        const int w = cairo_image_surface_get_width(x), h = cairo_image_surface_get_height(x);
        long long sum = 0, off = 0;
        for (int j = 0; j < h; ++j) {
            const auto* rx = reinterpret_cast<const std::uint32_t*>(
                cairo_image_surface_get_data(x) + j * cairo_image_surface_get_stride(x));
            const auto* ry = reinterpret_cast<const std::uint32_t*>(
                cairo_image_surface_get_data(y) + j * cairo_image_surface_get_stride(y));
            for (int i = 0; i < w; ++i) {
                int worst = 0;
                for (int shift = 0; shift < 24; shift += 8) {
                    const int delta = std::abs(static_cast<int>((rx[i] >> shift) & 255) -
                                               static_cast<int>((ry[i] >> shift) & 255));
                    sum += delta;
                    worst = std::max(worst, delta);
                }
                off += worst > 24;
            }
        }
        d.mean = static_cast<double>(sum) / (3.0 * w * h);
        d.share = static_cast<double>(off) / (static_cast<double>(w) * h);
    }
    cairo_surface_destroy(x);
    cairo_surface_destroy(y);
    return d;
}

std::filesystem::path referencePath(const std::string& name) {
    return std::filesystem::path(KT_SOURCE_DIR) / "tests/editor/reference" / (name + ".png");
}

}  // namespace kt::test
