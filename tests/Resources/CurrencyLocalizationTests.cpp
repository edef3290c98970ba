// The currency localisation: one unit for each supported code, with names people type, and
// shared names only where the clashing-currency rules decide them.
#include <gtest/gtest.h>

#include <set>

#include "TestSupport.hpp"

namespace resources_test {
namespace {

const UnitsCatalogue& catalogue() { return sharedCatalogue().catalogue; }

class CurrencyLocalization : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(sharedCatalogue().loaded) << sharedCatalogue().error; }
    const PlistNode& currencies() const {
        return *catalogue().currencyLocalization().find("Currencies");
    }
};

TEST_F(CurrencyLocalization, HoldsExactlyTheSupportedCodesAndBitcoin) {
    const PlistNode* node = catalogue().currencyLocalization().find("Currencies");
    ASSERT_TRUE(node && node->isDict());
    ASSERT_EQ(supportedCurrencyCodes().size(), 153u);
    std::set<std::string> expected(supportedCurrencyCodes().begin(),
                                   supportedCurrencyCodes().end());
    expected.insert("BTC");
    std::set<std::string> present;
    for (const auto& [code, entry] : node->entries) present.insert(code);
    EXPECT_EQ(present, expected);
    for (const auto& [key, value] : catalogue().currencyLocalization().entries)
        EXPECT_TRUE(key == "Currencies" || key == "Version") << key;
}

TEST_F(CurrencyLocalization, EveryEntryHasNamesAndWellTypedAliases) {
    for (const auto& [code, entry] : currencies().entries) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(entry.isDict());
        for (const auto& [key, value] : entry.entries)
            EXPECT_TRUE(key == "names" || key == "aliases") << key;
        const PlistNode* names = entry.find("names");
        ASSERT_TRUE(names && names->isDict());
        for (const auto& [key, value] : names->entries)
            EXPECT_TRUE(key == "singular" || key == "plural" || key == "symbol") << key;
        for (const char* key : {"singular", "plural", "symbol"}) {
            const PlistNode* text = names->find(key);
            ASSERT_TRUE(text && text->isString() && !text->text.empty()) << key;
        }
        if (const PlistNode* aliases = entry.find("aliases")) {
            ASSERT_TRUE(aliases->isDict());
            for (const auto& [key, list] : aliases->entries) {
                EXPECT_TRUE(key == "singular" || key == "plurals" || key == "symbols") << key;
                ASSERT_TRUE(list.isArray()) << key;
                EXPECT_FALSE(list.items.empty()) << key;
                for (const auto& item : list.items)
                    EXPECT_TRUE(item.isString() && !item.text.empty()) << key;
            }
        }
    }
}

TEST_F(CurrencyLocalization, OnlyClashingNamesAreSharedBetweenCurrencies) {
    // Two currencies share a name when both have the same spelling, or when neither marks it
    // case-sensitive and the spellings differ only in case.
    std::map<std::string, std::set<std::string>> bySpelling, byKeyInAnyCase;
    for (const auto& [identifier, unit] : catalogue().units()) {
        if (unit.kind != UnitKind::Currency) continue;
        for (const UnitName& name : unit.names) {
            bySpelling[name.text].insert(identifier);
            if (!name.caseSensitive)
                byKeyInAnyCase[UnitsCatalogue::searchKey(name.text)].insert(identifier);
        }
    }
    std::set<std::string> clashKeys;
    for (const auto& clash : clashingCurrencyNames())
        for (const auto& text : {clash.symbol, clash.singular, clash.plural})
            clashKeys.insert(UnitsCatalogue::searchKey(text));
    for (const auto* shared : {&bySpelling, &byKeyInAnyCase})
        for (const auto& [name, codes] : *shared)
            EXPECT_TRUE(codes.size() < 2 || clashKeys.count(UnitsCatalogue::searchKey(name)))
                << "\"" << name << "\" is shared by " << codes.size() << " currencies";
    // Each clashing symbol reaches its group's default, so the rules have something to choose.
    for (const auto& clash : clashingCurrencyNames()) {
        const auto& holders = bySpelling[clash.symbol];
        EXPECT_TRUE(holders.count(clash.defaultCode)) << clash.symbol;
        EXPECT_GE(holders.size(), 3u) << clash.symbol;
    }
}

TEST_F(CurrencyLocalization, TheDefaultOfEachClashCarriesItsSymbolAsItsOwn) {
    // The rules look at the symbol (name format 3) of a currency to make it the default.
    for (const auto& clash : clashingCurrencyNames()) {
        const CatalogueUnit* unit = catalogue().unit(clash.defaultCode);
        ASSERT_NE(unit, nullptr);
        bool hasSymbol = false;
        for (const UnitName& name : unit->names)
            hasSymbol |= name.type == NameType::Symbol && name.text == clash.symbol;
        EXPECT_TRUE(hasSymbol) << clash.defaultCode;
    }
}

TEST_F(CurrencyLocalization, WellKnownCurrenciesReadAsPeopleWriteThem) {
    struct Row {
        const char* code;
        const char* singular;
        const char* plural;
        const char* symbol;
    };
    const Row rows[] = {
        {"USD", "US dollar", "US dollars", "$"},
        {"EUR", "euro", "euros", "\u20ac"},
        {"GBP", "British pound", "British pounds", "\u00a3"},
        {"JPY", "Japanese yen", "Japanese yen", "\u00a5"},
        {"INR", "Indian rupee", "Indian rupees", "\u20b9"},
        {"CHF", "Swiss franc", "Swiss francs", "Fr"},
        {"SEK", "Swedish krona", "Swedish kronor", "kr"},
        {"BTC", "bitcoin", "bitcoins", "\u20bf"},
    };
    for (const Row& row : rows) {
        const PlistNode* names = currencies().find(row.code)->find("names");
        ASSERT_NE(names, nullptr) << row.code;
        EXPECT_EQ(names->stringAt("singular"), row.singular);
        EXPECT_EQ(names->stringAt("plural"), row.plural);
        EXPECT_EQ(names->stringAt("symbol"), row.symbol);
    }
}

}  // namespace
}  // namespace resources_test
