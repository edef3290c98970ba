#include "NCAttributedResultFormatter.h"

#include <algorithm>
#include <cmath>

namespace {

double fontSizeOf(const NSAttributes& attributes) {
    auto found = attributes.find(NSFontSizeAttributeName);
    if (found == attributes.end()) return NSDefaultFontSize;
    if (auto size = std::get_if<double>(&found->second))
        return *size > 0 ? *size : NSDefaultFontSize;
    if (auto size = std::get_if<int64_t>(&found->second))
        return *size > 0 ? static_cast<double>(*size) : NSDefaultFontSize;
    return NSDefaultFontSize;
}

NSAttributes withFontSize(NSAttributes attributes, double size) {
    attributes[NSFontSizeAttributeName] =
        std::isfinite(size) && size > 0 ? size : NSDefaultFontSize;
    return attributes;
}

NSRange clipped(NSRange range, uint64_t length) {
    if (range.location >= length) return {length, 0};
    return {range.location, std::min(range.length, length - range.location)};
}

}  // namespace

NSAttributedString NCAttributedResultFormatter::formatResultString(
    const std::u16string& string, const NSRange* ranges, uint64_t rangeCount,
    const NSAttributes& normalAttributes) const {
    const double points = fontSizeOf(normalAttributes);
    const double baseScale = m_options ? m_options->scientificNotationBaseStringFontSizeScale : 1.0;
    const double exponentScale =
        m_options ? m_options->scientificNotationExponentStringFontSizeScale : 1.0;
    const NSAttributes normal = withFontSize(normalAttributes, points);
    NSAttributedString text(string, normal);
    if (!ranges) return text;
    const uint64_t length = string.size();
    if (rangeCount >= 1) text.setAttributes(normal, clipped(ranges[0], length));
    if (rangeCount >= 3) {
        text.setAttributes(withFontSize(normalAttributes, points * baseScale),
                           clipped(ranges[1], length));
        NSAttributes exponent = withFontSize(normalAttributes, points * exponentScale);
        exponent[NSSuperscriptAttributeName] = int64_t{1};
        text.setAttributes(exponent, clipped(ranges[2], length));
    }
    return text;
}
