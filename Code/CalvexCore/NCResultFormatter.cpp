#include "NCResultFormatter.h"

#include <unicode/uloc.h>
#include <unicode/unum.h>

#include <charconv>
#include <cstdlib>
#include <string_view>

#include "NCUtilityFunctions.h"
#include "Regex.h"

namespace {

// Stands for the new decimal point while separators are replaced, so the two may swap.
constexpr char16_t kDecimalPlaceholder = 0x11;

std::u16string literalPattern(char16_t character) {
    static const char16_t hex[] = u"0123456789ABCDEF";
    std::u16string pattern = u"\\x{";
    for (int shift = 12; shift >= 0; shift -= 4) pattern += hex[(character >> shift) & 0xF];
    return pattern + u"}";
}

// Rewrites every match: the text of `keptGroup` (when it took part) and then `insert` (nothing
// for 0).
void replaceMatches(std::u16string& text, const std::u16string& pattern, size_t keptGroup,
                    char16_t insert) {
    std::shared_ptr<Regex> regex = Regex::cached(pattern);
    if (!regex) return;
    std::vector<RegexMatch> matches = regex->allMatches(text);
    if (matches.empty()) return;
    std::u16string out;
    uint64_t copied = 0;
    for (const RegexMatch& match : matches) {
        out.append(text, copied, match.range.location - copied);
        out += match.group(text, keptGroup);
        if (insert) out += insert;
        copied = NSMaxRange(match.range);
    }
    out.append(text, copied, std::u16string::npos);
    text = std::move(out);
}

std::u16string superscript(const std::u16string& exponent) {
    static const char16_t digits[] =
        u"\u2070\u00B9\u00B2\u00B3\u2074\u2075\u2076\u2077\u2078\u2079";
    std::u16string out;
    for (char16_t c : exponent) {
        if (c == u'-')
            out += u'\u207B';
        else if (c >= u'0' && c <= u'9')
            out += digits[c - u'0'];
        else
            out += c;
    }
    return out;
}

// A value that rounds to zero is written without its sign.
void dropSignOfZero(std::string& text) {
    if (text.empty() || text[0] != '-') return;
    if (text.find_first_of("123456789ABCDEFabcdef", 1) == std::string::npos) text.erase(0, 1);
}

int16_t clampedInt16(uint64_t value) {
    return static_cast<int16_t>(std::min<uint64_t>(value, INT16_MAX));
}

struct Components {
    char* parts[3] = {nullptr, nullptr, nullptr};
    uint8_t count = 0;
    ~Components() {
        for (char* part : parts) std::free(part);
    }
};

}  // namespace

NCResultFormatter::NCResultFormatter() : NCResultFormatter(uloc_getDefault()) {}

NCResultFormatter::NCResultFormatter(const std::string& localeIdentifier)
    : resultFormatter(NBFResultFormatterCreate()) {
    setLocale(localeIdentifier);
}

NCResultFormatter::~NCResultFormatter() { NBFResultFormatterRelease(resultFormatter); }

NCResultFormatter& NCResultFormatter::sharedInstance() {
    static NCResultFormatter* shared = new NCResultFormatter();
    return *shared;
}

void NCResultFormatter::setLocale(const std::string& localeIdentifier) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (localeIdentifier == m_locale) return;
    m_locale = localeIdentifier;
    m_currencySymbols.setLocale(localeIdentifier);
}

std::optional<std::u16string> NCResultFormatter::stringValueForResult(
    const NCResult* result, const NCResultFormattingOptions* options) {
    if (!options) return std::nullopt;
    std::optional<std::u16string> text;
    switch (options->displayFormat()) {
        case NCDisplayFormatNormal:
        case NCDisplayFormatSpacedGroupsOfFour:
            text = normalFormattedResult(result, options, nullptr, nullptr);
            break;
        case NCDisplayFormatDegreesMinutesSeconds:
            text = degreesMinutesSecondsFormattedResult(result, options);
            break;
        case NCDisplayFormatFraction:
            text = fractionFormattedResult(result, options);
            break;
        default:
            break;
    }
    if (!text && options->fallbackToDefaultDisplayFormat)
        text = normalFormattedResult(result, options, nullptr, nullptr);
    return text;
}

std::optional<std::u16string> NCResultFormatter::normalFormattedResult(
    const NCResult* result, const NCResultFormattingOptions* options, NSRange* ranges,
    uint64_t* rangeCount) {
    if (!result || !options) return std::nullopt;
    if (result->resultType() == NCResultTypeEmpty) return std::u16string();
    const bool spacedGroups = options->displayFormat() == NCDisplayFormatSpacedGroupsOfFour;
    // Anything but the bases the converter knows is shown in decimal.
    const int32_t base =
        options->displayBase == 2 || options->displayBase == 16 ? options->displayBase : 10;
    NBFResultRef value = result->nbfResult();

    std::u16string text;
    uint64_t count = 0;
    uint8_t componentCount = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        NBFResultFormatterSetIncludeThousandsSeparator(resultFormatter,
                                                       options->thousandsSeparator);
        NBFResultFormatterSetThousandsGroupSize(
            resultFormatter, spacedGroups ? 4
                                          : static_cast<int8_t>(std::min<uint64_t>(
                                                options->thousandsGroupSize, INT8_MAX)));
        NBFResultFormatterSetIncludeBasePrefix(resultFormatter, options->showBasePrefix);
        NBFResultFormatterSetIncludeTrailingZeros(resultFormatter, options->trailingZeros);
        if (options->scientificNotationMode == 2) {
            NBFResultFormatterSetEnableScientificNotation(resultFormatter, true);
            NBFResultFormatterSetScientificNotationThresholds(
                resultFormatter, clampedInt16(options->scientificNotationSmallThreshold),
                clampedInt16(options->scientificNotationBigThreshold));
        } else if (options->scientificNotationMode == 1) {
            NBFResultFormatterSetEnableScientificNotation(resultFormatter, true);
            NBFResultFormatterSetScientificNotationThresholds(resultFormatter, 0, 0);
        } else {
            NBFResultFormatterSetEnableScientificNotation(resultFormatter, false);
        }
        // A granularity of 0 (documents without the key) would leave no step to round to.
        uint64_t granularity =
            options->scientificNotationStyle == 0
                ? 3
                : std::max<uint64_t>(options->scientificNotationExponentGranularity, 1);
        NBFResultFormatterSetScientificNotationGranularity(resultFormatter,
                                                           clampedInt16(granularity));

        Components components;
        if (options->significantDigits() != 0) {
            NBFResultFormatterGetResultComponentsWithSignificantDigits(
                resultFormatter, value, components.parts, &components.count,
                static_cast<NBFResultBase>(base),
                static_cast<uint32_t>(
                    std::min<uint64_t>(options->significantDigits(), UINT32_MAX)));
        } else {
            NBFResultFormatterGetResultComponentsWithDecimalPlaces(
                resultFormatter, value, components.parts, &components.count,
                static_cast<NBFResultBase>(base),
                static_cast<uint32_t>(std::min<uint64_t>(options->decimalPlaces(), UINT32_MAX)));
        }
        componentCount = components.count;
        if (components.count >= 1 && components.parts[0]) {
            std::string mantissa = components.parts[0];
            dropSignOfZero(mantissa);
            text = NBFUTF8ToUTF16(mantissa);
        }
        if (components.count == 3 && components.parts[2]) {
            std::u16string exponent = NBFUTF8ToUTF16(components.parts[2]);
            std::optional<std::u16string> si;
            if (options->scientificNotationStyle == 0) si = exponentSIString(exponent);
            if (si) {
                text += *si;
                count = 0;
            } else {
                if (options->scientificNotationConvertsExponentCharactersIntoSuperscript)
                    exponent = superscript(exponent);
                const std::u16string& baseString = options->scientificNotationBaseString;
                if (ranges) {
                    ranges[0] = {0, text.size()};
                    ranges[1] = {text.size(), baseString.size()};
                    ranges[2] = {text.size() + baseString.size(), exponent.size()};
                }
                text += baseString + exponent + options->scientificNotationExponentSuffixString;
                count = 3;
            }
        } else if (components.count == 1) {
            if (ranges) ranges[0] = {0, text.size()};
            count = 1;
        }
    }
    if (rangeCount) *rangeCount = count;
    if (componentCount == 0) return std::nullopt;

    NCResultFormatterReplaceDecimalPointAndThousandsSeparator(
        text, u'.', u',', options->decimalPlaceCharacter,
        spacedGroups ? u' ' : options->thousandsSeparatorCharacter);

    if (result->flags() & NCResultFlagPercentage) {
        if (componentCount > 1) text += u' ';
        if (options->showPercentSign) text += u'%';
        return text;
    }
    std::shared_ptr<NCUnit> unit = result->unit();
    if (!options->showUnit || !unit) return text;
    if (currencyUnitNameFormatForResult(result, options) == NCUnitNameFormatSymbol &&
        unit->type() == NCUnitTypeCurrency) {
        int placement = 1;
        std::optional<std::u16string> symbol;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            symbol = m_currencySymbols.symbolForCurrencyCode(unit->currencyCode(), &placement);
        }
        if (!symbol) return text;
        if (placement == 1) {
            text += *symbol;
        } else if (!text.empty()) {
            text.insert(text[0] == u'-' ? 1 : 0, *symbol);
            if (ranges)
                for (uint64_t i = 0; i < count; ++i) ranges[i].location += symbol->size();
        }
        return text;
    }
    std::optional<std::u16string> unitText =
        options->unitNameFormat == NCUnitNameFormatDefault
            ? result->unitString()
            : unit->namePreferringFormat(options->unitNameFormat, result->isUnity()
                                                                      ? NCUnitNameFormSingular
                                                                      : NCUnitNameFormPlural);
    if (unitText && !unitText->empty()) text += u" " + *unitText;
    return text;
}

NCUnitNameFormat NCResultFormatter::currencyUnitNameFormatForResult(
    const NCResult* result, const NCResultFormattingOptions* options) {
    if (!result || !result->unit() || result->unit()->type() != NCUnitTypeCurrency) return 0;
    if (options && options->unitNameFormat != NCUnitNameFormatDefault)
        return options->unitNameFormat;
    return result->unitNameFormatForComponentUnitType(NCUnitTypeCurrency);
}

const std::set<std::u16string>& NCResultFormatter::currencySymbols() {
    static const std::set<std::u16string> symbols = [] {
        std::set<std::u16string> found{u"\u00A5"};
        for (int32_t i = 0, n = uloc_countAvailable(); i < n; ++i) {
            UErrorCode status = U_ZERO_ERROR;
            UNumberFormat* format =
                unum_open(UNUM_CURRENCY, nullptr, 0, uloc_getAvailable(i), nullptr, &status);
            if (U_FAILURE(status)) continue;
            UChar buffer[32];
            int32_t length = unum_getSymbol(format, UNUM_CURRENCY_SYMBOL, buffer, 32, &status);
            if (U_SUCCESS(status) && length > 0 && length <= 32)
                found.insert(std::u16string(reinterpret_cast<char16_t*>(buffer), length));
            unum_close(format);
        }
        return found;
    }();
    return symbols;
}

std::optional<std::u16string> degreesMinutesSecondsFormattedResult(
    const NCResult* result, const NCResultFormattingOptions* options) {
    if (!result || !options) return std::nullopt;
    char* degrees = nullptr;
    char* minutes = nullptr;
    char* seconds = nullptr;
    NBFResultGetDegreesMinutesSeconds(
        result->nbfResult(), &degrees, &minutes, &seconds,
        static_cast<uint16_t>(std::min<uint64_t>(options->decimalPlaces(), 0xFFFE)),
        options->trailingZeros, options->thousandsSeparator, 3);
    std::optional<std::u16string> text;
    if (degrees && minutes && seconds) {
        text = NBFUTF8ToUTF16(degrees) + options->degreesCharacter + u" " +
               NBFUTF8ToUTF16(minutes) + options->minutesCharacter + u" " +
               NBFUTF8ToUTF16(seconds) + options->secondsCharacter;
    }
    std::free(degrees);
    std::free(minutes);
    std::free(seconds);
    return text;
}

std::optional<std::u16string> fractionFormattedResult(const NCResult* result,
                                                      const NCResultFormattingOptions* options) {
    if (!result || !options) return std::nullopt;
    char* whole = nullptr;
    char* numerator = nullptr;
    char* denominator = nullptr;
    NBFResultGetFraction(result->nbfResult(), &whole, &numerator, &denominator, nullptr, nullptr,
                         options->fractionStyle == 0);
    std::optional<std::u16string> text;
    if (numerator && denominator && std::string_view(denominator) != "1") {
        text = NBFUTF8ToUTF16(numerator) + u"/" + NBFUTF8ToUTF16(denominator);
        if (whole) text = NBFUTF8ToUTF16(whole) + u" " + *text;
    }
    std::free(whole);
    std::free(numerator);
    std::free(denominator);
    return text;
}

std::optional<std::u16string> exponentSIString(const std::u16string& exponent) {
    std::string digits = NBFUTF16ToUTF8(exponent);
    long long value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (value == 0) return std::u16string();
    static const char16_t* const prefixes[] = {u"", u"k", u"M", u"G", u"T", u"P"};
    if (value % 3 == 0 && value >= -2 && value <= 17) return std::u16string(prefixes[value / 3]);
    return std::nullopt;
}

void localizeDecimalPointAndThousandsSeparator(std::u16string& text, char16_t decimalCharacter,
                                               char16_t separatorCharacter) {
    NCResultFormatterReplaceDecimalPointAndThousandsSeparator(text, u'.', u',', decimalCharacter,
                                                              separatorCharacter);
}

void NCResultFormatterReplaceDecimalPointAndThousandsSeparator(std::u16string& text,
                                                               char16_t oldDecimal,
                                                               char16_t oldSeparator,
                                                               char16_t newDecimal,
                                                               char16_t newSeparator) {
    if (!oldDecimal || !oldSeparator || !newDecimal) return;
    const std::u16string decimal = literalPattern(oldDecimal);
    // A point between digits, after a digit before white space or the end, or before a digit.
    // Lookaheads leave the following digit free to begin the next match.
    if (newDecimal != oldDecimal)
        replaceMatches(text, u"(?:(\\d)" + decimal + u"(?=[\\d\\s]|$))|(?:" + decimal + u"(?=\\d))",
                       1, kDecimalPlaceholder);
    if (newSeparator != oldSeparator)
        replaceMatches(text, u"(\\d)" + literalPattern(oldSeparator) + u"(?=\\d)", 1, newSeparator);
    if (newDecimal != oldDecimal)
        for (char16_t& c : text)
            if (c == kDecimalPlaceholder) c = newDecimal;
}
