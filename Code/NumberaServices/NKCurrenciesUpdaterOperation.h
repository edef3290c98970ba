// One part of a rate update: fetches the rates of a list of codes from the first of its parsers
// whose service answers with a usable reply. Runs on the update queue's threads, blocking on
// its request; the manager reads the results after it has finished.
#ifndef NUMBERA_SERVICES_NK_CURRENCIES_UPDATER_OPERATION_H
#define NUMBERA_SERVICES_NK_CURRENCIES_UPDATER_OPERATION_H

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "HttpClient.h"
#include "NKCurrencyParsers.h"

class NKCurrenciesUpdaterOperation {
  public:
    // The default request time-out of the platform's plain requests.
    static constexpr NSTimeInterval kTimeout = 60;

    NKCurrenciesUpdaterOperation(std::vector<std::shared_ptr<const NKCurrencyParser>> parsers,
                                 std::vector<std::string> currencyCodes, std::string label,
                                 std::shared_ptr<HttpClient> client = nullptr);

    // Runs the update on the calling thread; a cancelled operation only finishes.
    void start();
    void cancel() { m_cancelled->store(true); }
    bool isCancelled() const { return m_cancelled->load(); }
    bool isExecuting() const { return m_executing.load(); }
    bool isFinished() const { return m_finished.load(); }
    bool wasSuccessful() const { return m_success.load(); }

    const std::string& label() const { return m_label; }
    const std::vector<std::string>& supportedCurrencyCodes() const { return m_currencyCodes; }
    std::optional<std::string> rateForCurrencyCode(const std::string& code) const;
    const NKCurrencyRates& currencyRates() const { return m_currencyRates; }

  private:
    bool tryParser(const NKCurrencyParser& parser);

    std::vector<std::shared_ptr<const NKCurrencyParser>> m_currencyParsers;
    std::vector<std::string> m_currencyCodes;
    std::string m_label;
    NKCurrencyRates m_currencyRates;
    std::shared_ptr<HttpClient> m_client;
    std::shared_ptr<std::atomic<bool>> m_cancelled = std::make_shared<std::atomic<bool>>(false);
    std::atomic<bool> m_executing{false};
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_success{false};
};

#endif
