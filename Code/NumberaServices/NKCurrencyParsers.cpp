#include "NKCurrencyParsers.h"

#include <utf8.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

#include "HttpClient.h"
#include "NKTextHelpers.h"
#include "NKWebServices.h"

namespace {

using json = nlohmann::json;

std::string removeAll(std::string text, const std::string& piece) {
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at))
        text.erase(at, piece.size());
    return text;
}

bool isAsciiAlphanumeric(const std::string& text) {
    for (unsigned char c : text)
        if (!std::isalnum(c) || c >= 0x80) return false;
    return true;
}

bool baseIsValid(const std::string& base) {
    if (NKWebText::characterCount(base) == 3 && NKWebText::isValidUTF8(base)) return true;
    NKLogLine("Warning: Base currency symbol is not valid");
    return false;
}

bool codeIsValid(const std::string& code) {
    return NKWebText::isValidUTF8(code) && NKWebText::characterCount(code) == 3;
}

}  // namespace

bool NKWebText::isValidUTF8(const std::string& text) {
    return utf8::is_valid(text.begin(), text.end());
}

size_t NKWebText::characterCount(const std::string& utf8) {
    size_t count = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

std::optional<double> NKWebText::decimalValue(const std::string& text) {
    if (text.empty()) return std::nullopt;
    for (char c : text)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-'))
            return std::nullopt;
    double value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string NKWebText::fixed16(double value) {
    char buffer[400];
    auto [ptr, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 16);
    if (ec != std::errc()) return "0.0000000000000000";
    return std::string(buffer, ptr);
}

// The CSV quote service.

std::optional<std::string> NKYahooCurrenciesParser::baseURL() const {
    auto origin = NKWebServiceConfiguration::origin(NKWebService::Quotes, "http");
    if (!origin) return std::nullopt;
    return *origin + kPath;
}

std::optional<std::string> NKYahooCurrenciesParser::urlWithCurrencySymbols(
    const std::vector<std::string>& codes, const std::string& baseCurrency) const {
    if (!baseIsValid(baseCurrency)) return std::nullopt;
    auto base = baseURL();
    if (!base) return std::nullopt;
    std::string pairs;
    for (const auto& code : codes) {
        if (!codeIsValid(code)) {
            NKLogLine("Warning: Currency symbol " + code + " is not valid");
            continue;
        }
        if (code == baseCurrency) continue;
        if (!pairs.empty()) pairs += '+';
        pairs += NKPercentEncode(baseCurrency) + NKPercentEncode(code) + "=X";
    }
    return *base + pairs + "&f=sl1&e=.csv";
}

std::optional<NKCurrencyRates> NKYahooCurrenciesParser::currencyKeyValuesFromData(
    const std::string& data) const {
    if (!NKWebText::isValidUTF8(data)) {
        NKLogLine("Yahoo Currencies Parser: Invalid Data Error 1");
        return std::nullopt;
    }
    NKCurrencyRates rates;
    size_t start = 0;
    while (start <= data.size()) {
        size_t end = data.find_first_of("\r\n", start);
        if (end == std::string::npos) end = data.size();
        const std::string line = data.substr(start, end - start);
        start = end + 1;
        if (line.empty()) continue;

        const size_t comma = line.find(',');
        if (comma == std::string::npos || line.find(',', comma + 1) != std::string::npos) {
            NKLogLine("Yahoo Currencies Parser: Invalid Data Error 1");
            return std::nullopt;
        }
        const std::string pair = removeAll(removeAll(line.substr(0, comma), "\""), "=X");
        if (pair.size() != 6 || !isAsciiAlphanumeric(pair)) {
            NKLogLine("Yahoo Currencies Parser: Invalid Data Error 2");
            return std::nullopt;
        }
        rates[pair.substr(3)] = line.substr(comma + 1);
    }
    if (rates.empty()) return std::nullopt;
    return rates;
}

const std::vector<std::string>& NKYahooCurrenciesParser::supportedCurrencySymbols() {
    static const std::vector<std::string> codes = {
        "USD", "JPY", "IDR", "NOK", "GBP", "AED", "AFN", "ALL", "AMD", "ANG", "AOA", "ARS", "AUD",
        "AWG", "AZN", "BAM", "BBD", "BDT", "BGN", "BHD", "BIF", "BMD", "BND", "BOB", "BRL", "BSD",
        "BTN", "BWP", "BYR", "BZD", "CAD", "CDF", "CHF", "CLP", "CNY", "COP", "CRC", "CUP", "CVE",
        "CZK", "DJF", "DKK", "DOP", "DZD", "EGP", "ETB", "EUR", "FJD", "FKP", "GEL", "GHS", "GIP",
        "GMD", "GNF", "GTQ", "GYD", "HKD", "HNL", "HRK", "HTG", "HUF", "ILS", "INR", "IQD", "IRR",
        "ISK", "JMD", "JOD", "KES", "KGS", "KHR", "KMF", "KRW", "KWD", "KYD", "KZT", "LAK", "LBP",
        "LKR", "LRD", "LSL", "LTL", "LVL", "LYD", "MAD", "MDL", "MKD", "MMK", "MNT", "MOP", "MRO",
        "MUR", "MVR", "MWK", "MXN", "MYR", "MZN", "NAD", "NGN", "NIO", "NPR", "NZD", "OMR", "PAB",
        "PEN", "PGK", "PHP", "PKR", "PLN", "PYG", "QAR", "RON", "RSD", "RUB", "RWF", "SAR", "SBD",
        "SCR", "SDG", "SEK", "SGD", "SHP", "SLL", "SOS", "SRD", "STD", "SVC", "SYP", "SZL", "THB",
        "TJS", "TMT", "TND", "TOP", "TRY", "TTD", "TWD", "TZS", "UAH", "UGX", "UYU", "UZS", "VEF",
        "VND", "VUV", "WST", "XAF", "XCD", "XOF", "XPF", "YER", "ZAR", "ZMK"};
    return codes;
}

// The maker's data service.

std::optional<std::string> NKOrvantixCurrenciesParser::baseURL() const {
    auto origin = NKWebServiceConfiguration::origin(NKWebService::Data, "http");
    if (!origin) return std::nullopt;
    return *origin + kPath;
}

std::optional<std::string> NKOrvantixCurrenciesParser::urlWithCurrencySymbols(
    const std::vector<std::string>& codes, const std::string& baseCurrency) const {
    if (!baseIsValid(baseCurrency)) return std::nullopt;
    auto base = baseURL();
    if (!base) return std::nullopt;
    std::string address = *base + "base=" + NKPercentEncode(baseCurrency);
    bool first = true;
    for (const auto& code : codes) {
        if (!codeIsValid(code)) {
            NKLogLine("Warning: Currency symbol " + code + " is not valid");
            continue;
        }
        address += first ? "&currencies=" : ",";
        address += NKPercentEncode(code);
        first = false;
    }
    return address;
}

std::optional<NKCurrencyRates> NKOrvantixCurrenciesParser::currencyKeyValuesFromData(
    const std::string& data) const {
    const json reply = json::parse(data, nullptr, false);
    if (reply.is_discarded() || !reply.is_array()) {
        NKLogLine("Orvantix Currencies Parser Error 1: Invalid Data received");
        return std::nullopt;
    }
    NKCurrencyRates rates;
    for (const auto& entry : reply) {
        if (entry.is_array() && entry.empty()) continue;
        if (!entry.is_array() || entry.size() != 2 || !entry[0].is_string() ||
            !entry[1].is_string()) {
            NKLogLine("Orvantix Currencies Parser Error 2: Invalid Data received");
            return std::nullopt;
        }
        const std::string code = removeAll(entry[0].get<std::string>(), "\"");
        if (NKWebText::characterCount(code) != 3) {
            NKLogLine("Orvantix Currencies Parser Error 2: Invalid Data received");
            return std::nullopt;
        }
        rates[code] = entry[1].get<std::string>();
    }
    if (rates.empty()) return std::nullopt;
    return rates;
}

// The bitcoin rate service.

std::optional<std::string> NKBitcoinRateParser::baseURL() const {
    return NKWebServiceConfiguration::origin(NKWebService::Bitcoin, "https");
}

std::optional<std::string> NKBitcoinRateParser::urlWithCurrencySymbols(
    const std::vector<std::string>&, const std::string& baseCurrency) const {
    if (!baseIsValid(baseCurrency)) return std::nullopt;
    auto base = baseURL();
    if (!base) return std::nullopt;
    std::string path = kPathFormat;
    path.replace(path.find("%@"), 2, NKPercentEncode(baseCurrency));
    return *base + path;
}

std::optional<NKCurrencyRates> NKBitcoinRateParser::currencyKeyValuesFromData(
    const std::string& data) const {
    const json reply = json::parse(data, nullptr, false);
    if (reply.is_discarded() || !reply.is_object()) {
        NKLogLine("Bitcoin Rate Parser: Invalid Data received");
        return std::nullopt;
    }
    const auto last = reply.find("last");
    std::optional<double> price;
    if (last != reply.end()) {
        if (last->is_number()) price = last->get<double>();
        if (last->is_string()) price = NKWebText::decimalValue(last->get<std::string>());
    }
    if (!price || !std::isfinite(*price) || *price <= 0) {
        NKLogLine("Bitcoin Rate Parser: No usable price received");
        return std::nullopt;
    }
    return NKCurrencyRates{{"BTC", NKWebText::fixed16(1.0 / *price)}};
}

const std::vector<std::string>& NKBitcoinRateParser::supportedCurrencySymbols() {
    static const std::vector<std::string> codes = {"BTC"};
    return codes;
}
