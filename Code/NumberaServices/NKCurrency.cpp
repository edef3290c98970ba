#include "NKCurrency.h"

#include <charconv>
#include <cmath>

#include "NCCurrencySymbols.h"
#include "NKCurrencyParsers.h"
#include "NKTextHelpers.h"
#include "NKUserLocale.h"

namespace {

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' ||
           c == 0x85 || c == 0xA0 || c == 0x2028 || c == 0x2029;
}

}  // namespace

NKCurrency::NKCurrency(const NCPropertyListValue& dictionary) {
    acquireValuesFromDictionary(dictionary);
}

double NKCurrency::rateValueOfText(const std::u16string& text) {
    const std::string utf8 = NKUTF8(text);
    // The leading number, as a rate text written by hand may carry more after it.
    double value = 0;
    const char* begin = utf8.data();
    const char* end = begin + utf8.size();
    auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::general);
    if (ec != std::errc() || ptr == begin || !std::isfinite(value)) return 0;
    return value;
}

void NKCurrency::acquireValuesFromDictionary(const NCPropertyListValue& dictionary) {
    if (!dictionary.isDictionary()) return;
    for (const auto& [key, value] : dictionary.dictionary()) {
        const std::string name = NKUTF8(key);
        if (!value || value->kind() == NCPropertyListValue::Kind::None) {
            NKLogLine("Warning! No key " + name + " found in currency dictionary rep");
            continue;
        }
        auto wrongType = [&] {
            NKLogLine("Warning: NBCurrency can't set the key " + name + " to a value of type " +
                      value->kindName());
        };
        if (key == u"identifier") {
            if (!value->isString()) {
                wrongType();
                continue;
            }
            m_identifier = value->string();
        } else if (key == u"rate") {
            if (!value->isString()) {
                wrongType();
                continue;
            }
            setRate(value->string());
            m_rateDoubleValue = rateValueOfText(m_rate);
        } else if (key == u"enabled" || key == u"favourite") {
            if (value->kind() != NCPropertyListValue::Kind::Boolean) {
                wrongType();
                continue;
            }
            if (key == u"enabled")
                m_enabled = value->boolean();
            else
                m_favourite = value->boolean();
        } else if (key == u"sourceDate") {
            if (!value->isDate() || !std::isfinite(value->real())) {
                wrongType();
                continue;
            }
            m_sourceDate = value->real();
        } else {
            NKLogLine("Warning: NBCurrency can't set the key " + name + " cause it doesn't exist");
        }
    }
}

PlistPtr NKCurrency::dictionaryRepresentation() const {
    namespace plf = PropertyListFile;
    PlistPtr dictionary = plf::dictionary();
    plf::set(dictionary.get(), "identifier", plf::string(m_identifier));
    plf::set(dictionary.get(), "enabled", plf::boolean(m_enabled));
    plf::set(dictionary.get(), "favourite", plf::boolean(m_favourite));
    plf::set(dictionary.get(), "sourceDate", plf::date(m_sourceDate));
    plf::set(dictionary.get(), "rate", plf::string(m_rate));
    return dictionary;
}

std::string NKCurrency::debugDescription() const {
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(this));
    return std::string(address) + " \nSymbol:" + NKUTF8(m_identifier) + ", Rate:" + NKUTF8(m_rate) +
           ", Enabled:" + (m_enabled ? "1" : "0");
}

void NKCurrency::setRate(const std::u16string& rate) {
    if (rate.find_first_of(u"\r\n") != std::u16string::npos)
        NKLogLine("Warning: a newline got into the currencies rate somehow");
    size_t start = 0, end = rate.size();
    while (start < end && isBlank(rate[start])) ++start;
    while (end > start && isBlank(rate[end - 1])) --end;
    m_rate = rate.substr(start, end - start);
}

void NKCurrency::markUnitMissing() {
    m_unitMissing = true;
    m_enabled = false;
    m_mutableUnit.reset();
}

void NKCurrency::setEnabled(bool enabled) {
    if (enabled && m_unitMissing) {
        NKLogLine("Warning: Currency " + NKUTF8(m_identifier) + " has no unit and stays disabled");
        return;
    }
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    if (m_observer) m_observer(*this, "enabled");
}

void NKCurrency::setFavourite(bool favourite) {
    if (favourite == m_favourite) return;
    m_favourite = favourite;
    if (m_observer) m_observer(*this, "favourite");
}

std::optional<std::u16string> NKCurrency::displayName() const {
    if (!m_mutableUnit) return std::nullopt;
    return m_mutableUnit->nameForFormat(NCUnitNameFormatName, NCUnitNameFormPlural);
}

std::u16string NKCurrency::currencySymbol() {
    if (!m_preCurrencySymbol) {
        NCCurrencySymbols symbols;
        symbols.setLocale(NKUserLocale::current().identifier);
        int format = 0;
        m_preCurrencySymbol = symbols.symbolForCurrencyCode(m_identifier, &format).value_or(u"");
    }
    return *m_preCurrencySymbol;
}

double NKCurrency::rateInCurrency(const NKCurrency& other) const {
    if (other.m_rateDoubleValue == 0) return 0;
    return m_rateDoubleValue * (1.0 / other.m_rateDoubleValue);
}

void NKCurrencyRatesToUnitsHelper::updateUnitRatesFromCurrencies(
    const std::vector<std::shared_ptr<NKCurrency>>& currencies) {
    for (const auto& currency : currencies) {
        if (!currency) continue;
        const auto& unit = currency->mutableUnit();
        if (!unit) {
            NKLogLine("Warning: Currency " + NKUTF8(currency->identifier()) +
                      " has no corresponding unit");
            continue;
        }
        const double rate = currency->rateDoubleValue();
        if (!(rate > 0) || !std::isfinite(rate)) {
            NKLogLine("Warning: Unit for currency " + NKUTF8(currency->identifier()) +
                      " could not be updated as the rate is 0");
            continue;
        }
        // Sixteen decimals cannot hold the factor of a rate above 10^16; a zero factor would
        // break every conversion.
        if (!(1.0 / rate >= 0.5e-16)) {
            NKLogLine("Warning: Unit for currency " + NKUTF8(currency->identifier()) +
                      " could not be updated as the rate is too large");
            continue;
        }
        const std::u16string factor = NKUTF16(NKWebText::fixed16(1.0 / rate));
        if (unit->factor() != factor) unit->setFactor(factor);
    }
}
