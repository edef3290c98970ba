#include "NKCurrenciesUpdaterOperation.h"

#include "NKTextHelpers.h"
#include "NKWebServices.h"

namespace {

// A reply quoted in a log line: short, and printable whatever the service sent.
std::string printable(const std::string& data) {
    std::string out;
    for (unsigned char c : data.substr(0, 200))
        out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
    if (data.size() > 200) out += "...";
    return out;
}

}  // namespace

NKCurrenciesUpdaterOperation::NKCurrenciesUpdaterOperation(
    std::vector<std::shared_ptr<const NKCurrencyParser>> parsers,
    std::vector<std::string> currencyCodes, std::string label, std::shared_ptr<HttpClient> client)
    : m_currencyParsers(std::move(parsers)),
      m_currencyCodes(std::move(currencyCodes)),
      m_label(std::move(label)),
      m_client(client ? std::move(client) : HttpClient::shared()) {}

void NKCurrenciesUpdaterOperation::start() {
    if (isCancelled()) {
        m_finished = true;
        return;
    }
    m_executing = true;
    m_success = false;
    for (const auto& parser : m_currencyParsers) {
        if (isCancelled()) break;
        if (parser && tryParser(*parser)) {
            m_success = true;
            break;
        }
    }
    m_executing = false;
    m_finished = true;
}

bool NKCurrenciesUpdaterOperation::tryParser(const NKCurrencyParser& parser) {
    const auto url = parser.urlWithCurrencySymbols(m_currencyCodes, "USD");
    // No address configured for this service: nothing was asked of it, so nothing is said.
    if (!url) return false;
    const HttpResponse response =
        m_client->get(*url, NKWebServiceConfiguration::timeout(kTimeout), m_cancelled.get());
    if (!response.success || response.body.empty()) {
        const std::string reason =
            response.success ? "the reply is empty" : NKUTF8(response.error.localizedDescription);
        NKLogLine("Connection error updating currencies: " + reason);
        return false;
    }
    const auto rates = parser.currencyKeyValuesFromData(response.body);
    if (!rates) {
        NKLogLine("Error updating currencies from data: " + printable(response.body));
        return false;
    }
    for (const auto& [code, rate] : *rates) m_currencyRates[code] = rate;
    return true;
}

std::optional<std::string> NKCurrenciesUpdaterOperation::rateForCurrencyCode(
    const std::string& code) const {
    auto found = m_currencyRates.find(code);
    if (found == m_currencyRates.end()) return std::nullopt;
    return found->second;
}
