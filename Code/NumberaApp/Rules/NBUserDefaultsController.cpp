#include "NBUserDefaultsController.h"

#include <unicode/unum.h>

#include <charconv>
#include <cmath>
#include <mutex>

#include "Diagnostics.h"
#include "NBLocalizationHelper.h"
#include "NBTextConversion.h"
#include "NCPropertyListValue.h"
#include "NCResultFormattingOptions.h"
#include "NKUnitsManager.h"
#include "ResourceBundle.h"

namespace {

std::mutex s_mutex;
NBDefaultsDictionary s_registered;
std::optional<std::string> s_resourcesFolder;
NBDefaultFontProvider s_fontProvider;

std::optional<SettingsValue> registeredDefault(const std::string& key) {
    std::lock_guard<std::mutex> lock(s_mutex);
    auto found = s_registered.find(key);
    if (found == s_registered.end()) return std::nullopt;
    return found->second;
}

std::string asciiLowerTrimmed(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        if (c > 0x7F) return {};
        out.push_back(c >= u'A' && c <= u'Z' ? static_cast<char>(c - u'A' + u'a')
                                             : static_cast<char>(c));
    }
    const auto first = out.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return out.substr(first, out.find_last_not_of(" \t") - first + 1);
}

std::optional<int64_t> parseInteger(const std::string& text) {
    int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<double> parseDouble(const std::string& text) {
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int64_t> integerOfDouble(double value) {
    if (!(value > -9.2e18 && value < 9.2e18)) return std::nullopt;
    return static_cast<int64_t>(value);
}

std::optional<bool> asBool(const SettingsValue& value) {
    if (auto b = std::get_if<bool>(&value)) return *b;
    if (auto i = std::get_if<int64_t>(&value)) return *i != 0;
    if (auto d = std::get_if<double>(&value)) return *d != 0;
    if (auto s = std::get_if<std::u16string>(&value)) {
        const std::string word = asciiLowerTrimmed(*s);
        if (word == "true" || word == "yes") return true;
        if (word == "false" || word == "no") return false;
        if (auto number = parseInteger(word)) return *number != 0;
    }
    return std::nullopt;
}

std::optional<int64_t> asInteger(const SettingsValue& value) {
    if (auto b = std::get_if<bool>(&value)) return *b ? 1 : 0;
    if (auto i = std::get_if<int64_t>(&value)) return *i;
    if (auto d = std::get_if<double>(&value)) return integerOfDouble(*d);
    if (auto s = std::get_if<std::u16string>(&value)) {
        const std::string word = asciiLowerTrimmed(*s);
        if (auto number = parseInteger(word)) return number;
        if (auto number = parseDouble(word)) return integerOfDouble(*number);
        if (word == "true" || word == "yes") return 1;
        if (word == "false" || word == "no") return 0;
    }
    return std::nullopt;
}

std::optional<double> asDouble(const SettingsValue& value) {
    if (auto b = std::get_if<bool>(&value)) return *b ? 1.0 : 0.0;
    if (auto i = std::get_if<int64_t>(&value)) return static_cast<double>(*i);
    if (auto d = std::get_if<double>(&value)) return *d;
    if (auto s = std::get_if<std::u16string>(&value)) return parseDouble(asciiLowerTrimmed(*s));
    return std::nullopt;
}

std::optional<std::u16string> asString(const SettingsValue& value) {
    if (auto s = std::get_if<std::u16string>(&value)) return *s;
    char buffer[32];
    if (auto i = std::get_if<int64_t>(&value)) {
        auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, *i);
        return NBUtf16(std::string(buffer, end));
    }
    if (auto d = std::get_if<double>(&value)) {
        auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, *d);
        if (error == std::errc()) return NBUtf16(std::string(buffer, end));
    }
    return std::nullopt;
}

// The stored value in the type of the registered one; none when it cannot be read so.
std::optional<SettingsValue> coerce(const SettingsValue& stored, const SettingsValue& like) {
    return std::visit(
        [&stored](const auto& registered) -> std::optional<SettingsValue> {
            using T = std::decay_t<decltype(registered)>;
            if constexpr (std::is_same_v<T, bool>) {
                if (auto v = asBool(stored)) return SettingsValue(*v);
            } else if constexpr (std::is_same_v<T, int64_t>) {
                if (auto v = asInteger(stored)) return SettingsValue(*v);
            } else if constexpr (std::is_same_v<T, double>) {
                if (auto v = asDouble(stored)) return SettingsValue(*v);
            } else if constexpr (std::is_same_v<T, std::u16string>) {
                if (auto v = asString(stored)) return SettingsValue(*v);
            } else if (std::holds_alternative<T>(stored)) {
                return stored;
            }
            return std::nullopt;
        },
        like);
}

// The grouping sign used when it would equal the decimal sign.
std::u16string firstSeparatorDifferentFrom(const std::u16string& decimal) {
    for (const char16_t* candidate : {u",", u".", u" "})
        if (decimal != candidate) return candidate;
    return u",";
}

std::u16string localeSymbol(UNumberFormatSymbol symbol) {
    UErrorCode status = U_ZERO_ERROR;
    UNumberFormat* format = unum_open(UNUM_DECIMAL, nullptr, 0, nullptr, nullptr, &status);
    if (U_FAILURE(status) || !format) return {};
    UChar buffer[16] = {};
    const int32_t length = unum_getSymbol(format, symbol, buffer, 16, &status);
    unum_close(format);
    if (U_FAILURE(status) || length <= 0 || length > 16) return {};
    return std::u16string(reinterpret_cast<const char16_t*>(buffer), static_cast<size_t>(length));
}

std::optional<std::string> defaultsPlistPath() {
    std::optional<std::string> folder;
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        folder = s_resourcesFolder;
    }
    if (folder) return *folder + "/Defaults.plist";
    if (auto bundle = ResourceBundle::main()) return bundle->pathForResource("Defaults", "plist");
    return std::nullopt;
}

std::optional<SettingsValue> settingsValueOf(const NCPropertyListValue& value) {
    using Kind = NCPropertyListValue::Kind;
    switch (value.kind()) {
        case Kind::Boolean:
            return SettingsValue(value.boolean());
        case Kind::Integer:
            return SettingsValue(value.integer());
        case Kind::Real:
            return SettingsValue(value.real());
        case Kind::String:
            return SettingsValue(value.string());
        case Kind::Array: {
            std::vector<std::u16string> strings;
            for (const auto& element : value.array()) {
                if (!element || !element->isString()) return std::nullopt;
                strings.push_back(element->string());
            }
            return SettingsValue(std::move(strings));
        }
        default:
            return std::nullopt;
    }
}

}  // namespace

NBUserDefaultsController::NBUserDefaultsController() {
    NBDefaultsDictionary defaults =
        registrationDictionary(defaultsPlistPath(), localeSymbol(UNUM_DECIMAL_SEPARATOR_SYMBOL),
                               localeSymbol(UNUM_GROUPING_SEPARATOR_SYMBOL));
    NBDefaultFontProvider provider;
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        provider = s_fontProvider;
    }
    const std::u16string exampleKey = u"Language Example String";
    const auto example = NBLocalizationHelper::localizedInterfaceString(exampleKey);
    if (provider && example && *example != exampleKey) {
        if (auto font = provider(*example)) {
            Diagnostics::write(Diagnostics::Stream::output, "Default font set to " + NBUtf8(*font));
            defaults[NBDefaultFont] = *font;
        }
    }
    registerDefaults(defaults);
}

NBUserDefaultsController& NBUserDefaultsController::sharedInstance() {
    static NBUserDefaultsController instance;
    return instance;
}

void NBUserDefaultsController::setResourcesFolder(std::string folder) {
    std::lock_guard<std::mutex> lock(s_mutex);
    s_resourcesFolder = std::move(folder);
}

void NBUserDefaultsController::setDefaultFontProvider(NBDefaultFontProvider provider) {
    std::lock_guard<std::mutex> lock(s_mutex);
    s_fontProvider = std::move(provider);
}

std::optional<NBDefaultsDictionary> NBUserDefaultsController::readPropertyListDictionary(
    const std::string& path) {
    std::string error;
    const auto root = NCPropertyListValue::readFromFile(path, &error);
    if (!root || !root->isDictionary()) return std::nullopt;
    NBDefaultsDictionary dictionary;
    for (const auto& [key, value] : root->dictionary()) {
        const std::string name = NBUtf8(key);
        if (auto converted = value ? settingsValueOf(*value) : std::nullopt) {
            dictionary[name] = std::move(*converted);
        } else {
            Diagnostics::error("Setting \"" + name + "\" of " + path + " is a " +
                               (value ? value->kindName() : std::string("nothing")) +
                               ", which settings cannot hold; it is left out");
        }
    }
    return dictionary;
}

NBDefaultsDictionary NBUserDefaultsController::registrationDictionary(
    const std::optional<std::string>& defaultsPlistPath, const std::u16string& localeDecimal,
    const std::u16string& localeGrouping) {
    NBDefaultsDictionary defaults;
    if (defaultsPlistPath) {
        if (auto read = readPropertyListDictionary(*defaultsPlistPath))
            defaults = std::move(*read);
        else
            Diagnostics::error("The defaults file " + *defaultsPlistPath + " could not be read");
    }
    if (!localeDecimal.empty() && !localeGrouping.empty()) {
        defaults[NBDecimalPointSign] = localeDecimal;
        defaults[NBThousandsSeperatorSign] = localeDecimal == localeGrouping
                                                 ? firstSeparatorDifferentFrom(localeDecimal)
                                                 : localeGrouping;
    }
    return defaults;
}

void NBUserDefaultsController::registerDefaults(const NBDefaultsDictionary& defaults) {
    Settings::standard()->registerDefaults(defaults);
    std::lock_guard<std::mutex> lock(s_mutex);
    for (const auto& [key, value] : defaults) s_registered[key] = value;
}

void NBUserDefaultsController::resetRegisteredDefaults() {
    std::lock_guard<std::mutex> lock(s_mutex);
    s_registered.clear();
}

std::optional<SettingsValue> NBUserDefaultsController::valueForKey(const std::string& key) {
    const auto stored = Settings::standard()->objectForKey(key);
    const auto registered = registeredDefault(key);
    if (!stored || !registered) return stored ? stored : registered;
    if (auto coerced = coerce(*stored, *registered)) return coerced;
    return registered;
}

bool NBUserDefaultsController::boolForKey(const std::string& key) {
    const auto value = valueForKey(key);
    return value ? asBool(*value).value_or(false) : false;
}

int64_t NBUserDefaultsController::integerForKey(const std::string& key) {
    const auto value = valueForKey(key);
    return value ? asInteger(*value).value_or(0) : 0;
}

double NBUserDefaultsController::doubleForKey(const std::string& key) {
    const auto value = valueForKey(key);
    return value ? asDouble(*value).value_or(0) : 0;
}

std::optional<std::u16string> NBUserDefaultsController::stringForKey(const std::string& key) {
    const auto value = valueForKey(key);
    if (!value) return std::nullopt;
    if (auto text = std::get_if<std::u16string>(&*value)) return *text;
    return std::nullopt;
}

void NBUserDefaultsController::setValueForKey(const std::string& key, SettingsValue value) {
    Settings::standard()->setObject(key, std::move(value));
}

bool NBUserDefaultsController::showsWelcomeWindowOnLaunch() {
    return boolForKey(NBShowWelcomeWindowOnLaunch);
}
bool NBUserDefaultsController::wantsNewDocumentOnLaunch() {
    return boolForKey(NBWantsNewDocumentOnLaunch);
}
int64_t NBUserDefaultsController::numberOfLaunches() { return integerForKey(NBNumberOfLaunches); }
bool NBUserDefaultsController::isFirstLaunch() { return numberOfLaunches() == 1; }
bool NBUserDefaultsController::tutorialHasRun() { return boolForKey(NBTutorialHasRun); }
void NBUserDefaultsController::setTutorialHasRun(bool hasRun) {
    setValueForKey(NBTutorialHasRun, hasRun);
}
std::u16string NBUserDefaultsController::baseCurrencyCode() {
    return stringForKey(NBBaseCurrency).value_or(u"");
}
void NBUserDefaultsController::setBaseCurrencyCode(const std::u16string& code) {
    setValueForKey(NBBaseCurrency, code);
}
int64_t NBUserDefaultsController::contentLanguage() { return integerForKey(NBContentLanguage); }
void NBUserDefaultsController::setContentLanguage(int64_t language) {
    setValueForKey(NBContentLanguage, language);
}
std::u16string NBUserDefaultsController::thousandsSeparator() {
    return stringForKey(NBThousandsSeperatorSign).value_or(u"");
}
std::u16string NBUserDefaultsController::decimalIndicator() {
    return stringForKey(NBDecimalPointSign).value_or(u"");
}
int64_t NBUserDefaultsController::defaultTrionometryMode() {
    return integerForKey(NBDefaultTrigMode);
}
int64_t NBUserDefaultsController::notationStyle() { return integerForKey(NBNotationStyle); }
bool NBUserDefaultsController::suppressesSaveDocumentAlert() {
    return boolForKey(NBSuppressSaveAlert);
}
void NBUserDefaultsController::setSuppressesSaveDocumentAlert(bool suppresses) {
    setValueForKey(NBSuppressSaveAlert, suppresses);
}
bool NBUserDefaultsController::lineNumbersVisible() { return boolForKey(NBNumberLineVisible); }
void NBUserDefaultsController::setLineNumbersVisible(bool visible) {
    setValueForKey(NBNumberLineVisible, visible);
}
bool NBUserDefaultsController::statisticsBarVisible() { return boolForKey(NBStatisticsBarVisible); }
void NBUserDefaultsController::setStatiticsBarVisible(bool visible) {
    setValueForKey(NBStatisticsBarVisible, visible);
}
bool NBUserDefaultsController::formattingBarVisible() { return boolForKey(NBFormattingBarVisible); }
void NBUserDefaultsController::setFormattingBarVisible(bool visible) {
    setValueForKey(NBFormattingBarVisible, visible);
}
bool NBUserDefaultsController::syntaxColouringEnabled() {
    return boolForKey(NBSyntaxColoringEnabled);
}
int64_t NBUserDefaultsController::unitMeasurementSystem() {
    return integerForKey(NBUnitMeasurementSystem);
}
int64_t NBUserDefaultsController::dataStorageUnitPrefixType() {
    return integerForKey(NBDataStorageUnitPrefixType);
}
bool NBUserDefaultsController::isInDeveloperMode() { return boolForKey(NBDeveloperMode); }
bool NBUserDefaultsController::downloadsPreReleaseBuilds() {
    return boolForKey(NBDownloadsPreReleaseBuilds);
}

std::shared_ptr<NCResultFormattingOptions>
NBUserDefaultsController::defaultResultFormattingOptions() {
    auto options = std::make_shared<NCResultFormattingOptions>();
    // A hand-edited negative number would wrap around in the unsigned fields.
    options->setDecimalPlaces(
        static_cast<uint64_t>(std::max<int64_t>(0, integerForKey(NBDefaultPrecision))));
    const int64_t threshold = integerForKey(NBNotationThreshold);
    options->scientificNotationBigThreshold =
        static_cast<uint64_t>(std::max<int64_t>(0, threshold - 1));
    options->scientificNotationSmallThreshold =
        static_cast<uint64_t>(std::max<int64_t>(0, threshold));
    options->thousandsSeparator = boolForKey(NBThousandsSeparatorOn);

    std::u16string decimal = decimalIndicator();
    if (decimal.empty()) decimal = u".";
    std::u16string thousands = thousandsSeparator();
    if (thousands.empty()) thousands = u",";
    if (thousands == decimal) thousands = firstSeparatorDifferentFrom(decimal);
    options->decimalPlaceCharacter = decimal[0];
    options->thousandsSeparatorCharacter = thousands[0];

    options->scientificNotationMode = 2;
    options->scientificNotationStyle = static_cast<int32_t>(notationStyle());
    options->scientificNotationBaseString = u"\u00D710";
    options->scientificNotationBaseStringFontSizeScale = 0.8;
    options->scientificNotationExponentStringFontSizeScale = 0.7;
    return options;
}

void NBUserDefaultsController::setUnitPreferencesOnUnitManager(NKUnitsManager& unitsManager) {
    const std::u16string system = u"NCUnitsPreferenceImperialUSOrMetric";
    switch (unitMeasurementSystem()) {
        case 0:
            unitsManager.setUnitsPreference(system, u"NCUnitsMeasurementSystemMetric");
            break;
        case 1:
            unitsManager.setUnitsPreference(system, u"NCUnitsMeasurementSystemImperial");
            break;
        case 2:
            unitsManager.setUnitsPreference(system, u"NCUnitsMeasurementSystemUSCustomary");
            break;
        default:
            unitsManager.removeUnitsPreference(system);
            break;
    }
    unitsManager.setUnitsPreference(u"NCUnitsPreferenceBytePrefix",
                                    dataStorageUnitPrefixType() == 1
                                        ? u"NCUnitsPreferenceBytePrefixOptionBinary"
                                        : u"NCUnitsPreferenceBytePrefixOptionSI");
}

void NBUserDefaultsController::beginLife() {
    setValueForKey(NBNumberOfLaunches, numberOfLaunches() + 1);
}
