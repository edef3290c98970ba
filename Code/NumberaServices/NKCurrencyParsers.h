// The three sources of exchange rates: the CSV quote service, the maker's data service (JSON)
// and the bitcoin rate service (JSON). Each builds its request address from currency codes and
// reads a reply into code → rate text (units of that currency per one unit of the base). A
// reply that is malformed anywhere is unusable as a whole: the parsers answer none and log.
// They keep no state, so the update operations may use them from any thread.
#ifndef NUMBERA_SERVICES_NK_CURRENCY_PARSERS_H
#define NUMBERA_SERVICES_NK_CURRENCY_PARSERS_H

#include <map>
#include <optional>
#include <string>
#include <vector>

// Currency code → rate text, both UTF-8.
using NKCurrencyRates = std::map<std::string, std::string>;

class NKCurrencyParser {
  public:
    virtual ~NKCurrencyParser() = default;
    // The service's origin and path; none when the service has no configured address.
    virtual std::optional<std::string> baseURL() const = 0;
    virtual std::optional<std::string> urlWithCurrencySymbols(
        const std::vector<std::string>& codes, const std::string& baseCurrency) const = 0;
    virtual std::optional<NKCurrencyRates> currencyKeyValuesFromData(
        const std::string& data) const = 0;
    virtual std::string description() const = 0;
};

class NKYahooCurrenciesParser final : public NKCurrencyParser {
  public:
    static constexpr const char* kPath = "/d/quotes.csv?s=";
    std::optional<std::string> baseURL() const override;
    std::optional<std::string> urlWithCurrencySymbols(
        const std::vector<std::string>& codes, const std::string& baseCurrency) const override;
    std::optional<NKCurrencyRates> currencyKeyValuesFromData(
        const std::string& data) const override;
    std::string description() const override { return "Yahoo Currency Parser"; }
    // The 153 codes that both currency services quote, in the services' order.
    static const std::vector<std::string>& supportedCurrencySymbols();
};

class NKOrvantixCurrenciesParser final : public NKCurrencyParser {
  public:
    static constexpr const char* kPath = "/numbera/data/currencies.php?";
    std::optional<std::string> baseURL() const override;
    std::optional<std::string> urlWithCurrencySymbols(
        const std::vector<std::string>& codes, const std::string& baseCurrency) const override;
    std::optional<NKCurrencyRates> currencyKeyValuesFromData(
        const std::string& data) const override;
    std::string description() const override { return "Orvantix Currency Parser"; }
    static const std::vector<std::string>& supportedCurrencySymbols() {
        return NKYahooCurrenciesParser::supportedCurrencySymbols();
    }
};

class NKBitcoinRateParser final : public NKCurrencyParser {
  public:
    static constexpr const char* kPathFormat = "/ticker/global/%@/";
    std::optional<std::string> baseURL() const override;
    std::optional<std::string> urlWithCurrencySymbols(
        const std::vector<std::string>& codes, const std::string& baseCurrency) const override;
    std::optional<NKCurrencyRates> currencyKeyValuesFromData(
        const std::string& data) const override;
    std::string description() const override { return "Bitcoin Rate Parser"; }
    static const std::vector<std::string>& supportedCurrencySymbols();
};

// Shared by the parsers: UTF-8 validity, the length of a text in characters, and machine
// number text that never follows the process locale.
namespace NKWebText {
bool isValidUTF8(const std::string& text);
size_t characterCount(const std::string& utf8);
// The whole text as a finite decimal number ("12", "0.5", ".5", "-3"); none otherwise.
std::optional<double> decimalValue(const std::string& text);
// "%.16f" of the value, with "." whatever the locale.
std::string fixed16(double value);
}  // namespace NKWebText

#endif
