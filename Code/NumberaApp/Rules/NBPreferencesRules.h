// The rules of the preferences that need no toolkit: which number signs may be chosen, which
// sign gives way when the two become equal, the decimal-places entry and the restart notices.
#ifndef NUMBERA_APP_RULES_NB_PREFERENCES_RULES_H
#define NUMBERA_APP_RULES_NB_PREFERENCES_RULES_H

#include <cstdint>
#include <optional>
#include <string>

namespace NBPreferencesRules {

inline constexpr int64_t kMaximumPrecision = 50;

// One UTF-16 unit, never a letter or a digit (with "1" as decimal sign "10/4" would read as
// "0"), and one of the signs the documents can write their numbers with: "." "," or the
// Arabic decimal separator as decimal sign; those, a space, a no-break space, an apostrophe or
// the Arabic thousands separator as thousands sign.
bool isValidSeparatorSign(const std::u16string& sign, bool decimal);

// The sign the other member of the pair takes when it equals the sign just chosen: the first of
// ",", "." and " " that differs from it.
std::u16string partnerSignFor(const std::u16string& chosen);

// The decimal-places field: an empty entry means no fixed number of places (-1); a whole number
// from 0 to the maximum is taken as it is; a larger one is too accurate; anything else
// (letters, signs, fractions) is refused and the field keeps its value.
struct PrecisionEntry {
    enum Kind { Accepted, TooLarge, Refused };
    Kind kind = Refused;
    int64_t value = 0;  // what is stored: the entry, or the maximum when it is too large
};
PrecisionEntry precisionForEntry(const std::u16string& text);

// The notation threshold: a whole number of digits from 1 to 100; none for anything else.
std::optional<int64_t> notationThresholdForEntry(const std::u16string& text);

// The measurement-system and byte-prefix options the units were loaded with, against the
// preferences: a restart is needed when either differs. Unknown options count as different.
bool unitRelatedRestartRequired(const std::optional<std::u16string>& loadedMeasurementSystem,
                                const std::optional<std::u16string>& loadedBytePrefix,
                                int64_t measurementSystem, int64_t dataStorageUnitPrefixType);

}  // namespace NBPreferencesRules

#endif
