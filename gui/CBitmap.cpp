#include "gui/CBitmap.h"

#include <cairo.h>

#include <cstring>

#include "resources/resources.h"

namespace {

struct PngReader {
    const unsigned char* data;
    std::size_t size;
    std::size_t position = 0;
};

cairo_status_t readPng(void* closure, unsigned char* out, unsigned int length) {
    auto* reader = static_cast<PngReader*>(closure);
    if (length > reader->size - reader->position) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, reader->data + reader->position, length);
    reader->position += length;
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

CBitmap::CBitmap(int id) : resourceId(id) {
    const auto bytes = kt::findResource(id);
    load(bytes.data(), bytes.size());
}

CBitmap::CBitmap(const unsigned char* png, std::size_t size) {
    load(png, size);
}

CBitmap::~CBitmap() {
    if (image) cairo_surface_destroy(image);
}

void CBitmap::load(const unsigned char* png, std::size_t size) {
    if (!png || size == 0) return;
    PngReader reader{png, size};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(readPng, &reader);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return;
    }
    image = surface;
    width = cairo_image_surface_get_width(surface);
    height = cairo_image_surface_get_height(surface);
}

void CBitmap::draw(CDrawContext* context, const CRect& dest, const CPoint& offset, float alpha) {
    if (context && image) context->drawImage(image, dest, offset, alpha);
}
