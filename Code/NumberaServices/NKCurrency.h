// One currency: its ISO code, its rate against the US dollar (as text, the way the services
// give it), when that rate was obtained, whether it takes part in evaluation and whether the
// user marked it, and the currency unit of the unit collection whose factor follows the rate.
#ifndef NUMBERA_SERVICES_NK_CURRENCY_H
#define NUMBERA_SERVICES_NK_CURRENCY_H

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Clock.h"
#include "NCBasicUnit.h"
#include "NCPropertyListValue.h"
#include "NCSimpleLocale.h"
#include "PropertyListFile.h"

// The earliest date there is (0001-01-01): a default rate of unknown age is due at once.
inline constexpr NSTimeInterval NKDistantPast = -63114076800.0;

class NKCurrency {
  public:
    // Told after "enabled" or "favourite" changed.
    using ChangeObserver = std::function<void(NKCurrency& currency, const std::string& key)>;

    NKCurrency() = default;
    // A currency without a "sourceDate" is dated in the distant past, never now: its rate is
    // of unknown age and the first update must not wait for it.
    explicit NKCurrency(const NCPropertyListValue& dictionary);
    NKCurrency(const NKCurrency&) = default;
    NKCurrency& operator=(const NKCurrency&) = default;

    // Every known key of the dictionary; values of the wrong type are skipped with a warning.
    void acquireValuesFromDictionary(const NCPropertyListValue& dictionary);
    // "identifier", "enabled", "favourite", "sourceDate", "rate".
    PlistPtr dictionaryRepresentation() const;
    // Every field, the unit included; the copy is not watched by the manager.
    std::shared_ptr<NKCurrency> copy() const {
        auto copy = std::make_shared<NKCurrency>(*this);
        copy->m_observer = nullptr;
        return copy;
    }
    std::u16string description() const { return m_identifier; }
    std::string debugDescription() const;
    static bool compareByCurrency(const std::shared_ptr<NKCurrency>& a,
                                  const std::shared_ptr<NKCurrency>& b) {
        return a->m_identifier < b->m_identifier;
    }

    const std::u16string& identifier() const { return m_identifier; }
    const std::u16string& code() const { return m_identifier; }
    void setIdentifier(std::u16string identifier) { m_identifier = std::move(identifier); }
    const std::u16string& rate() const { return m_rate; }
    // Stored trimmed of white space and line ends; rateDoubleValue is set separately.
    void setRate(const std::u16string& rate);
    double rateDoubleValue() const { return m_rateDoubleValue; }
    void setRateDoubleValue(double value) { m_rateDoubleValue = value; }
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool favourite() const { return m_favourite; }
    void setFavourite(bool favourite);
    NSTimeInterval sourceDate() const { return m_sourceDate; }
    void setSourceDate(NSTimeInterval date) { m_sourceDate = date; }
    NCSimpleLocale locale() const { return m_locale; }
    void setLocale(NCSimpleLocale locale) { m_locale = locale; }

    const std::shared_ptr<NCMutableBasicUnit>& mutableUnit() const { return m_mutableUnit; }
    std::shared_ptr<NCUnit> unit() const { return m_mutableUnit; }
    void setMutableUnit(std::shared_ptr<NCMutableBasicUnit> unit) {
        m_mutableUnit = std::move(unit);
    }

    // The unit's long name; none without a unit.
    std::optional<std::u16string> displayName() const;
    // The symbol in the user's locale, looked up once.
    std::u16string currencySymbol();
    // How many of this currency one unit of the other buys; 0 when the other has no rate.
    double rateInCurrency(const NKCurrency& other) const;

    void setChangeObserver(ChangeObserver observer) { m_observer = std::move(observer); }
    // A currency whose unit is missing cannot take part in evaluation: it is disabled and
    // refuses to be enabled again.
    void markUnitMissing();
    bool unitMissing() const { return m_unitMissing; }

    // The text's value as a number; 0 when it does not read as one (like a rate of "N/A").
    static double rateValueOfText(const std::u16string& text);

  private:
    std::u16string m_identifier;
    std::u16string m_rate;
    double m_rateDoubleValue = 0;
    bool m_enabled = false;
    bool m_favourite = false;
    bool m_unitMissing = false;
    NSTimeInterval m_sourceDate = NKDistantPast;
    NCSimpleLocale m_locale = kNCSimpleLocalDefault;
    std::optional<std::u16string> m_preCurrencySymbol;
    std::shared_ptr<NCMutableBasicUnit> m_mutableUnit;
    ChangeObserver m_observer;
};

// Pushes the currencies' rates into their units: the factor is 1 / rate with sixteen decimals.
struct NKCurrencyRatesToUnitsHelper {
    static void updateUnitRatesFromCurrencies(
        const std::vector<std::shared_ptr<NKCurrency>>& currencies);
};

#endif
