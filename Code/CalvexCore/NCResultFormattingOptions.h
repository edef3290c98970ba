// Every choice that governs how one answer is shown. Each line carries its own; formatters
// read copies. Archived by key; the same key table serves key-value access.
#ifndef NUMBERA_CORE_NC_RESULT_FORMATTING_OPTIONS_H
#define NUMBERA_CORE_NC_RESULT_FORMATTING_OPTIONS_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "NBFResultConstants.h"
#include "NCSimpleLocale.h"
#include "NCUnitNameFormat.h"
#include "NSKeyedArchive.h"

typedef int32_t NCDisplayFormat;
enum : NCDisplayFormat {
    NCDisplayFormatNormal = 0,
    NCDisplayFormatDegreesMinutesSeconds = 1,
    NCDisplayFormatNotRendered = 2,
    NCDisplayFormatFraction = 3,
    NCDisplayFormatSpacedGroupsOfFour = 4,
};

class NCResultFormattingOptions {
  public:
    NCResultFormattingOptions() = default;
    static std::shared_ptr<NCResultFormattingOptions> formattingOptionsWithDisplayFormat(
        NCDisplayFormat format, NCSimpleLocale locale = kNCSimpleLocalDefault);

    // Fields without special rules.
    bool thousandsSeparator = true;
    bool trailingZeros = false;
    int32_t scientificNotationMode = 2;   // 0 off, 1 always, 2 by the thresholds
    int32_t scientificNotationStyle = 1;  // 0 SI prefixes; otherwise the base string
    int32_t m_precisionMode = 0;
    uint64_t m_significantDigits = 0;
    uint64_t thousandsGroupSize = 3;
    uint64_t scientificNotationBigThreshold = 10;
    uint64_t scientificNotationSmallThreshold = 10;
    uint64_t scientificNotationSignicantDigits = 0;  // kept and copied, never archived
    uint64_t scientificNotationExponentGranularity = 1;
    std::u16string scientificNotationBaseString = u"e";
    std::u16string scientificNotationExponentSuffixString = u"";
    int32_t displayBase = 10;
    bool showBasePrefix = true;
    NCDisplayFormat m_displayFormat = NCDisplayFormatNormal;
    bool fallbackToDefaultDisplayFormat = false;
    int32_t fractionStyle = 0;  // 0 mixed (1 3/4); otherwise improper (7/4)
    std::u16string degreesCharacter = u"\u00B0";
    std::u16string minutesCharacter = u"'";
    std::u16string secondsCharacter = u"\"";
    char16_t decimalPlaceCharacter = u'.';
    char16_t thousandsSeparatorCharacter = u',';
    bool showUnit = true;
    NCUnitNameFormat unitNameFormat = NCUnitNameFormatDefault;
    bool showPercentSign = true;
    double scientificNotationBaseStringFontSizeScale = 1.0;
    double scientificNotationExponentStringFontSizeScale = 1.0;
    bool scientificNotationConvertsExponentCharactersIntoSuperscript = false;

    // 10 while not set.
    uint64_t decimalPlaces() const;
    void setDecimalPlaces(uint64_t places) { m_decimalPlaces = places; }
    bool isDecimalPlacesSet() const;
    uint64_t significantDigits() const { return m_significantDigits; }
    void setSignificantDigits(uint64_t digits) { m_significantDigits = digits; }
    int32_t precisionMode() const { return m_precisionMode; }
    void setPrecisionMode(int32_t mode) { m_precisionMode = mode; }
    NCDisplayFormat displayFormat() const { return m_displayFormat; }
    void setDisplayFormat(NCDisplayFormat format) { m_displayFormat = format; }
    // True sets mode 2 (by the thresholds), false mode 0.
    void setScientificNotation(bool on) { scientificNotationMode = on ? 2 : 0; }
    void setScientificNotationSignificandThreshold(uint64_t threshold);

    // Copies every value through the accessors (so unset decimal places arrive as 10, set).
    void acquireValuesFromFormattingOptions(const NCResultFormattingOptions* other);
    void acquireLocaleValuesFromFormattingOptions(const NCResultFormattingOptions* other);
    std::shared_ptr<NCResultFormattingOptions> copy() const;

    void encodeWithCoder(NSKeyedArchive& coder) const;
    // Starts from the defaults: a missing key, or one of the wrong kind, keeps its default.
    static std::shared_ptr<NCResultFormattingOptions> initWithCoder(const NSKeyedArchive& coder);

    // Key-value access by the archive keys; unknown keys or kinds answer nothing / false.
    std::optional<NSArchiveValue> valueForKey(const std::string& key) const;
    bool setValueForKey(const NSArchiveValue& value, const std::string& key);

  private:
    uint64_t m_decimalPlaces = NBFDecimalPlacesNotDefined;
};

#endif
