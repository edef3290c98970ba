#include <cmath>
#include <cstdio>

#include "NSColor.h"

namespace {

// Colour files are untrusted: NaN and values outside 0...1 must still give two hex digits.
unsigned byteForComponent(double component) {
    if (!(component > 0)) return 0;
    if (component >= 1) return 255;
    return static_cast<unsigned>(component * 255);
}

std::u16string hexString(double red, double green, double blue) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", byteForComponent(red),
                  byteForComponent(green), byteForComponent(blue));
    return std::u16string(text, text + 7);
}

}  // namespace

std::optional<NSColor> NSColor::colorUsingCalibratedRGBColorSpace() const {
    switch (colorSpace) {
        case ColorSpace::CalibratedRGB:
        case ColorSpace::DeviceRGB:
            return colorWithCalibratedRed(redComponent, greenComponent, blueComponent,
                                          alphaComponent);
        case ColorSpace::CalibratedWhite:
        case ColorSpace::DeviceWhite:
            return colorWithCalibratedRed(whiteComponent, whiteComponent, whiteComponent,
                                          alphaComponent);
        case ColorSpace::Other:
            break;
    }
    return std::nullopt;
}

std::optional<std::u16string> NSColor::cssHexString() const {
    switch (colorSpace) {
        case ColorSpace::CalibratedRGB:
        case ColorSpace::DeviceRGB:
            return hexString(redComponent, greenComponent, blueComponent);
        case ColorSpace::CalibratedWhite:
        case ColorSpace::DeviceWhite:
            return hexString(whiteComponent, whiteComponent, whiteComponent);
        case ColorSpace::Other:
            break;
    }
    return std::nullopt;
}
