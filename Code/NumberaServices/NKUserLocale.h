// The user's current locale as the data services need it: its identifier, currency code and
// currency symbol. Read from the process's locale until tests or the application set one.
#ifndef NUMBERA_SERVICES_NK_USER_LOCALE_H
#define NUMBERA_SERVICES_NK_USER_LOCALE_H

#include <optional>
#include <string>

struct NKUserLocale {
    std::string identifier;         // "de_DE"
    std::u16string currencyCode;    // "EUR"; empty when the locale has no currency
    std::u16string currencySymbol;  // "€"

    static NKUserLocale current();
    // None returns to the process's locale.
    static void setCurrent(std::optional<NKUserLocale> locale);
    // The locale of that identifier, with its currency.
    static NKUserLocale withIdentifier(const std::string& identifier);
};

#endif
