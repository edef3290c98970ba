// The numerals panels' texts and menus: rates keep their significant digits, the partial
// failure names its codes, the currency menus order their codes, tickers become names.
#include <gtest/gtest.h>

#include "NBNumeralsRules.h"

namespace {

using namespace NBNumeralsRules;

std::vector<std::u16string> codes(const std::vector<CurrencyMenuEntry>& entries) {
    std::vector<std::u16string> out;
    for (const auto& entry : entries) out.push_back(entry.isSeparator() ? u"-" : entry.code);
    return out;
}

TEST(NumeralsRules, RatesShowTwoDecimalsOrFourSignificantDigits) {
    struct Row {
        double rate;
        const char16_t* thousands;
        const char16_t* decimal;
        const char16_t* expected;
    };
    const Row rows[] = {
        {1, u",", u".", u"1.00"},
        {0.92, u",", u".", u"0.9200"},
        {148.1, u",", u".", u"148.10"},
        {1234567.891, u",", u".", u"1,234,567.89"},
        {1234567.891, u".", u",", u"1.234.567,89"},
        {0.0000222222222222, u",", u".", u"0.00002222"},
        {0.5, u" ", u",", u"0,5000"},
        {0.012346, u",", u".", u"0.01235"},
        {0, u",", u".", u"0.00"},
        {999.999, u",", u".", u"1,000.00"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(formattedRate(row.rate, row.thousands, row.decimal), row.expected) << row.rate;
}

TEST(NumeralsRules, AnEnabledCurrencyOlderThanAMinuteBeforeTheUpdateIsOutOfDate) {
    EXPECT_TRUE(currencyIsOutOfDate(true, 1000, 1120));
    EXPECT_FALSE(currencyIsOutOfDate(true, 1000, 1060));
    EXPECT_FALSE(currencyIsOutOfDate(false, 1000, 1120));
    EXPECT_FALSE(currencyIsOutOfDate(true, 1000, std::nullopt));
}

TEST(NumeralsRules, ThePartialFailureTextNamesOneCountsTwoAndListsThreeOfMore) {
    EXPECT_EQ(partialFailureText({}), u"");
    EXPECT_EQ(partialFailureText({u"BTC"}), u"Rates for BTC could not be updated");
    EXPECT_EQ(partialFailureText({u"EUR", u"GBP"}), u"Rates for 2 currencies could not be updated");
    EXPECT_EQ(partialFailureText({u"EUR", u"GBP", u"JPY", u"USD"}),
              u"Rates for 4 currencies including EUR, GBP and JPY could not be updated");
}

TEST(NumeralsRules, TheBaseCurrencyMenuPutsFavouritesFirstAndFallsBackToUSD) {
    struct Row {
        const char* what;
        std::vector<CurrencyChoice> currencies;
        std::u16string base;
        std::vector<std::u16string> expected;
        std::u16string selected;
    };
    const std::vector<Row> rows = {
        {"favourites, then the others",
         {{u"AUD", true, false}, {u"EUR", true, true}, {u"USD", true, true}, {u"JPY", false, true}},
         u"EUR",
         {u"EUR", u"USD", u"-", u"AUD"},
         u"EUR"},
        {"no favourites, base enabled",
         {{u"AUD", true, false}, {u"EUR", true, false}},
         u"EUR",
         {u"AUD", u"EUR"},
         u"EUR"},
        {"base disabled, no favourites: USD and a separator on top",
         {{u"AUD", true, false}, {u"EUR", false, false}},
         u"EUR",
         {u"USD", u"-", u"AUD"},
         u"USD"},
        {"base disabled with favourites: USD on top without separator",
         {{u"AUD", true, true}, {u"EUR", false, false}},
         u"EUR",
         {u"USD", u"AUD"},
         u"USD"},
        {"nothing enabled", {{u"AUD", false, false}}, u"AUD", {u"USD"}, u"USD"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const BaseCurrencyMenu menu = baseCurrencyMenu(row.currencies, row.base);
        EXPECT_EQ(codes(menu.entries), row.expected);
        EXPECT_EQ(menu.selectedCode, row.selected);
    }
}

TEST(NumeralsRules, TheStockCurrencyMenuPutsPenceBeforePounds) {
    const auto entries = stockCurrencyMenu({{u"EUR", true, true},
                                            {u"AUD", true, false},
                                            {u"GBP", false, false},
                                            {u"USD", true, true}});
    EXPECT_EQ(codes(entries),
              (std::vector<std::u16string>{u"EUR", u"USD", u"-", u"AUD", u"GBX", u"GBP"}));
    const auto favouriteGBP = stockCurrencyMenu({{u"GBP", true, true}, {u"AUD", true, false}});
    EXPECT_EQ(codes(favouriteGBP), (std::vector<std::u16string>{u"GBX", u"GBP", u"-", u"AUD"}));
}

TEST(NumeralsRules, TickersBecomeVariableNames) {
    const std::pair<const char16_t*, const char16_t*> rows[] = {
        {u"BRK-B", u"BRK_B"},       {u"^DJI", u"DJI"},    {u"^^X", u"^X"},
        {u"EURUSD=X", u"EURUSD_X"}, {u"VOD.L", u"VOD.L"}, {u"", u""},
    };
    for (const auto& [ticker, name] : rows) EXPECT_EQ(validVariableNameForTicker(ticker), name);
    EXPECT_EQ(upperCaseTicker(u"brk-b"), u"BRK-B");
}

}  // namespace

TEST(NumeralsRules, DisablingTheBaseCurrencyMovesTheBaseOrIsRefused) {
    using NBNumeralsRules::CurrencyChoice;
    const std::vector<CurrencyChoice> currencies = {
        {u"EUR", true, false}, {u"GBP", true, true}, {u"USD", true, false}, {u"JPY", false, true}};
    // Another currency goes off freely; the base stays.
    auto other = NBNumeralsRules::disablingCurrency(currencies, u"USD", u"EUR");
    EXPECT_TRUE(other.allowed);
    EXPECT_TRUE(other.newBase.empty());
    // The base moves to the first enabled favourite.
    auto base = NBNumeralsRules::disablingCurrency(currencies, u"EUR", u"EUR");
    EXPECT_TRUE(base.allowed);
    EXPECT_EQ(base.newBase, u"GBP");
    // Without an enabled favourite, to the first enabled currency.
    auto noFavourite = NBNumeralsRules::disablingCurrency(
        {{u"EUR", true, false}, {u"CHF", false, true}, {u"USD", true, false}}, u"EUR", u"EUR");
    EXPECT_EQ(noFavourite.newBase, u"USD");
    // The last enabled currency, the base, stays on.
    auto last = NBNumeralsRules::disablingCurrency({{u"EUR", true, false}, {u"USD", false, false}},
                                                   u"EUR", u"EUR");
    EXPECT_FALSE(last.allowed);
}
