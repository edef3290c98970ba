#include "NKStock.h"

#include <cmath>

#include "NCResult.h"
#include "NCResultFormatter.h"
#include "NCResultFormattingOptions.h"
#include "NKTextHelpers.h"

namespace {

std::optional<std::u16string> stringFor(const NCPropertyListValue& dictionary,
                                        const char16_t* key) {
    auto value = dictionary.valueForKey(key);
    if (!value) return std::nullopt;
    if (!value->isString()) {
        NKLogLine("Warning: Stock key " + NKUTF8(key) + " holds a " + value->kindName() +
                  "; ignored");
        return std::nullopt;
    }
    return value->string();
}

}  // namespace

NKStock::NKStock(const NCPropertyListValue& dictionary) {
    if (!dictionary.isDictionary()) return;
    m_name = stringFor(dictionary, u"name");
    m_ticker = stringFor(dictionary, u"ticker");
    m_value = stringFor(dictionary, u"value");
    m_company = stringFor(dictionary, u"company");
    m_currencyCode = stringFor(dictionary, u"currencyCode");
    if (auto date = dictionary.valueForKey(u"sourceDate");
        date && date->isDate() && std::isfinite(date->real()))
        m_sourceDate = date->real();
}

std::shared_ptr<NKStock> NKStock::stockWithCompany(const std::u16string& company,
                                                   const std::u16string& ticker,
                                                   const std::u16string& value) {
    auto stock = std::make_shared<NKStock>();
    stock->m_company = company;
    stock->m_ticker = ticker;
    stock->m_value = value;
    stock->m_currencyCode = stock->preferredCurrencyCode();
    return stock;
}

PlistPtr NKStock::dictionaryRepresentation() const {
    namespace plf = PropertyListFile;
    PlistPtr dictionary = plf::dictionary();
    auto put = [&](const char* key, const std::optional<std::u16string>& value) {
        if (value) plf::set(dictionary.get(), key, plf::string(*value));
    };
    put("name", m_name);
    put("ticker", m_ticker);
    put("value", m_value);
    if (m_sourceDate) plf::set(dictionary.get(), "sourceDate", plf::date(*m_sourceDate));
    put("company", m_company);
    put("currencyCode", m_currencyCode);
    return dictionary;
}

const std::vector<NKExchange>& NKStock::tickerLocaleDicts() {
    static const std::vector<NKExchange> table = {
        {u"USA", u"USD", {u"CME", u"CBT", u"CMX", u"NYB", u"OB", u"NYM", u"PK"}},
        {u"Argentina", u"ARS", {u"BA"}},
        {u"Austria", u"EUR", {u"VI"}},
        {u"Australia", u"AUD", {u"AX"}},
        {u"Brazil", u"BRL", {u"SA"}},
        {u"Canada", u"CAD", {u"V", u"TO"}},
        {u"Chile", u"CLP", {u"SN"}},
        {u"China", u"CNY", {u"SZ", u"SS"}},
        {u"Denmark", u"DKK", {u"CO"}},
        {u"France", u"EUR", {u"PA", u"NX"}},
        {u"Germany", u"EUR", {u"BM", u"BE", u"F", u"DU", u"HA", u"HM", u"SG", u"MU", u"DE"}},
        {u"Hong Kong", u"HKD", {u"HK"}},
        {u"India", u"INR", {u"NS", u"BO"}},
        {u"Indonesia", u"IDR", {u"JK"}},
        {u"Israel", u"ILS", {u"TA"}},
        {u"Italy", u"EUR", {u"MI"}},
        {u"Mexico", u"MXN", {u"MX"}},
        {u"Netherlands", u"EUR", {u"AS"}},
        {u"New Zealand", u"NZD", {u"NZ"}},
        {u"Norway", u"NOK", {u"OL"}},
        {u"Singapore", u"SGD", {u"SI"}},
        {u"South Korea", u"KRW", {u"KQ", u"KS"}},
        {u"Spain", u"EUR", {u"BI", u"BC", u"MC", u"MF", u"MA"}},
        {u"Sweden", u"SEK", {u"ST"}},
        {u"Switzerland", u"CHF", {u"SW"}},
        {u"Taiwan", u"TWD", {u"TW", u"TWO"}},
        {u"United Kingdom", u"GBX", {u"L"}},
    };
    return table;
}

std::optional<std::u16string> NKStock::preferredCurrencyCode() const {
    if (!m_ticker) {
        NKLogLine("No ticker set, so no preferreed currency can be determined");
        return std::nullopt;
    }
    const size_t dot = m_ticker->find(u'.');
    if (dot != std::u16string::npos) {
        const std::u16string suffix = m_ticker->substr(dot + 1);
        for (const auto& exchange : tickerLocaleDicts())
            for (const auto& code : exchange.suffixes)
                if (code == suffix) return exchange.currency;
    }
    if (m_ticker->find(u'^') != std::u16string::npos) return std::nullopt;
    return std::u16string(u"USD");
}

bool NKStock::isUsablePrice(const std::u16string& price) {
    bool point = false, digit = false, nonZero = false;
    for (char16_t c : price) {
        if (c == u'.') {
            if (point) return false;
            point = true;
        } else if (c >= u'0' && c <= u'9') {
            digit = true;
            nonZero = nonZero || c != u'0';
        } else {
            return false;
        }
    }
    return digit && nonZero;
}

std::u16string NKStock::variableUnitCode(const std::u16string& currencyCode) {
    return currencyCode == u"GBX" ? u"GBP" : currencyCode;
}

std::optional<std::u16string> NKStock::variableValueForPrice(
    const std::u16string& price, const std::optional<std::u16string>& currencyCode) {
    if (!isUsablePrice(price)) return std::nullopt;
    if (currencyCode != u"GBX") return price;
    // Pence to pounds: the decimal point moves two places to the left.
    const size_t point = price.find(u'.');
    std::u16string whole = price.substr(0, point);
    const std::u16string fraction = point == std::u16string::npos ? u"" : price.substr(point + 1);
    while (whole.size() < 3) whole.insert(whole.begin(), u'0');
    std::u16string pounds = whole.substr(0, whole.size() - 2);
    while (pounds.size() > 1 && pounds.front() == u'0') pounds.erase(pounds.begin());
    std::u16string decimals = whole.substr(whole.size() - 2) + fraction;
    while (!decimals.empty() && decimals.back() == u'0') decimals.pop_back();
    return decimals.empty() ? pounds : pounds + u"." + decimals;
}

std::u16string NKStock::localizedValue() const {
    if (!m_value) return {};
    auto result = NCResult::resultWithRawResultString(*m_value);
    auto options = NCResultFormattingOptions::formattingOptionsWithDisplayFormat(0);
    options->thousandsSeparator = true;
    options->thousandsSeparatorCharacter = m_locale.groupingChar;
    options->decimalPlaceCharacter = m_locale.decimalPointChar;
    options->setDecimalPlaces(2);
    options->trailingZeros = true;
    return NCResultFormatter::sharedInstance()
        .stringValueForResult(result.get(), options.get())
        .value_or(u"");
}

std::u16string NKStock::displayValue() const {
    const std::u16string value = localizedValue();
    if (!m_currencyCode) return value;
    return value + u" " + *m_currencyCode;
}
