// Finds the symbol of a currency in a locale and whether it stands before or after the amount.
#ifndef NUMBERA_CORE_NC_CURRENCY_SYMBOLS_H
#define NUMBERA_CORE_NC_CURRENCY_SYMBOLS_H

#include <optional>
#include <string>

class NCCurrencySymbols {
  public:
    NCCurrencySymbols();  // the root locale until setLocale
    void setLocale(const std::string& localeIdentifier);

    // Formats 0 plainly and as the currency: the text before the zero is the prefix; with no
    // prefix, the text after the last zero (spaces included) is the suffix.
    void getPrefix(std::optional<std::u16string>* prefix, std::optional<std::u16string>* suffix,
                   const std::optional<std::u16string>& currencyCode) const;
    // The prefix with format 0 when there is one, else the suffix with format 1.
    std::optional<std::u16string> symbolForCurrencyCode(const std::optional<std::u16string>& code,
                                                        int* format) const;

  private:
    std::string m_locale;
};

#endif
