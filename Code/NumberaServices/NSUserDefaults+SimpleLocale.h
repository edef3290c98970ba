// The user's number locale: the decimal point and thousands separator the user chose
// ("NBDecimalPointSign", "NBThousandsSeperatorSign"), else the system locale's.
#ifndef NUMBERA_SERVICES_NSUSERDEFAULTS_SIMPLELOCALE_H
#define NUMBERA_SERVICES_NSUSERDEFAULTS_SIMPLELOCALE_H

#include <optional>
#include <string>

#include "NCSimpleLocale.h"
#include "Settings.h"

inline const char16_t* const NBDecimalPointSignKey = u"NBDecimalPointSign";
inline const char16_t* const NBThousandsSeperatorSignKey = u"NBThousandsSeperatorSign";

// Each setting's first character; a missing setting takes the locale's symbol (ICU locale
// identifier; empty for the process default). Nothing at all falls back to "." and ",", and so
// does a pair the documents cannot write numbers with (a digit, a letter, two equal signs).
NCSimpleLocale simpleLocale(const std::optional<std::u16string>& decimalPointSign,
                            const std::optional<std::u16string>& thousandsSeparatorSign,
                            const std::string& localeIdentifier = "");

// The same from the settings' two keys (the standard settings by default).
NCSimpleLocale simpleLocale(const Settings& settings, const std::string& localeIdentifier = "");
NCSimpleLocale simpleLocale();

#endif
