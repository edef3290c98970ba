// One share price offered to calculations as a global variable: the variable's name, the
// ticker and company as the quote service spells them, the last price as text and its currency.
#ifndef NUMBERA_SERVICES_NK_STOCK_H
#define NUMBERA_SERVICES_NK_STOCK_H

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Clock.h"
#include "NCPropertyListValue.h"
#include "NCSimpleLocale.h"
#include "NCVariable.h"
#include "PropertyListFile.h"

// Variables of this type mirror a stock; any other type is the user's own.
inline constexpr int32_t NKStockVariableType = 1;

struct NKExchange {
    std::u16string countryName;            // "NBCountryName"
    std::u16string currency;               // "NBExchangeCurrency"
    std::vector<std::u16string> suffixes;  // "NBExchangeCodes"
};

class NKStock {
  public:
    NKStock() = default;
    // "name", "ticker", "value", "sourceDate", "company", "currencyCode"; values of the wrong
    // type are left unset.
    explicit NKStock(const NCPropertyListValue& dictionary);
    static std::shared_ptr<NKStock> stockWithCompany(const std::u16string& company,
                                                     const std::u16string& ticker,
                                                     const std::u16string& value);
    // Unset values are left out.
    PlistPtr dictionaryRepresentation() const;

    // From the ticker's exchange suffix; USD without one, none for an index ("^DJI").
    std::optional<std::u16string> preferredCurrencyCode() const;
    static const std::vector<NKExchange>& tickerLocaleDicts();

    // The price with two decimals in the stock's locale, and the same followed by the code.
    std::u16string localizedValue() const;
    std::u16string displayValue() const;

    // The variable's value text for a price: the price itself, or for prices in pence ("GBX")
    // the price in pounds, by moving the decimal point two places, so no digit is lost. None
    // for a price that is not a plain positive decimal number.
    static std::optional<std::u16string> variableValueForPrice(
        const std::u16string& price, const std::optional<std::u16string>& currencyCode);
    // The unit a price in the currency is expressed in: pence are counted in pounds.
    static std::u16string variableUnitCode(const std::u16string& currencyCode);
    // A plain positive decimal number ("12", "0.50", ".5"); zero and text are not prices.
    static bool isUsablePrice(const std::u16string& price);

    bool operator==(const NKStock& other) const { return m_ticker == other.m_ticker; }

    const std::optional<std::u16string>& name() const { return m_name; }
    void setName(std::optional<std::u16string> name) { m_name = std::move(name); }
    const std::optional<std::u16string>& company() const { return m_company; }
    void setCompany(std::optional<std::u16string> company) { m_company = std::move(company); }
    const std::optional<std::u16string>& ticker() const { return m_ticker; }
    void setTicker(std::optional<std::u16string> ticker) { m_ticker = std::move(ticker); }
    const std::optional<std::u16string>& value() const { return m_value; }
    void setValue(std::optional<std::u16string> value) { m_value = std::move(value); }
    const std::optional<std::u16string>& currencyCode() const { return m_currencyCode; }
    void setCurrencyCode(std::optional<std::u16string> code) { m_currencyCode = std::move(code); }
    const std::optional<NSTimeInterval>& sourceDate() const { return m_sourceDate; }
    void setSourceDate(std::optional<NSTimeInterval> date) { m_sourceDate = date; }
    NCSimpleLocale locale() const { return m_locale; }
    void setLocale(NCSimpleLocale locale) { m_locale = locale; }
    const std::shared_ptr<NCVariable>& ncVariable() const { return m_ncVariable; }
    void setNcVariable(std::shared_ptr<NCVariable> variable) { m_ncVariable = std::move(variable); }

  private:
    std::optional<std::u16string> m_name;
    std::optional<std::u16string> m_company;
    std::optional<std::u16string> m_ticker;
    std::optional<std::u16string> m_value;
    std::optional<std::u16string> m_currencyCode;
    std::optional<NSTimeInterval> m_sourceDate;
    NCSimpleLocale m_locale = kNCSimpleLocalDefault;
    std::shared_ptr<NCVariable> m_ncVariable;
};

#endif
