#include "NBPreferencesRules.h"

#include <unicode/uchar.h>

#include "NCSimpleLocale.h"

namespace NBPreferencesRules {

bool isValidSeparatorSign(const std::u16string& sign, bool decimal) {
    if (sign.size() != 1) return false;
    const char16_t unit = sign[0];
    // A lone surrogate is half of a character, not a sign.
    if (unit >= 0xD800 && unit <= 0xDFFF) return false;
    if (u_isalnum(unit) || u_isdigit(unit)) return false;
    // The sign with a partner the core accepts: a pair it would not write is read back as
    // "." and ",", changing every number of a saved document.
    const NCSimpleLocale pair = decimal ? NCSimpleLocale{unit, unit == u',' ? u'.' : u','}
                                        : NCSimpleLocale{unit == u'.' ? u',' : u'.', unit};
    return pair.isSound();
}

std::u16string partnerSignFor(const std::u16string& chosen) {
    for (const char16_t* candidate : {u",", u".", u" "})
        if (chosen != candidate) return candidate;
    return u",";
}

PrecisionEntry precisionForEntry(const std::u16string& text) {
    if (text.empty()) return {PrecisionEntry::Accepted, -1};
    if (text.size() > 9) {
        for (char16_t c : text)
            if (c < u'0' || c > u'9') return {};
        return {PrecisionEntry::TooLarge, kMaximumPrecision};
    }
    int64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return {};
        value = value * 10 + (c - u'0');
    }
    if (value > kMaximumPrecision) return {PrecisionEntry::TooLarge, kMaximumPrecision};
    return {PrecisionEntry::Accepted, value};
}

std::optional<int64_t> notationThresholdForEntry(const std::u16string& text) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    int64_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    if (value < 1 || value > 100) return std::nullopt;
    return value;
}

bool unitRelatedRestartRequired(const std::optional<std::u16string>& loadedMeasurementSystem,
                                const std::optional<std::u16string>& loadedBytePrefix,
                                int64_t measurementSystem, int64_t dataStorageUnitPrefixType) {
    std::u16string system;
    switch (measurementSystem) {
        case 0:
            system = u"NCUnitsMeasurementSystemMetric";
            break;
        case 1:
            system = u"NCUnitsMeasurementSystemImperial";
            break;
        case 2:
            system = u"NCUnitsMeasurementSystemUSCustomary";
            break;
        default:
            break;
    }
    const std::u16string prefix = dataStorageUnitPrefixType == 1
                                      ? u"NCUnitsPreferenceBytePrefixOptionBinary"
                                      : u"NCUnitsPreferenceBytePrefixOptionSI";
    return loadedMeasurementSystem.value_or(u"") != system ||
           loadedBytePrefix.value_or(u"") != prefix;
}

}  // namespace NBPreferencesRules
