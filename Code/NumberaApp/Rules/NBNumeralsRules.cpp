#include "NBNumeralsRules.h"

#include <charconv>
#include <cmath>
#include <string>

#include "NSLocalizedString.h"

namespace NBNumeralsRules {

namespace {

std::u16string fromASCII(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

std::u16string replaced(std::u16string format, const std::vector<std::u16string>& arguments) {
    size_t next = 0;
    for (const auto& argument : arguments) {
        size_t at = format.find(u'%', next);
        while (at != std::u16string::npos && at + 1 < format.size() && format[at + 1] != u'@' &&
               format[at + 1] != u'i')
            at = format.find(u'%', at + 1);
        if (at == std::u16string::npos || at + 1 >= format.size()) break;
        format.replace(at, 2, argument);
        next = at + argument.size();
    }
    return format;
}

}  // namespace

bool currencyIsOutOfDate(bool enabled, NSTimeInterval sourceDate,
                         std::optional<NSTimeInterval> lastUpdate) {
    return enabled && lastUpdate && *lastUpdate - sourceDate > kOutOfDateTolerance;
}

std::u16string formattedRate(double rate, const std::u16string& thousandsSeparator,
                             const std::u16string& decimalSeparator) {
    if (!std::isfinite(rate)) return u"-";
    int decimals = 2;
    const double magnitude = std::fabs(rate);
    if (magnitude > 0 && magnitude < 1) {
        // The first significant digit sits -floor(log10) places after the point.
        const int leadingZeros = static_cast<int>(-std::floor(std::log10(magnitude))) - 1;
        decimals = std::max(2, leadingZeros + 4);
        decimals = std::min(decimals, 20);
    }
    char buffer[512];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, rate, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return u"-";
    std::string text(buffer, result.ptr);
    bool negative = !text.empty() && text.front() == '-';
    if (negative) text.erase(0, 1);
    const size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction =
        point == std::string::npos ? std::string() : text.substr(point + 1);
    std::u16string grouped;
    for (size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) grouped += thousandsSeparator;
        grouped += static_cast<char16_t>(whole[i]);
    }
    std::u16string out = negative ? u"-" : u"";
    out += grouped;
    if (!fraction.empty()) out += decimalSeparator + fromASCII(fraction);
    return out;
}

std::u16string partialFailureText(const std::vector<std::u16string>& failedCodes) {
    const size_t count = failedCodes.size();
    if (count == 0) return {};
    if (count == 1)
        return replaced(NSLocalizedString(u"Rates for %@ could not be updated"), {failedCodes[0]});
    const std::u16string number = fromASCII(std::to_string(count));
    if (count == 2)
        return replaced(NSLocalizedString(u"Rates for %i currencies could not be updated"),
                        {number});
    return replaced(
        NSLocalizedString(u"Rates for %i currencies including %@, %@ and %@ could not be updated"),
        {number, failedCodes[0], failedCodes[1], failedCodes[2]});
}

BaseCurrencyMenu baseCurrencyMenu(const std::vector<CurrencyChoice>& currencies,
                                  const std::u16string& baseCode) {
    BaseCurrencyMenu menu;
    bool anyEnabled = false;
    size_t favourites = 0;
    for (const auto& currency : currencies) {
        if (!currency.enabled || !currency.favourite) continue;
        menu.entries.push_back({currency.code});
        ++favourites;
    }
    bool separated = false;
    for (const auto& currency : currencies) {
        if (!currency.enabled) continue;
        anyEnabled = true;
        if (currency.favourite) continue;
        if (favourites > 0 && !separated) {
            menu.entries.push_back({});
            separated = true;
        }
        menu.entries.push_back({currency.code});
    }
    bool listed = false;
    for (const auto& entry : menu.entries)
        if (!entry.isSeparator() && entry.code == baseCode) listed = true;
    if (!listed || !anyEnabled) {
        std::vector<CurrencyMenuEntry> top{{u"USD"}};
        if (favourites == 0 && anyEnabled) top.push_back({});
        menu.entries.insert(menu.entries.begin(), top.begin(), top.end());
    }
    menu.selectedCode = listed && anyEnabled ? baseCode : u"USD";
    return menu;
}

BaseCurrencyDisabling disablingCurrency(const std::vector<CurrencyChoice>& currencies,
                                        const std::u16string& code,
                                        const std::u16string& baseCode) {
    BaseCurrencyDisabling outcome;
    if (code != baseCode) return outcome;
    for (int favouritesFirst = 1; favouritesFirst >= 0 && outcome.newBase.empty();
         --favouritesFirst)
        for (const auto& currency : currencies)
            if (currency.enabled && currency.code != code &&
                (!favouritesFirst || currency.favourite)) {
                outcome.newBase = currency.code;
                break;
            }
    outcome.allowed = !outcome.newBase.empty();
    return outcome;
}

std::vector<CurrencyMenuEntry> stockCurrencyMenu(const std::vector<CurrencyChoice>& currencies) {
    std::vector<CurrencyMenuEntry> entries;
    for (const auto& currency : currencies)
        if (currency.favourite) entries.push_back({currency.code});
    bool separated = false;
    for (const auto& currency : currencies) {
        if (currency.favourite) continue;
        if (!separated) {
            entries.push_back({});
            separated = true;
        }
        entries.push_back({currency.code});
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].code == u"GBP") {
            entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(i), {u"GBX"});
            break;
        }
    }
    return entries;
}

std::u16string validVariableNameForTicker(const std::u16string& ticker) {
    std::u16string name = ticker;
    for (char16_t& c : name)
        if (c == u'-' || c == u'=') c = u'_';
    if (!name.empty() && name.front() == u'^') name.erase(0, 1);
    return name;
}

std::u16string upperCaseTicker(const std::u16string& ticker) {
    std::u16string upper = ticker;
    for (char16_t& c : upper)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return upper;
}

}  // namespace NBNumeralsRules
