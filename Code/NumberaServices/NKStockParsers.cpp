#include "NKStockParsers.h"

#include <nlohmann/json.hpp>

#include "HttpClient.h"
#include "NKCurrencyParsers.h"
#include "NKTextHelpers.h"
#include "NKWebServices.h"
#include "Regex.h"

namespace {

using json = nlohmann::json;

std::string withoutCharacters(const std::string& text, const std::string& characters) {
    std::string out;
    for (char c : text)
        if (characters.find(c) == std::string::npos) out += c;
    return out;
}

std::string quoted(const std::vector<std::string>& values) {
    std::string text = "(";
    for (size_t i = 0; i < values.size(); ++i) text += (i ? ", \"" : "\"") + values[i] + "\"";
    return text + ")";
}

// One ticker is asked for as a list of one.
template <class Parser>
std::optional<std::string> urlWithOneTicker(const std::optional<std::string>& ticker) {
    if (!ticker) {
        NKLogLine("Warning - no ticker symbol requested");
        return std::nullopt;
    }
    return Parser::urlWithTickerSymbols({*ticker});
}

// The service's address for a list of tickers; none for an empty list or an unset address.
std::optional<std::string> tickerListBase(const std::vector<std::string>& tickers,
                                          const std::optional<std::string>& base) {
    if (tickers.empty()) {
        NKLogLine("Warning - no ticker symbols requested");
        return std::nullopt;
    }
    return base;
}

}  // namespace

// The CSV quote service.

std::optional<std::string> NKYahooStocksParser::baseURL() {
    auto origin = NKWebServiceConfiguration::origin(NKWebService::Quotes, "http");
    if (!origin) return std::nullopt;
    return *origin + kPath;
}

std::optional<std::string> NKYahooStocksParser::urlWithTickerSymbol(
    const std::optional<std::string>& ticker) {
    return urlWithOneTicker<NKYahooStocksParser>(ticker);
}

std::optional<std::string> NKYahooStocksParser::urlWithTickerSymbols(
    const std::vector<std::string>& tickers) {
    auto base = tickerListBase(tickers, baseURL());
    if (!base) return std::nullopt;
    // Encoding writes a blank as %20 and "^" as %5E, as the service expects.
    std::string address = *base + "s=";
    for (const auto& ticker : tickers) address += "+" + NKPercentEncode(ticker);
    return address + "&f=snl1";
}

std::optional<NKStockQuotes> NKYahooStocksParser::stockKeyValuesFromData(const std::string& data) {
    if (!NKWebText::isValidUTF8(data)) {
        NKLogLine("An error with stocks occured: the reply is not UTF-8 text");
        return std::nullopt;
    }
    static const auto pattern = Regex::cached(u"^([^,]+),(.*),([0-9.]+)$");
    NKStockQuotes quotes;
    size_t start = 0;
    while (start <= data.size()) {
        size_t end = data.find('\n', start);
        if (end == std::string::npos) end = data.size();
        const std::string line = data.substr(start, end - start);
        start = end + 1;
        if (line.empty()) continue;

        const std::u16string text = NKUTF16(line);
        const auto match = pattern ? pattern->firstMatch(text) : std::nullopt;
        if (!match || match->groups.size() < 3) {
            NKLogLine("Regex sort of failed. The stock item is " + line);
            continue;
        }
        std::vector<std::string> values;
        for (size_t group = 1; group <= 3; ++group)
            values.push_back(withoutCharacters(NKUTF8(match->group(text, group)), "\"\r,"));
        if (values.size() != 3 || values[0].empty()) {
            NKLogLine("An error with a stock occured. Keys is (" +
                      std::string(NKStockTickerSymbol) + ", " + NKStockCompanyName + ", " +
                      NKStockValue + "), but cleaned values is " + quoted(values));
            continue;
        }
        // Unreadable and zero prices ("0.00", "N/A") mean the service knows no price.
        const auto price = NKWebText::decimalValue(values[2]);
        if (!price || *price <= 0) continue;
        quotes[values[0]] = NKStockQuote{values[0], values[1], values[2]};
    }
    if (quotes.empty()) return std::nullopt;
    return quotes;
}

// The maker's data service.

std::optional<std::string> NKOrvantixStocksParser::baseURL() {
    auto origin = NKWebServiceConfiguration::origin(NKWebService::Data, "http");
    if (!origin) return std::nullopt;
    return *origin + kPath;
}

std::optional<std::string> NKOrvantixStocksParser::urlWithTickerSymbol(
    const std::optional<std::string>& ticker) {
    return urlWithOneTicker<NKOrvantixStocksParser>(ticker);
}

std::optional<std::string> NKOrvantixStocksParser::urlWithTickerSymbols(
    const std::vector<std::string>& tickers) {
    auto base = tickerListBase(tickers, baseURL());
    if (!base) return std::nullopt;
    std::string address = *base + "symbols=";
    for (size_t i = 0; i < tickers.size(); ++i)
        address += (i ? "," : "") + NKPercentEncode(tickers[i]);
    return address;
}

std::optional<NKStockQuotes> NKOrvantixStocksParser::stockKeyValuesFromData(
    const std::string& data) {
    const json reply = json::parse(data, nullptr, false);
    if (reply.is_discarded() || !reply.is_array()) {
        NKLogLine("An error with stocks occured: the reply is not a JSON array");
        return std::nullopt;
    }
    NKStockQuotes quotes;
    for (const auto& entry : reply) {
        if (entry.is_array() && entry.empty()) continue;
        const bool wellFormed = entry.is_array() && entry.size() == 3 && entry[0].is_string() &&
                                entry[1].is_string() && entry[2].is_string() &&
                                NKWebText::decimalValue(entry[2].get<std::string>()).has_value() &&
                                !entry[0].get<std::string>().empty();
        if (!wellFormed) {
            NKLogLine("An error with stocks occured. Keys is (" + std::string(NKStockTickerSymbol) +
                      ", " + NKStockCompanyName + ", " + NKStockValue + "), but stocks array is " +
                      entry.dump(-1, ' ', true, json::error_handler_t::replace));
            return std::nullopt;
        }
        const std::string ticker = entry[0].get<std::string>();
        quotes[ticker] =
            NKStockQuote{ticker, entry[1].get<std::string>(), entry[2].get<std::string>()};
    }
    if (quotes.empty()) return std::nullopt;
    return quotes;
}
