// A raw answer text (a decimal number written with "." and no grouping) shown in a number
// locale.
#ifndef NUMBERA_SERVICES_NSSTRING_FORMATTINGADDITIONS_H
#define NUMBERA_SERVICES_NSSTRING_FORMATTINGADDITIONS_H

#include <optional>
#include <string>

#include "NCSimpleLocale.h"

namespace NSStringFormattingAdditions {

// Normal display format, no grouping, the locale's characters.
std::optional<std::u16string> localizedResultString(const std::u16string& rawResult,
                                                    NCSimpleLocale userLocale);
// Two decimal places, trailing zeros shown, no significant-digits limit.
std::optional<std::u16string> localizedCurrencyResultStringWithLocale(
    const std::u16string& rawResult, NCSimpleLocale locale);
// There is no project prefix.
inline std::optional<std::u16string> stringByAppendingProjectPrefix(const std::u16string&) {
    return std::nullopt;
}

}  // namespace NSStringFormattingAdditions

#endif
