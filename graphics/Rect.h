// Rect, FRect, Point and Insets: the small geometric values passed everywhere.
#pragma once

#include <algorithm>

namespace Varn {

struct Point {
    int x = 0;
    int y = 0;
    friend constexpr bool operator==(const Point&, const Point&) = default;
};

struct Insets {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend constexpr bool operator==(const Insets&, const Insets&) = default;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    constexpr Rect() = default;
    constexpr Rect(int x_, int y_, int w, int h) : x(x_), y(y_), width(w), height(h) {}

    // Touching rectangles intersect in an empty rectangle at their common edge;
    // disjoint ones give (0, 0, 0, 0).
    constexpr Rect Intersection(const Rect& o) const {
        int left = std::max(x, o.x);
        int right = std::min(x + width, o.x + o.width);
        int top = std::max(y, o.y);
        int bottom = std::min(y + height, o.y + o.height);
        if (right - left >= 0 && bottom - top >= 0)
            return Rect(left, top, right - left, bottom - top);
        return Rect();
    }
    // The smallest rectangle holding both.
    constexpr Rect BoundingUnion(const Rect& o) const {
        int left = std::min(x, o.x);
        int top = std::min(y, o.y);
        return Rect(left, top, std::max(x + width, o.x + o.width) - left,
                    std::max(y + height, o.y + o.height) - top);
    }
    constexpr bool Intersects(const Rect& o) const {
        return x < o.x + o.width && y < o.y + o.height && o.x < x + width && o.y < y + height;
    }
    constexpr bool Contains(int px, int py) const {
        return px >= x && px < x + width && py >= y && py < y + height;
    }

    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

struct FRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    friend constexpr bool operator==(const FRect&, const FRect&) = default;
};

}  // namespace Varn
