// Stocks and their variables: currencies by exchange, prices in pence, adding and removing
// beside the user's own variables, locale, and the data file.
#include <gtest/gtest.h>

#include "NKNotifications.h"
#include "StocksTestSupport.h"

namespace {

using Text = std::optional<std::u16string>;

TEST(Stocks, TheExchangeSuffixChoosesTheCurrency) {
    const std::vector<std::pair<Text, Text>> rows = {
        {u"BMW.DE", u"EUR"},      {u"VOD.L", u"GBX"},   {u"^DJI", std::nullopt},
        {u"AAPL", u"USD"},        {u"XYZ.QQ", u"USD"},  {u"^FTSE.L", u"GBX"},
        {u"^X.QQ", std::nullopt}, {u"SHOP.TO", u"CAD"}, {u"2330.TWO", u"TWD"},
        {u"NESN.SW", u"CHF"},     {u"A.de", u"USD"},    {std::nullopt, std::nullopt},
    };
    CapturedLog log;
    for (const auto& [ticker, code] : rows) {
        NKStock stock;
        stock.setTicker(ticker);
        EXPECT_EQ(stock.preferredCurrencyCode(), code) << NKUTF8(ticker.value_or(u"(none)"));
    }
    EXPECT_TRUE(log.contains("No ticker set, so no preferreed currency can be determined"));
    EXPECT_EQ(NKStock::tickerLocaleDicts().size(), 27u);
}

TEST(Stocks, PencePricesMoveTheirDecimalPointExactly) {
    const std::vector<std::tuple<std::u16string, Text, Text>> rows = {
        {u"1234.5", u"GBX", u"12.345"},
        {u"5", u"GBX", u"0.05"},
        {u"100", u"GBX", u"1"},
        {u"0.5", u"GBX", u"0.005"},
        {u".5", u"GBX", u"0.005"},
        {u"71.52", u"GBX", u"0.7152"},
        {u"123456789.123456789", u"GBX", u"1234567.89123456789"},
        {u"1234.5", u"USD", u"1234.5"},
        {u"1234.5", std::nullopt, u"1234.5"},
        {u"0", u"GBX", std::nullopt},
        {u"0.00", u"USD", std::nullopt},
        {u"N/A", u"USD", std::nullopt},
        {u"", u"USD", std::nullopt},
        {u"1.2.3", u"USD", std::nullopt},
        {u"-5", u"USD", std::nullopt},
    };
    for (const auto& [price, code, expected] : rows)
        EXPECT_EQ(NKStock::variableValueForPrice(price, code), expected) << NKUTF8(price);
}

TEST(Stocks, AStockInPenceIsAVariableInPounds) {
    StocksFixture f;
    auto vodafone = f.stock(u"vodafone", u"VOD.L", u"1234.5");
    ASSERT_EQ(vodafone->currencyCode(), Text(u"GBX"));
    f.manager->addStock(vodafone);
    auto variable = f.listed(u"vodafone");
    ASSERT_NE(variable, nullptr);
    EXPECT_EQ(variable->delocalizedValue(), Text(u"12.345"));
    ASSERT_NE(variable->unit(), nullptr);
    EXPECT_EQ(variable->unit()->identifier(), Text(u"GBP"));
    EXPECT_EQ(variable->type(), NKStockVariableType);
    EXPECT_EQ(vodafone->ncVariable(), variable);
}

TEST(Stocks, AddingDatesTheFirstStockAndSkipsListedTickers) {
    StocksFixture f;
    f.manager->addStock(f.stock(u"apple", u"AAPL", u"189.95"));
    const auto firstDate = f.manager->lastUpdateDate();
    EXPECT_EQ(firstDate, f.time.now());
    f.time.clock->advance(60);
    f.manager->addStock(f.stock(u"bmw", u"BMW.DE", u"100"));
    EXPECT_EQ(f.manager->lastUpdateDate(), firstDate);
    f.manager->addStock(f.stock(u"apple2", u"AAPL", u"1"));
    EXPECT_EQ(f.manager->stocks().size(), 2u);
    EXPECT_EQ(f.listed(u"apple2"), nullptr);
    EXPECT_EQ(f.recorder.count(NKStocksWereAdded), 3u);
    EXPECT_EQ(f.recorder.last(NKStocksWereAdded)
                  ->objectAs<std::vector<std::shared_ptr<NKStock>>>()
                  .size(),
              2u);
    EXPECT_EQ(f.listedValue(u"bmw"), Text(u"100"));
    EXPECT_EQ(f.listed(u"bmw")->unit()->identifier(), Text(u"EUR"));
}

TEST(Stocks, AStockNeverReplacesOrRemovesTheUsersOwnVariable) {
    for (const char16_t* stockName : {u"apple", u"Apple", u"APPLE"}) {
        CapturedLog log;
        StocksFixture f;
        f.variables->addVariableNamed(u"apple");
        auto own = f.listed(u"apple");
        ASSERT_NE(own, nullptr);
        const auto ownValue = own->delocalizedValue();

        auto stock = f.stock(stockName, u"AAPL", u"189.95");
        f.manager->addStock(stock);
        EXPECT_EQ(f.listed(u"apple"), own) << NKUTF8(stockName);
        EXPECT_EQ(own->delocalizedValue(), ownValue);
        EXPECT_EQ(f.list->variables().size(), 1u);
        EXPECT_TRUE(log.contains("Warning: A variable named"));

        f.manager->removeStock(stock);
        EXPECT_EQ(f.listed(u"apple"), own);
        EXPECT_TRUE(f.manager->stocks().empty());
        EXPECT_EQ(f.recorder.count(NKStocksWereRemoved), 1u);
    }
}

TEST(Stocks, RemovingAStockTakesItsVariableAway) {
    StocksFixture f;
    auto apple = f.stock(u"apple", u"AAPL", u"189.95");
    f.manager->addStocks({apple, f.stock(u"bmw", u"BMW.DE", u"100")});
    f.manager->removeStocks({apple});
    EXPECT_EQ(f.listed(u"apple"), nullptr);
    EXPECT_NE(f.listed(u"bmw"), nullptr);
    const auto removed =
        f.recorder.last(NKStocksWereRemoved)->objectAs<std::vector<std::shared_ptr<NKStock>>>();
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(removed[0], apple);
}

TEST(Stocks, TheLocaleReachesEveryStockWhenEitherCharacterChanges) {
    StocksFixture f;
    f.manager->addStock(f.stock(u"sap", u"SAP.DE", u"1234.5"));
    EXPECT_EQ(f.manager->stocks()[0]->displayValue(), u"1,234.50 EUR");
    f.manager->setLocale({u'.', u','});
    EXPECT_EQ(f.recorder.count(NKStocksLocaleChanged), 0u);
    f.manager->setLocale({u'.', u' '});
    EXPECT_EQ(f.recorder.count(NKStocksLocaleChanged), 1u);
    f.manager->setLocale({u',', u'.'});
    EXPECT_EQ(f.recorder.count(NKStocksLocaleChanged), 2u);
    EXPECT_EQ(f.manager->stocks()[0]->localizedValue(), u"1.234,50");
    EXPECT_EQ(f.manager->stocks()[0]->displayValue(), u"1.234,50 EUR");
}

class StocksFileTest : public ::testing::Test {
  protected:
    TemporaryFolder folder;
    CapturedLog log;
};

TEST_F(StocksFileTest, SavedStocksReadBackWithTheirVariables) {
    NSTimeInterval savedDate = 0;
    {
        StocksFixture f;
        f.manager->addStocks(
            {f.stock(u"apple", u"AAPL", u"189.95"), f.stock(u"vodafone", u"VOD.L", u"71.52")});
        savedDate = *f.manager->lastUpdateDate();
        ASSERT_TRUE(
            f.manager->saveToPath(folder.file("Stocks.plist"), {{u"CreatorBuild", u"4000"}}));
    }
    StocksFixture g;
    g.time.clock->advance(5000);
    ASSERT_TRUE(g.manager->loadFromPath(folder.file("Stocks.plist")));
    ASSERT_EQ(g.manager->stocks().size(), 2u);
    EXPECT_EQ(g.manager->stocks()[0]->ticker(), Text(u"AAPL"));
    EXPECT_EQ(g.manager->stocks()[1]->company(), Text(u"Company"));
    EXPECT_EQ(g.manager->stocks()[1]->currencyCode(), Text(u"GBX"));
    EXPECT_EQ(g.manager->lastUpdateDate(), savedDate);
    EXPECT_EQ(g.listedValue(u"apple"), Text(u"189.95"));
    EXPECT_EQ(g.listedValue(u"vodafone"), Text(u"0.7152"));
}

TEST_F(StocksFileTest, AFileWithoutADateIsDatedNowAndAMissingFileChangesNothing) {
    StocksFixture f;
    EXPECT_FALSE(f.manager->loadFromPath(folder.file("none.plist")));
    EXPECT_EQ(f.manager->lastUpdateDate(), std::nullopt);
    folder.write(
        "Stocks.plist",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist "
        "version=\"1.0\"><dict><key>NKStocks</key><array>"
        "<dict><key>name</key><string>apple</string><key>ticker</key><string>AAPL</string>"
        "<key>value</key><string>1</string></dict>"
        "<dict><key>name</key><string>dup</string><key>ticker</key><string>AAPL</string></dict>"
        "<dict><key>name</key><string>noticker</string></dict>"
        "<dict><key>name</key><integer>5</integer><key>ticker</key><string>MSFT</string></dict>"
        "<string>not a stock</string></array></dict></plist>");
    EXPECT_TRUE(f.manager->loadFromPath(folder.file("Stocks.plist")));
    EXPECT_EQ(f.manager->lastUpdateDate(), f.time.now());
    ASSERT_EQ(f.manager->stocks().size(), 2u);
    EXPECT_EQ(f.manager->stocks()[1]->name(), std::nullopt);
    EXPECT_EQ(f.listedValue(u"apple"), Text(u"1"));
}

TEST_F(StocksFileTest, AnUnreadableFileIsMovedAsideBeforeItIsOverwritten) {
    folder.write("Stocks.plist", "<plist><dict><key>NKStocks</key><arr");
    StocksFixture f;
    EXPECT_TRUE(f.manager->loadFromPath(folder.file("Stocks.plist")));
    EXPECT_TRUE(f.manager->stocks().empty());
    f.manager->addStock(f.stock(u"apple", u"AAPL", u"1"));
    ASSERT_TRUE(f.manager->saveToPath(folder.file("Stocks.plist"), {{u"CreatorBuild", u"4000"}}));
    EXPECT_EQ(folder.read("Stocks.plist.unreadable"), "<plist><dict><key>NKStocks</key><arr");
    StocksFixture g;
    ASSERT_TRUE(g.manager->loadFromPath(folder.file("Stocks.plist")));
    EXPECT_EQ(g.manager->stocks().size(), 1u);
}

}  // namespace
