// An image loaded from the module's embedded artwork by resource number. A
// number without artwork gives an empty bitmap (size 0) that draws nothing.
// Reference counted: views that draw a bitmap remember it.
#pragma once

#include "gui/CBaseObject.h"
#include "gui/CDrawContext.h"

class CBitmap : public CBaseObject {
  public:
    explicit CBitmap(int resourceId);
    // An image from PNG bytes (tests and callers with their own data).
    CBitmap(const unsigned char* png, std::size_t size);

    CCoord getWidth() const { return width; }
    CCoord getHeight() const { return height; }
    bool isLoaded() const { return image != nullptr; }
    int getResourceId() const { return resourceId; }

    // Copies the part of the image starting at `offset` to the rectangle dest.
    void draw(CDrawContext* context, const CRect& dest, const CPoint& offset = CPoint(0, 0),
              float alpha = 1.0f);

  protected:
    ~CBitmap() override;

  private:
    void load(const unsigned char* png, std::size_t size);

    int resourceId = -1;
    cairo_surface_t* image = nullptr;
    CCoord width = 0, height = 0;
};
