// Turns a result into the text of the answer column by a line's formatting options: the
// normal format (decimal places or significant digits, grouping, trailing zeros, base,
// scientific notation with SI prefixes or a base string, localised separators, unit or
// currency symbol, percent sign), degrees-minutes-seconds and fractions. The normal format
// can also report where the mantissa, base string and exponent lie, for attributed output.
#ifndef NUMBERA_CORE_NC_RESULT_FORMATTER_H
#define NUMBERA_CORE_NC_RESULT_FORMATTER_H

#include <cstdint>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "NBFResultFormatter.h"
#include "NCCurrencySymbols.h"
#include "NCResult.h"
#include "NCResultFormattingOptions.h"
#include "NSAttributedString.h"
#include "NSRange.h"

class NCResultFormatter {
  public:
    // The process's current locale.
    NCResultFormatter();
    explicit NCResultFormatter(const std::string& localeIdentifier);
    ~NCResultFormatter();
    NCResultFormatter(const NCResultFormatter&) = delete;
    NCResultFormatter& operator=(const NCResultFormatter&) = delete;

    // Made once, in the current locale.
    static NCResultFormatter& sharedInstance();

    const std::string& locale() const { return m_locale; }
    // The locale of currency symbols and their placement.
    void setLocale(const std::string& localeIdentifier);

    // By display format: normal (0 and 4), degrees-minutes-seconds (1), fraction (3). No text
    // falls back to the normal format when the options ask for it.
    std::optional<std::u16string> stringValueForResult(const NCResult* result,
                                                       const NCResultFormattingOptions* options);
    // `ranges` has room for three; ranges and rangeCount may be null. An empty result gives
    // an empty text and leaves the ranges as they are.
    std::optional<std::u16string> normalFormattedResult(const NCResult* result,
                                                        const NCResultFormattingOptions* options,
                                                        NSRange* ranges, uint64_t* rangeCount);
    // Display formats 0, 3 and 4 only (3 in the normal format): the normal text in the given
    // attributes, the base string and exponent of scientific notation scaled by the options
    // and the exponent raised. None for other formats and when there is no text.
    std::optional<NSAttributedString> attributedStringValueForResult(
        const NCResult* result, const NCResultFormattingOptions* options,
        const NSAttributes& attributes);
    // The options' format, else the result's for currency; 0 for a unit that is not currency.
    static NCUnitNameFormat currencyUnitNameFormatForResult(
        const NCResult* result, const NCResultFormattingOptions* options);
    // The currency symbol of every locale ICU knows, and "¥".
    static const std::set<std::u16string>& currencySymbols();

  private:
    NBFResultFormatterRef resultFormatter;
    NCCurrencySymbols m_currencySymbols;
    std::string m_locale;
    // Every call reconfigures the one foundation formatter.
    std::mutex m_mutex;
};

std::optional<std::u16string> degreesMinutesSecondsFormattedResult(
    const NCResult* result, const NCResultFormattingOptions* options);
std::optional<std::u16string> fractionFormattedResult(const NCResult* result,
                                                      const NCResultFormattingOptions* options);
// "" for exponent 0, "k" to "P" for 3 to 15; none for every other exponent.
std::optional<std::u16string> exponentSIString(const std::u16string& exponent);
// From "." and "," to the given characters.
void localizeDecimalPointAndThousandsSeparator(std::u16string& text, char16_t decimalCharacter,
                                               char16_t separatorCharacter);
// In place; the two characters may swap. Nothing happens while the old decimal point, the old
// separator or the new decimal point is 0.
void NCResultFormatterReplaceDecimalPointAndThousandsSeparator(std::u16string& text,
                                                               char16_t oldDecimal,
                                                               char16_t oldSeparator,
                                                               char16_t newDecimal,
                                                               char16_t newSeparator);

#endif
