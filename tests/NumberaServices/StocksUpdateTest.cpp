// Price downloads and ticker look-ups against a local server: the CSV service first, the data
// service second, every failure ending in one notification, and bad prices never applied.
#include <gtest/gtest.h>

#include <algorithm>

#include "LocalWebServer.h"
#include "NKNotifications.h"
#include "NKStockTickerValidator.h"
#include "StocksTestSupport.h"
#include "WebTestSupport.h"

namespace {

using Text = std::optional<std::u16string>;
using Reply = std::optional<LocalWebServer::Reply>;
enum class Where { Server, Refused, Nowhere };

const std::string kQuotesPath = "/d/quotes.csv";
const std::string kDataPath = "/numbera/data/stocks2.2.php";
const std::string kQuotesTarget = "/d/quotes.csv?s=+AAPL+VOD.L+%5EDJI+ZZZZ&f=snl1";
const std::string kDataTarget = "/numbera/data/stocks2.2.php?symbols=AAPL,VOD.L,%5EDJI,ZZZZ";

struct DownloadRow {
    const char* what;
    Where at;
    Reply quotes, data;
    std::string outcome;
    bool errorObject;
    // Prices of AAPL, VOD.L, ^DJI, ZZZZ afterwards, and the variable of VOD.L.
    std::vector<Text> prices;
    Text vodafoneVariable;
    std::vector<std::string> targets;
};

std::string originFor(Where where, const LocalWebServer& server) {
    return where == Where::Refused
               ? "http://127.0.0.1:" + std::to_string(LocalWebServer::refusedPort())
               : server.origin();
}

TEST(StocksUpdate, ADownloadEndsInExactlyOneNotification) {
    using S = LocalWebServer;
    const std::vector<Text> before = {u"100", u"1000", u"30000", u"5.00"};
    const std::vector<DownloadRow> rows = {
        {"the csv service answers",
         Where::Server,
         S::fixture("stocks-quotes.csv"),
         std::nullopt,
         NKStocksSuccessfulyUpdated,
         false,
         {u"189.95", u"71.52", u"37689.54", u"5.00"},
         u"0.7152",
         {kQuotesTarget}},
        {"csv html, the data service answers",
         Where::Server,
         S::fixture("service-error.html"),
         S::fixture("stocks-data.json"),
         NKStocksSuccessfulyUpdated,
         false,
         {u"190.10", u"1234.5", u"30000", u"5.00"},
         u"12.345",
         {kQuotesTarget, kDataTarget}},
        {"csv 500, data an empty 200",
         Where::Server,
         S::fixture("service-error.html", 500),
         S::fixture("empty.txt"),
         NKStocksUpdateFailed,
         false,
         before,
         u"10",
         {kQuotesTarget, kDataTarget}},
        {"csv slower than the time-out, data malformed",
         Where::Server,
         S::stalled(),
         S::fixture("stocks-data-number-price.json"),
         NKStocksUpdateFailed,
         false,
         before,
         u"10",
         {kQuotesTarget, kDataTarget}},
        {"both refused",
         Where::Refused,
         std::nullopt,
         std::nullopt,
         NKStocksUpdateFailed,
         true,
         before,
         u"10",
         {}},
        {"no service configured",
         Where::Nowhere,
         std::nullopt,
         std::nullopt,
         NKStocksUpdateFailed,
         true,
         before,
         u"10",
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CapturedLog log;
        LocalWebServer server;
        if (row.quotes) server.route(kQuotesPath, *row.quotes);
        if (row.data) server.route(kDataPath, *row.data);
        const bool configured = row.at != Where::Nowhere;
        ServiceAddresses services(
            configured ? std::optional(originFor(row.at, server)) : std::nullopt,
            configured ? std::optional(originFor(row.at, server)) : std::nullopt, std::nullopt,
            kStalledCaseTimeOut);
        StocksFixture f;
        f.manager->addStocks(
            {f.stock(u"apple", u"AAPL", u"100"), f.stock(u"vodafone", u"VOD.L", u"1000"),
             f.stock(u"dow", u"^DJI", u"30000"), f.stock(u"zzzz", u"ZZZZ", u"5.00")});
        f.recorder.posts.clear();
        const NSTimeInterval addedAt = *f.manager->lastUpdateDate();
        f.time.clock->advance(100);

        f.manager->downloadLatestStockPrices();
        EXPECT_TRUE(f.manager->stockUpdateInProgress());
        ASSERT_TRUE(pumpUntil(*f.time.queue, [&] { return !f.recorder.posts.empty(); }));
        f.time.queue->runPending();

        EXPECT_EQ(f.recorder.names(), std::vector<std::string>{row.outcome});
        EXPECT_FALSE(f.manager->stockUpdateInProgress());
        const auto& end = f.recorder.posts.front();
        if (row.outcome == NKStocksUpdateFailed) {
            EXPECT_EQ(end.object.has_value(), row.errorObject);
            EXPECT_EQ(f.manager->lastUpdateDate(), addedAt);
        } else {
            EXPECT_EQ(f.manager->lastUpdateDate(), f.time.now());
        }
        const char16_t* tickers[] = {u"AAPL", u"VOD.L", u"^DJI", u"ZZZZ"};
        for (size_t i = 0; i < 4; ++i)
            EXPECT_EQ(f.stockWithTicker(tickers[i])->value(), row.prices[i]) << NKUTF8(tickers[i]);
        EXPECT_EQ(f.listedValue(u"vodafone"), row.vodafoneVariable);
        EXPECT_EQ(f.listedValue(u"zzzz"), Text(u"5.00"));
        EXPECT_EQ(f.listed(u"vodafone")->unit()->identifier(), Text(u"GBP"));
        auto targets = server.targets();
        EXPECT_EQ(targets, row.targets);
    }
}

TEST(StocksUpdate, AZeroPriceFromTheDataServiceKeepsTheLastGoodOne) {
    LocalWebServer server;
    server.route(kQuotesPath, LocalWebServer::fixture("service-error.html", 500));
    server.route(kDataPath, LocalWebServer::fixture("stocks-data.json"));
    ServiceAddresses services(server.origin(), server.origin(), std::nullopt);
    CapturedLog log;
    StocksFixture f;
    f.manager->addStocks({f.stock(u"zzzz", u"ZZZZ", u"5.00"), f.stock(u"apple", u"AAPL", u"1")});
    f.manager->downloadLatestStockPrices();
    ASSERT_TRUE(pumpUntil(*f.time.queue, [&] { return !f.manager->stockUpdateInProgress(); }));
    EXPECT_EQ(f.recorder.count(NKStocksSuccessfulyUpdated), 1u);
    EXPECT_EQ(f.stockWithTicker(u"ZZZZ")->value(), Text(u"5.00"));
    EXPECT_EQ(f.listedValue(u"zzzz"), Text(u"5.00"));
    EXPECT_EQ(f.stockWithTicker(u"AAPL")->value(), Text(u"190.10"));
    EXPECT_TRUE(log.contains("Warning: Unusable price (0.00) for ZZZZ"));
}

TEST(StocksUpdate, PricesDownloadHourlyFromTheLastUpdate) {
    ServiceAddresses services(std::nullopt, std::nullopt, std::nullopt);
    StocksFixture f;
    EXPECT_FALSE(f.manager->automaticallyDownloadsStockPrices());
    f.manager->addStock(f.stock(u"apple", u"AAPL", u"1"));
    f.time.clock->advance(600);
    f.manager->setAutomaticallyDownloadsStockPrices(true);
    f.recorder.posts.clear();
    f.time.advance(2999);
    EXPECT_EQ(f.recorder.count(NKStocksUpdateFailed), 0u);
    // Without addresses both sources fail on the main queue within the same turn.
    f.time.advance(1);
    EXPECT_EQ(f.recorder.count(NKStocksUpdateFailed), 1u);
    EXPECT_FALSE(f.manager->stockUpdateInProgress());
    f.time.advance(NKStocksManager::kUpdateInterval);
    ASSERT_TRUE(
        pumpUntil(*f.time.queue, [&] { return f.recorder.count(NKStocksUpdateFailed) == 2; }));
    f.manager->setAutomaticallyDownloadsStockPrices(false);
    f.time.advance(3 * NKStocksManager::kUpdateInterval);
    EXPECT_EQ(f.recorder.count(NKStocksUpdateFailed), 2u);
}

struct ValidatorDelegate : NKStockTickerValidatorDelegate {
    std::vector<std::string> events;
    std::shared_ptr<NKStock> found;
    bool answersErrors = true;
    void stockValidatorDidFindStock(NKStockTickerValidator&,
                                    const std::shared_ptr<NKStock>& stock) override {
        found = stock;
        events.push_back("found " + NKUTF8(stock->ticker().value_or(u"")));
    }
    void stockValidatorDidNotFindStockWithTicker(NKStockTickerValidator&,
                                                 const std::u16string& ticker) override {
        events.push_back("not found " + NKUTF8(ticker));
    }
    bool respondsToDidEncounterError() const override { return answersErrors; }
    void stockValidatorDidEncounterError(NKStockTickerValidator&, const NSError&,
                                         const std::u16string& ticker) override {
        events.push_back("error " + NKUTF8(ticker));
    }
};

TEST(StockTickerValidator, FindsExactlyTheTickerAsTyped) {
    LocalWebServer server;
    server.route(kQuotesPath, LocalWebServer::fixture("stocks-quotes.csv"));
    ServiceAddresses services(server.origin(), std::nullopt, std::nullopt);
    ManualTime time;
    ValidatorDelegate delegate;
    NKStockTickerValidator validator(nullptr, time.queue);
    validator.setDelegate(&delegate);
    const std::vector<std::pair<std::u16string, std::string>> rows = {
        {u"VOD.L", "found VOD.L"},
        {u"vod.l", "not found vod.l"},
        {u"ZZZZ", "not found ZZZZ"},  // zero price: not a listing
        {u"^DJI", "found ^DJI"},
    };
    for (const auto& [ticker, event] : rows) {
        delegate.events.clear();
        validator.findStockWithTicker(ticker);
        ASSERT_TRUE(pumpUntil(*time.queue, [&] { return !delegate.events.empty(); }));
        EXPECT_EQ(delegate.events, std::vector<std::string>{event});
    }
    EXPECT_EQ(server.targets()[0], "/d/quotes.csv?s=+VOD.L&f=snl1");
    EXPECT_EQ(server.targets()[3], "/d/quotes.csv?s=+%5EDJI&f=snl1");
    ASSERT_NE(delegate.found, nullptr);
    EXPECT_EQ(delegate.found->company(), Text(u"Dow Jones Industrial Average"));
    EXPECT_EQ(delegate.found->value(), Text(u"37689.54"));
    EXPECT_EQ(delegate.found->currencyCode(), std::nullopt);
    EXPECT_EQ(delegate.found->sourceDate(), time.now());
}

TEST(StockTickerValidator, ACancelledLookUpLeavesTheValidatorReadyForTheNext) {
    LocalWebServer server;
    server.route(kQuotesPath, LocalWebServer::stalled());
    ServiceAddresses services(server.origin(), std::nullopt, std::nullopt, 5.0);
    ManualTime time;
    ValidatorDelegate delegate;
    NKStockTickerValidator validator(nullptr, time.queue);
    validator.setDelegate(&delegate);
    validator.findStockWithTicker(u"AAPL");
    validator.cancel();
    server.route(kQuotesPath, LocalWebServer::fixture("stocks-quotes.csv"));
    CapturedLog log;
    validator.findStockWithTicker(u"AAPL");
    EXPECT_FALSE(log.contains("Update already in progress"));
    ASSERT_TRUE(pumpUntil(*time.queue, [&] { return !delegate.events.empty(); }));
    EXPECT_EQ(delegate.events, std::vector<std::string>{"found AAPL"});
}

TEST(StockTickerValidator, FailuresGoOnlyToADelegateThatAnswersThem) {
    ServiceAddresses services("http://127.0.0.1:" + std::to_string(LocalWebServer::refusedPort()),
                              std::nullopt, std::nullopt);
    ManualTime time;
    ValidatorDelegate delegate;
    NKStockTickerValidator validator(nullptr, time.queue);
    validator.setDelegate(&delegate);
    validator.findStockWithTicker(u"AAPL");
    ASSERT_TRUE(pumpUntil(*time.queue, [&] { return !delegate.events.empty(); }));
    EXPECT_EQ(delegate.events, std::vector<std::string>{"error AAPL"});

    delegate.events.clear();
    delegate.answersErrors = false;
    validator.findStockWithTicker(u"AAPL");
    pumpUntil(
        *time.queue, [] { return false; }, 0.3);
    EXPECT_TRUE(delegate.events.empty());

    CapturedLog log;
    validator.findStockWithTicker(std::nullopt);
    EXPECT_TRUE(log.contains("Warning: No ticker requested for validation"));
}

}  // namespace
