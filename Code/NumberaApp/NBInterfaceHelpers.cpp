#include "NBInterfaceHelpers.h"

#include <QFontMetricsF>
#include <QGuiApplication>

#include "NBColorManager.h"

namespace {

QColor namedColor(const char16_t* identifier) {
    if (auto color = NBColorManager::sharedInstance().colorForIdentifier(identifier))
        return QColor::fromRgbF(
            static_cast<float>(color->redComponent), static_cast<float>(color->greenComponent),
            static_cast<float>(color->blueComponent), static_cast<float>(color->alphaComponent));
    return Qt::black;
}

}  // namespace

QColor NBSyntaxColorForTokenType(int32_t type, int32_t subtype) {
    switch (type) {
        case 1:
            return namedColor(u"NBNumbersSyntaxColor");
        case 2:
        case 15:
            return namedColor(u"NBOperatorsSyntaxColor");
        case 4:
            return namedColor(u"NBWordsSyntaxColor");
        case 5:
            return namedColor(u"NBUnitsSyntaxColor");
        case 6:
            return namedColor(u"NBFunctionsSyntaxColor");
        case 7:
        case 10:
            return namedColor(u"NBConstantsSyntaxColor");
        case 8:
            return QColor(255, 128, 0);
        case 11:
            return namedColor(u"NBBracketsSyntaxColor");
        case 12:
            if (subtype == 3) return namedColor(u"NBHeadingsSyntaxColor");
            if (subtype == 4) return namedColor(u"NBLabelsSyntaxColor");
            return namedColor(u"NBCommentsSyntaxColor");
        default:
            return Qt::black;
    }
}

QColor NBSyntaxHeadingMarkerColor() { return Qt::lightGray; }

const std::u16string& NBLineSeparatorString() {
    static const std::u16string separator = u"\n";
    return separator;
}

double NBLargestFittingFontSize(const QString& string, const QFont* font, QSizeF* measured,
                                double maxWidth, double maxHeight) {
    if (maxWidth > 10000 || maxHeight > 4000) return 0;
    QFont tried = font ? *font : QGuiApplication::font();
    if (!font) tried.setPointSizeF(14);
    double low = 1, high = 4000, size = low;
    QSizeF last;
    while (high - low > 0.1) {
        size = (low + high) / 2;
        tried.setPointSizeF(size);
        last = QFontMetricsF(tried).boundingRect(QRectF(0, 0, 100000, 100000), 0, string).size();
        if (last.width() < maxWidth && last.height() < maxHeight)
            low = size;
        else
            high = size;
    }
    if (measured) *measured = last;
    return size;
}

bool NBRangeFitsString(uint64_t location, uint64_t length, const std::u16string& string) {
    return location <= string.size() && length <= string.size() - location;
}

QColor NBChromeColor(const QColor& light, const QPalette& palette) {
    if (palette.color(QPalette::Window).lightness() >= 128) return light;
    const QColor hsl = light.toHsl();
    return QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), 1.0f - hsl.lightnessF(),
                            hsl.alphaF());
}
