// The two sources of share prices: the CSV quote service and the maker's data service (JSON).
// Each builds a request address from tickers (percent-encoded, so that a ticker cannot change
// the query) and reads a reply into ticker → quote. Nothing usable gives none.
#ifndef NUMBERA_SERVICES_NK_STOCK_PARSERS_H
#define NUMBERA_SERVICES_NK_STOCK_PARSERS_H

#include <map>
#include <optional>
#include <string>
#include <vector>

// Keys of a quote as its dictionary form names them.
inline constexpr const char* NKStockTickerSymbol = "NKStockTickerSymbol";
inline constexpr const char* NKStockCompanyName = "NKStockCompanyName";
inline constexpr const char* NKStockValue = "NKStockValue";

struct NKStockQuote {
    std::string ticker;  // as the service spells it
    std::string company;
    std::string value;  // price as text, "." as decimal point
    bool operator==(const NKStockQuote&) const = default;
};
// Ticker → quote, UTF-8.
using NKStockQuotes = std::map<std::string, NKStockQuote>;

struct NKYahooStocksParser {
    static constexpr const char* kPath = "/d/quotes.csv?";
    static std::optional<std::string> baseURL();
    static std::optional<std::string> urlWithTickerSymbol(const std::optional<std::string>& ticker);
    static std::optional<std::string> urlWithTickerSymbols(const std::vector<std::string>& tickers);
    static std::optional<NKStockQuotes> stockKeyValuesFromData(const std::string& data);
};

struct NKOrvantixStocksParser {
    static constexpr const char* kPath = "/numbera/data/stocks2.2.php?";
    static std::optional<std::string> baseURL();
    static std::optional<std::string> urlWithTickerSymbol(const std::optional<std::string>& ticker);
    static std::optional<std::string> urlWithTickerSymbols(const std::vector<std::string>& tickers);
    static std::optional<NKStockQuotes> stockKeyValuesFromData(const std::string& data);
};

#endif
