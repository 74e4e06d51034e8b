// Points, rectangles and colours of the view layer. Coordinates are frame
// pixels (doubles, so fractional positions from the window system survive).
#pragma once

#include <algorithm>
#include <cstdint>

using CCoord = double;

struct CPoint {
    CCoord x = 0, y = 0;
    CPoint() = default;
    CPoint(CCoord x, CCoord y) : x(x), y(y) {}
    CPoint& offset(CCoord dx, CCoord dy) {
        x += dx, y += dy;
        return *this;
    }
    bool operator==(const CPoint&) const = default;
};

struct CRect {
    CCoord left = 0, top = 0, right = 0, bottom = 0;

    CRect() = default;
    CRect(CCoord left, CCoord top, CCoord right, CCoord bottom)
        : left(left), top(top), right(right), bottom(bottom) {}
    CRect(const CPoint& origin, const CPoint& size)
        : left(origin.x), top(origin.y), right(origin.x + size.x), bottom(origin.y + size.y) {}

    CCoord width() const { return right - left; }
    CCoord height() const { return bottom - top; }
    CCoord getWidth() const { return width(); }
    CCoord getHeight() const { return height(); }
    CPoint getTopLeft() const { return {left, top}; }
    CPoint getCenter() const { return {(left + right) / 2, (top + bottom) / 2}; }
    bool isEmpty() const { return right <= left || bottom <= top; }

    CRect& offset(CCoord dx, CCoord dy) {
        left += dx, right += dx, top += dy, bottom += dy;
        return *this;
    }
    CRect& moveTo(CCoord x, CCoord y) { return offset(x - left, y - top); }
    CRect& setWidth(CCoord w) {
        right = left + w;
        return *this;
    }
    CRect& setHeight(CCoord h) {
        bottom = top + h;
        return *this;
    }
    // Points on the left and top edges are inside, those on the right and bottom not.
    bool pointInside(const CPoint& p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool rectOverlap(const CRect& r) const {
        return r.left < right && r.right > left && r.top < bottom && r.bottom > top;
    }
    // Cuts this rectangle down to its overlap with r (empty when none).
    CRect& bound(const CRect& r) {
        left = std::max(left, r.left), top = std::max(top, r.top);
        right = std::max(left, std::min(right, r.right));
        bottom = std::max(top, std::min(bottom, r.bottom));
        return *this;
    }
    // Grows this rectangle to cover r as well; an empty rectangle takes r.
    CRect& unite(const CRect& r) {
        if (r.isEmpty()) return *this;
        if (isEmpty()) return *this = r;
        left = std::min(left, r.left), top = std::min(top, r.top);
        right = std::max(right, r.right), bottom = std::max(bottom, r.bottom);
        return *this;
    }
    // Left not greater than right, top not greater than bottom.
    CRect& normalize() {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
        return *this;
    }
    bool operator==(const CRect&) const = default;
};

struct CColor {
    std::uint8_t red = 0, green = 0, blue = 0, alpha = 255;
    constexpr CColor() = default;
    constexpr CColor(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255)
        : red(r), green(g), blue(b), alpha(a) {}
    bool operator==(const CColor&) const = default;
};

constexpr CColor kTransparentCColor{255, 255, 255, 0};
constexpr CColor kBlackCColor{0, 0, 0, 255};
constexpr CColor kWhiteCColor{255, 255, 255, 255};
constexpr CColor kGreyCColor{127, 127, 127, 255};
constexpr CColor kRedCColor{255, 0, 0, 255};
