#include "NCUnitsFileParser.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <charconv>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "Diagnostics.h"
#include "NBFString.h"
#include "NCResult.h"
#include "NCUnitComposer.h"
#include "Regex.h"

namespace {

typedef NCUnitsFileParser::Value Value;

std::string utf8(const std::u16string& text) { return NBFUTF16ToUTF8(text); }

// Symbolic links resolved; the path as given when it cannot be.
std::string resolvedPath(const std::string& path) {
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical.string();
}

Value readDictionaryFile(const std::string& path) {
    if (path.empty()) return nullptr;
    auto value = NCPropertyListValue::readFromFile(resolvedPath(path), nullptr);
    if (value && !value->isDictionary()) {
        NCUnitsFileParser::log("Warning: localisation file is not a dictionary: '" + path + "'");
        return nullptr;
    }
    return value;
}

// The value under the key when it is a dictionary; else null, logged when present.
Value dictionaryForKey(const Value& owner, const std::u16string& key) {
    if (!owner || !owner->isDictionary()) return nullptr;
    Value value = owner->valueForKey(key);
    if (!value || value->isDictionary()) return value;
    NCUnitsFileParser::log("Warning: '" + utf8(key) + "' is not a dictionary but a " +
                           value->kindName());
    return nullptr;
}

std::optional<std::u16string> stringValue(const Value& value, const char* what) {
    if (!value) return std::nullopt;
    if (value->isString()) return value->string();
    NCUnitsFileParser::log(std::string(what) + " is not a string: " + value->kindName());
    return std::nullopt;
}

std::optional<int64_t> integerValue(const Value& value, const char* what) {
    if (!value) return std::nullopt;
    if (value->kind() == NCPropertyListValue::Kind::Integer) return value->integer();
    if (value->isString()) {
        std::string text = utf8(value->string());
        int64_t number = 0;
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error == std::errc() && end == text.data() + text.size()) return number;
    }
    NCUnitsFileParser::log(std::string(what) + " is not an integer");
    return std::nullopt;
}

bool boolValue(const Value& value, bool absentValue, const char* what) {
    if (!value) return absentValue;
    if (value->kind() == NCPropertyListValue::Kind::Boolean) return value->boolean();
    if (value->kind() == NCPropertyListValue::Kind::Integer) return value->integer() != 0;
    NCUnitsFileParser::log(std::string(what) + " is not a boolean: " + value->kindName());
    return absentValue;
}

// The strings of an array value; other elements are logged and left out.
std::vector<std::u16string> stringArray(const Value& value, const char* what) {
    std::vector<std::u16string> strings;
    if (!value) return strings;
    if (!value->isArray()) {
        NCUnitsFileParser::log(std::string(what) + " is not an array: " + value->kindName());
        return strings;
    }
    for (const Value& item : value->array())
        if (auto text = stringValue(item, what)) strings.push_back(*text);
    return strings;
}

std::u16string lowercased(const std::u16string& text) {
    icu::UnicodeString string(text.data(), static_cast<int32_t>(text.size()));
    string.toLower(icu::Locale::getRoot());
    return std::u16string(string.getBuffer(), static_cast<size_t>(string.length()));
}

struct UnitNames {
    NCBasicUnit::Names names;
    NCUnitAliases aliases{
        {NCUnitNameTypeSingular, {}}, {NCUnitNameTypePlural, {}}, {NCUnitNameTypeVeryShort, {}}};
    std::set<std::u16string> caseSensitiveNames;
};

// A missing single name is the first of its list, whose other elements become aliases.
void readName(const Value& names, const char16_t* key, const char16_t* listKey, const char* warning,
              NCUnitNameType type, std::optional<std::u16string>* name, NCUnitAliases* aliases) {
    *name = stringValue(names->valueForKey(key), warning);
    if (*name) return;
    std::vector<std::u16string> list = stringArray(names->valueForKey(listKey), warning);
    if (list.empty()) return;
    *name = list.front();
    (*aliases)[type].assign(list.begin() + 1, list.end());
}

UnitNames readNames(const Value& names) {
    UnitNames result;
    if (!names || !names->isDictionary()) return result;
    readName(names, u"singular", u"singulars", "Warning: Unit singular", NCUnitNameTypeSingular,
             &result.names.singular, &result.aliases);
    readName(names, u"plural", u"plurals", "Warning: Unit plural", NCUnitNameTypePlural,
             &result.names.plural, &result.aliases);
    readName(names, u"symbol", u"symbols", "Warning: Unit symbol", NCUnitNameTypeVeryShort,
             &result.names.veryShort, &result.aliases);
    for (const std::u16string& name :
         stringArray(names->valueForKey(u"case-sensitive-names"), "Case-sensitive name"))
        result.caseSensitiveNames.insert(name);
    return result;
}

const std::map<std::u16string, std::u16string>& preferenceNames() {
    static const std::map<std::u16string, std::u16string> names{
        {u"byte-prefix", NCUnitsPreferenceBytePrefix},
        {u"imperial-us-or-metric", NCUnitsMeasurementSystem}};
    return names;
}

const std::map<std::u16string, std::u16string>& optionNames() {
    static const std::map<std::u16string, std::u16string> names{
        {u"binary", NCUnitsPreferenceBytePrefixOptionBinary},
        {u"si", NCUnitsPreferenceBytePrefixOptionSI},
        {u"imperial", NCUnitsMeasurementSystemImperial},
        {u"us", NCUnitsMeasurementSystemUSCustomary},
        {u"metric", NCUnitsMeasurementSystemMetric}};
    return names;
}

}  // namespace

void NCUnitsFileParser::log(const std::string& line) { Diagnostics::error(line); }

NCUnitType NCUnitsFileParser::unitTypeForCategory(const std::u16string& category) {
    static const std::map<std::u16string, NCUnitType> types{{u"Length", 2},
                                                            {u"Mass", 3},
                                                            {u"Time", 5},
                                                            {u"Temperature", 6},
                                                            {u"Computer Storage", 7},
                                                            {u"Force", 8},
                                                            {u"Energy", 9},
                                                            {u"Power", 10},
                                                            {u"Pressure", 11},
                                                            {u"Frequency", 12},
                                                            {u"Electric Potential", 13},
                                                            {u"Electric Current", 14},
                                                            {u"Electric Resistance", 15},
                                                            {u"Speed", 16},
                                                            {u"Acceleration", 17},
                                                            {u"Area", 18},
                                                            {u"Volume", 19},
                                                            {u"Computer Throughput", 20},
                                                            {u"Fuel Consumption", 21}};
    auto found = types.find(category);
    return found == types.end() ? NCUnitTypeNone : found->second;
}

const std::set<int64_t>& NCUnitsFileParser::allExponents() {
    static const std::set<int64_t> exponents{-24, -21, -18, -15, -12, -9, -6, -3, -2, -1,
                                             1,   2,   3,   6,   9,   12, 15, 18, 21, 24};
    return exponents;
}

std::u16string NCUnitsFileParser::prefixedIdentifier(int64_t exponent,
                                                     const std::u16string& identifier) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, exponent).ptr;
    std::u16string text = u"si";
    if (exponent >= 0) text += u'+';
    for (const char* c = digits; c < end; ++c) text += static_cast<char16_t>(*c);
    return text + u"-" + identifier;
}

std::shared_ptr<NCUnitsFile> NCUnitsFileParser::readUnitsFile(
    const std::string& path, const std::string& localizationFile,
    const std::string& fallbackLocalizationFile, const NCUnitsPreferenceChoices& preferences) {
    NCUnitsFileParser parser(path, preferences);
    return parser.loadUnitsWithLocalizationFile(localizationFile, fallbackLocalizationFile);
}

NCUnitsFileParser::NCUnitsFileParser(std::string unitsFile, NCUnitsPreferenceChoices preferences)
    : m_evaluator(NBFEvaluatorCreate()),
      m_unitsFile(std::move(unitsFile)),
      m_preferences(std::move(preferences)) {}

NCUnitsFileParser::~NCUnitsFileParser() { NBFEvaluatorFree(m_evaluator); }

std::shared_ptr<NCUnitsFile> NCUnitsFileParser::loadUnitsWithLocalizationFile(
    const std::string& localizationFile, const std::string& fallbackLocalizationFile) {
    std::string error;
    Value data = NCPropertyListValue::readFromFile(resolvedPath(m_unitsFile), &error);
    if (data && !data->isDictionary()) {
        error = "the property list is not a dictionary";
        data = nullptr;
    }
    if (!data) {
        log("Error while opening units data: '" + error + "'");
        return std::make_shared<NCUnitsFile>();
    }
    m_unitsDataSource = data;
    m_localization = readDictionaryFile(localizationFile);
    m_fallbackLocalization = readDictionaryFile(fallbackLocalizationFile);

    loadSIPrefixes();
    loadUnitDictionaries();
    loadUnitsFromPreferencesWithEntries(m_dataSourceUnitsById);
    loadRegularUnitsWithEntries(m_dataSourceUnitsById);

    std::vector<std::shared_ptr<NCUnit>> units;
    units.reserve(loadedUnitsByIdentifier.size());
    for (const auto& [identifier, unit] : loadedUnitsByIdentifier) units.push_back(unit);
    return std::make_shared<NCUnitsFile>(std::move(units), loadBaseUnitsDict());
}

Value NCUnitsFileParser::optionalLocalizedValueForKey(const std::u16string& key) const {
    for (const Value* source : {&m_localization, &m_fallbackLocalization, &m_unitsDataSource})
        if (*source && (*source)->isDictionary())
            if (Value value = (*source)->valueForKey(key)) return value;
    return nullptr;
}

Value NCUnitsFileParser::optionalLocalizedValueForKey(const std::u16string& key,
                                                      const std::u16string& unitIdentifier) const {
    for (const Value* source : {&m_localization, &m_fallbackLocalization})
        if (Value names = dictionaryForKey(dictionaryForKey(*source, u"Names"), unitIdentifier))
            if (Value value = names->valueForKey(key)) return value;
    auto entry = m_dataSourceUnitsById.find(unitIdentifier);
    if (entry == m_dataSourceUnitsById.end()) return nullptr;
    return entry->second->valueForKey(key);
}

Value NCUnitsFileParser::localizedUnitNamesForIdentifier(const std::u16string& identifier) const {
    for (const Value* source : {&m_localization, &m_fallbackLocalization})
        if (Value names = dictionaryForKey(dictionaryForKey(*source, u"Names"), identifier))
            return names;
    auto entry = m_dataSourceUnitsById.find(identifier);
    return entry == m_dataSourceUnitsById.end() ? nullptr : entry->second;
}

void NCUnitsFileParser::loadSIPrefixes() {
    m_SIPrefixes.clear();
    Value prefixes = optionalLocalizedValueForKey(u"SIPrefixes");
    if (!prefixes) return;
    if (!prefixes->isArray()) {
        log("Warning: SIPrefixes is not an array");
        return;
    }
    for (const Value& prefix : prefixes->array()) {
        if (!prefix->isDictionary()) {
            log("Warning: SI prefix entry is not a dictionary");
            continue;
        }
        if (auto exponent = integerValue(prefix->valueForKey(u"exponent"), "SI prefix exponent"))
            m_SIPrefixes[*exponent] = prefix;
    }
}

void NCUnitsFileParser::loadUnitDictionaries() {
    m_dataSourceUnitsById.clear();
    Value categories = dictionaryForKey(m_unitsDataSource, u"Units");
    if (!categories) return;
    for (const auto& [category, units] : categories->dictionary()) {
        if (!units->isDictionary()) {
            log("Warning: units of category '" + utf8(category) + "' are not a dictionary");
            continue;
        }
        for (const auto& [identifier, entry] : units->dictionary()) {
            if (!entry->isDictionary()) {
                log("Warning: unit entry '" + utf8(identifier) + "' is not a dictionary");
                continue;
            }
            auto copy = std::make_shared<NCPropertyListValue>(*entry);
            auto name = std::make_shared<NCPropertyListValue>();
            name->m_kind = NCPropertyListValue::Kind::String;
            name->m_string = category;
            copy->m_dictionary[u"category"] = name;
            m_dataSourceUnitsById[identifier] = copy;
        }
    }
}

std::map<std::u16string, std::shared_ptr<NCUnitsPreference>>
NCUnitsFileParser::loadUnitsFromPreferencesWithEntries(const Entries& entries) {
    auto preferences = loadPreferencesWithEntries(entries);
    for (const auto& [preferenceName, optionName] : m_preferences) {
        auto preference = preferences.find(preferenceName);
        if (preference == preferences.end()) continue;
        auto option = preference->second->optionNamed(optionName);
        if (!option) continue;
        for (const auto& alias : option->aliasUnits())
            if (auto unit = alias->unitWithAliasUnitValue())
                if (unit->identifier()) loadedUnitsByIdentifier[*unit->identifier()] = unit;
    }
    return preferences;
}

std::map<std::u16string, std::shared_ptr<NCUnitsPreference>>
NCUnitsFileParser::loadPreferencesWithEntries(const Entries& entries) {
    std::map<std::u16string, std::shared_ptr<NCUnitsPreference>> preferences;
    Value all = dictionaryForKey(m_unitsDataSource, u"Preferences");
    if (!all) return preferences;
    for (const auto& [preferenceName, options] : all->dictionary()) {
        auto constant = preferenceNames().find(preferenceName);
        if (constant == preferenceNames().end() || !options->isDictionary()) {
            log("Warning: unknown or malformed units preference '" + utf8(preferenceName) + "'");
            continue;
        }
        NCUnitsPreference::Options loadedOptions;
        for (const auto& [optionName, aliases] : options->dictionary()) {
            auto optionConstant = optionNames().find(optionName);
            if (optionConstant == optionNames().end() || !aliases->isDictionary()) {
                log("Warning: unknown or malformed units preference option '" + utf8(optionName) +
                    "'");
                continue;
            }
            std::vector<std::shared_ptr<NCAliasUnit>> aliasUnits;
            for (const auto& [aliasIdentifier, targetValue] : aliases->dictionary()) {
                auto target = stringValue(targetValue, "Warning: alias target");
                if (!target) continue;
                std::shared_ptr<NCUnit> unit = getOrLoadUnitWithIdentifier(*target, entries);
                if (!unit) {
                    log("Warning: alias '" + utf8(aliasIdentifier) + "' names no unit: '" +
                        utf8(*target) + "'");
                    continue;
                }
                UnitNames names = readNames(localizedUnitNamesForIdentifier(aliasIdentifier));
                names.names.symbol.reset();
                aliasUnits.push_back(std::make_shared<NCAliasUnit>(aliasIdentifier, unit,
                                                                   names.names, names.aliases));
            }
            loadedOptions[optionConstant->second] =
                std::make_shared<NCUnitsPreferenceOption>(std::move(aliasUnits));
        }
        preferences[constant->second] =
            std::make_shared<NCUnitsPreference>(std::move(loadedOptions));
    }
    return preferences;
}

void NCUnitsFileParser::loadRegularUnitsWithEntries(const Entries& entries) {
    for (const auto& [identifier, entry] : entries)
        getOrLoadUnitWithIdentifier(identifier, entries);
}

std::map<NCUnitType, std::u16string> NCUnitsFileParser::loadBaseUnitsDict() const {
    std::map<NCUnitType, std::u16string> baseUnits;
    Value all = dictionaryForKey(m_unitsDataSource, u"Base Units");
    if (!all) return baseUnits;
    for (const auto& [category, identifier] : all->dictionary())
        if (auto text = stringValue(identifier, "Warning: base unit identifier"))
            baseUnits[unitTypeForCategory(category)] = *text;
    return baseUnits;
}

std::vector<std::shared_ptr<NCUnit>> NCUnitsFileParser::getOrLoadUnitsWithIdentifiers(
    const Value& identifiers, const Entries& entries) {
    std::vector<std::shared_ptr<NCUnit>> units;
    for (const std::u16string& identifier : stringArray(identifiers, "Warning: composition part"))
        units.push_back(getOrLoadUnitWithIdentifier(identifier, entries));
    return units;
}

std::shared_ptr<NCUnit> NCUnitsFileParser::getOrLoadUnitWithIdentifier(
    const std::u16string& identifier, const Entries& entries) {
    auto loaded = loadedUnitsByIdentifier.find(identifier);
    if (loaded != loadedUnitsByIdentifier.end()) return loaded->second;
    if (loadingIdentifiers.count(identifier)) {
        log("Warning: unit '" + utf8(identifier) + "' is part of its own composition");
        return nullptr;
    }

    static const std::shared_ptr<Regex> prefixed = Regex::cached(u"^(si)([+-]\\d+)-(.*)");
    if (auto match = prefixed->firstMatch(identifier)) {
        const std::u16string exponentText = match->group(identifier, 2);
        const std::u16string baseIdentifier = match->group(identifier, 3);
        std::string digits = utf8(exponentText[0] == u'+' ? exponentText.substr(1) : exponentText);
        int64_t exponent = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), exponent);
        if (error != std::errc() || end != digits.data() + digits.size()) return nullptr;
        loadingIdentifiers.insert(identifier);
        auto base = std::dynamic_pointer_cast<NCBasicUnit>(
            getOrLoadUnitWithIdentifier(baseIdentifier, entries));
        loadingIdentifiers.erase(identifier);
        loaded = loadedUnitsByIdentifier.find(identifier);
        if (loaded != loadedUnitsByIdentifier.end()) return loaded->second;
        if (!base) return nullptr;
        auto unit = SIPrefixedUnitForUnit(*base, exponent);
        if (unit) loadedUnitsByIdentifier[identifier] = unit;
        return unit;
    }

    auto entry = entries.find(identifier);
    if (entry == entries.end()) {
        log("Warning: no unit entry for '" + utf8(identifier) + "'");
        return nullptr;
    }
    loadingIdentifiers.insert(identifier);
    std::shared_ptr<NCUnit> unit = loadUnitWithEntry(identifier, *entry->second, entries);
    loadingIdentifiers.erase(identifier);
    if (unit) loadedUnitsByIdentifier[identifier] = unit;
    return unit;
}

std::shared_ptr<NCUnit> NCUnitsFileParser::loadUnitWithEntry(const std::u16string& identifier,
                                                             const NCPropertyListValue& entry,
                                                             const Entries& entries) {
    const NCUnitType type = unitTypeForCategory(
        stringValue(entry.valueForKey(u"category"), "Warning: category").value_or(u""));
    UnitNames names;
    if (boolValue(entry.valueForKey(u"expect-names"), true, "Warning: expect-names")) {
        names = readNames(localizedUnitNamesForIdentifier(identifier));
        if (!names.names.singular) {
            log("Warning: unit '" + utf8(identifier) + "' has no singular name");
            return nullptr;
        }
    }
    names.names.symbol.reset();

    std::shared_ptr<NCUnit> unit;
    Value composition = entry.valueForKey(u"composition");
    if (composition && !composition->isDictionary()) {
        log("Warning: composition of '" + utf8(identifier) + "' is not a dictionary");
        composition = nullptr;
    }
    if (composition) {
        auto numerator =
            getOrLoadUnitsWithIdentifiers(composition->valueForKey(u"numerator"), entries);
        auto denominator =
            getOrLoadUnitsWithIdentifiers(composition->valueForKey(u"denominator"), entries);
        for (const auto* part : {&numerator, &denominator})
            for (const auto& component : *part)
                if (!component) {
                    log("Warning: composition of '" + utf8(identifier) +
                        "' names a unit that is not loaded");
                    return nullptr;
                }
        if (numerator.empty() && denominator.empty()) {
            log("Warning: composition of '" + utf8(identifier) + "' is empty");
            return nullptr;
        }
        unit = NCUnitComposer::composeUnitWithIdentifier(identifier, type, names.names,
                                                         names.aliases, names.caseSensitiveNames,
                                                         numerator, denominator);
    } else {
        auto factor = stringValue(entry.valueForKey(u"factor"), "Warning: factor");
        if (!factor) {
            log("Warning: unit '" + utf8(identifier) + "' has neither composition nor factor");
            return nullptr;
        }
        auto offset = stringValue(entry.valueForKey(u"offset"), "Warning: offset");
        auto basic = NCBasicUnit::create(identifier, type, factor, offset, names.names,
                                         names.aliases, names.caseSensitiveNames);
        if (!basic || !basic->nbfUnitFraction()) {
            log("Warning: unit '" + utf8(identifier) + "' could not be made");
            return nullptr;
        }
        loadedUnitsByIdentifier[identifier] = basic;
        std::set<int64_t> allowed = allowedSIPrefixExponentsForKey(u"SIPrefixExponents", *basic);
        const bool ownList =
            optionalLocalizedValueForKey(u"SIPrefixExponents", identifier) != nullptr;
        if (boolValue(entry.valueForKey(u"SIPrefixes"), false, "Warning: SIPrefixes") || ownList)
            loadSIPrefixedUnitsForUnit(basic, allowed);
        unit = basic;
    }
    if (!unit) return nullptr;
    if (auto factor = integerValue(entry.valueForKey(u"ambiguousTieBreakFactor"),
                                   "Warning: ambiguousTieBreakFactor"))
        unit->setAmbiguousTieBreakFactor(*factor);
    return unit;
}

std::set<int64_t> NCUnitsFileParser::allowedSIPrefixExponentsForKey(const std::u16string& key,
                                                                    const NCBasicUnit& unit) const {
    Value value =
        unit.identifier() ? optionalLocalizedValueForKey(key, *unit.identifier()) : nullptr;
    if (!value) return allExponents();
    std::set<int64_t> exponents;
    if (value->kind() == NCPropertyListValue::Kind::Integer) {
        exponents.insert(value->integer());
        return exponents;
    }
    auto text = stringValue(value, "Warning: SI prefix exponents");
    if (!text) return allExponents();
    // Parts between runs of commas and white space.
    std::string part;
    auto flush = [&] {
        if (part.empty()) return;
        int64_t exponent = 0;
        auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), exponent);
        if (error == std::errc() && end == part.data() + part.size())
            exponents.insert(exponent);
        else
            log("Warning: SI prefix exponent is not an integer: " + part);
        part.clear();
    };
    for (char16_t c : *text) {
        if (c == u',' || c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' ||
            c == u'\v')
            flush();
        else
            part += c < 0x80 ? static_cast<char>(c) : '?';
    }
    flush();
    return exponents;
}

void NCUnitsFileParser::loadSIPrefixedUnitsForUnit(const std::shared_ptr<NCBasicUnit>& unit,
                                                   const std::set<int64_t>& allowedExponents) {
    if (!unit || !unit->identifier()) return;
    for (int64_t exponent : allowedExponents) {
        const std::u16string identifier = prefixedIdentifier(exponent, *unit->identifier());
        if (loadedUnitsByIdentifier.count(identifier)) continue;
        if (auto prefixed = SIPrefixedUnitForUnit(*unit, exponent))
            loadedUnitsByIdentifier[identifier] = prefixed;
    }
}

std::shared_ptr<NCBasicUnit> NCUnitsFileParser::SIPrefixedUnitForUnit(const NCBasicUnit& unit,
                                                                      int64_t exponent) {
    if (!unit.identifier()) return nullptr;
    const std::set<int64_t> veryShortExponents =
        allowedSIPrefixExponentsForKey(u"SIPrefixExponents-veryShort", unit);
    auto prefixEntry = m_SIPrefixes.find(exponent);
    if (prefixEntry == m_SIPrefixes.end() || !prefixEntry->second->isDictionary()) {
        log("Warning: no SI prefix for exponent " + std::to_string(exponent));
        return nullptr;
    }
    const Value& prefix = prefixEntry->second;
    auto prefixFactor = stringValue(prefix->valueForKey(u"factor"), "Warning: SI prefix factor");
    auto unitFactor = unit.factor();
    if (!prefixFactor || !unitFactor) return nullptr;

    NBFResultRef product =
        NBFEvaluatorEvaluateString(m_evaluator, utf8(*unitFactor + u"*" + *prefixFactor));
    std::optional<std::u16string> factor;
    if (product) {
        NCResult result(product);
        if (result.resultType() == NCResultTypeValue) factor = result.completeStringValue();
        NBFResultRelease(product);
    }
    if (!factor) {
        log("Warning: prefixed factor of '" + utf8(*unit.identifier()) + "' cannot be evaluated");
        return nullptr;
    }

    const std::set<std::u16string>& unitCaseSensitive = unit.caseSensitiveNames();
    std::set<std::u16string> caseSensitive;
    auto prefixedName = [&](const std::u16string& prefixText, const std::u16string& name,
                            bool keepCase, bool forceCaseSensitive) {
        const bool wasCaseSensitive = unitCaseSensitive.count(name) != 0;
        std::u16string result =
            prefixText + (wasCaseSensitive || keepCase ? name : lowercased(name));
        if (wasCaseSensitive || forceCaseSensitive) caseSensitive.insert(result);
        return result;
    };

    auto wordPrefix = stringValue(prefix->valueForKey(u"prefix"), "Warning: SI prefix word");
    auto symbolPrefix = stringValue(prefix->valueForKey(u"symbol"), "Warning: SI prefix symbol");
    NCBasicUnit::Names names;
    if (wordPrefix) {
        if (auto singular = unit.nameForFormat(NCUnitNameFormatName, NCUnitNameFormSingular))
            names.singular = prefixedName(*wordPrefix, *singular, false, false);
        if (auto plural = unit.nameForFormat(NCUnitNameFormatName, NCUnitNameFormPlural))
            names.plural = prefixedName(*wordPrefix, *plural, false, false);
    }
    const bool veryShortAllowed = veryShortExponents.count(exponent) && symbolPrefix;
    if (veryShortAllowed)
        if (auto veryShort = unit.nameForFormat(NCUnitNameFormatVeryShortName))
            names.veryShort = prefixedName(*symbolPrefix, *veryShort, true, true);

    NCUnitAliases aliases;
    for (const auto& [nameType, list] : unit.aliases()) {
        std::vector<std::u16string>& out = aliases[nameType];
        for (const std::u16string& alias : list) {
            if (wordPrefix) out.push_back(prefixedName(*wordPrefix, alias, false, false));
            if (veryShortAllowed) out.push_back(prefixedName(*symbolPrefix, alias, true, true));
        }
    }
    return NCBasicUnit::create(prefixedIdentifier(exponent, *unit.identifier()), unit.type(),
                               factor, std::nullopt, names, aliases, caseSensitive);
}

std::vector<std::shared_ptr<NCMutableBasicUnit>>
NCUnitsFileParser::loadCurrencyUnitsFromLocalizationFile(const std::string& path) {
    std::vector<std::shared_ptr<NCMutableBasicUnit>> units;
    Value file = readDictionaryFile(path);
    Value currencies = dictionaryForKey(file, u"Currencies");
    if (!currencies) return units;
    for (const auto& [code, entry] : currencies->dictionary()) {
        if (!entry->isDictionary()) {
            log("Warning: currency entry '" + utf8(code) + "' is not a dictionary");
            continue;
        }
        Value names = dictionaryForKey(entry, u"names");
        Value aliases = dictionaryForKey(entry, u"aliases");
        NCBasicUnit::Names unitNames;
        std::set<std::u16string> caseSensitive;
        if (names) {
            unitNames.singular = stringValue(names->valueForKey(u"singular"), "Currency singular");
            unitNames.plural = stringValue(names->valueForKey(u"plural"), "Currency plural");
            unitNames.symbol = stringValue(names->valueForKey(u"symbol"), "Currency symbol");
        }
        unitNames.veryShort = code;
        if (unitNames.symbol) caseSensitive.insert(*unitNames.symbol);
        NCUnitAliases unitAliases;
        if (aliases) {
            const std::pair<const char16_t*, NCUnitNameType> lists[] = {
                {u"singular", NCUnitNameTypeSingular},
                {u"plurals", NCUnitNameTypePlural},
                {u"symbols", NCUnitNameTypeVeryShort}};
            for (const auto& [key, nameType] : lists)
                if (Value list = aliases->valueForKey(key))
                    unitAliases[nameType] = stringArray(list, "Currency alias");
            auto symbols = unitAliases.find(NCUnitNameTypeVeryShort);
            if (symbols != unitAliases.end())
                caseSensitive.insert(symbols->second.begin(), symbols->second.end());
        }
        if (auto unit = NCMutableBasicUnit::create(code, NCUnitTypeCurrency, u"1.0", std::nullopt,
                                                   unitNames, unitAliases, caseSensitive))
            units.push_back(unit);
    }
    return units;
}
