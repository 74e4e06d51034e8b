#include "tests/gui/gui_test_support.h"

#include <cairo.h>

namespace kt::test {

TestFrame::TestFrame(int width, int height) {
    frame = new CFrame(CRect(0, 0, width, height), &editor);
    auto platform = std::make_unique<OffscreenFrame>(width, height);
    offscreen = platform.get();
    frame->open(std::move(platform));
}

std::uint32_t pixelOf(cairo_surface_t* s, int x, int y) {
    cairo_surface_flush(s);
    const unsigned char* row =
        cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
}

std::vector<unsigned char> pngOf(cairo_surface_t* s) {
    std::vector<unsigned char> bytes;
    cairo_surface_write_to_png_stream(
        s,
        [](void* closure, const unsigned char* data, unsigned int length) {
            auto* out = static_cast<std::vector<unsigned char>*>(closure);
            out->insert(out->end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &bytes);
    return bytes;
}

std::uint32_t TestFrame::pixel(int x, int y) const {
    return pixelOf(offscreen->backBuffer(), x, y);
}

std::vector<unsigned char> stripedPng(int width, int bandHeight,
                                      const std::vector<std::uint32_t>& colours) {
    const int height = bandHeight * static_cast<int>(colours.size());
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(s);
    for (size_t i = 0; i < colours.size(); ++i) {
        const std::uint32_t c = colours[i];
        cairo_set_source_rgb(cr, ((c >> 16) & 255) / 255.0, ((c >> 8) & 255) / 255.0,
                             (c & 255) / 255.0);
        cairo_rectangle(cr, 0, static_cast<double>(i) * bandHeight, width, bandHeight);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    const std::vector<unsigned char> bytes = pngOf(s);
    cairo_surface_destroy(s);
    return bytes;
}

void ProbeView::draw(CDrawContext* context) {
    ++draws;
    context->setFillColor(CColor((colour >> 16) & 255, (colour >> 8) & 255, colour & 255));
    context->fillRect(size);
    setDirty(false);
}

}  // namespace kt::test
