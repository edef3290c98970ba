#include "NCResultFormattingOptions.h"

#include <functional>
#include <vector>

namespace {

using Options = NCResultFormattingOptions;

enum class Kind { Bool, Int, Int32, Integer, Double, Object };

// One row per archived field: its key, its kind in the archive, and how to read and write it.
struct KeyEntry {
    const char* key;
    Kind kind;
    std::function<NSArchiveValue(const Options&)> get;
    std::function<void(Options&, const NSArchiveValue&)> set;
};

template <typename Field>
KeyEntry boolEntry(const char* key, Field field) {
    return {key, Kind::Bool, [field](const Options& o) { return NSArchiveValue(o.*field); },
            [field](Options& o, const NSArchiveValue& v) { o.*field = std::get<bool>(v); }};
}

template <typename Field>
KeyEntry integerEntry(const char* key, Kind kind, Field field) {
    return {key, kind,
            [field](const Options& o) { return NSArchiveValue(static_cast<int64_t>(o.*field)); },
            [field](Options& o, const NSArchiveValue& v) {
                using T = std::remove_reference_t<decltype(o.*field)>;
                o.*field = static_cast<T>(std::get<int64_t>(v));
            }};
}

template <typename Field>
KeyEntry stringEntry(const char* key, Field field) {
    return {
        key, Kind::Object, [field](const Options& o) { return NSArchiveValue(o.*field); },
        [field](Options& o, const NSArchiveValue& v) { o.*field = std::get<std::u16string>(v); }};
}

template <typename Field>
KeyEntry doubleEntry(const char* key, Field field) {
    return {key, Kind::Double, [field](const Options& o) { return NSArchiveValue(o.*field); },
            [field](Options& o, const NSArchiveValue& v) { o.*field = std::get<double>(v); }};
}

const std::vector<KeyEntry>& keyTable() {
    static const std::vector<KeyEntry> table = {
        boolEntry("thousandsSeparator", &Options::thousandsSeparator),
        boolEntry("trailingZeros", &Options::trailingZeros),
        integerEntry("scientificNotationMode", Kind::Int, &Options::scientificNotationMode),
        integerEntry("scientificNotationStyle", Kind::Int, &Options::scientificNotationStyle),
        integerEntry("precisionMode", Kind::Integer, &Options::m_precisionMode),
        {"decimalPlaces", Kind::Integer,
         [](const Options& o) { return NSArchiveValue(static_cast<int64_t>(o.decimalPlaces())); },
         [](Options& o, const NSArchiveValue& v) {
             o.setDecimalPlaces(static_cast<uint64_t>(std::get<int64_t>(v)));
         }},
        integerEntry("significantDigits", Kind::Integer, &Options::m_significantDigits),
        integerEntry("thousandsGroupSize", Kind::Integer, &Options::thousandsGroupSize),
        integerEntry("scientificNotationBigThreshold", Kind::Integer,
                     &Options::scientificNotationBigThreshold),
        integerEntry("scientificNotationSmallThreshold", Kind::Integer,
                     &Options::scientificNotationSmallThreshold),
        integerEntry("scientificNotationExponentGranularity", Kind::Integer,
                     &Options::scientificNotationExponentGranularity),
        stringEntry("scientificNotationBaseString", &Options::scientificNotationBaseString),
        stringEntry("scientificNotationExponentSuffixString",
                    &Options::scientificNotationExponentSuffixString),
        boolEntry("showBasePrefix", &Options::showBasePrefix),
        integerEntry("displayFormat", Kind::Int, &Options::m_displayFormat),
        boolEntry("fallbackToDefaultDisplayFormat", &Options::fallbackToDefaultDisplayFormat),
        integerEntry("fractionStyle", Kind::Int, &Options::fractionStyle),
        stringEntry("degreesCharacter", &Options::degreesCharacter),
        stringEntry("minutesCharacter", &Options::minutesCharacter),
        stringEntry("secondsCharacter", &Options::secondsCharacter),
        integerEntry("decimalPlaceCharacter", Kind::Int32, &Options::decimalPlaceCharacter),
        integerEntry("thousandsSeparatorCharacter", Kind::Int32,
                     &Options::thousandsSeparatorCharacter),
        boolEntry("showUnit", &Options::showUnit),
        integerEntry("unitNameFormat", Kind::Integer, &Options::unitNameFormat),
        boolEntry("showPercentSign", &Options::showPercentSign),
        doubleEntry("scientificNotationBaseStringFontSizeScale",
                    &Options::scientificNotationBaseStringFontSizeScale),
        doubleEntry("scientificNotationExponentStringFontSizeScale",
                    &Options::scientificNotationExponentStringFontSizeScale),
        boolEntry("scientificNotationConvertsExponentCharactersIntoSuperscript",
                  &Options::scientificNotationConvertsExponentCharactersIntoSuperscript),
        integerEntry("displayBase", Kind::Integer, &Options::displayBase),
    };
    return table;
}

const KeyEntry* entryForKey(const std::string& key) {
    for (const KeyEntry& entry : keyTable())
        if (key == entry.key) return &entry;
    return nullptr;
}

bool kindMatches(Kind kind, const NSArchiveValue& value) {
    switch (kind) {
        case Kind::Bool:
            return std::holds_alternative<bool>(value);
        case Kind::Double:
            return std::holds_alternative<double>(value);
        case Kind::Object:
            return std::holds_alternative<std::u16string>(value);
        case Kind::Int:
        case Kind::Int32:
            return std::holds_alternative<int64_t>(value) &&
                   std::get<int64_t>(value) >= INT32_MIN && std::get<int64_t>(value) <= INT32_MAX;
        case Kind::Integer:
            return std::holds_alternative<int64_t>(value);
    }
    return false;
}

}  // namespace

std::shared_ptr<NCResultFormattingOptions>
NCResultFormattingOptions::formattingOptionsWithDisplayFormat(NCDisplayFormat format,
                                                              NCSimpleLocale locale) {
    auto options = std::make_shared<NCResultFormattingOptions>();
    options->m_displayFormat = format;
    options->decimalPlaceCharacter = locale.decimalPointChar;
    options->thousandsSeparatorCharacter = locale.groupingChar;
    return options;
}

uint64_t NCResultFormattingOptions::decimalPlaces() const {
    return isDecimalPlacesSet() ? m_decimalPlaces : 10;
}

bool NCResultFormattingOptions::isDecimalPlacesSet() const {
    return m_decimalPlaces != NBFDecimalPlacesNotDefined;
}

void NCResultFormattingOptions::setScientificNotationSignificandThreshold(uint64_t threshold) {
    scientificNotationBigThreshold = threshold;
    scientificNotationSmallThreshold = threshold;
}

void NCResultFormattingOptions::acquireValuesFromFormattingOptions(
    const NCResultFormattingOptions* o) {
    if (!o) return;
    thousandsSeparator = o->thousandsSeparator;
    scientificNotationMode = o->scientificNotationMode;
    scientificNotationStyle = o->scientificNotationStyle;
    scientificNotationSmallThreshold = o->scientificNotationSmallThreshold;
    scientificNotationBigThreshold = o->scientificNotationBigThreshold;
    scientificNotationSignicantDigits = o->scientificNotationSignicantDigits;
    m_precisionMode = o->m_precisionMode;
    setDecimalPlaces(o->decimalPlaces());
    m_significantDigits = o->m_significantDigits;
    showUnit = o->showUnit;
    unitNameFormat = o->unitNameFormat;
    displayBase = o->displayBase;
    showBasePrefix = o->showBasePrefix;
    trailingZeros = o->trailingZeros;
    thousandsGroupSize = o->thousandsGroupSize;
    scientificNotationExponentGranularity = o->scientificNotationExponentGranularity;
    m_displayFormat = o->m_displayFormat;
    fallbackToDefaultDisplayFormat = o->fallbackToDefaultDisplayFormat;
    fractionStyle = o->fractionStyle;
    degreesCharacter = o->degreesCharacter;
    minutesCharacter = o->minutesCharacter;
    secondsCharacter = o->secondsCharacter;
    decimalPlaceCharacter = o->decimalPlaceCharacter;
    thousandsSeparatorCharacter = o->thousandsSeparatorCharacter;
    showPercentSign = o->showPercentSign;
    scientificNotationBaseStringFontSizeScale = o->scientificNotationBaseStringFontSizeScale;
    scientificNotationExponentStringFontSizeScale =
        o->scientificNotationExponentStringFontSizeScale;
    scientificNotationConvertsExponentCharactersIntoSuperscript =
        o->scientificNotationConvertsExponentCharactersIntoSuperscript;
    scientificNotationBaseString = o->scientificNotationBaseString;
    scientificNotationExponentSuffixString = o->scientificNotationExponentSuffixString;
}

void NCResultFormattingOptions::acquireLocaleValuesFromFormattingOptions(
    const NCResultFormattingOptions* other) {
    if (!other) return;
    decimalPlaceCharacter = other->decimalPlaceCharacter;
    thousandsSeparatorCharacter = other->thousandsSeparatorCharacter;
}

std::shared_ptr<NCResultFormattingOptions> NCResultFormattingOptions::copy() const {
    auto options = std::make_shared<NCResultFormattingOptions>();
    options->acquireValuesFromFormattingOptions(this);
    return options;
}

void NCResultFormattingOptions::encodeWithCoder(NSKeyedArchive& coder) const {
    for (const KeyEntry& entry : keyTable()) coder.setValue(entry.get(*this), entry.key);
}

std::shared_ptr<NCResultFormattingOptions> NCResultFormattingOptions::initWithCoder(
    const NSKeyedArchive& coder) {
    auto options = std::make_shared<NCResultFormattingOptions>();
    for (const KeyEntry& entry : keyTable()) {
        auto found = coder.values().find(entry.key);
        if (found != coder.values().end() && kindMatches(entry.kind, found->second))
            entry.set(*options, found->second);
    }
    return options;
}

std::optional<NSArchiveValue> NCResultFormattingOptions::valueForKey(const std::string& key) const {
    const KeyEntry* entry = entryForKey(key);
    if (!entry) return std::nullopt;
    return entry->get(*this);
}

bool NCResultFormattingOptions::setValueForKey(const NSArchiveValue& value,
                                               const std::string& key) {
    const KeyEntry* entry = entryForKey(key);
    if (!entry || !kindMatches(entry->kind, value)) return false;
    entry->set(*this, value);
    return true;
}
