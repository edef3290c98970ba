// The whole rate update against a local server: requests, fall-through from the CSV service to
// the data service, partial and total failure, rates applied to currencies and units.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "CurrenciesTestSupport.h"
#include "LocalWebServer.h"
#include "NKNotifications.h"
#include "WebTestSupport.h"

namespace {

enum class Where { Server, Refused, Nowhere };
using Reply = std::optional<LocalWebServer::Reply>;
using Rates = std::map<std::u16string, std::u16string>;

const std::string kQuotesPath = "/d/quotes.csv";
const std::string kDataPath = "/numbera/data/currencies.php";
const std::string kBitcoinPath = "/ticker/global/USD/";
const std::string kQuotesTarget = "/d/quotes.csv?s=USDEUR=X+USDGBP=X+USDJPY=X&f=sl1&e=.csv";
const std::string kDataTarget = "/numbera/data/currencies.php?base=USD&currencies=EUR,GBP,JPY,USD";
const Rates kDefaultRates = {
    {u"EUR", u"0.9"}, {u"GBP", u"0.8"}, {u"JPY", u"150"}, {u"BTC", u"0.00002"}};

struct UpdateRow {
    const char* what;
    bool bitcoinEnabled;
    Where quotesAt, dataAt;
    Reply quotes, data, bitcoin;
    std::string outcome;
    std::vector<std::u16string> failedCodes;
    Rates rates;
    std::vector<std::string> targets;  // sorted
};

std::string origin(Where where, const LocalWebServer& server) {
    if (where == Where::Refused)
        return "http://127.0.0.1:" + std::to_string(LocalWebServer::refusedPort());
    return server.origin();
}

TEST(CurrenciesUpdate, TheUpdateRoadEndsInOneOfThreeNotifications) {
    using S = LocalWebServer;
    const Rates csvRates = {
        {u"EUR", u"0.9123"}, {u"GBP", u"0.7871"}, {u"JPY", u"147.25"}, {u"BTC", u"0.00002"}};
    const Rates dataRates = {
        {u"EUR", u"0.9200"}, {u"GBP", u"0.7900"}, {u"JPY", u"148.10"}, {u"BTC", u"0.00002"}};
    Rates csvWithBitcoin = csvRates;
    csvWithBitcoin[u"BTC"] = u"0.0000250000000000";
    Rates defaultsWithBitcoin = kDefaultRates;
    defaultsWithBitcoin[u"BTC"] = u"0.0000250000000000";
    const std::vector<UpdateRow> rows = {
        {"the csv service answers",
         false,
         Where::Server,
         Where::Server,
         S::fixture("currencies-quotes.csv"),
         std::nullopt,
         std::nullopt,
         NKCurrenciesSuccessfullyUpdated,
         {},
         csvRates,
         {kQuotesTarget}},
        {"csv 500, the data service answers",
         false,
         Where::Server,
         Where::Server,
         S::fixture("service-error.html", 500),
         S::fixture("currencies-data.json"),
         std::nullopt,
         NKCurrenciesSuccessfullyUpdated,
         {},
         dataRates,
         {kDataTarget, kQuotesTarget}},
        {"csv sends html, data an empty 200",
         false,
         Where::Server,
         Where::Server,
         S::fixture("service-error.html"),
         S::fixture("empty.txt"),
         std::nullopt,
         NKCurrenciesUpdateFailed,
         {},
         kDefaultRates,
         {kDataTarget, kQuotesTarget}},
        {"csv slower than the time-out, data refused",
         false,
         Where::Server,
         Where::Refused,
         S::stalled(),
         std::nullopt,
         std::nullopt,
         NKCurrenciesUpdateFailed,
         {},
         kDefaultRates,
         {kQuotesTarget}},
        {"csv rates of 0 and -1 keep the old rates",
         false,
         Where::Server,
         Where::Server,
         S::fixture("currencies-quotes-bad-rates.csv"),
         std::nullopt,
         std::nullopt,
         NKCurrenciesSuccessfullyUpdated,
         {},
         {{u"EUR", u"0.9123"}, {u"GBP", u"0.8"}, {u"JPY", u"150"}, {u"BTC", u"0.00002"}},
         {kQuotesTarget}},
        {"only the bitcoin service fails",
         true,
         Where::Server,
         Where::Server,
         S::fixture("currencies-quotes.csv"),
         std::nullopt,
         S::fixture("service-error.html", 500),
         NKCurrenciesUpdatePartiallyFailed,
         {u"BTC"},
         csvRates,
         {"/ticker/global/USD/", kQuotesTarget}},
        {"the bitcoin price is zero",
         true,
         Where::Server,
         Where::Server,
         S::fixture("currencies-quotes.csv"),
         std::nullopt,
         S::fixture("bitcoin-zero.json"),
         NKCurrenciesUpdatePartiallyFailed,
         {u"BTC"},
         csvRates,
         {"/ticker/global/USD/", kQuotesTarget}},
        {"only the bitcoin service answers",
         true,
         Where::Server,
         Where::Server,
         S::fixture("service-error.html", 500),
         S::fixture("service-error.html", 500),
         S::fixture("bitcoin.json"),
         NKCurrenciesUpdatePartiallyFailed,
         {u"EUR", u"GBP", u"JPY", u"USD"},
         defaultsWithBitcoin,
         {kDataTarget, kQuotesTarget, "/ticker/global/USD/"}},
        {"every source answers",
         true,
         Where::Server,
         Where::Server,
         S::fixture("currencies-quotes.csv"),
         std::nullopt,
         S::fixture("bitcoin.json"),
         NKCurrenciesSuccessfullyUpdated,
         {},
         csvWithBitcoin,
         {kQuotesTarget, "/ticker/global/USD/"}},
        {"no service configured",
         true,
         Where::Nowhere,
         Where::Nowhere,
         std::nullopt,
         std::nullopt,
         std::nullopt,
         NKCurrenciesUpdateFailed,
         {},
         kDefaultRates,
         {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CapturedLog log;
        LocalWebServer server;
        if (row.quotes) server.route(kQuotesPath, *row.quotes);
        if (row.data) server.route(kDataPath, *row.data);
        if (row.bitcoin) server.route(kBitcoinPath, *row.bitcoin);
        const bool configured = row.quotesAt != Where::Nowhere;
        ServiceAddresses services(
            configured ? std::optional(origin(row.quotesAt, server)) : std::nullopt,
            configured ? std::optional(origin(row.dataAt, server)) : std::nullopt,
            configured ? std::optional(server.origin()) : std::nullopt, kStalledCaseTimeOut);
        CurrenciesFixture f(row.bitcoinEnabled);
        const auto factorsBefore = std::map<std::u16string, std::optional<std::u16string>>{
            {u"EUR", f.factor(u"EUR")}, {u"GBP", f.factor(u"GBP")}};
        f.time.clock->advance(1000);
        const NSTimeInterval requestedAt = f.time.now();

        f.manager->updateRatesFromWeb();
        ASSERT_TRUE(pumpUntil(*f.time.queue, [&] { return !f.manager->isUpdating(); }));

        EXPECT_EQ(f.recorder.names(),
                  (std::vector<std::string>{NKCurrenciesWillBeginUpdateFromWeb, row.outcome}));
        const NSNotification* end = f.recorder.last(row.outcome);
        ASSERT_NE(end, nullptr);
        if (row.outcome == NKCurrenciesUpdatePartiallyFailed) {
            EXPECT_EQ(end->objectAs<std::vector<std::u16string>>(), row.failedCodes);
        }
        if (row.outcome == NKCurrenciesUpdateFailed) {
            EXPECT_FALSE(end->object.has_value());
        }
        for (const auto& [code, rate] : row.rates)
            EXPECT_EQ(f.rate(code.c_str()), rate) << NKUTF8(code);
        EXPECT_EQ(f.rate(u"USD"), u"1.00");

        auto targets = server.targets();
        std::sort(targets.begin(), targets.end());
        auto expectedTargets = row.targets;
        std::sort(expectedTargets.begin(), expectedTargets.end());
        EXPECT_EQ(targets, expectedTargets);

        const bool anySuccess = row.outcome != NKCurrenciesUpdateFailed;
        EXPECT_EQ(f.manager->lastCurrencyUpdateDate(), anySuccess ? requestedAt : kDefaultsDate);
        // A partial success reaches the units as well.
        if (anySuccess && row.rates.at(u"EUR") == u"0.9123") {
            EXPECT_EQ(f.factor(u"EUR"), std::optional<std::u16string>(u"1.0961306587745259"));
            EXPECT_EQ(f.manager->currencyWithCode(u"EUR")->sourceDate(), requestedAt);
        } else if (!anySuccess) {
            EXPECT_EQ(f.factor(u"EUR"), factorsBefore.at(u"EUR"));
        }
        if (row.rates.at(u"GBP") == u"0.8") {
            EXPECT_EQ(f.manager->currencyWithCode(u"GBP")->sourceDate(), kDefaultsDate);
        }
        if (std::string(row.what).find("0 and -1") != std::string::npos) {
            // One line for the update, naming the unusable rates.
            EXPECT_EQ(log.count("Warning: invalid rate"), 1u);
            EXPECT_TRUE(log.contains("JPY (0)"));
            EXPECT_TRUE(log.contains("GBP (-1)"));
        }
    }
}

TEST(CurrenciesUpdate, ASecondRequestWhileOneRunsIsRefusedAtOnce) {
    CapturedLog log;
    LocalWebServer server;
    server.route(kQuotesPath, LocalWebServer::fixture("currencies-quotes.csv"));
    ServiceAddresses services(server.origin(), server.origin(), server.origin());
    CurrenciesFixture f;
    f.manager->updateRatesFromWeb();
    f.manager->updateRatesFromWeb();  // same turn of the main loop
    EXPECT_TRUE(log.contains("Already updating currencies"));
    EXPECT_EQ(f.recorder.count(NKCurrenciesWillBeginUpdateFromWeb), 1u);
    ASSERT_TRUE(pumpUntil(*f.time.queue, [&] { return !f.manager->isUpdating(); }));
    EXPECT_EQ(server.targets().size(), 1u);
    EXPECT_EQ(f.recorder.count(NKCurrenciesSuccessfullyUpdated), 1u);

    // Once the update has ended the next one is taken.
    f.manager->updateRatesFromWeb();
    ASSERT_TRUE(pumpUntil(*f.time.queue, [&] { return !f.manager->isUpdating(); }));
    EXPECT_EQ(f.recorder.count(NKCurrenciesSuccessfullyUpdated), 2u);
    EXPECT_EQ(server.targets().size(), 2u);
}

TEST(CurrenciesUpdate, TheScheduleRunsFromTheLastUpdate) {
    struct Row {
        const char* what;
        NSTimeInterval lastUpdateAgo;  // seconds before now
        NSTimeInterval firstFiring;    // seconds from now
    };
    const std::vector<Row> rows = {
        {"an update one hour ago", 3600, 18000},
        {"an update a day ago", 86400, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ServiceAddresses services(std::nullopt, std::nullopt, std::nullopt);
        CurrenciesFixture f;
        f.time.clock->set(kDefaultsDate + row.lastUpdateAgo);
        f.manager->setAutomaticallyUpdatesValuesFromWeb(true);
        ASSERT_NE(f.manager->updateTimer(), nullptr);
        f.time.advance(row.firstFiring - 0.5);
        EXPECT_EQ(f.recorder.count(NKCurrenciesWillBeginUpdateFromWeb), 0u);
        f.time.advance(0.5);
        EXPECT_EQ(f.recorder.count(NKCurrenciesWillBeginUpdateFromWeb), 1u);
        ASSERT_TRUE(pumpUntil(*f.time.queue, [&] { return !f.manager->isUpdating(); }));
        f.time.advance(NKCurrenciesManager::kUpdateInterval);
        EXPECT_EQ(f.recorder.count(NKCurrenciesWillBeginUpdateFromWeb), 2u);
        ASSERT_TRUE(pumpUntil(*f.time.queue, [&] { return !f.manager->isUpdating(); }));

        f.manager->setAutomaticallyUpdatesValuesFromWeb(false);
        EXPECT_EQ(f.manager->updateTimer(), nullptr);
        f.time.advance(2 * NKCurrenciesManager::kUpdateInterval);
        EXPECT_EQ(f.recorder.count(NKCurrenciesWillBeginUpdateFromWeb), 2u);
    }
}

TEST(CurrenciesUpdate, AStoppedManagerAppliesNothingFromARunningUpdate) {
    LocalWebServer server;
    server.route(kQuotesPath, LocalWebServer::stalled());
    ServiceAddresses services(server.origin(), std::nullopt, std::nullopt, 5.0);
    CurrenciesFixture f;
    f.manager->updateRatesFromWeb();
    ASSERT_TRUE(pumpUntil(*f.time.queue, [&] { return server.targets().size() == 1; }));
    f.manager->stopUpdating();
    ASSERT_TRUE(pumpUntil(*f.time.queue, [&] { return !f.manager->isUpdating(); }));
    EXPECT_EQ(f.recorder.names(), std::vector<std::string>{NKCurrenciesWillBeginUpdateFromWeb});
    EXPECT_EQ(f.rate(u"EUR"), u"0.9");
}

}  // namespace
