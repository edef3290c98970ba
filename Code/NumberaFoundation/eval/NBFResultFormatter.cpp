#include "NBFResultFormatter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "NBFBaseConverter.h"

NBFResultFormatterRef NBFResultFormatterCreate() { return NBF::ResultFormatter::create(); }
void NBFResultFormatterRelease(NBFResultFormatterRef formatter) { NBF::release(formatter); }

void NBFResultFormatterSetIncludeTrailingZeros(NBFResultFormatterRef formatter, bool on) {
    if (formatter) formatter->setTrailingZeros(on);
}

void NBFResultFormatterSetIncludeThousandsSeparator(NBFResultFormatterRef formatter, bool on) {
    if (formatter) formatter->setThousandsSeparator(on);
}

void NBFResultFormatterSetThousandsGroupSize(NBFResultFormatterRef formatter, int8_t size) {
    if (formatter) formatter->setGroupSize(size);
}

void NBFResultFormatterSetIncludeBasePrefix(NBFResultFormatterRef formatter, bool on) {
    if (formatter) formatter->setBasePrefix(on);
}

void NBFResultFormatterSetEnableScientificNotation(NBFResultFormatterRef formatter, bool on) {
    if (formatter) formatter->setScientificNotation(on);
}

void NBFResultFormatterSetScientificNotationThresholds(NBFResultFormatterRef formatter,
                                                       int16_t small, int16_t big) {
    if (formatter) formatter->setScientificNotationThresholds(small, big);
}

void NBFResultFormatterSetScientificNotationGranularity(NBFResultFormatterRef formatter,
                                                        int16_t granularity) {
    if (formatter) formatter->setSnGranularity(granularity);
}

namespace {

// The power of ten the value is shown divided by when its leading digit has this exponent: 0
// when scientific notation does not apply.
int64_t shiftForExponent(const NBF::ResultFormatterImpl& options, int64_t exponent) {
    if (!options.scientificNotation ||
        options.snThresholdSmall == NBFScientificNotationThresholdNotDefined ||
        options.snThresholdBig == NBFScientificNotationThresholdNotDefined ||
        (exponent < options.snThresholdBig && exponent > -options.snThresholdSmall))
        return 0;
    int64_t granularity = std::max<int64_t>(options.snGranularity, 1);
    return exponent - exponent % granularity;
}

// The value divided by 10^shift in fixed point with that many decimal places (rounded).
std::string fixedText(M_APM value, int64_t shift, int64_t places) {
    M_APM scaled = m_apm_init();
    m_apm_copy(scaled, value);
    if (shift != 0) {
        // An exact power of ten: the mantissa keeps every digit.
        M_APM scale = m_apm_init();
        std::string power = "1e" + std::to_string(-shift);
        m_apm_set_string(scale, power.c_str());
        m_apm_multiply(scaled, scaled, scale);
        m_apm_free(scale);
    }
    char* rendered = m_apm_to_fixpt_stringexp(static_cast<int>(std::min<int64_t>(places, 0xFFFF)),
                                              scaled, '.', 0, 0);
    std::string text = rendered ? rendered : "";
    std::free(rendered);
    m_apm_free(scaled);
    return text;
}

// The exponent of the leading digit of a rendered value ("-123.45" 2, "0.0012" −3), none when
// it rendered as zero; read from the text, which is cheaper than parsing it again.
std::optional<int64_t> renderedExponent(const std::string& text) {
    const size_t point = std::min(text.find('.'), text.size());
    const size_t leading = text.find_first_of("123456789");
    if (leading == std::string::npos) return std::nullopt;
    if (leading < point) return static_cast<int64_t>(point - leading) - 1;
    return -static_cast<int64_t>(leading - point);
}

void getResultComponents(NBFResultFormatterRef formatter, NBFResultRef result, char** components,
                         uint8_t* count, NBFResultBase base, uint32_t decimalPlaces,
                         uint32_t significantDigits) {
    if (count) *count = 0;
    if (!formatter || !components) return;
    M_APM source = NBFResultGetMAPM(result);
    if (!source) return;
    const NBF::ResultFormatterImpl& options = formatter->impl();
    if (base != 2 && base != 16) base = 10;

    int64_t shift = 0;
    std::string text;
    m_apm_enter();
    M_APM value = m_apm_init();
    m_apm_copy(value, source);
    if (base == 10) {
        if (significantDigits != 0)
            m_apm_round(value, static_cast<int>(std::min<uint32_t>(significantDigits, 0xFFFF)) - 1,
                        value);
        auto render = [&](int64_t exponent) {
            shift = shiftForExponent(options, exponent);
            int64_t places = std::min<uint32_t>(decimalPlaces, 0xFFFF);
            if (significantDigits > 0)
                places = std::max<int64_t>(
                    0, static_cast<int64_t>(significantDigits) - 1 - exponent + shift);
            text = fixedText(value, shift, places);
        };
        int64_t exponent = m_apm_exponent(value);
        render(exponent);
        // Rounding may carry into the next power of ten (9.9999 to two places is 10.00): the
        // shown number then has the next exponent, and is shown as that number is, so that a
        // mantissa never reaches 10 ("1e16", not "10e15") and the thresholds judge what shows.
        std::optional<int64_t> shown = renderedExponent(text);
        if (shown && *shown + shift > exponent) render(exponent + 1);
    } else {
        text = fixedText(value, 0, std::min<uint32_t>(decimalPlaces, 0xFFFF));
    }
    m_apm_free(value);
    m_apm_leave();

    if (base != 10) {
        char* converted =
            NBFBaseConverterConvertFromDecimal(text.c_str(), base, options.basePrefix);
        if (!converted) return;
        text = converted;
        std::free(converted);
    }
    if (options.thousandsSeparator) {
        size_t sign = !text.empty() && text[0] == '-' ? 1 : 0;
        size_t protectedLength = sign;
        if (NBFBaseConverterIs2CharPrefixedString(text.c_str() + sign)) protectedLength += 2;
        text = NBF::groupDigits(text, protectedLength, options.groupSize);
    }
    if (!options.trailingZeros && !text.empty()) text = NBF::removeTrailingZeros(text);

    components[0] = strdup(text.c_str());
    if (count) *count = 1;
    if (base == 10 && shift != 0) {
        components[1] = strdup("10");
        components[2] = strdup(std::to_string(shift).c_str());
        if (count) *count = 3;
    }
}

}  // namespace

void NBFResultFormatterGetResultComponentsWithDecimalPlaces(NBFResultFormatterRef formatter,
                                                            NBFResultRef result, char** components,
                                                            uint8_t* count, NBFResultBase base,
                                                            uint32_t decimalPlaces) {
    getResultComponents(formatter, result, components, count, base, decimalPlaces, 0);
}

void NBFResultFormatterGetResultComponentsWithSignificantDigits(NBFResultFormatterRef formatter,
                                                                NBFResultRef result,
                                                                char** components, uint8_t* count,
                                                                NBFResultBase base,
                                                                uint32_t significantDigits) {
    getResultComponents(formatter, result, components, count, base, 0, significantDigits);
}
