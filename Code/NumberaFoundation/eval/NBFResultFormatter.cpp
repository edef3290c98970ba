#include "NBFResultFormatter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
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

void getResultComponents(NBFResultFormatterRef formatter, NBFResultRef result, char** components,
                         uint8_t* count, NBFResultBase base, uint32_t decimalPlaces,
                         uint32_t significantDigits) {
    if (count) *count = 0;
    if (!formatter || !components) return;
    M_APM source = NBFResultGetMAPM(result);
    if (!source) return;
    const NBF::ResultFormatterImpl& options = formatter->impl();
    if (base != 2 && base != 16) base = 10;

    int64_t places = std::min<uint32_t>(decimalPlaces, 0xFFFF);
    int64_t shift = 0;
    std::string text;
    m_apm_enter();
    M_APM value = m_apm_init();
    m_apm_copy(value, source);
    if (base == 10) {
        if (significantDigits != 0)
            m_apm_round(value, static_cast<int>(std::min<uint32_t>(significantDigits, 0xFFFF)) - 1,
                        value);
        int64_t exponent = m_apm_exponent(value);
        if (options.scientificNotation &&
            options.snThresholdSmall != NBFScientificNotationThresholdNotDefined &&
            options.snThresholdBig != NBFScientificNotationThresholdNotDefined &&
            (exponent >= options.snThresholdBig || exponent <= -options.snThresholdSmall)) {
            int64_t granularity = std::max<int64_t>(options.snGranularity, 1);
            shift = exponent - exponent % granularity;
            if (shift != 0) {
                // An exact power of ten: the mantissa keeps every digit.
                M_APM scale = m_apm_init();
                std::string power = "1e" + std::to_string(-shift);
                m_apm_set_string(scale, power.c_str());
                m_apm_multiply(value, value, scale);
                m_apm_free(scale);
            }
        }
        if (significantDigits > 0)
            places = std::max<int64_t>(
                0, static_cast<int64_t>(significantDigits) - 1 - exponent + shift);
    }
    char* fixedText = m_apm_to_fixpt_stringexp(static_cast<int>(std::min<int64_t>(places, 0xFFFF)),
                                               value, '.', 0, 0);
    text = fixedText ? fixedText : "";
    std::free(fixedText);
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
