// What the numerals window's panels show, worked out without the toolkit: the status texts of
// the currency and stock updates, the rates in the base currency, the menus of currency codes
// and the variable name proposed for a stock ticker.
#ifndef NUMBERA_APP_NB_NUMERALS_RULES_H
#define NUMBERA_APP_NB_NUMERALS_RULES_H

#include <optional>
#include <string>
#include <vector>

#include "Clock.h"

namespace NBNumeralsRules {

// An enabled currency is out of date when the last update lies more than a minute after its
// own rate's date; without a last update nothing is out of date.
inline constexpr NSTimeInterval kOutOfDateTolerance = 60;
bool currencyIsOutOfDate(bool enabled, NSTimeInterval sourceDate,
                         std::optional<NSTimeInterval> lastUpdate);

// The rate with two decimals and grouped thousands; a rate below one keeps at least four
// significant digits, so that a tiny rate never reads as zero. Separators are the user's.
std::u16string formattedRate(double rate, const std::u16string& thousandsSeparator,
                             const std::u16string& decimalSeparator);

// The status after a partial failure, from the codes that failed (none: empty).
std::u16string partialFailureText(const std::vector<std::u16string>& failedCodes);

// One entry of a menu of currency codes; an empty code is a separator.
struct CurrencyMenuEntry {
    std::u16string code;
    bool isSeparator() const { return code.empty(); }
};
struct CurrencyChoice {
    std::u16string code;
    bool enabled = false;
    bool favourite = false;
};

// The base-currency menu: enabled favourites, a separator, the other enabled currencies; "USD"
// on top when the base is not listed or nothing is enabled. selectedCode is the base, or "USD".
struct BaseCurrencyMenu {
    std::vector<CurrencyMenuEntry> entries;
    std::u16string selectedCode;
};
BaseCurrencyMenu baseCurrencyMenu(const std::vector<CurrencyChoice>& currencies,
                                  const std::u16string& baseCode);

// Rates are shown against the base currency, so it must stay enabled. Whether the currency of
// `code` may be disabled: any other currency may; the base may while another is enabled, and
// the base then moves to `newBase`, the first enabled favourite, else the first enabled one.
struct BaseCurrencyDisabling {
    bool allowed = true;
    std::u16string newBase;  // empty: the base stays
};
BaseCurrencyDisabling disablingCurrency(const std::vector<CurrencyChoice>& currencies,
                                        const std::u16string& code, const std::u16string& baseCode);

// The add-stock sheet's currency menu after its "None" item and separator: the favourites, a
// separator, every other currency; "GBX" (pence) just before "GBP".
std::vector<CurrencyMenuEntry> stockCurrencyMenu(const std::vector<CurrencyChoice>& currencies);

// "-" and "=" become "_", then one leading "^" goes; everything else stays.
std::u16string validVariableNameForTicker(const std::u16string& ticker);

// Upper case of the ASCII letters; tickers are ASCII.
std::u16string upperCaseTicker(const std::u16string& ticker);

}  // namespace NBNumeralsRules

#endif
