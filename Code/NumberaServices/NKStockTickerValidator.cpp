#include "NKStockTickerValidator.h"

#include "NKStockParsers.h"
#include "NKTextHelpers.h"

namespace {

std::u16string tickerOf(const std::any& userInfo) {
    const auto* ticker = std::any_cast<std::u16string>(&userInfo);
    return ticker ? *ticker : std::u16string();
}

}  // namespace

NKStockTickerValidator::NKStockTickerValidator(std::shared_ptr<HttpClient> client,
                                               std::shared_ptr<MainQueue> queue)
    : m_client(std::move(client)), m_queue(std::move(queue)) {}

NKStockTickerValidator::~NKStockTickerValidator() {
    if (m_gatherer) {
        m_gatherer->setDelegate(nullptr);
        m_gatherer->cancel();
    }
}

void NKStockTickerValidator::findStockWithTicker(const std::optional<std::u16string>& ticker) {
    if (!ticker || ticker->empty()) {
        NKLogLine("Warning: No ticker requested for validation");
        return;
    }
    if (!m_gatherer) {
        m_gatherer = NKWebDataGatherer::create(m_client, m_queue);
        m_gatherer->setDelegate(this);
    }
    if (m_gatherer->dataGatheringInProgress()) {
        NKLogLine("Warning: Can't start to update rates. Update already in progress");
        return;
    }
    m_gatherer->gatherDataFromURL(NKYahooStocksParser::urlWithTickerSymbol(NKUTF8(*ticker)),
                                  *ticker);
}

void NKStockTickerValidator::cancel() {
    if (m_gatherer) m_gatherer->cancel();
}

void NKStockTickerValidator::webDataGathererDidReturnData(NKWebDataGatherer&,
                                                          const std::string& data,
                                                          const std::any& userInfo) {
    const std::u16string ticker = tickerOf(userInfo);
    const auto quotes = NKYahooStocksParser::stockKeyValuesFromData(data);
    // Exactly as typed: a ticker the service spells differently is not the one asked for.
    const auto quote = quotes ? quotes->find(NKUTF8(ticker)) : NKStockQuotes::const_iterator();
    if (!quotes || quote == quotes->end()) {
        if (m_delegate) m_delegate->stockValidatorDidNotFindStockWithTicker(*this, ticker);
        return;
    }
    auto stock =
        NKStock::stockWithCompany(NKUTF16(quote->second.company), NKUTF16(quote->second.ticker),
                                  NKUTF16(quote->second.value));
    stock->setSourceDate((m_queue ? m_queue : MainQueue::shared())->now());
    if (m_delegate) m_delegate->stockValidatorDidFindStock(*this, stock);
}

void NKStockTickerValidator::webDataGathererDidFailWithError(NKWebDataGatherer&,
                                                             const NSError& error,
                                                             const std::any& userInfo) {
    if (m_delegate && m_delegate->respondsToDidEncounterError())
        m_delegate->stockValidatorDidEncounterError(*this, error, tickerOf(userInfo));
}
