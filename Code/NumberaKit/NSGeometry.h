// Points, sizes and rectangles of the drawn text, in points, y growing downwards.
#ifndef NUMBERA_KIT_NSGEOMETRY_H
#define NUMBERA_KIT_NSGEOMETRY_H

struct NSPoint {
    double x = 0, y = 0;
    friend bool operator==(const NSPoint&, const NSPoint&) = default;
};

struct NSSize {
    double width = 0, height = 0;
    friend bool operator==(const NSSize&, const NSSize&) = default;
};

struct NSRect {
    NSPoint origin;
    NSSize size;
    friend bool operator==(const NSRect&, const NSRect&) = default;
};

inline NSRect NSMakeRect(double x, double y, double width, double height) {
    return {{x, y}, {width, height}};
}
constexpr NSRect NSZeroRect{};

#endif
