// Request addresses and reply reading of the rate and quote services.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "HttpClient.h"
#include "LocalWebServer.h"
#include "NKCurrencyParsers.h"
#include "NKStockParsers.h"
#include "WebTestSupport.h"

namespace {

using Codes = std::vector<std::string>;
using OptionalURL = std::optional<std::string>;

struct AddressRow {
    const char* what;
    std::function<OptionalURL()> build;
    OptionalURL expected;
};

TEST(WebParsers, RequestAddressesFollowTheServicesPathsAndKeys) {
    ServiceAddresses services("http://q.test", "http://d.test:8080", "https://b.test");
    NKYahooCurrenciesParser yahoo;
    NKOrvantixCurrenciesParser orvantix;
    NKBitcoinRateParser bitcoin;
    const std::vector<AddressRow> rows = {
        {"csv pairs",
         [&] {
             return yahoo.urlWithCurrencySymbols({"EUR", "JPY"}, "USD");
         },
         "http://q.test/d/quotes.csv?s=USDEUR=X+USDJPY=X&f=sl1&e=.csv"},
        {"csv skips base and bad codes",
         [&] {
             return yahoo.urlWithCurrencySymbols({"USD", "EURO", "EUR", "E"}, "USD");
         },
         "http://q.test/d/quotes.csv?s=USDEUR=X&f=sl1&e=.csv"},
        {"csv bad base", [&] { return yahoo.urlWithCurrencySymbols({"EUR"}, "US"); }, std::nullopt},
        {"csv code with query characters",
         [&] { return yahoo.urlWithCurrencySymbols({"E&R"}, "USD"); },
         "http://q.test/d/quotes.csv?s=USDE%26R=X&f=sl1&e=.csv"},
        {"data currencies",
         [&] {
             return orvantix.urlWithCurrencySymbols({"USD", "EUR"}, "USD");
         },
         "http://d.test:8080/numbera/data/currencies.php?base=USD&currencies=USD,EUR"},
        {"data currencies, none valid",
         [&] { return orvantix.urlWithCurrencySymbols({"EURO"}, "USD"); },
         "http://d.test:8080/numbera/data/currencies.php?base=USD"},
        {"data currencies bad base",
         [&] { return orvantix.urlWithCurrencySymbols({"EUR"}, "DOLLAR"); }, std::nullopt},
        {"bitcoin", [&] { return bitcoin.urlWithCurrencySymbols({"BTC"}, "USD"); },
         "https://b.test/ticker/global/USD/"},
        {"csv stocks",
         [] {
             return NKYahooStocksParser::urlWithTickerSymbols({"AAPL", "^DJI"});
         },
         "http://q.test/d/quotes.csv?s=+AAPL+%5EDJI&f=snl1"},
        {"csv stock with blank", [] { return NKYahooStocksParser::urlWithTickerSymbol("BRK B"); },
         "http://q.test/d/quotes.csv?s=+BRK%20B&f=snl1"},
        {"csv stocks with suffixes",
         [] {
             return NKYahooStocksParser::urlWithTickerSymbols({"BMW.DE", "BRK-B", "7203.T"});
         },
         "http://q.test/d/quotes.csv?s=+BMW.DE+BRK-B+7203.T&f=snl1"},
        {"csv stock that tries to add a key",
         [] { return NKYahooStocksParser::urlWithTickerSymbol("X&f=evil#"); },
         "http://q.test/d/quotes.csv?s=+X%26f%3Devil%23&f=snl1"},
        {"csv no tickers", [] { return NKYahooStocksParser::urlWithTickerSymbols({}); },
         std::nullopt},
        {"csv no ticker", [] { return NKYahooStocksParser::urlWithTickerSymbol(std::nullopt); },
         std::nullopt},
        {"data stocks",
         [] {
             return NKOrvantixStocksParser::urlWithTickerSymbols({"AAPL", "^DJI"});
         },
         "http://d.test:8080/numbera/data/stocks2.2.php?symbols=AAPL,%5EDJI"},
        {"data stock with comma", [] { return NKOrvantixStocksParser::urlWithTickerSymbol("A,B"); },
         "http://d.test:8080/numbera/data/stocks2.2.php?symbols=A%2CB"},
        {"data no tickers", [] { return NKOrvantixStocksParser::urlWithTickerSymbols({}); },
         std::nullopt},
    };
    for (const auto& row : rows) EXPECT_EQ(row.build(), row.expected) << row.what;
}

TEST(WebParsers, UnconfiguredServicesGiveNoAddress) {
    ServiceAddresses services(std::nullopt, std::nullopt, std::nullopt);
    EXPECT_EQ(NKYahooCurrenciesParser().urlWithCurrencySymbols({"EUR"}, "USD"), std::nullopt);
    EXPECT_EQ(NKOrvantixCurrenciesParser().urlWithCurrencySymbols({"EUR"}, "USD"), std::nullopt);
    EXPECT_EQ(NKBitcoinRateParser().urlWithCurrencySymbols({"BTC"}, "USD"), std::nullopt);
    EXPECT_EQ(NKYahooStocksParser::urlWithTickerSymbol("AAPL"), std::nullopt);
    EXPECT_EQ(NKOrvantixStocksParser::urlWithTickerSymbol("AAPL"), std::nullopt);
}

TEST(WebParsers, PercentEncodingKeepsOnlyUnreservedCharacters) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {"0123456789.-", "0123456789.-"},
        {"^DJI", "%5EDJI"},
        {"A B", "A%20B"},
        {"a&b=c+d/e?f#g", "a%26b%3Dc%2Bd%2Fe%3Ff%23g"},
        {"%", "%25"},
        {"\xC3\xA9", "%C3%A9"},  // é in UTF-8
        {std::string("\0\n", 2), "%00%0A"},
    };
    for (const auto& [in, out] : rows) EXPECT_EQ(NKPercentEncode(in), out) << in;
}

TEST(WebParsers, ConfiguredAddressesBecomeOriginsOfHttpOrHttpsOnly) {
    using C = NKWebServiceConfiguration;
    const std::vector<std::tuple<std::string, std::string, OptionalURL>> rows = {
        {"quotes.example", "http", "http://quotes.example"},
        {"quotes.example", "https", "https://quotes.example"},
        {" HTTPS://quotes.example:8443/ ", "http", "https://quotes.example:8443"},
        {"http://127.0.0.1:8080", "https", "http://127.0.0.1:8080"},
        {"ftp://quotes.example", "http", std::nullopt},
        {"file:///etc/passwd", "http", std::nullopt},
        {"http://quotes.example/?s=1", "http", std::nullopt},
        {"http://quotes.example#x", "http", std::nullopt},
        {"http://quo tes.example", "http", std::nullopt},
        {"http://", "http", std::nullopt},
        {"http:", "http", std::nullopt},
        {"http://user@evil.example", "http", std::nullopt},
        {"http://q.example:80x", "http", std::nullopt},
        {"http://q.example/prefix/", "http", "http://q.example/prefix"},
        {"", "http", std::nullopt},
    };
    for (const auto& [value, scheme, expected] : rows)
        EXPECT_EQ(C::normalizedOrigin(value, scheme), expected) << value;
}

using Rates = std::optional<NKCurrencyRates>;

struct RatesRow {
    const char* what;
    const NKCurrencyParser* parser;
    std::string data;
    Rates expected;
};

TEST(WebParsers, CurrencyRepliesAreReadWholeOrNotAtAll) {
    NKYahooCurrenciesParser yahoo;
    NKOrvantixCurrenciesParser orvantix;
    NKBitcoinRateParser bitcoin;
    const std::vector<RatesRow> rows = {
        {"csv pair", &yahoo, "\"USDEUR=X\",0.9123\n", NKCurrencyRates{{"EUR", "0.9123"}}},
        {"csv fixture with windows line ends", &yahoo,
         LocalWebServer::fixtureText("currencies-quotes.csv"),
         NKCurrencyRates{{"EUR", "0.9123"}, {"JPY", "147.25"}, {"GBP", "0.7871"}}},
        {"csv three fields", &yahoo,
         LocalWebServer::fixtureText("currencies-quotes-three-fields.csv"), std::nullopt},
        {"csv one good line then a bad one", &yahoo, "\"USDEUR=X\",0.9\n\"USDJP\",1\n",
         std::nullopt},
        {"csv html page", &yahoo, LocalWebServer::fixtureText("service-error.html"), std::nullopt},
        {"csv empty", &yahoo, "", std::nullopt},
        {"csv blank lines only", &yahoo, "\r\n\n", std::nullopt},
        {"csv not utf-8", &yahoo, "\"USDEUR=X\",0.9\xff\n", std::nullopt},
        {"json pairs, empty pair skipped", &orvantix,
         LocalWebServer::fixtureText("currencies-data.json"),
         NKCurrencyRates{{"USD", "1.00"}, {"EUR", "0.9200"}, {"JPY", "148.10"}, {"GBP", "0.7900"}}},
        {"json short pair", &orvantix,
         LocalWebServer::fixtureText("currencies-data-short-pair.json"), std::nullopt},
        {"json number rate", &orvantix,
         LocalWebServer::fixtureText("currencies-data-number-rate.json"), std::nullopt},
        {"json code of four letters", &orvantix, "[[\"EURO\",\"1\"]]", std::nullopt},
        {"json quoted code", &orvantix, "[[\"\\\"EUR\\\"\",\"0.9\"]]",
         NKCurrencyRates{{"EUR", "0.9"}}},
        {"json object", &orvantix, "{\"EUR\":\"0.9\"}", std::nullopt},
        {"json member not an array", &orvantix, "[\"EUR\"]", std::nullopt},
        {"json truncated", &orvantix, "[[\"EUR\",\"0.9\"", std::nullopt},
        {"json html", &orvantix, LocalWebServer::fixtureText("service-error.html"), std::nullopt},
        {"json empty array", &orvantix, "[]", std::nullopt},
        {"bitcoin price 40000", &bitcoin, LocalWebServer::fixtureText("bitcoin.json"),
         NKCurrencyRates{{"BTC", "0.0000250000000000"}}},
        {"bitcoin price as text", &bitcoin, "{\"last\":\"8\"}",
         NKCurrencyRates{{"BTC", "0.1250000000000000"}}},
        {"bitcoin zero", &bitcoin, LocalWebServer::fixtureText("bitcoin-zero.json"), std::nullopt},
        {"bitcoin negative", &bitcoin, "{\"last\":-5}", std::nullopt},
        {"bitcoin no price", &bitcoin, "{\"bid\":5}", std::nullopt},
        {"bitcoin price not a number", &bitcoin, "{\"last\":[1]}", std::nullopt},
        {"bitcoin array", &bitcoin, "[1,2]", std::nullopt},
        {"bitcoin empty", &bitcoin, "", std::nullopt},
    };
    CapturedLog log;
    for (const auto& row : rows)
        EXPECT_EQ(row.parser->currencyKeyValuesFromData(row.data), row.expected) << row.what;
}

TEST(WebParsers, CurrencyParserFailuresAreLoggedWithTheirMessages) {
    CapturedLog log;
    NKYahooCurrenciesParser().currencyKeyValuesFromData("a,b,c\n");
    EXPECT_TRUE(log.contains("Yahoo Currencies Parser: Invalid Data Error 1"));
    NKYahooCurrenciesParser().currencyKeyValuesFromData("\"USDEURO=X\",1\n");
    EXPECT_TRUE(log.contains("Yahoo Currencies Parser: Invalid Data Error 2"));
    NKOrvantixCurrenciesParser().currencyKeyValuesFromData("not json");
    EXPECT_TRUE(log.contains("Orvantix Currencies Parser Error 1: Invalid Data received"));
    NKOrvantixCurrenciesParser().currencyKeyValuesFromData("[[\"EURO\",\"1\"]]");
    EXPECT_TRUE(log.contains("Orvantix Currencies Parser Error 2: Invalid Data received"));
}

TEST(WebParsers, BothCurrencyServicesQuoteTheSame153Codes) {
    const auto& codes = NKYahooCurrenciesParser::supportedCurrencySymbols();
    ASSERT_EQ(codes.size(), 153u);
    EXPECT_EQ(codes.front(), "USD");
    EXPECT_EQ(codes[4], "GBP");
    EXPECT_EQ(codes.back(), "ZMK");
    EXPECT_EQ(NKOrvantixCurrenciesParser::supportedCurrencySymbols(), codes);
    EXPECT_EQ(NKBitcoinRateParser::supportedCurrencySymbols(), Codes{"BTC"});
}

using Quotes = std::optional<NKStockQuotes>;

struct QuotesRow {
    const char* what;
    std::function<Quotes(const std::string&)> parse;
    std::string data;
    Quotes expected;
};

TEST(WebParsers, StockRepliesGiveQuotesByTicker) {
    const auto csv = &NKYahooStocksParser::stockKeyValuesFromData;
    const auto json = &NKOrvantixStocksParser::stockKeyValuesFromData;
    const NKStockQuote apple{"AAPL", "Apple Inc.", "189.95"};
    const std::vector<QuotesRow> rows = {
        {"csv fixture: commas leave the name, zero price left out", csv,
         LocalWebServer::fixtureText("stocks-quotes.csv"),
         NKStockQuotes{{"AAPL", apple},
                       {"VOD.L", {"VOD.L", "Vodafone Group Public Limited Company", "71.52"}},
                       {"^DJI", {"^DJI", "Dow Jones Industrial Average", "37689.54"}}}},
        {"csv windows line ends", csv, LocalWebServer::fixtureText("stocks-quotes-crlf.csv"),
         NKStockQuotes{{"AAPL", apple}, {"VOD.L", {"VOD.L", "Vodafone Group Plc", "1234.5"}}}},
        {"csv bad line skipped", csv, "garbage\n\"AAPL\",\"Apple Inc.\",189.95\n",
         NKStockQuotes{{"AAPL", apple}}},
        {"csv price N/A", csv, "\"AAPL\",\"Apple Inc.\",N/A\n", std::nullopt},
        {"csv price of dots", csv, "\"AAPL\",\"Apple Inc.\",...\n", std::nullopt},
        {"csv html page", csv, LocalWebServer::fixtureText("service-error.html"), std::nullopt},
        {"csv empty", csv, "", std::nullopt},
        {"json fixture: zero price kept, empty entry skipped", json,
         LocalWebServer::fixtureText("stocks-data.json"),
         NKStockQuotes{{"AAPL", {"AAPL", "Apple Inc.", "190.10"}},
                       {"VOD.L", {"VOD.L", "Vodafone Group Plc", "1234.5"}},
                       {"ZZZZ", {"ZZZZ", "No Such Listing", "0.00"}}}},
        {"json entry of two members", json,
         LocalWebServer::fixtureText("stocks-data-two-members.json"), std::nullopt},
        {"json number price", json, LocalWebServer::fixtureText("stocks-data-number-price.json"),
         std::nullopt},
        {"json text price", json, LocalWebServer::fixtureText("stocks-data-text-price.json"),
         std::nullopt},
        {"json null member", json, "[[\"AAPL\",null,\"1\"]]", std::nullopt},
        {"json object", json, "{\"AAPL\":[\"AAPL\",\"Apple\",\"1\"]}", std::nullopt},
        {"json nested too deep", json, "[[[\"AAPL\",\"Apple\",\"1\"]]]", std::nullopt},
        {"json html", json, LocalWebServer::fixtureText("service-error.html"), std::nullopt},
        {"json empty", json, "", std::nullopt},
    };
    CapturedLog log;
    for (const auto& row : rows) EXPECT_EQ(row.parse(row.data), row.expected) << row.what;
}

}  // namespace

namespace {

// Sets an environment variable for the life of the object.
class EnvironmentVariable {
  public:
    EnvironmentVariable(const char* name, const char* value) : m_name(name) {
        ::setenv(name, value, 1);
    }
    ~EnvironmentVariable() { ::unsetenv(m_name); }

  private:
    const char* m_name;
};

TEST(WebServiceConfiguration, SettingsComeBeforeEnvironmentVariables) {
    using C = NKWebServiceConfiguration;
    ServiceAddresses none(std::nullopt, std::nullopt, std::nullopt, std::nullopt);
    EXPECT_EQ(C::origin(NKWebService::Quotes, "http"), std::nullopt);
    EXPECT_EQ(C::timeout(20), 20);
    {
        EnvironmentVariable quotes(C::kQuotesAddressVariable, "quotes.example:8080");
        EnvironmentVariable bitcoin(C::kBitcoinAddressVariable, "ftp://bitcoin.example");
        EnvironmentVariable timeout(C::kTimeoutVariable, "1.5");
        EXPECT_EQ(C::origin(NKWebService::Quotes, "http"), "http://quotes.example:8080");
        EXPECT_EQ(C::origin(NKWebService::Bitcoin, "https"), std::nullopt);
        EXPECT_EQ(C::timeout(20), 1.5);
        ServiceAddresses settings("https://settings.example", std::nullopt, std::nullopt, 0.25);
        EXPECT_EQ(C::origin(NKWebService::Quotes, "http"), "https://settings.example");
        EXPECT_EQ(C::timeout(20), 0.25);
    }
    {
        EnvironmentVariable timeout(C::kTimeoutVariable, "-3");
        EXPECT_EQ(C::timeout(20), 20);
    }
    EXPECT_EQ(C::origin(NKWebService::Quotes, "http"), std::nullopt);
}

}  // namespace
