// A platform colour free of any toolkit: its colour space and components. The application
// converts it to its own colour type.
#ifndef NUMBERA_KIT_NS_COLOR_H
#define NUMBERA_KIT_NS_COLOR_H

#include <optional>
#include <string>

struct NSColor {
    enum class ColorSpace { CalibratedRGB, DeviceRGB, CalibratedWhite, DeviceWhite, Other };

    ColorSpace colorSpace = ColorSpace::CalibratedRGB;
    // Red, green, blue and alpha for the RGB spaces; white and alpha for the white spaces.
    double redComponent = 0, greenComponent = 0, blueComponent = 0, alphaComponent = 1;
    double whiteComponent = 0;

    static NSColor colorWithCalibratedRed(double red, double green, double blue, double alpha) {
        return {ColorSpace::CalibratedRGB, red, green, blue, alpha, 0};
    }
    static NSColor colorWithCalibratedWhite(double white, double alpha) {
        return {ColorSpace::CalibratedWhite, 0, 0, 0, alpha, white};
    }
    static NSColor blackColor() { return colorWithCalibratedRed(0, 0, 0, 1); }

    // The same colour in the calibrated RGB space; none from a space that has no such form.
    std::optional<NSColor> colorUsingCalibratedRGBColorSpace() const;
    // "#rrggbb", each component clamped to 0...1 then scaled to 255 and cut toward zero; a
    // white colour repeats its grey level; none for another colour space.
    std::optional<std::u16string> cssHexString() const;

    friend bool operator==(const NSColor&, const NSColor&) = default;
};

#endif
