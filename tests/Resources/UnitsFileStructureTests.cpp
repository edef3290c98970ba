// Structure and types of the units data file and its localisation, field by field.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

#include "TestSupport.hpp"

namespace resources_test {
namespace {

const std::vector<std::string> kCategories = {"Length",
                                              "Mass",
                                              "Time",
                                              "Temperature",
                                              "Computer Storage",
                                              "Force",
                                              "Energy",
                                              "Power",
                                              "Pressure",
                                              "Frequency",
                                              "Electric Potential",
                                              "Electric Current",
                                              "Electric Resistance",
                                              "Speed",
                                              "Acceleration",
                                              "Area",
                                              "Volume",
                                              "Computer Throughput",
                                              "Fuel Consumption"};

bool isPlainDecimal(const std::string& text) { return Rational::fromDecimal(text).has_value(); }

bool isExponentList(const std::string& text) { return parseExponentList(text).has_value(); }

// Lower-case words joined by hyphens.
bool isPlainIdentifier(const std::string& text) {
    if (text.empty() || text.front() == '-' || text.back() == '-') return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '-' && text[i - 1] == '-') return false;
        if (c != '-' && (c < 'a' || c > 'z')) return false;
    }
    return true;
}

const UnitsCatalogue& catalogue() { return sharedCatalogue().catalogue; }

class UnitsFileStructure : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(sharedCatalogue().loaded) << sharedCatalogue().error; }
};

TEST_F(UnitsFileStructure, FilesAreXmlPropertyListsWithADictionaryAtTheRoot) {
    for (const char* name :
         {UnitsCatalogue::unitsFileName, UnitsCatalogue::unitLocalizationFileName,
          UnitsCatalogue::currencyLocalizationFileName}) {
        std::ifstream file(resourcesDirectory() + "/" + name);
        const std::string text{std::istreambuf_iterator<char>(file), {}};
        EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << name;
        EXPECT_NE(text.find("<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\""),
                  std::string::npos)
            << name;
        EXPECT_NE(text.find("<plist version=\"1.0\">"), std::string::npos) << name;
    }
    EXPECT_TRUE(catalogue().unitsFile().isDict());
    EXPECT_TRUE(catalogue().unitLocalization().isDict());
    EXPECT_TRUE(catalogue().currencyLocalization().isDict());
}

TEST_F(UnitsFileStructure, RootHoldsTheFourSectionsAndAVersion) {
    const PlistNode& root = catalogue().unitsFile();
    const std::set<std::string> known = {"Version", "Units", "Base Units", "Preferences",
                                         "SIPrefixes"};
    for (const auto& [key, value] : root.entries) EXPECT_TRUE(known.count(key)) << key;
    ASSERT_NE(root.find("Units"), nullptr);
    EXPECT_TRUE(root.find("Units")->isDict());
    ASSERT_NE(root.find("Base Units"), nullptr);
    EXPECT_TRUE(root.find("Base Units")->isDict());
    ASSERT_NE(root.find("Preferences"), nullptr);
    EXPECT_TRUE(root.find("Preferences")->isDict());
    ASSERT_NE(root.find("SIPrefixes"), nullptr);
    EXPECT_TRUE(root.find("SIPrefixes")->isArray());
    ASSERT_NE(root.find("Version"), nullptr);
    EXPECT_TRUE(root.find("Version")->isInteger());
}

TEST_F(UnitsFileStructure, SIPrefixTableIsTheStandardOne) {
    struct Row {
        int exponent;
        const char* word;
        const char* symbol;
    };
    const Row rows[] = {
        {-24, "yocto", "y"}, {-21, "zepto", "z"}, {-18, "atto", "a"},      {-15, "femto", "f"},
        {-12, "pico", "p"},  {-9, "nano", "n"},   {-6, "micro", "\u00b5"}, {-3, "milli", "m"},
        {-2, "centi", "c"},  {-1, "deci", "d"},   {1, "deca", "da"},       {2, "hecto", "h"},
        {3, "kilo", "k"},    {6, "mega", "M"},    {9, "giga", "G"},        {12, "tera", "T"},
        {15, "peta", "P"},   {18, "exa", "E"},    {21, "zetta", "Z"},      {24, "yotta", "Y"},
    };
    const PlistNode* table = catalogue().unitsFile().find("SIPrefixes");
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->items.size(), std::size(rows));
    std::set<int> seen;
    for (const PlistNode& item : table->items) {
        ASSERT_TRUE(item.isDict());
        for (const auto& [key, value] : item.entries)
            EXPECT_TRUE(key == "exponent" || key == "prefix" || key == "symbol" || key == "factor")
                << key;
        const PlistNode* exponent = item.find("exponent");
        ASSERT_TRUE(exponent && exponent->isInteger());
        EXPECT_TRUE(seen.insert(static_cast<int>(exponent->integer)).second) << exponent->integer;
        const auto row = std::find_if(std::begin(rows), std::end(rows), [&](const Row& r) {
            return r.exponent == exponent->integer;
        });
        ASSERT_NE(row, std::end(rows)) << exponent->integer;
        EXPECT_EQ(item.stringAt("prefix"), row->word);
        EXPECT_EQ(item.stringAt("symbol"), row->symbol);
        const std::string factor = item.stringAt("factor");
        ASSERT_TRUE(isPlainDecimal(factor)) << factor;
        EXPECT_TRUE(*Rational::fromDecimal(factor) == Rational::powerOfTen(row->exponent))
            << factor;
    }
}

TEST_F(UnitsFileStructure, CategoriesAreTheNineteenKnownOnes) {
    const PlistNode* units = catalogue().unitsFile().find("Units");
    ASSERT_NE(units, nullptr);
    std::set<std::string> present;
    for (const auto& [category, entries] : units->entries) {
        EXPECT_NE(std::find(kCategories.begin(), kCategories.end(), category), kCategories.end())
            << category << " would load as unit type 0";
        EXPECT_TRUE(entries.isDict()) << category;
        EXPECT_FALSE(entries.entries.empty()) << category;
        present.insert(category);
    }
    EXPECT_EQ(present.size(), kCategories.size());
}

// Checks one names dictionary; the same keys may appear in a unit entry of the units file.
void checkNameKeys(const std::string& identifier, const PlistNode& names, bool insideEntry) {
    const std::set<std::string> textKeys = {"singular", "plural", "symbol"};
    const std::set<std::string> listKeys = {"singulars", "plurals", "symbols",
                                            "case-sensitive-names"};
    const std::set<std::string> exponentKeys = {"SIPrefixExponents", "SIPrefixExponents-veryShort"};
    for (const auto& [key, value] : names.entries) {
        if (textKeys.count(key)) {
            EXPECT_TRUE(value.isString() && !value.text.empty()) << identifier << " " << key;
        } else if (listKeys.count(key)) {
            EXPECT_TRUE(value.isArray() && !value.items.empty()) << identifier << " " << key;
            for (const auto& item : value.items)
                EXPECT_TRUE(item.isString() && !item.text.empty()) << identifier << " " << key;
        } else if (exponentKeys.count(key)) {
            EXPECT_TRUE(value.isString() && isExponentList(value.text)) << identifier << " " << key;
        } else {
            EXPECT_TRUE(insideEntry) << identifier << ": unknown names key " << key;
        }
    }
    // A single key makes its array dead weight: the loader ignores the array then.
    for (const auto& [one, many] :
         {std::pair{"singular", "singulars"}, {"plural", "plurals"}, {"symbol", "symbols"}})
        EXPECT_FALSE(names.find(one) && names.find(many))
            << identifier << " has " << one << " and " << many;
}

TEST_F(UnitsFileStructure, EveryUnitEntryHasWellTypedFields) {
    const std::set<std::string> entryKeys = {"expect-names",
                                             "composition",
                                             "factor",
                                             "offset",
                                             "SIPrefixes",
                                             "SIPrefixExponents",
                                             "SIPrefixExponents-veryShort",
                                             "ambiguousTieBreakFactor",
                                             "singular",
                                             "plural",
                                             "symbol",
                                             "singulars",
                                             "plurals",
                                             "symbols",
                                             "case-sensitive-names"};
    const std::set<int> all = UnitsCatalogue::allExponents();
    int count = 0;
    for (const auto& [category, units] : catalogue().unitsFile().find("Units")->entries) {
        for (const auto& [identifier, entry] : units.entries) {
            ++count;
            SCOPED_TRACE(identifier);
            ASSERT_TRUE(entry.isDict());
            for (const auto& [key, value] : entry.entries)
                EXPECT_TRUE(entryKeys.count(key)) << "unknown key " << key;
            const PlistNode* composition = entry.find("composition");
            const PlistNode* factor = entry.find("factor");
            EXPECT_NE(composition == nullptr, factor == nullptr)
                << "needs exactly one of composition and factor";
            if (factor) {
                ASSERT_TRUE(factor->isString());
                const auto value = Rational::fromFactor(factor->text);
                ASSERT_TRUE(value.has_value()) << factor->text;
                EXPECT_GT(value->sign(), 0) << factor->text;
                // A ratio is kept for what no decimal can hold exactly.
                if (Rational::isRatio(factor->text)) {
                    EXPECT_FALSE(value->isTerminatingDecimal()) << factor->text;
                }
            }
            if (const PlistNode* offset = entry.find("offset")) {
                ASSERT_TRUE(offset->isString());
                EXPECT_TRUE(isPlainDecimal(offset->text)) << offset->text;
                EXPECT_NE(factor, nullptr) << "an offset needs a factor";
            }
            if (composition) {
                ASSERT_TRUE(composition->isDict());
                for (const auto& [key, value] : composition->entries) {
                    EXPECT_TRUE(key == "numerator" || key == "denominator") << key;
                    ASSERT_TRUE(value.isArray()) << key;
                    for (const auto& part : value.items) EXPECT_TRUE(part.isString()) << key;
                }
                ASSERT_NE(composition->find("numerator"), nullptr);
                ASSERT_NE(composition->find("denominator"), nullptr);
                EXPECT_FALSE(composition->find("numerator")->items.empty() &&
                             composition->find("denominator")->items.empty());
            }
            for (const char* key : {"SIPrefixes", "expect-names"}) {
                if (const PlistNode* flag = entry.find(key)) {
                    EXPECT_TRUE(flag->isBoolean()) << key;
                }
            }
            if (const PlistNode* tie = entry.find("ambiguousTieBreakFactor")) {
                ASSERT_TRUE(tie->isInteger());
                EXPECT_GE(tie->integer, 0);
            }
            std::set<int> allowed = all;
            if (const PlistNode* list = entry.find("SIPrefixExponents")) {
                ASSERT_TRUE(list->isString() && isExponentList(list->text));
                const auto exponents = *parseExponentList(list->text);
                allowed = std::set<int>(exponents.begin(), exponents.end());
                EXPECT_EQ(allowed.size(), exponents.size()) << "repeated exponent";
                for (int e : allowed) EXPECT_TRUE(all.count(e)) << "no prefix for exponent " << e;
                EXPECT_NE(factor, nullptr) << "prefixes need a factor";
            }
            if (const PlistNode* list = entry.find("SIPrefixExponents-veryShort")) {
                ASSERT_TRUE(list->isString() && isExponentList(list->text));
                const auto exponents = *parseExponentList(list->text);
                for (int e : exponents)
                    EXPECT_TRUE(allowed.count(e)) << "very short name for an absent prefix " << e;
            }
            if (entry.find("offset")) {
                EXPECT_EQ(entry.find("SIPrefixes"), nullptr) << "prefixed variants drop offsets";
                EXPECT_EQ(entry.find("SIPrefixExponents"), nullptr);
            }
            checkNameKeys(identifier, entry, true);
        }
    }
    EXPECT_GT(count, 150);
}

TEST_F(UnitsFileStructure, PrefixedVariantsAreOfDecimalFactors) {
    // The loader multiplies a prefix into a factor as decimal text, which would round a ratio.
    int prefixed = 0;
    for (const auto& [identifier, unit] : catalogue().units()) {
        if (unit.kind != UnitKind::Prefixed) continue;
        ++prefixed;
        const CatalogueUnit* base = catalogue().unit(unit.prefixBase);
        ASSERT_NE(base, nullptr) << identifier;
        EXPECT_FALSE(Rational::isRatio(base->factor)) << identifier << " prefixes " << base->factor;
    }
    EXPECT_GT(prefixed, 100);
}

TEST_F(UnitsFileStructure, IdentifiersAreUniquePlainAndNotPrefixedForms) {
    EXPECT_TRUE(catalogue().problems().empty())
        << catalogue().problems().size() << " problems, first: " << catalogue().problems().front();
    for (const auto& [category, units] : catalogue().unitsFile().find("Units")->entries)
        for (const auto& [identifier, entry] : units.entries) {
            EXPECT_TRUE(isPlainIdentifier(identifier)) << identifier;
            EXPECT_FALSE(splitPrefixedIdentifier(identifier)) << identifier;
        }
}

TEST_F(UnitsFileStructure, BaseUnitsAreUnitsOfTheirCategoryWithFactorOne) {
    const PlistNode* bases = catalogue().unitsFile().find("Base Units");
    std::set<std::string> withBase;
    for (const auto& [category, identifier] : bases->entries) {
        SCOPED_TRACE(category);
        EXPECT_NE(std::find(kCategories.begin(), kCategories.end(), category), kCategories.end());
        ASSERT_TRUE(identifier.isString());
        const CatalogueUnit* unit = catalogue().unit(identifier.text);
        ASSERT_NE(unit, nullptr) << identifier.text;
        EXPECT_EQ(unit->category, category);
        Quantity q;
        std::string error;
        ASSERT_TRUE(
            catalogue().resolve(identifier.text, catalogue().defaultPreferenceChoice(), q, error))
            << error;
        EXPECT_TRUE(q.factor == Rational(1)) << q.factor.toString();
        EXPECT_FALSE(q.hasOffset);
        withBase.insert(category);
    }
    // A category may go without a base unit only when none of its units could be one.
    for (const std::string& category : kCategories) {
        if (withBase.count(category)) continue;
        for (const auto& [identifier, unit] : catalogue().units()) {
            if (unit.category != category) continue;
            Quantity q;
            std::string error;
            ASSERT_TRUE(
                catalogue().resolve(identifier, catalogue().defaultPreferenceChoice(), q, error))
                << error;
            EXPECT_FALSE(q.factor == Rational(1))
                << identifier << " could be the base unit of " << category;
        }
    }
}

TEST_F(UnitsFileStructure, PreferencesHaveKnownNamesOptionsAndMatchingAliases) {
    const std::map<std::string, std::set<std::string>> known = {
        {"byte-prefix", {"binary", "si"}}, {"imperial-us-or-metric", {"imperial", "us", "metric"}}};
    const PlistNode* preferences = catalogue().unitsFile().find("Preferences");
    EXPECT_EQ(preferences->entries.size(), known.size());
    for (const auto& [preference, options] : preferences->entries) {
        SCOPED_TRACE(preference);
        ASSERT_TRUE(known.count(preference));
        ASSERT_TRUE(options.isDict());
        std::set<std::string> optionNames;
        std::set<std::string> firstAliases;
        for (const auto& [option, aliases] : options.entries) {
            SCOPED_TRACE(option);
            optionNames.insert(option);
            ASSERT_TRUE(aliases.isDict());
            std::set<std::string> names;
            for (const auto& [alias, target] : aliases.entries) {
                names.insert(alias);
                ASSERT_TRUE(target.isString()) << alias;
                EXPECT_EQ(catalogue().entry(alias), nullptr) << alias << " is also a unit";
                const CatalogueUnit* unit = catalogue().unit(target.text);
                ASSERT_NE(unit, nullptr) << target.text;
                EXPECT_TRUE(unit->kind == UnitKind::Basic || unit->kind == UnitKind::Prefixed)
                    << target.text << " is no basic unit";
                const CatalogueUnit* aliasUnit = catalogue().unit(alias);
                ASSERT_NE(aliasUnit, nullptr);
                EXPECT_EQ(aliasUnit->category, unit->category) << alias;
                EXPECT_NE(aliasUnit->singular(), nullptr) << alias << " has no singular name";
            }
            if (firstAliases.empty()) firstAliases = names;
            EXPECT_EQ(names, firstAliases) << "options must define the same aliases";
        }
        EXPECT_EQ(optionNames, known.at(preference));
    }
}

TEST_F(UnitsFileStructure, LocalisationHoldsNamesForUnitsAndAliasesOnly) {
    const PlistNode& localisation = catalogue().unitLocalization();
    for (const auto& [key, value] : localisation.entries)
        EXPECT_TRUE(key == "Version" || key == "Names" || key == "ConversionOperators" ||
                    key == "SIPrefixes")
            << key;
    const PlistNode* names = localisation.find("Names");
    ASSERT_TRUE(names && names->isDict());
    for (const auto& [identifier, dictionary] : names->entries) {
        SCOPED_TRACE(identifier);
        const CatalogueUnit* unit = catalogue().unit(identifier);
        ASSERT_NE(unit, nullptr) << "names for an unknown unit";
        EXPECT_TRUE(unit->kind != UnitKind::Prefixed && unit->kind != UnitKind::Currency);
        ASSERT_TRUE(dictionary.isDict());
        checkNameKeys(identifier, dictionary, false);
        if (const PlistNode* caseSensitive = dictionary.find("case-sensitive-names")) {
            for (const auto& name : caseSensitive->items)
                EXPECT_TRUE(unit->hasName(name.text)) << name.text << " is none of its names";
        }
    }
    const PlistNode* operators = localisation.find("ConversionOperators");
    ASSERT_TRUE(operators && operators->isArray());
    std::vector<std::string> words;
    for (const auto& item : operators->items) {
        ASSERT_TRUE(item.isString());
        words.push_back(item.text);
    }
    EXPECT_EQ(words, conversionWords());
}

}  // namespace
}  // namespace resources_test
